#pragma once

// The game options dialog: sound, background music and whether lookers may see this player's
// cards. The controller fills the values, runs it modally and, on OK, applies and stores what it
// reads back. The seat order and the card spacing have no control and come back as given.

#include "platform/CheckBox.h"
#include "platform/SkinButton.h"
#include "platform/SkinDialog.h"
#include "platform/SkinImage.h"
#include "platform/WindowDump.h"

class CGameOptionDlg : public CSkinDialog, public IDumpableWnd {
public:
    static constexpr UINT IDD = 175;
    static constexpr UINT IDC_ALLOW_LOOKON = 1001;
    static constexpr UINT IDC_SOUND = 1002;
    static constexpr UINT IDC_BG_SOUND = 1003;
    static constexpr UINT IDC_CLOSE = 8;

    explicit CGameOptionDlg(CWnd* pParentWnd = nullptr);

    // In and out, in this order.
    bool m_bDeasilOrder = true;
    bool m_bEnableSound = true;
    UINT m_dwCardSpace = 16;
    bool m_bAllowLookon = false;
    bool m_bEnableBGSound = true;

    std::string GetDumpName() const override { return "175"; }
    void Dump(CDumpContext& dc) const override;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnDraw(CDC* pDC) override;

private:
    CSkinImage m_ImageBack;
    CCheckBox m_ckSound;
    CCheckBox m_ckBgSound;
    CCheckBox m_ckAllowLookon;
    CPngButton m_btOk;
    CPngButton m_btCancel;
    CPngButton m_btClose;
};

// A spacing the hand cannot show (26 or more, below 10) is 16.
UINT OptionCardSpace(UINT dwCardSpace);
