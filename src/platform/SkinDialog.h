#pragma once

// Skinned dialogs. A dialog is a window like any other (no QDialog): with a parent it is an
// overlay inside the parent's game window, without one a frameless top-level window. The
// template id names the dialog for the caller; there are no resource templates, so a dialog
// sizes itself in OnInitDialog (usually from its background picture).
//
// Modality. DoModal creates the dialog, runs OnInitDialog, shows it and waits until EndDialog.
// While it waits, input to every other window is dropped. How it waits is decided at the call:
//   - a modal hook is set (tests, the scripted driver): the hook is called with the dialog and
//     may click its controls or call EndDialog; if it does not end the dialog, IDCANCEL is taken;
//   - no hook and the virtual timer host is current: the dialog ends at once with IDCANCEL,
//     because a test must never block on a dialog nobody answers;
//   - otherwise a local Qt event loop runs until EndDialog.

#include "platform/Dc.h"
#include "platform/Wnd.h"

#include <QIcon>

#include <functional>

class CSkinDialog : public CWnd {
public:
    explicit CSkinDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CSkinDialog() override;

    // Modeless: creates the (hidden) dialog and runs OnInitDialog. A null parent keeps the one
    // given to the constructor.
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    INT_PTR DoModal();
    // Ends a modal dialog with this result; a modeless dialog is hidden.
    void EndDialog(int nResult);
    bool IsModal() const { return m_bModal; }
    // EndDialog has run since the dialog was created or its modal run began (a modal hook stops
    // acting then).
    bool HasEnded() const { return m_bEnded; }
    UINT GetTemplateID() const { return m_nIDTemplate; }

    // The window icon (shown by a top-level dialog only).
    void SetIcon(const QIcon& icon, BOOL bBigIcon);
    // Centres the dialog over its parent's game window (or keeps it where it is without one).
    void CenterWindow();

    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }

protected:
    // IDOK and IDCANCEL commands reach OnOK and OnCancel; Enter and Escape do the same.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) override;
    void OnClose() override { OnCancel(); }
    void OnWidgetCreated(QWidget* widget) override;

private:
    BOOL CreateDialogWindow();

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    bool m_bModal = false;
    bool m_bEnded = false;
    int m_nResult = IDCANCEL;
    std::function<void()> m_quitLoop;
};

// The same dialog with the template given at construction; subclasses chain to its WindowProc.
class CSkinDialogEx : public CSkinDialog {
public:
    explicit CSkinDialogEx(UINT nIDTemplate, CWnd* pParentWnd = nullptr) : CSkinDialog(nIDTemplate, pParentWnd) {}
};

// Answers modal dialogs instead of a person (see above). Null removes the hook.
using ModalHook = std::function<void(CSkinDialog& dialog)>;
void SetModalHook(ModalHook hook);

// Shared attributes of the skin library.
class CSkinAttribute {
public:
    // The font selected for the game's ordinary texts.
    static CFont m_DefaultFont;
};
