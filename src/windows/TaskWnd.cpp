#include "windows/TaskWnd.h"

#include "logic/MissionRules.h"
#include "platform/Region.h"
#include "support/TextCodec.h"
#include "windows/DigitStrip.h"

#include <algorithm>

namespace {

// Used when the background is missing, so the panel keeps its place and its link areas.
constexpr int kDefaultWidth = 165;
constexpr int kDefaultHeight = 150;
constexpr int kCornerSize = 7;
constexpr UINT kClockMs = 1000;

// The award count: 13 x 19 cells of "Number.png" at row 208, centred on x 82.
constexpr tagDigitStrip kAwardStrip{208, 13, 19};
constexpr int kAwardCentreX = 82;
constexpr int kAwardTop = 88;
constexpr CPoint kTipsAt{0, 48};
constexpr int kTipsRowHeight = 20;

// A 14-pixel cell: the text boxes are 16 to 20 pixels high, and 14 points (19 pixels) would
// spill out of them and over each other.
constexpr int kTextCell = 14;
constexpr COLORREF kTextColour = RGB(255, 240, 200);
constexpr COLORREF kPlainBackground = RGB(30, 44, 74);

constexpr CRect kTitleBox{8, 39, 158, 55};
constexpr CRect kThemeBox{8, 55, 158, 115};
constexpr CRect kRewardBox{8, 85, 158, 145};
constexpr CRect kStatusBox{8, 104, 158, 124};

constexpr unsigned kCartoonFrames = 2;
constexpr unsigned kCartoonInterval = 200;

bool IsMissionKind(BYTE cbKind) { return cbKind == mission::kKindChallenge || cbKind == mission::kKindDaily; }

void DrawBox(CDC* pDC, std::string_view text, CRect box, UINT nFormat) { pDC->DrawText(text, &box, nFormat); }

std::string JoinedRewards(const mission::MissionView& view)
{
    std::string text;
    for (const std::string& line : mission::RewardLines(view)) {
        if (!text.empty())
            text += ' ';
        text += line;
    }
    return text;
}

// The theme as shown: an offered mission without one says there is none running.
std::string ThemeText(const mission::MissionView& view)
{
    if (view.theme.empty() && view.cbState == mission::kStateOffered)
        return "没有进行中的任务。";
    return GbkToUtf8(view.theme);
}

}  // namespace

CTaskWnd::CTaskWnd() : CSkinDialog(IDD)
{
    for (BYTE kind : {mission::kKindChallenge, mission::kKindDaily}) {
        RecordOf(kind).cbTaskKind = kind;
        RecordOf(kind).cbTaskState = mission::kStateOffered;
    }
}

CTaskWnd::~CTaskWnd() = default;

BOOL CTaskWnd::CreateOver(CWnd* pOwner) { return Create(IDD, pOwner); }

void CTaskWnd::SetReporter(CAnimationDlg::Reporter reporter) { m_CompletionCartoon.SetReporter(std::move(reporter)); }

BOOL CTaskWnd::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    const std::string dir = "Telvo\\img\\NewMission\\";
    m_PngBack.LoadImage(dir + "MissionBack.png");
    m_PngAwardCrystal.LoadImage(dir + "AwardCrystal.png");
    m_PngTips.LoadImage(dir + "MissionTips.png");
    m_PngDoing.LoadImage(dir + "MissionDoing.png");
    m_PngNone.LoadImage(dir + "NoneMission.png");
    m_PngNumber.LoadImage("Telvo\\img\\Number.png");
    m_TextFont.CreateFont(kTextCell, FW_NORMAL, nullptr);
    m_LinkFont.CreateFont(kTextCell, FW_NORMAL, nullptr, TRUE);

    const int width = m_PngBack.IsNull() ? kDefaultWidth : m_PngBack.GetWidth();
    const int height = m_PngBack.IsNull() ? kDefaultHeight : m_PngBack.GetHeight();
    SetWindowPos(nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_MemDC.CreateCompatibleDC(nullptr);
    m_MemBitmap.CreateBitmap(width, height);
    m_MemDC.SelectObject(&m_MemBitmap);
    CRgn region;
    region.CreateRoundRectRgn(0, 0, width, height, kCornerSize, kCornerSize);
    SetWindowRgn(&region, FALSE);

    CreatePngButtons(this, {
        {&m_btAward, IDC_TAB_AWARD, {0, 0}, dir + "MissionBtn_01.png"},
        {&m_btDaily, IDC_TAB_DAILY, {55, 0}, dir + "MissionBtn_03.png"},
        {&m_btChallenge, IDC_TAB_CHALLENGE, {110, 0}, dir + "MissionBtn_02.png"},
    });
    SelectTab(m_cbTab);

    m_CompletionCartoon.CreateOver(this);
    m_CompletionCartoon.LoadStrip("hubra\\mission\\animate_complete.png", kCartoonFrames, RGB(0, 0, 0));
    PlaceCartoon();
    return TRUE;
}

