#pragma once

// The trustee banner: a picture with a button that turns automatic play off, shown over the
// table while the local player is in trustee mode. Black pixels of the picture are see-through.
// The banner never closes itself: its button asks the game window to switch trustee off, and
// the game window removes the banner when the server confirms.

#include "platform/SkinButton.h"
#include "platform/SkinDialog.h"
#include "platform/SkinImage.h"
#include "platform/WindowDump.h"

class CAutoPlayDlg : public CSkinDialog, public IDumpableWnd {
public:
    static constexpr UINT IDD = 288;

    explicit CAutoPlayDlg(CWnd* pParentWnd = nullptr);

    // Creates the banner centred on rcArea (parent coordinates), 100 pixels above its centre.
    BOOL CreateOver(CWnd* pParentWnd, const CRect& rcArea);
    CPngButton& GetCancelButton() { return m_btCancel; }

    std::string GetDumpName() const override { return "CAutoPlayDlg"; }
    // buttons=2:VE (its one button, as the driver's buttons line writes it).
    void Dump(CDumpContext& dc) const override;

protected:
    BOOL OnInitDialog() override;
    void OnDraw(CDC* pDC) override;
    // Enter is swallowed like Space; only the button acts.
    void OnOK() override {}
    void OnCancel() override;
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) override;

private:
    CPngImage m_ImageBack;
    CPngButton m_btCancel;
    CRect m_rcArea;
};
