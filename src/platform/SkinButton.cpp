#include "platform/SkinButton.h"

#include "platform/Dc.h"
#include "platform/Region.h"
#include "platform/SkinImage.h"

#include <QString>

CPngButton::CPngButton() { AcceptDoubleClicks(false); }

BOOL CPngButton::Create(std::string_view caption, DWORD dwStyle, const CRect& rect, CWnd* pParentWnd, UINT nID)
{
    SetWindowText(caption);
    if (!CWnd::Create(dwStyle | WS_CHILD, rect, pParentWnd, nID))
        return FALSE;
    Resize();
    return TRUE;
}

bool CPngButton::SetButtonImage(std::string_view path)
{
    SetButtonPicture(LoadSkinPicture(path));
    m_strImagePath = path;
    return !m_picture.isNull();
}

bool CPngButton::SetButtonImage(const wchar_t* path)
{
    if (!path)
        return SetButtonImage(std::string_view());
    const std::string utf8 = QString::fromWCharArray(path).toStdString();
    return SetButtonImage(std::string_view(utf8));
}

void CPngButton::SetButtonPicture(const QImage& strip)
{
    m_strImagePath.clear();
    m_picture = strip.isNull() ? QImage() : strip.convertToFormat(kSurfaceFormat);
    Resize();
    Invalidate();
}

void CPngButton::Resize()
{
    if (m_picture.isNull() || !IsWindow())
        return;
    SetWindowPos(nullptr, 0, 0, LookWidth(), m_picture.height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CPngButton::SetButtonBkgnd(CDC* pDC)
{
    if (!pDC || !pDC->GetImage() || !IsWindow())
        return;
    CRect rect;
    GetWindowRect(&rect);
    if (CWnd* parent = GetParent())
        parent->ScreenToClient(&rect);
    // QImage::copy takes an empty rectangle for the whole picture: a button without a picture
    // yet would keep a copy of the whole table, taken again on every paint pass.
    if (rect.IsRectEmpty())
        m_background = QImage();
    else
        m_background = pDC->GetImage()->copy(rect.left, rect.top, rect.Width(), rect.Height());
    Invalidate();
}

CPngButton::Look CPngButton::GetLook() const
{
    if (!IsWindowEnabled())
        return LookDisabled;
    if (m_bPressed && m_bPointerOver)
        return LookPressed;
    if (m_bHover)
        return LookHover;
    return LookNormal;
}

QImage CPngButton::LookPicture(Look look) const
{
    const int w = LookWidth();
    return m_picture.copy(look * w, 0, w, m_picture.height());
}

void CPngButton::OnPaint()
{
    CPaintDC dc(this);
    QImage* surface = dc.GetImage();
    if (!surface)
        return;
    surface->fill(0);
    if (!IsWindowEnabled()) {
        // A press that was under way when the button was disabled never gets its release.
        m_bPressed = false;
        m_bHover = false;
    }
    CRect client;
    GetClientRect(&client);
    if (!m_background.isNull()) {
        CDC background(&m_background);
        dc.BitBlt(0, 0, client.Width(), client.Height(), &background, 0, 0, SRCCOPY);
    }
    if (m_picture.isNull())
        return;
    const QImage look = LookPicture(GetLook());
    dc.DrawImage(look, 0, 0, look.width(), look.height(), 0, 0, look.width(), look.height());
    const std::string caption = GetWindowText();
    if (!caption.empty()) {
        dc.SetBkMode(TRANSPARENT);
        dc.DrawText(caption, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    }
}

void CPngButton::OnLButtonDown(UINT /*nFlags*/, CPoint point)
{
    m_bPressed = true;
    m_bPointerOver = PtInWindowShape(point) != 0;
    SetCapture();
    Invalidate();
}

void CPngButton::OnMouseMove(UINT /*nFlags*/, CPoint point)
{
    const bool over = PtInWindowShape(point) != 0;
    if (!m_bHover && over) {
        m_bHover = true;
        TrackMouseEvent(TME_LEAVE);
        Invalidate();
    }
    if (m_bPressed && over != m_bPointerOver) {
        m_bPointerOver = over;
        Invalidate();
    }
}

void CPngButton::OnMouseLeave()
{
    m_bHover = false;
    Invalidate();
}

void CPngButton::OnLButtonUp(UINT /*nFlags*/, CPoint point)
{
    const bool click = m_bPressed && PtInWindowShape(point) != 0;
    m_bPressed = false;
    if (GetCapture() == this)
        ReleaseCapture();
    Invalidate();
    if (!click)
        return;
    // The parent may destroy this button while it handles the click, so nothing of the button
    // is touched afterwards.
    if (CWnd* parent = GetParent())
        parent->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(GetDlgCtrlID()), BN_CLICKED), reinterpret_cast<LPARAM>(this));
}

// ---- CSkinButton -------------------------------------------------------------------------------

bool CSkinButton::SetButtonImage(std::string_view path, bool /*bExpandImage*/) { return CPngButton::SetButtonImage(path); }

// ---- CRgnButton --------------------------------------------------------------------------------

bool CRgnButton::LoadRgnImage(std::string_view path, COLORREF crTransparent)
{
    SetRgnPicture(LoadSkinPicture(path), crTransparent);
    return !GetPicture().isNull();
}

void CRgnButton::SetRgnPicture(const QImage& strip, COLORREF crTransparent)
{
    m_crKey = crTransparent;
    SetButtonPicture(strip);
    if (GetPicture().isNull() || !IsWindow())
        return;
    CRgn shape;
    shape.SetRegion(RegionWithoutColor(GetPicture().copy(0, 0, LookWidth(), GetPicture().height()), crTransparent));
    SetWindowRgn(&shape, TRUE);
}

QImage CRgnButton::LookPicture(Look look) const
{
    const QImage piece = CPngButton::LookPicture(look);
    QImage keyed = piece.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = 0xFF000000u | (unsigned(GetRValue(m_crKey)) << 16) | (unsigned(GetGValue(m_crKey)) << 8) | GetBValue(m_crKey);
    for (int y = 0; y < keyed.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(keyed.scanLine(y));
        for (int x = 0; x < keyed.width(); ++x) {
            if ((line[x] | 0xFF000000u) == key)
                line[x] = 0;
        }
    }
    return keyed;
}

void CreatePngButtons(CWnd* parent, std::initializer_list<PngButtonPlace> buttons)
{
    for (const PngButtonPlace& place : buttons) {
        place.button->Create("", WS_CHILD | WS_VISIBLE, CRect(place.at, CSize()), parent, place.nID);
        place.button->EnableSound(false);
        place.button->SetButtonImage(place.picture);
    }
}