// ---- What the game window pushes --------------------------------------------------------------------

void CTaskWnd::SetTaskRecord(const TaskRecord& record, int value)
{
    // Any other kind has no slot here.
    if (!IsMissionKind(record.cbTaskKind))
        return;
    RecordOf(record.cbTaskKind) = record;
    const UINT_PTR clock = record.cbTaskKind == mission::kKindChallenge ? IDT_CHALLENGE_CLOCK : IDT_DAILY_CLOCK;
    if (record.cbTaskState == mission::kStateRunning)
        SetTimer(clock, kClockMs);
    else
        KillTimer(clock);
    m_nValue = value;
    RefreshShownRecord();
    Invalidate();
}

void CTaskWnd::ShowAward(BYTE cbKind, LONG lCount)
{
    m_cbAwardKind = cbKind;
    m_lAwardCount = lCount;
    m_bAwardPending = true;
    SelectTab(TAB_AWARD);
}

void CTaskWnd::SetMissionRunning(bool bRunning)
{
    if (m_bMissionRunning == bRunning)
        return;
    m_bMissionRunning = bRunning;
    Invalidate();
}

void CTaskWnd::PlayCompletion(bool bPlay)
{
    if (!bPlay) {
        m_CompletionCartoon.Stop();
        return;
    }
    PlaceCartoon();
    m_CompletionCartoon.Play(kCartoonInterval, 1, 0, 0);
}

// ---- Tabs and clocks -----------------------------------------------------------------------------------

void CTaskWnd::SelectTab(BYTE cbTab)
{
    if (cbTab != TAB_CHALLENGE && cbTab != TAB_DAILY && cbTab != TAB_AWARD)
        return;
    m_cbTab = cbTab;
    const std::pair<CPngButton*, BYTE> tabs[] = {{&m_btAward, TAB_AWARD}, {&m_btDaily, TAB_DAILY}, {&m_btChallenge, TAB_CHALLENGE}};
    for (const auto& [button, tab] : tabs) {
        if (button->IsWindow())
            button->EnableWindow(tab != cbTab);
    }
    RefreshShownRecord();
    Invalidate();
}

void CTaskWnd::RefreshShownRecord()
{
    m_ShownRecord = m_cbTab == TAB_AWARD ? TaskRecord{} : RecordOf(m_cbTab);
}

BOOL CTaskWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case IDC_TAB_DAILY: SelectTab(TAB_DAILY); return TRUE;
    case IDC_TAB_CHALLENGE: SelectTab(TAB_CHALLENGE); return TRUE;
    case IDC_TAB_AWARD: SelectTab(TAB_AWARD); return TRUE;
    default: return CSkinDialog::OnCommand(wParam, lParam);
    }
}

void CTaskWnd::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != IDT_CHALLENGE_CLOCK && nIDEvent != IDT_DAILY_CLOCK)
        return;
    const BYTE kind = nIDEvent == IDT_CHALLENGE_CLOCK ? mission::kKindChallenge : mission::kKindDaily;
    if (!mission::TickTaskClock(RecordOf(kind)))
        KillTimer(nIDEvent);
    RefreshShownRecord();
    Invalidate();
}

// ---- The status link --------------------------------------------------------------------------------

bool CTaskWnd::IsOnLink(CPoint point, const CRect& area) const
{
    return IsMissionKind(m_ShownRecord.cbTaskKind) && mission::IsStatusLink(m_ShownRecord.cbTaskState) && area.PtInRect(point);
}

void CTaskWnd::OnMouseMove(UINT /*nFlags*/, CPoint point) { SetCursor(IsOnLink(point, kLinkHover) ? IDC_HAND : IDC_ARROW); }

void CTaskWnd::OnLButtonUp(UINT /*nFlags*/, CPoint point)
{
    if (!IsOnLink(point, kLinkClick) || !m_opener)
        return;
    // The dialog runs modally from here and may bring new records that change the shown one.
    const BYTE kind = m_ShownRecord.cbTaskKind;
    m_opener(kind);
}

// ---- Painting --------------------------------------------------------------------------------------

void CTaskWnd::OnPaint()
{
    const CSize size = m_MemBitmap.GetSize();
    DrawPanel(&m_MemDC);
    CPaintDC dc(this);
    dc.BitBlt(0, 0, size.cx, size.cy, &m_MemDC, 0, 0);
}

