// The draw pass of the table.
#include "view/GameClientView.h"

#include "platform/Dc.h"

namespace {

// The felt shown where no background picture could be loaded.
constexpr COLORREF kFeltGreen = RGB(24, 96, 48);

}  // namespace

void CGameClientView::PaintBackground()
{
    // FIXME: the static table (background, desk pictures, panel frames, seat faces) is painted
    // into a cache the size of the view once the table drawing exists; each pass copies it.
}

void CGameClientView::PaintTableView(CDC* pDC, int nWidth, int nHeight)
{
    if (!pDC)
        return;
    // Any index other than 1-3 is green.
    const CSkinImage& background = m_ImageBackground[m_wBackground < kBackgrounds ? m_wBackground : 0];
    if (background.IsNull() || background.GetWidth() < nWidth || background.GetHeight() < nHeight)
        pDC->FillSolidRect(0, 0, nWidth, nHeight, kFeltGreen);
    background.BitBlt(pDC, 0, 0);

    // The buttons compose their transparent parts over what lies beneath them.
    for (UINT id : {117u, 116u, 115u, 114u, 113u, 112u, 111u, 100u, 105u, 107u, 106u, 127u, 129u, 131u, 132u, 133u, 119u,
             110u, 108u, 109u, 118u, 135u, 1003u, 120u, 122u, 123u, 124u, 125u, 126u, 101u, 102u, 103u, 104u, 121u}) {
        CPngButton* button = GetButton(id);
        if (button && button->IsWindow())
            button->SetButtonBkgnd(pDC);
    }
}
