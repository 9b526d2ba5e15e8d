#pragma once

// The task assistant: a borderless layered window over the table that hosts the task window and
// keeps it in its place. The controller makes it with the table view as its parent and places it
// with SetPosition; the view asks it to take its place again whenever the popups follow the game
// window. Its own picture (a hint text in the game's design) has no text to show yet, so it is
// empty: nothing of it is seen and clicks pass through it to the table.

#include "platform/SkinDialog.h"
#include "platform/WindowDump.h"
#include "windows/TaskWnd.h"

#include <string>

class CTaskAssistant : public CSkinDialog, public IDumpableWnd {
public:
    static constexpr UINT IDD = 105;
    // The task window hangs this far below the assistant's own point.
    static constexpr CPoint kTaskWndOffset{0, 84};
    static constexpr CSize kDefaultSize{165, 128};

    CTaskAssistant();
    ~CTaskAssistant() override;

    // Made hidden over pParent (the table view), with its task window hidden.
    BOOL CreateOver(CWnd* pParent);
    // Keeps the position (in the parent's client coordinates) and, once the window exists, moves
    // there, with the task window below it.
    void SetPosition(int x, int y);
    CPoint GetPosition() const { return m_ptPosition; }
    CTaskWnd& GetTaskWnd() { return m_TaskWnd; }

    std::string GetDumpName() const override { return "CTaskAssistant"; }
    void Dump(CDumpContext& dc) const override;

protected:
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnPaint() override;
    void OnLButtonDown(UINT nFlags, CPoint point) override;
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) override;
    void OnMouseMove(UINT nFlags, CPoint point) override;
    void OnMouseLeave() override { m_bTracking = false; }
    void OnOK() override {}
    void OnCancel() override {}

private:
    // Puts the assistant's picture on the table: blended, so what it leaves empty shows the table.
    void DrawSurface();

    CTaskWnd m_TaskWnd;
    CPoint m_ptPosition;
    CSize m_Size = kDefaultSize;
    bool m_bCreated = false;
    bool m_bTracking = false;
    BLENDFUNCTION m_Blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
};