void CTaskWnd::DrawPanel(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    if (m_PngBack.IsNull()) {
        pDC->FillSolidRect(client, kPlainBackground);
    } else {
        // The background is not opaque everywhere: it must not pile up on the last paint.
        if (QImage* image = pDC->GetImage())
            image->fill(Qt::transparent);
        m_PngBack.DrawImage(pDC, 0, 0);
    }
    if (m_cbTab == TAB_AWARD)
        DrawAwardTab(pDC);
    else
        DrawRecordTexts(pDC);
    for (CPngButton* button : {&m_btAward, &m_btDaily, &m_btChallenge}) {
        if (button->IsWindow())
            button->SetButtonBkgnd(pDC);
    }
}

void CTaskWnd::DrawAwardTab(CDC* pDC)
{
    if (!m_bAwardPending) {
        (m_bMissionRunning ? m_PngDoing : m_PngNone).DrawImage(pDC, 0, 0);
        return;
    }
    m_PngAwardCrystal.DrawImage(pDC, 0, 0);
    if (const auto row = mission::AwardTipsRow(m_cbAwardKind, m_PngTips.GetHeight() / kTipsRowHeight))
        m_PngTips.DrawImage(pDC, kTipsAt.x, kTipsAt.y, m_PngTips.GetWidth(), kTipsRowHeight, 0, *row * kTipsRowHeight);
    // The strip's sign cell is a plus: an award below zero would read as a gain.
    const LONG count = std::max<LONG>(m_lAwardCount, 0);
    DrawStripNumber(pDC, m_PngNumber, kAwardStrip, count, kAwardCentreX - NumberWidth(count, false, kAwardStrip.nCellWidth) / 2,
        kAwardTop, NumberAlign::Left);
}

void CTaskWnd::DrawRecordTexts(CDC* pDC)
{
    if (!IsMissionKind(m_ShownRecord.cbTaskKind))
        return;
    const mission::MissionView view = mission::ReadMission(m_ShownRecord);
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(kTextColour);
    CFont* previous = pDC->SelectObject(&m_TextFont);
    DrawBox(pDC, mission::ProgressTitle(view, false), kTitleBox, DT_CENTER | DT_WORDBREAK);
    DrawBox(pDC, ThemeText(view), kThemeBox, DT_CENTER | DT_WORDBREAK);
    DrawBox(pDC, JoinedRewards(view), kRewardBox, DT_CENTER | DT_WORDBREAK);
    const std::string status = mission::TaskStatusText(view.cbState, view.lTimeLeft);
    if (!status.empty()) {
        if (mission::IsStatusLink(view.cbState))
            pDC->SelectObject(&m_LinkFont);
        DrawBox(pDC, status, kStatusBox, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    pDC->SelectObject(previous);
}

// ---- Placement ------------------------------------------------------------------------------------

void CTaskWnd::OnMove(int /*x*/, int /*y*/) { PlaceCartoon(); }

void CTaskWnd::PlaceCartoon()
{
    if (!m_CompletionCartoon.IsWindow())
        return;
    CRect panel;
    GetWindowRect(&panel);
    const CSize frame = m_CompletionCartoon.GetFrameSize();
    m_CompletionCartoon.SetWindowPos(nullptr, panel.left + (panel.Width() - frame.cx) / 2, panel.top + (panel.Height() - frame.cy) / 2, 0, 0,
        SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- Driver -----------------------------------------------------------------------------------------

void CTaskWnd::Dump(CDumpContext& dc) const
{
    const bool bMission = IsMissionKind(m_ShownRecord.cbTaskKind);
    const mission::MissionView view = mission::ReadMission(m_ShownRecord);
    dc.Add("tab", m_cbTab);
    dc.AddText("title", bMission ? mission::ProgressTitle(view, false) : std::string());
    dc.AddText("status", bMission ? mission::TaskStatusText(view.cbState, view.lTimeLeft) : std::string());
    dc.Add("seconds", m_ShownRecord.lTimeLeft);
    dc.Add("award_kind", m_cbAwardKind);
    dc.Add("award_count", m_lAwardCount);
    dc.Add("award_pending", m_bAwardPending);
    dc.AddText("theme", bMission ? ThemeText(view) : std::string());
    dc.AddText("rewards", bMission ? JoinedRewards(view) : std::string());
    dc.Add("link", bMission && mission::IsStatusLink(view.cbState));
    dc.Add("mission", m_bMissionRunning);
    dc.Add("value", m_nValue);
}
