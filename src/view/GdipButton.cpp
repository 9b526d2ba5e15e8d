#include "view/GdipButton.h"

#include "platform/Dc.h"
#include "platform/Services.h"
#include "platform/SkinImage.h"

#include <QString>

#include <algorithm>

using imagebutton::Argb;

CGdipButton::CGdipButton() = default;

BOOL CGdipButton::SetStateImage(std::string_view path, int nFrames)
{
    const QImage picture = LoadSkinPicture(path);
    if (picture.isNull()) {
        GetDialogService().MessageBox(nullptr, QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size())) + QStringLiteral("读取失败!"));
        m_image = QImage();
        m_animImage = QImage();
        m_bAnimEnabled = FALSE;
        return FALSE;
    }
    return SetStatePicture(picture, nFrames);
}

BOOL CGdipButton::SetStatePicture(const QImage& picture, int nFrames)
{
    m_nFrameCount = std::max(1, nFrames);
    m_image = picture.convertToFormat(QImage::Format_ARGB32);
    m_nImageWidth = m_image.width();
    m_nImageHeight = m_image.height();
    m_nFrameWidth = m_nImageWidth / m_nFrameCount;
    if (IsWindow())
        SetWindowPos(nullptr, 0, 0, m_nFrameWidth, m_nImageHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Invalidate();
    return TRUE;
}

BOOL CGdipButton::SetAnimImage(std::string_view path, UINT nInterval, int nFrames)
{
    m_animImage = LoadSkinPicture(path).convertToFormat(QImage::Format_ARGB32);
    if (m_animImage.isNull())
        return FALSE;
    m_nAnimInterval = nInterval;
    m_nAnimFrames = std::max(1, nFrames);
    m_bAnimEnabled = TRUE;
    return TRUE;
}

void CGdipButton::StartAnim()
{
    if (!m_bAnimEnabled || m_bAnimRunning)
        return;
    m_bPressLatch = FALSE;
    m_bAnimRunning = TRUE;
    SetTimer(IDT_ANIMATION, m_nAnimInterval);
}

bool CGdipButton::HitTest(CPoint point) const
{
    if (!m_bAlphaHitTest)
        return true;
    if (m_image.isNull())
        return false;
    // Always the first frame's pixels, whatever look is shown.
    return imagebutton::HitsOpaque(reinterpret_cast<const Argb*>(m_image.constBits()), m_nFrameWidth, m_nImageHeight,
                                   static_cast<int>(m_image.bytesPerLine() / 4), point.x, point.y);
}

QImage CGdipButton::ImageLookPicture(const imagebutton::Look& look) const
{
    const QImage& source = look.bAnimation ? m_animImage : m_image;
    QImage piece = source.copy(look.nFrame * m_nFrameWidth, 0, m_nFrameWidth, m_nImageHeight);
    if (look.transform == imagebutton::Transform::None || piece.isNull())
        return piece;
    for (int y = 0; y < piece.height(); ++y) {
        auto* line = reinterpret_cast<Argb*>(piece.scanLine(y));
        for (int x = 0; x < piece.width(); ++x)
            line[x] = look.transform == imagebutton::Transform::Grey ? imagebutton::Grey(line[x]) : imagebutton::Shade(line[x], look.fShade);
    }
    return piece;
}

void CGdipButton::OnPaint()
{
    CPaintDC dc(this);
    if (!dc.GetImage())
        return;
    // Without a snapshot, transparent parts show the table's felt colour rather than garbage.
    const QImage& background = GetBackground();
    if (background.isNull())
        dc.GetImage()->fill(0);
    else
        dc.DrawImage(background, 0, 0, background.width(), background.height(), 0, 0, background.width(), background.height());

    imagebutton::ButtonState state;
    state.bDisabled = !IsWindowEnabled();
    m_bDisabled = state.bDisabled ? TRUE : FALSE;
    if (state.bDisabled && m_bAnimEnabled) {
        // Disabled once, the animation is off for good.
        m_bAnimEnabled = FALSE;
        m_bAnimRunning = FALSE;
    }
    state.bAnimating = m_bAnimEnabled && m_bAnimRunning && !m_animImage.isNull();
    state.nAnimIndex = m_nAnimIndex;
    state.nAnimFrames = m_nAnimFrames;
    state.bSelected = GetLook() == LookPressed;
    state.bHover = m_bHover != 0;
    state.nFrames = m_nFrameCount;
    state.fGlow = m_fGlow;
    if (!m_image.isNull()) {
        const QImage look = ImageLookPicture(imagebutton::ChooseLook(state));
        dc.DrawImage(look, 0, 0, look.width(), look.height(), 0, 0, look.width(), look.height());
    }
    const std::string caption = GetWindowText();
    if (!caption.empty()) {
        CFont font;
        font.CreateFont(18, 600, "黑体");
        dc.SelectObject(&font);
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(RGB(180, 180, 180));
        CRect client;
        GetClientRect(&client);
        dc.DrawText(caption, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
        dc.SelectObject(static_cast<CFont*>(nullptr));
    }
}

void CGdipButton::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == IDT_ANIMATION) {
        if (m_bPressLatch || !m_bAnimRunning) {
            m_bAnimRunning = FALSE;
            KillTimer(IDT_ANIMATION);
            m_nAnimIndex = 0;
        } else {
            ++m_nAnimIndex;
        }
        Invalidate();
    } else if (nIDEvent == IDT_GLOW) {
        bool glowing = m_bGlowing != 0;
        if (!imagebutton::GlowTick(m_fGlow, m_bHover != 0, glowing))
            KillTimer(IDT_GLOW);
        m_bGlowing = glowing ? TRUE : FALSE;
        Invalidate();
    }
}

