#pragma once

// The last-turn window: the last three plays of the table, each in the card row of the seat that
// made it, with the players' names. The game window fills and shows it on request and hides it
// again after three seconds; the player may drag it aside meanwhile.

#include "interaction/CardControl.h"
#include "platform/SkinButton.h"
#include "platform/SkinDialog.h"
#include "platform/SkinImage.h"
#include "platform/WindowDump.h"

#include <string>

class CLastTurnDlg : public CSkinDialog, public IDumpableWnd {
public:
    static constexpr UINT IDD = 246;
    static constexpr int kSeats = 3;

    explicit CLastTurnDlg(CWnd* pParentWnd = nullptr);

    // The name shown for a view position (0 left, 1 bottom, 2 right); others are ignored.
    void SetUserName(WORD wViewPos, const std::string& strName);
    // The cards of a view position; none empties its row.
    void SetCards(WORD wViewPos, const BYTE* pcbCards, std::size_t nCount);

    std::string GetDumpName() const override { return "246"; }
    void Dump(CDumpContext& dc) const override;

    CCardControl m_CardControl[kSeats];

protected:
    BOOL OnInitDialog() override;
    void OnDraw(CDC* pDC) override;
    void OnLButtonDown(UINT nFlags, CPoint point) override;
    void OnMouseMove(UINT nFlags, CPoint point) override;
    void OnLButtonUp(UINT nFlags, CPoint point) override;

private:
    CSkinImage m_ImageBack;
    CPngButton m_btClose;
    CFont m_NameFont;
    std::string m_strName[kSeats];
    // A drag: where the press was, in the window's own coordinates.
    bool m_bDragging = false;
    CPoint m_ptGrab;
};
