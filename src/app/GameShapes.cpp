// The seven shape pick buttons: the rules of which buttons are offered and which cards each press
// raises live in interaction/ShapePick; here they are applied to the buttons and the hand.
#include "app/GameClientDlg.h"

namespace {

constexpr UINT kFirstShapeButton = 111;

}  // namespace

void CGameClientDlg::DisableShapeButtons()
{
    for (int shape = 0; shape < kShapeCount; ++shape)
        EnableButton(kFirstShapeButton + shape, false);
}

void CGameClientDlg::EnableShapeButtons(bool bLeading)
{
    const ShapeFlags flags = bLeading ? ShapesWhenLeading(m_GameLogic, m_cbHandCards, m_cbHandCount)
                                      : ShapesWhenResponding(m_GameLogic, m_cbHandCards, m_cbHandCount, m_cbTurnCardData,
                                                             m_cbTurnCardCount, m_cbTurnCardType);
    for (int shape = 0; shape < kShapeCount; ++shape) {
        // Leading decides every button; responding only switches on the buttons that can answer.
        if (bLeading || flags[shape])
            EnableButton(kFirstShapeButton + shape, flags[shape]);
    }
}

LRESULT CGameClientDlg::OnPickShape(Shape shape)
{
    CCardControl& hand = m_GameClientView.m_HandCardControl[1];
    const auto canPlay = [this, &hand](const uint8_t* cards, uint8_t count) {
        hand.RaiseCards(cards, count);
        return CanOutCard();
    };
    const tagShapePick pick =
        PickShape(shape, m_GameLogic, m_cbHandCards, m_cbHandCount, m_cbTurnCardData, m_cbTurnCardCount, m_ShapePick, canPlay);
    if (pick.bRaise)
        hand.RaiseCards(pick.cbCards, pick.cbCount);
    if (pick.out != tagShapePick::OutButton::Leave)
        EnableButton(105, pick.out == tagShapePick::OutButton::Enable);
    return 0;
}
