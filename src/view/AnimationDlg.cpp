#include "view/AnimationDlg.h"

#include "platform/Dc.h"
#include "platform/SkinImage.h"
#include "platform/TimerHost.h"
#include "support/Logger.h"

#include <QPainter>

#include <algorithm>
#include <cctype>

namespace {

// The key of a window's run at the timer host.
constexpr std::uintptr_t kRunId = 1;

bool NamesPng(std::string_view path)
{
    std::string lower(path);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower.find(".png") != std::string::npos;
}

}  // namespace

CAnimationDlg::CAnimationDlg(std::string name) : CSkinDialog(IDD), m_strName(std::move(name)) {}

CAnimationDlg::~CAnimationDlg()
{
    // The owner hears nothing more once it destroys the window object itself.
    m_reporter = nullptr;
    Stop();
}

BOOL CAnimationDlg::CreateOver(CWnd* pParentWnd) { return Create(IDD, pParentWnd); }

BOOL CAnimationDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    ModifyStyleEx(0, WS_EX_LAYERED);
    SetWindowPos(&wndTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return TRUE;
}

void CAnimationDlg::OnDestroy()
{
    Stop();
    CSkinDialog::OnDestroy();
}

bool CAnimationDlg::Fail(std::string_view path, const char* why)
{
    m_strip = QImage();
    if (!m_bFailLogged && g_pLogger) {
        m_bFailLogged = true;
        g_pLogger->Write("animation %s: %.*s %s, nothing plays", m_strName.c_str(), static_cast<int>(path.size()), path.data(), why);
    }
    return false;
}

bool CAnimationDlg::LoadStrip(std::string_view path, unsigned nFrames, COLORREF crKey)
{
    const QImage picture = LoadSkinPicture(path);
    if (picture.isNull())
        return Fail(path, "cannot be read");
    if (!SetStrip(picture, nFrames, crKey, NamesPng(path)))
        return Fail(path, "is too small for its frames");
    return true;
}

bool CAnimationDlg::SetStrip(const QImage& strip, unsigned nFrames, COLORREF crKey, bool bPng)
{
    const auto cut = anim::CutStrip(strip.width(), strip.height(), nFrames);
    if (!cut) {
        m_strip = QImage();
        return false;
    }
    m_strip = strip.convertToFormat(kSurfaceFormat);
    m_nFrameCount = nFrames;
    m_crKey = crKey;
    m_dwUpdateFlags = bPng ? ULW_ALPHA : ULW_COLORKEY;
    m_Blend.AlphaFormat = bPng ? AC_SRC_ALPHA : 0;
    m_nFrameWidth = m_nWidth = cut->nFrameWidth;
    m_nFrameHeight = m_nHeight = cut->nFrameHeight;
    if (IsWindow())
        SetWindowPos(&wndTopMost, 0, 0, m_nFrameWidth, m_nFrameHeight, SWP_NOMOVE | SWP_NOACTIVATE);
    return true;
}

void CAnimationDlg::Play(unsigned nInterval, int nLoop, unsigned nFirst, unsigned nLast)
{
    if (!HasStrip() || !IsWindow())
        return;
    m_nInterval = nInterval;
    m_nLoop = nLoop;
    m_nFirstFrame = nFirst;
    m_nLastFrame = nLast == 0 ? m_nFrameCount - 1 : nLast;
    if (m_reporter)
        m_reporter("anim " + m_strName + " play");
    if (m_bRunning) {
        m_nFrame = nFirst;
        return;
    }
    m_bRunning = 1;
    m_bFirstStep = true;
    const unsigned delay = StartRun();
    GetTimerHost().startRun(this, kRunId, delay, [this]() -> std::optional<unsigned> {
        const auto next = IsWindow() ? RunStep() : std::nullopt;
        if (!next)
            EndRun();
        return next;
    });
}

void CAnimationDlg::Stop()
{
    if (!m_bRunning)
        return;
    GetTimerHost().stopRun(this, kRunId);
    EndRun();
}

void CAnimationDlg::EndRun()
{
    if (!m_bRunning)
        return;
    m_bRunning = 0;
    m_nFrame = 0;
    GetTimerHost().stopRun(this, kRunId);
    if (IsWindow())
        ShowWindow(SW_HIDE);
    if (m_reporter)
        m_reporter("anim " + m_strName + " stop");
}

unsigned CAnimationDlg::StartRun() { return kStartDelayMs; }

std::optional<unsigned> CAnimationDlg::RunStep()
{
    if (m_bFirstStep) {
        m_bFirstStep = false;
        m_nFrame = m_nFirstFrame;
    }
    const auto frame = anim::FrameToDraw(m_nFrame, m_nFirstFrame, m_nLastFrame, m_nLoop != 0);
    if (!frame)
        return std::nullopt;
    DrawFrame(*frame);
    ShowWindow(SW_SHOWNA);
    m_nFrame = *frame + 1;
    return m_nInterval;
}

