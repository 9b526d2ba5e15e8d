#pragma once

// The trustee cover: a dark layer over the whole table while the player is in trustee mode. The
// view's fade timer draws it at one level after another, each level a constant alpha between two
// ends. The cover takes key presses and button presses aimed at it and does nothing with them, so
// it neither closes on Enter or Escape nor lets clicks reach the table; windows it owns (the
// trustee banner) keep their own input.

#include "platform/Dc.h"
#include "platform/SkinDialog.h"
#include "platform/WindowDump.h"

// The cover's alpha at a level: alpha0 at level 0, alpha1 at the last level (levels), linear in
// between and rounded down; with ramp 0 always alpha0. Levels below 1 count as 1 and the result
// is held to 0-255, so a level outside 0..levels cannot wrap the alpha around.
BYTE FadeAlpha(int nLevel, int nLevels, int nRamp, BYTE cbAlpha0, BYTE cbAlpha1);

class CFadeDlg : public CSkinDialog, public IDumpableWnd {
public:
    static constexpr UINT IDD = 156;

    explicit CFadeDlg(CWnd* pParentWnd = nullptr);

    // Creates the hidden cover over rcCover (game-window coordinates).
    BOOL CreateOver(CWnd* pParentWnd, const CRect& rcCover);

    // Draws the cover once: its whole rectangle in m_crFill at the level's alpha (FadeAlpha);
    // pixels of crKey are see-through.
    void ShowFadeLevel(int nLevel, int nLevels, int nRamp, COLORREF crKey, BYTE cbAlpha0, BYTE cbAlpha1);

    // The last level drawn and its alpha (0 before the first: nothing is shown yet).
    int GetLevel() const { return m_nLevel; }
    BYTE GetAlpha() const { return m_cbAlpha; }

    BOOL PreTranslateMessage(MSG* pMsg) override;

    std::string GetDumpName() const override { return "CFadeDlg"; }
    void Dump(CDumpContext& dc) const override;

    BLENDFUNCTION m_Blend;
    COLORREF m_crFill = RGB(0, 0, 0);

protected:
    BOOL OnInitDialog() override;

private:
    CRect m_rcCover;
    int m_nLevel = 0;
    BYTE m_cbAlpha = 0;
    // The cover's picture, painted once for its size and colour: the levels only change the
    // constant alpha it is shown with.
    CBitmap m_bitmap;
    COLORREF m_crPainted = 0;
};
