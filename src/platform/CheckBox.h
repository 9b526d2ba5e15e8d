#pragma once

// A check box: a small box with a tick and its caption to the right, on a transparent ground so
// that the dialog's picture shows around it. A click on it toggles the tick and tells the parent
// (WM_COMMAND, BN_CLICKED) as a Windows auto check box does.

#include "platform/Wnd.h"

inline constexpr int BST_UNCHECKED = 0;
inline constexpr int BST_CHECKED = 1;

class CCheckBox : public CWnd {
public:
    BOOL Create(std::string_view caption, DWORD dwStyle, const CRect& rect, CWnd* pParentWnd, UINT nID);
    int GetCheck() const { return m_nCheck; }
    void SetCheck(int nCheck);
    void SetTextColor(COLORREF crText) { m_crText = crText; }

protected:
    void OnDraw(CDC* pDC) override;
    void OnLButtonDown(UINT nFlags, CPoint point) override;
    void OnLButtonUp(UINT nFlags, CPoint point) override;

private:
    int m_nCheck = BST_UNCHECKED;
    bool m_bPressed = false;
    COLORREF m_crText = RGB(255, 255, 255);
};
