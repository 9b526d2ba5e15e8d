#pragma once

// The change-score dialog: offers a prop that sets the player's score to a target, for a price in
// coins. OK sends the request to the server and hides the window; Cancel only hides it. The
// table view's change-score buttons decide whether it opens.

#include "platform/SkinButton.h"
#include "platform/SkinDialog.h"
#include "platform/SkinImage.h"
#include "platform/WindowDump.h"

#include <array>
#include <cstdint>

class CGameFrameDlg;

class CChangeScoreDlg : public CSkinDialog, public IDumpableWnd {
public:
    static constexpr UINT IDD = 180;
    // The host's main command and sub-command of the request.
    static constexpr WORD kRequestMain = 14;
    static constexpr WORD kRequestSub = 100;

    // pFrame sends the request and knows the local user.
    explicit CChangeScoreDlg(CGameFrameDlg* pFrame);

    void SetTargetScore(LONG lTargetScore);
    void SetPrice(LONG lPrice);
    void SetPropKind(WORD wPropKind);

    std::string GetDumpName() const override { return "180"; }
    void Dump(CDumpContext& dc) const override;

protected:
    BOOL OnInitDialog() override;
    void OnDraw(CDC* pDC) override;
    void OnOK() override;
    void OnCancel() override { ShowWindow(SW_HIDE); }

private:
    CGameFrameDlg* m_pFrame;
    LONG m_lTargetScore = 0;
    LONG m_lPrice = 0;
    WORD m_wPropKind = 0;
    CPngImage m_PngBack;
    CPngImage m_PngNumber;
    CPngImage m_PngCoin;
    CPngButton m_btOk;
    CPngButton m_btCancel;
};

// The request's body: the prop kind (zero-extended) and the user id, each 32 bits little-endian.
std::array<uint8_t, 8> ChangeScoreRequest(WORD wPropKind, DWORD dwUserID);