QImage CAnimationDlg::FramePicture(unsigned nFrame, int nSourceY, int nHeight) const
{
    const int height = std::max(1, nHeight);
    QImage picture = MakeSurface(m_nFrameWidth, height);
    if (m_strip.isNull() || m_nFrameCount == 0)
        return picture;
    const int x = static_cast<int>(nFrame % m_nFrameCount) * m_nFrameWidth;
    // Rows past the strip (a window taller than a frame) stay transparent.
    const int rows = std::min(height, m_nFrameHeight - nSourceY);
    if (rows <= 0 || nSourceY < 0)
        return picture;
    QPainter painter(&picture);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(0, 0), m_strip, QRect(x, nSourceY, m_nFrameWidth, rows));
    return picture;
}

void CAnimationDlg::ShowLayer(const QImage& image, const CPoint& topLeft)
{
    if (!IsWindow())
        return;
    ModifyStyleEx(0, WS_EX_LAYERED);
    UpdateLayeredWindow(image, &topLeft, m_crKey, &m_Blend, m_dwUpdateFlags);
}

void CAnimationDlg::DrawFrame(unsigned nFrame)
{
    CRect rect;
    GetWindowRect(&rect);
    m_nWidth = rect.Width();
    m_nHeight = rect.Height();
    m_nShownFrame = static_cast<int>(nFrame);
    // A frame past the range (the range shrank during the run) shows nothing.
    const QImage picture = nFrame > m_nLastFrame ? MakeSurface(m_nFrameWidth, m_nFrameHeight) : FramePicture(nFrame, 0, m_nFrameHeight);
    ShowLayer(picture, rect.TopLeft());
}

void CAnimationDlg::Dump(CDumpContext& dc) const
{
    dc.Add("frame", m_nShownFrame);
    dc.Add("first", m_nFirstFrame);
    dc.Add("last", m_nLastFrame);
    dc.Add("interval", m_nInterval);
    dc.Add("loop", m_nLoop);
    dc.Add("running", m_bRunning);
}

// ---- CRocketAnimation --------------------------------------------------------------------------

CRect CRocketAnimation::OwnerRect() const
{
    CRect rect;
    if (m_pOwnerView)
        m_pOwnerView->GetWindowRect(&rect);
    return rect;
}

unsigned CRocketAnimation::StartRun()
{
    m_nFrame = 0;
    m_nRise = 0;
    const CRect view = OwnerRect();
    const int x = view.left + view.Width() / 2 - m_nWidth / 2;
    SetWindowPos(nullptr, x, view.bottom, m_nWidth, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    // The rocket waits its start and then one interval before the first tick.
    return kStartDelayMs + m_nInterval;
}

std::optional<unsigned> CRocketAnimation::RunStep()
{
    CRect self;
    GetWindowRect(&self);
    const anim::RocketStep step = anim::RocketAt(static_cast<int>(m_nFrame), m_nRise, OwnerRect(), m_nWidth, self.Height(), m_nFrameHeight);
    m_nRise = step.nRise;
    if (step.bEnd) {
        SetWindowPos(nullptr, step.rcWindow.left, step.rcWindow.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
        return std::nullopt;
    }
    SetWindowPos(nullptr, step.rcWindow.left, step.rcWindow.top, step.rcWindow.Width(), step.rcWindow.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    m_nSourceY = step.nSourceY;
    DrawFrame(m_nFrame % std::max(1u, m_nFrameCount));
    ++m_nFrame;
    return m_nInterval;
}

void CRocketAnimation::DrawFrame(unsigned nFrame)
{
    CRect rect;
    GetWindowRect(&rect);
    m_nWidth = rect.Width();
    m_nHeight = rect.Height();
    // A window of height 0 is drawn one pixel high, which the next move shrinks again.
    const int height = std::max(1, m_nHeight);
    SetShownFrame(nFrame);
    ShowLayer(FramePicture(nFrame, m_nSourceY, height), rect.TopLeft());
}

// ---- CPlaneAnimation ---------------------------------------------------------------------------

unsigned CPlaneAnimation::StartRun()
{
    m_nFrame = 0;
    m_bPlaced = false;
    return kStartDelayMs;
}

std::optional<unsigned> CPlaneAnimation::RunStep()
{
    CRect parent, self;
    if (CWnd* owner = GetParent())
        owner->GetWindowRect(&parent);
    GetWindowRect(&self);
    const int y = parent.top + parent.Height() / 2 - self.Height() / 2;
    if (!m_bPlaced) {
        m_bPlaced = true;
        SetWindowPos(nullptr, parent.right - self.Width(), y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        return m_nInterval;
    }
    const auto left = anim::PlaneLeft(static_cast<int>(m_nFrame), parent, self.Width());
    if (!left)
        return std::nullopt;
    SetWindowPos(nullptr, *left, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    CAnimationDlg::DrawFrame(m_nFrame % std::max(1u, m_nFrameCount));
    ++m_nFrame;
    return m_nInterval;
}
