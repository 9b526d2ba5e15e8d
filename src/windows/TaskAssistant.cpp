#include "windows/TaskAssistant.h"

#include "platform/Dc.h"
#include "view/GameClientView.h"

CTaskAssistant::CTaskAssistant() : CSkinDialog(IDD) {}

CTaskAssistant::~CTaskAssistant() = default;

BOOL CTaskAssistant::CreateOver(CWnd* pParent) { return Create(IDD, pParent); }

BOOL CTaskAssistant::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    ModifyStyleEx(0, WS_EX_LAYERED);
    SetWindowPos(nullptr, 0, 0, m_Size.cx, m_Size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CRect rect;
    GetWindowRect(&rect);
    m_Size = rect.Size();
    m_TaskWnd.CreateOver(this);
    m_bCreated = true;
    SetPosition(m_ptPosition.x, m_ptPosition.y);
    DrawSurface();
    return TRUE;
}

void CTaskAssistant::SetPosition(int x, int y)
{
    m_ptPosition = CPoint(x, y);
    if (!m_bCreated || !IsWindow())
        return;
    // The task window is a popup of the assistant, so both places are game-window points: the
    // task window hangs below the assistant's point instead of inside the assistant's own area,
    // where only its top would show.
    CPoint at = m_ptPosition;
    if (CWnd* parent = GetParent())
        parent->ClientToScreen(&at);
    SetWindowPos(nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (m_TaskWnd.IsWindow()) {
        const CPoint below = at + kTaskWndOffset;
        m_TaskWnd.SetWindowPos(nullptr, below.x, below.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

LRESULT CTaskAssistant::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == CGameClientView::UM_FOLLOW_HOST) {
        SetPosition(m_ptPosition.x, m_ptPosition.y);
        return 1;
    }
    return CSkinDialog::WindowProc(message, wParam, lParam);
}

void CTaskAssistant::OnPaint() { DrawSurface(); }

void CTaskAssistant::OnLButtonDown(UINT /*nFlags*/, CPoint /*point*/) { DrawSurface(); }

void CTaskAssistant::DrawSurface()
{
    if (!IsWindow())
        return;
    CRect rect;
    GetWindowRect(&rect);
    const CPoint at = rect.TopLeft();
    // Nothing is drawn on the picture yet: it stays fully transparent.
    const QImage picture = MakeSurface(m_Size.cx, m_Size.cy);
    UpdateLayeredWindow(picture, &at, 0, &m_Blend, ULW_ALPHA);
}

BOOL CTaskAssistant::OnSetCursor(CWnd* /*pWnd*/, UINT /*nHitTest*/, UINT /*message*/)
{
    SetCursor(IDC_HAND);
    return TRUE;
}

void CTaskAssistant::OnMouseMove(UINT /*nFlags*/, CPoint /*point*/)
{
    if (m_bTracking)
        return;
    m_bTracking = TrackMouseEvent(TME_LEAVE) != FALSE;
}

void CTaskAssistant::Dump(CDumpContext& dc) const
{
    dc.Add("x", m_ptPosition.x);
    dc.Add("y", m_ptPosition.y);
    dc.Add("created", m_bCreated);
}