void CGdipButton::OnMouseMove(UINT nFlags, CPoint point)
{
    if (!m_bTracking)
        m_bTracking = TrackMouseEvent(TME_HOVER | TME_LEAVE, 1);
    const bool hit = HitTest(point);
    if (!m_bHover && hit) {
        m_bHover = TRUE;
        if (m_nFrameCount <= 2) {
            SetTimer(IDT_GLOW, kGlowMs);
            m_bGlowing = TRUE;
            m_fGlow = imagebutton::kGlowStart;
        }
        Invalidate();
    } else if (m_bHover && !hit) {
        m_bHover = FALSE;
        Invalidate();
    }
    if (m_bAnimEnabled)
        StopAnim();
    CPngButton::OnMouseMove(nFlags, point);
}

void CGdipButton::OnMouseHover(UINT /*nFlags*/, CPoint /*point*/)
{
    m_bHover = TRUE;
    if (m_bAnimEnabled)
        StopAnim();
    Invalidate();
}

void CGdipButton::OnMouseLeave()
{
    m_bTracking = FALSE;
    m_bHover = FALSE;
    Invalidate();
    if (m_bAnimEnabled && !m_bPressLatch)
        StartAnim();
    CPngButton::OnMouseLeave();
}

void CGdipButton::OnLButtonDown(UINT nFlags, CPoint point)
{
    // A press on a transparent pixel is not the button's: it neither presses nor captures.
    if (!HitTest(point))
        return;
    m_bPressLatch = TRUE;
    CPngButton::OnLButtonDown(nFlags, point);
}

void CGdipButton::OnLButtonUp(UINT nFlags, CPoint point)
{
    Invalidate();
    CPngButton::OnLButtonUp(nFlags, point);
}

void CGdipButton::Dump(CDumpContext& dc) const
{
    // Two decimals are what the glow's steps of 0.02 need.
    dc.AddRaw("m_fGlow", QString::number(static_cast<double>(m_fGlow), 'f', 2).toStdString());
    dc.Add("m_bHover", m_bHover);
    dc.Add("m_bPressed", GetLook() == LookPressed ? 1 : 0);
}
