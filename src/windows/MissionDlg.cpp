#include "windows/MissionDlg.h"

#include "platform/Services.h"
#include "platform/host/GameFrame.h"
#include "support/CoOperatingConfig.h"
#include "support/TextCodec.h"

#include <QString>

#include <algorithm>
#include <iterator>

namespace {

constexpr COLORREF kKey = RGB(0xFF, 0x00, 0xFF);
constexpr COLORREF kInk = RGB(90, 50, 20);
constexpr COLORREF kTitleInk = RGB(130, 60, 10);
constexpr COLORREF kStatusInk = RGB(190, 40, 20);
constexpr int kDialogWidth = 480;
constexpr int kDialogHeight = 390;
// A press this far from the top moves the window.
constexpr int kDragBarHeight = 35;

const std::string kDir = "hubra\\mission\\";

// Where the mission pages draw.
constexpr CRect kTitleBox(200, 65, 350, 95);
constexpr CRect kDescribeBox(118, 100, 454, 180);
constexpr CRect kMethodBox(220, 224, 435, 294);
constexpr CPoint kNoticeAt(140, 170);
constexpr int kLabelX = 118;
constexpr int kValueX = 220;
constexpr int kPageRight = 454;
constexpr int kRewardY = 287;
constexpr int kRewardStep = 20;
constexpr CPoint kStatusAt(200, 340);
constexpr CPoint kBonusWaitAt(300, 340);
// Beside the title, clear of the details.
constexpr CPoint kAnimationAt(342, 40);

constexpr const char* kLabels[] = {"挑战难度:", "挑战主题:", "挑战方法:"};
constexpr int kLabelY = 170;
constexpr int kLabelStep = 25;
constexpr int kRewardLabelY = 285;

struct tagNewbieTask {
    const char* pszName;
    const char* pszReward;
    int nWebTaskID;
};
constexpr tagNewbieTask kNewbieTasks[] = {
    {"账号安全任务", "奖励3000金币", 4},
    {"防沉迷验证任务", "奖励3000奖券", 5},
    {"兑换练习任务", "奖励3000金币", 6},
};
constexpr int kNewbieCount = static_cast<int>(std::size(kNewbieTasks));
constexpr int kNewbieX = 110;
constexpr int kNewbieY = 120;
constexpr int kNewbieStep = 47;
constexpr int kNewbieWidth = 356;
constexpr int kNewbieHeight = 37;
constexpr int kNewbieTextInset = 40;

CRect NewbieRow(int nEntry)
{
    const int y = kNewbieY + kNewbieStep * (nEntry % CMissionDlg::kNewbiePerScreen);
    return CRect(kNewbieX, y, kNewbieX + kNewbieWidth, y + kNewbieHeight);
}

void PutText(CDC* pDC, CPoint at, std::string_view text) { pDC->TextOut(at.x, at.y, text); }

}  // namespace

std::array<uint8_t, 8> MissionRequest(DWORD dwUserID, DWORD dwPageKind)
{
    return {static_cast<uint8_t>(dwUserID), static_cast<uint8_t>(dwUserID >> 8), static_cast<uint8_t>(dwUserID >> 16),
            static_cast<uint8_t>(dwUserID >> 24), static_cast<uint8_t>(dwPageKind), static_cast<uint8_t>(dwPageKind >> 8),
            static_cast<uint8_t>(dwPageKind >> 16), static_cast<uint8_t>(dwPageKind >> 24)};
}

std::string NewbieTaskUrl(std::string_view base, int nTaskID)
{
    const std::size_t hash = std::min(base.find('#'), base.size());
    std::string url(base.substr(0, hash));
    if (url.find('?') == std::string::npos)
        url += '?';
    else if (url.back() != '?' && url.back() != '&')
        url += '&';
    url += "taskID=" + std::to_string(nTaskID);
    url += base.substr(hash);
    return url;
}

CMissionDlg::CMissionDlg(CGameFrameDlg* pFrame) : CSkinDialog(IDD, pFrame), m_pFrame(pFrame)
{
    // Until the server tells otherwise, neither kind has a mission.
    m_Records[0].cbTaskKind = mission::kKindChallenge;
    m_Records[1].cbTaskKind = mission::kKindDaily;

    // Opaque from the start, so that each paint copies it instead of blending it.
    m_Background = LoadSkinPicture(kDir + "img_back.bmp").convertToFormat(QImage::Format_RGB32);
    m_PngChallengeNone.LoadImage(kDir + "text_challenge_none.png");
    m_PngChallengeEnd.LoadImage(kDir + "text_challenge_end.png");
    m_PngDailyNone.LoadImage(kDir + "text_daily.png");
    m_PngNewbieRows.LoadImage(kDir + "IMG_MISSION_ITEM.png");
    m_CompleteStrip = LoadSkinPicture(kDir + "animate_complete.png");
    m_FailStrip = LoadSkinPicture(kDir + "animate_fail.png");
    m_TitleFont.CreateFont(20, FW_NORMAL, "黑体");
    m_TextFont.CreateFont(15, FW_NORMAL, "黑体");
}

CMissionDlg::~CMissionDlg() = default;

BOOL CMissionDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    const int width = m_Background.isNull() ? kDialogWidth : m_Background.width();
    const int height = m_Background.isNull() ? kDialogHeight : m_Background.height();
    SetWindowPos(nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);

    CreatePngButtons(this, {
        {&m_btDaily, IDC_TAB_DAILY, {29, 48}, kDir + "bt_mission_daily.png"},
        {&m_btChallenge, IDC_TAB_CHALLENGE, {29, 119}, kDir + "bt_mission_Challenge.png"},
        {&m_btNewbie, IDC_TAB_NEWBIE, {29, 190}, kDir + "bt_mission_Fresh.png"},
        {&m_btAccept, IDC_ACCEPT, {177, 337}, kDir + "bt_accept.png"},
        {&m_btNotNow, IDC_NOT_NOW, {317, 337}, kDir + "bt_next_time.png"},
        {&m_btRetry, IDC_RETRY, {177, 337}, kDir + "bt_challenge_again.png"},
        {&m_btBonus, IDC_BONUS, {177, 337}, kDir + "bt_bonus.png"},
        {&m_btScrollUp, IDC_SCROLL_UP, {394, 352}, kDir + "bt_up.png"},
        {&m_btScrollDown, IDC_SCROLL_DOWN, {430, 352}, kDir + "bt_down.png"},
    });
    m_btClose.Create("", WS_CHILD | WS_VISIBLE, CRect(CPoint(444, 7), CSize()), this, IDC_CLOSE);
    m_btClose.EnableSound(false);
    m_btClose.LoadRgnImage(kDir + "bt_close.bmp", kKey);
    m_btTakeTask.Create("", WS_CHILD, CRect(CPoint(145, 80), CSize()), this, IDC_TAKE_TASK);
    m_btTakeTask.EnableSound(false);
    m_btTakeTask.SetStateImage(kDir + "bt_get_task.png", 1);

    m_rgnShape.SetRegion(m_Background.isNull() ? QRegion(0, 0, width, height) : RegionWithoutColor(m_Background, kKey));
    ModifyStyleEx(0, WS_EX_LAYERED);
    SetAlpha(kFadeAlphaBase);
    // Above the table's own overlays (the trustee cover, the task window), which are topmost.
    SetWindowPos(&wndTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    CenterWindow();

    m_Animation.SetReporter([this](const std::string& line) {
        if (m_pFrame)
            m_pFrame->EmitEvent(line);
    });
    m_Animation.CreateOver(this);

    m_nFadeStep = kFadeStep;
    m_nFadeTotal = 0;
    SetTimer(IDT_FADE, kFadeMs);
    ApplyPage();
    return TRUE;
}

void CMissionDlg::OnDestroy()
{
    StopAnimation();
    m_Animation.DestroyWindow();
    if (GetCapture() == this)
        ReleaseCapture();
    CSkinDialog::OnDestroy();
}

// ---- Pages and buttons ------------------------------------------------------------------------------

void CMissionDlg::SelectPage(BYTE cbPage)
{
    m_cbPage = cbPage == kPageChallenge || cbPage == kPageDaily ? cbPage : kPageNewbie;
    if (!IsWindow())
        return;
    // The result animation belongs to the challenge shown; the next tick brings it back there.
    StopAnimation();
    ApplyPage();
}

void CMissionDlg::ApplyPage()
{
    m_btChallenge.EnableWindow(m_cbPage != kPageChallenge);
    m_btDaily.EnableWindow(m_cbPage != kPageDaily);
    m_btNewbie.EnableWindow(m_cbPage != kPageNewbie);
    RefreshMissionButtons();
    RefreshScrollButtons();
    m_nHoverNewbie = -1;
    m_nPressedNewbie = -1;
    Invalidate();
}

mission::MissionButtons CMissionDlg::PageButtons() const
{
    if (!OnMissionPage())
        return {};
    const TaskRecord& record = PageRecord(m_cbPage);
    const DWORD ticks = m_dwBonusTicks[m_cbPage - 1];
    mission::MissionButtons buttons = m_cbPage == kPageChallenge ? mission::ChallengeButtons(record.cbTaskState, ticks)
                                                                 : mission::DailyButtons(record.cbTaskState, ticks);
    if (m_bBonusTaken[m_cbPage - 1])
        buttons.bBonus = false;
    return buttons;
}

void CMissionDlg::RefreshMissionButtons()
{
    const mission::MissionButtons buttons = PageButtons();
    ShowControl(IDC_ACCEPT, buttons.bAccept);
    ShowControl(IDC_NOT_NOW, buttons.bNotNow);
    ShowControl(IDC_RETRY, buttons.bRetry);
    ShowControl(IDC_BONUS, buttons.bBonus);
    if (buttons.bBonus)
        m_btBonus.EnableWindow(TRUE);
    ShowControl(IDC_TAKE_TASK, buttons.bTakeTask);
}

void CMissionDlg::RefreshScrollButtons()
{
    const bool bShown = m_cbPage == kPageNewbie;
    ShowControl(IDC_SCROLL_UP, bShown);
    ShowControl(IDC_SCROLL_DOWN, bShown);
    m_btScrollUp.EnableWindow(m_nFirstNewbie > 0);
    m_btScrollDown.EnableWindow(m_nFirstNewbie + kNewbiePerScreen < kNewbieCount);
}

void CMissionDlg::ShowControl(UINT nID, bool bShow)
{
    if (CWnd* control = GetDlgItem(static_cast<int>(nID)))
        control->ShowWindow(bShow ? SW_SHOW : SW_HIDE);
}

void CMissionDlg::SetMissionRecord(const TaskRecord& record, DWORD dwBonusTicks)
{
    if (record.cbTaskKind != mission::kKindChallenge && record.cbTaskKind != mission::kKindDaily)
        return;
    const int slot = record.cbTaskKind - 1;
    m_Records[slot] = record;
    m_dwBonusTicks[slot] = std::min<DWORD>(dwBonusTicks, mission::kBonusWaitSeconds);
    // A new wait (or no wait at all) means the bonus of the last one is history.
    if (record.cbTaskState != mission::kStateDone || dwBonusTicks == 0)
        m_bBonusTaken[slot] = false;
    if (!IsWindow())
        return;
    RefreshMissionButtons();
    Invalidate();
}

BOOL CMissionDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case IDC_TAB_DAILY: SelectPage(kPageDaily); return TRUE;
    case IDC_TAB_CHALLENGE: SelectPage(kPageChallenge); return TRUE;
    case IDC_TAB_NEWBIE: SelectPage(kPageNewbie); return TRUE;
    case IDC_CLOSE:
    case IDC_NOT_NOW: StartClose(); return TRUE;
    case IDC_ACCEPT:
    case IDC_RETRY:
        ShowControl(IDC_ACCEPT, false);
        ShowControl(IDC_NOT_NOW, false);
        ShowControl(IDC_RETRY, false);
        StopAnimation();
        SendRequest();
        return TRUE;
    case IDC_TAKE_TASK:
        m_btTakeTask.EnableWindow(FALSE);
        SendRequest();
        return TRUE;
    case IDC_BONUS:
        m_btBonus.EnableWindow(FALSE);
        ShowControl(IDC_BONUS, false);
        if (OnMissionPage())
            m_bBonusTaken[m_cbPage - 1] = true;
        return TRUE;
    case IDC_SCROLL_UP:
        m_nFirstNewbie = std::max(0, m_nFirstNewbie - kNewbiePerScreen);
        ApplyPage();
        return TRUE;
    case IDC_SCROLL_DOWN:
        if (m_nFirstNewbie + kNewbiePerScreen < kNewbieCount)
            m_nFirstNewbie += kNewbiePerScreen;
        ApplyPage();
        return TRUE;
    default: return CSkinDialog::OnCommand(wParam, lParam);
    }
}

void CMissionDlg::SendRequest()
{
    // Without the local player's record there is nobody to ask for.
    const tagUserData* me = m_pFrame ? m_pFrame->GetUserData(m_pFrame->GetMeChairID()) : nullptr;
    if (!me)
        return;
    const auto request = MissionRequest(me->dwUserID, m_cbPage);
    m_pFrame->SendData(kRequestMain, kRequestSub, request.data(), static_cast<WORD>(request.size()));
}

// ---- Fading -----------------------------------------------------------------------------------------

void CMissionDlg::SetAlpha(BYTE cbAlpha)
{
    m_cbAlpha = cbAlpha;
    SetLayeredWindowAttributes(kKey, cbAlpha, LWA_COLORKEY | LWA_ALPHA);
}

void CMissionDlg::SetShapedByRegion(bool bRegion)
{
    if (bRegion) {
        m_cbAlpha = 255;
        ModifyStyleEx(WS_EX_LAYERED, 0);
        SetWindowRgn(&m_rgnShape, TRUE);
    } else {
        SetWindowRgn(nullptr, FALSE);
        ModifyStyleEx(0, WS_EX_LAYERED);
        SetAlpha(m_cbAlpha);
    }
}

void CMissionDlg::StartClose()
{
    StopAnimation();
    if (m_nFadeStep < 0)
        return;
    if (!(GetExStyle() & WS_EX_LAYERED))
        SetShapedByRegion(false);
    m_nFadeStep = -kFadeStep;
    SetTimer(IDT_FADE, kFadeMs);
}

void CMissionDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != IDT_FADE)
        return;
    m_nFadeTotal += m_nFadeStep;
    if (m_nFadeTotal <= 0) {
        KillTimer(IDT_FADE);
        EndDialog(IDCANCEL);
    } else if (m_nFadeTotal >= kFadeShown) {
        KillTimer(IDT_FADE);
        SetShapedByRegion(true);
    } else {
        SetAlpha(static_cast<BYTE>(m_nFadeTotal + kFadeAlphaBase));
    }
}

// ---- The result animation -------------------------------------------------------------------------

void CMissionDlg::ShowMissionResult(BYTE cbState)
{
    if (!IsWindow() || m_cbPage != kPageChallenge)
        return;
    const QImage* strip = cbState == mission::kStateDone     ? &m_CompleteStrip
                          : cbState == mission::kStateFailed ? &m_FailStrip
                                                             : nullptr;
    if (!strip) {
        StopAnimation();
        return;
    }
    // The game window repeats the state every second; a loop already showing it goes on.
    if (m_Animation.IsRunning() && m_pPlayingStrip == strip)
        return;
    if (!m_Animation.SetStrip(*strip, 2, RGB(0, 0, 0)))
        return;
    m_pPlayingStrip = strip;
    PlaceAnimation();
    m_Animation.Play(200, 1, 0, 0);
}

void CMissionDlg::StopAnimation()
{
    m_Animation.Stop();
    m_pPlayingStrip = nullptr;
}

void CMissionDlg::PlaceAnimation()
{
    if (!m_Animation.IsWindow())
        return;
    CRect rect;
    GetWindowRect(&rect);
    m_Animation.SetWindowPos(&wndTopMost, rect.left + kAnimationAt.x, rect.top + kAnimationAt.y, 0, 0,
                             SWP_NOSIZE | SWP_NOACTIVATE);
}

// ---- Drawing ------------------------------------------------------------------------------------------

std::string CMissionDlg::ShownStatus() const
{
    if (!OnMissionPage() || NoticePicture())
        return {};
    const TaskRecord& record = PageRecord(m_cbPage);
    return mission::DialogStatusText(record.cbTaskState, record.lTimeLeft, m_dwBonusTicks[m_cbPage - 1]);
}

const CPngImage* CMissionDlg::NoticePicture() const
{
    if (!OnMissionPage())
        return nullptr;
    const mission::MissionView view = mission::ReadMission(PageRecord(m_cbPage));
    if (view.cbState == mission::kStateNone)
        return m_cbPage == kPageChallenge ? &m_PngChallengeNone : &m_PngDailyNone;
    if (m_cbPage == kPageChallenge && view.cbState == mission::kStateCompleted && view.cbDoneCount == view.cbTotalCount)
        return &m_PngChallengeEnd;
    return nullptr;
}

void CMissionDlg::OnDraw(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    if (m_Background.isNull())
        pDC->FillSolidRect(client, RGB(246, 234, 206));
    else
        pDC->DrawImage(m_Background, 0, 0, client.Width(), client.Height(), 0, 0, client.Width(), client.Height());

    pDC->SetBkMode(TRANSPARENT);
    if (OnMissionPage())
        DrawMissionPage(pDC);
    else
        DrawNewbiePage(pDC);

    for (CPngButton* button : {&m_btDaily, &m_btChallenge, &m_btNewbie, static_cast<CPngButton*>(&m_btClose), &m_btAccept,
                               &m_btNotNow, &m_btRetry, &m_btScrollUp, &m_btScrollDown, &m_btBonus,
                               static_cast<CPngButton*>(&m_btTakeTask)})
        button->SetButtonBkgnd(pDC);
}

void CMissionDlg::DrawMissionPage(CDC* pDC)
{
    if (const CPngImage* notice = NoticePicture()) {
        notice->DrawImage(pDC, kNoticeAt.x, kNoticeAt.y);
        return;
    }
    const mission::MissionView view = mission::ReadMission(PageRecord(m_cbPage));

    pDC->SelectObject(&m_TitleFont);
    pDC->SetTextColor(kTitleInk);
    CRect title = kTitleBox;
    pDC->DrawText(mission::ProgressTitle(view, true), &title, DT_CENTER | DT_VCENTER | DT_SINGLELINE);

    pDC->SelectObject(&m_TextFont);
    pDC->SetTextColor(kInk);
    for (int i = 0; i < static_cast<int>(std::size(kLabels)); ++i)
        PutText(pDC, CPoint(kLabelX, kLabelY + kLabelStep * i), kLabels[i]);
    PutText(pDC, CPoint(kLabelX, kRewardLabelY), "任务奖励:");

    CRect describe = kDescribeBox;
    pDC->DrawText("    " + GbkToUtf8(mission::Description(view)), &describe, DT_LEFT | DT_WORDBREAK);
    PutText(pDC, CPoint(kValueX, 174), mission::DifficultyLabel(view.cbDifficulty));
    // A long theme stops at the page's edge.
    CRect theme(kValueX, 199, kPageRight, 199 + kLabelStep);
    pDC->DrawText(GbkToUtf8(view.theme), &theme, DT_LEFT | DT_SINGLELINE | DT_END_ELLIPSIS);
    CRect method = kMethodBox;
    pDC->DrawText(GbkToUtf8(view.method), &method, DT_LEFT | DT_WORDBREAK);
    int y = kRewardY;
    for (const std::string& line : mission::RewardLines(view)) {
        PutText(pDC, CPoint(kValueX, y), line);
        y += kRewardStep;
    }

    const std::string status = ShownStatus();
    if (!status.empty()) {
        pDC->SetTextColor(kStatusInk);
        PutText(pDC, view.cbState == mission::kStateDone ? kBonusWaitAt : kStatusAt, status);
    }
    pDC->SelectObject(static_cast<CFont*>(nullptr));
}

void CMissionDlg::DrawNewbiePage(CDC* pDC)
{
    pDC->SelectObject(&m_TitleFont);
    pDC->SetTextColor(kTitleInk);
    CRect title = kTitleBox;
    pDC->DrawText("新手任务", &title, DT_CENTER | DT_VCENTER | DT_SINGLELINE);

    pDC->SelectObject(&m_TextFont);
    pDC->SetTextColor(kInk);
    const int last = std::min(m_nFirstNewbie + kNewbiePerScreen, kNewbieCount);
    for (int entry = m_nFirstNewbie; entry < last; ++entry) {
        const CRect row = NewbieRow(entry);
        // Every fixed entry can be taken: the odd rows of the picture, the lower pair when hovered.
        const int picture = 2 * (entry == m_nHoverNewbie ? 1 : 0) + 1;
        m_PngNewbieRows.DrawImage(pDC, row.left, row.top, kNewbieWidth, kNewbieHeight, 0, picture * kNewbieHeight);
        CRect name(row.left + kNewbieTextInset, row.top, row.right, row.bottom);
        pDC->DrawText(kNewbieTasks[entry].pszName, -1, &name, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        CRect reward(row.left, row.top, row.right - 14, row.bottom);
        pDC->DrawText(kNewbieTasks[entry].pszReward, -1, &reward, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    }
    pDC->SelectObject(static_cast<CFont*>(nullptr));
}

// ---- Mouse --------------------------------------------------------------------------------------------

int CMissionDlg::NewbieAt(CPoint point) const
{
    if (m_cbPage != kPageNewbie)
        return -1;
    const int last = std::min(m_nFirstNewbie + kNewbiePerScreen, kNewbieCount);
    for (int entry = m_nFirstNewbie; entry < last; ++entry) {
        if (NewbieRow(entry).PtInRect(point))
            return entry;
    }
    return -1;
}

void CMissionDlg::OnLButtonDown(UINT /*nFlags*/, CPoint point)
{
    if (point.y < kDragBarHeight) {
        m_bDragging = true;
        m_ptDragStart = point;
        ClientToScreen(&m_ptDragStart);
        CRect rect;
        GetWindowRect(&rect);
        m_ptDragOrigin = rect.TopLeft();
        SetCapture();
        return;
    }
    m_nPressedNewbie = NewbieAt(point);
}

void CMissionDlg::OnLButtonUp(UINT /*nFlags*/, CPoint point)
{
    if (m_bDragging) {
        m_bDragging = false;
        ReleaseCapture();
        return;
    }
    const int pressed = m_nPressedNewbie;
    m_nPressedNewbie = -1;
    if (pressed >= 0 && NewbieAt(point) == pressed)
        OpenNewbiePage(pressed);
}

void CMissionDlg::OnMouseMove(UINT /*nFlags*/, CPoint point)
{
    if (m_bDragging) {
        CPoint now = point;
        ClientToScreen(&now);
        CRect rect;
        GetWindowRect(&rect);
        int x = m_ptDragOrigin.x + now.x - m_ptDragStart.x;
        int y = m_ptDragOrigin.y + now.y - m_ptDragStart.y;
        // The bar stays inside the game window, so the dialog can always be taken back.
        if (const CWnd* game = GetTopLevelParent(); game && game != this) {
            CRect area;
            game->GetClientRect(&area);
            x = std::clamp(x, kDragBarHeight - rect.Width(), std::max(0, area.Width() - kDragBarHeight));
            y = std::clamp(y, 0, std::max(0, area.Height() - kDragBarHeight));
        }
        SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (m_Animation.IsRunning())
            PlaceAnimation();
        return;
    }
    const int hover = NewbieAt(point);
    SetCursor(QCursor(hover >= 0 ? IDC_HAND : IDC_ARROW));
    if (hover == m_nHoverNewbie)
        return;
    m_nHoverNewbie = hover;
    TrackMouseEvent(TME_LEAVE);
    Invalidate();
}

void CMissionDlg::OnMouseLeave()
{
    if (m_nHoverNewbie < 0)
        return;
    m_nHoverNewbie = -1;
    Invalidate();
}

void CMissionDlg::OpenNewbiePage(int nEntry)
{
    // A missing key has been told to the player by the configuration itself.
    const std::string base = CoOperatingConfig::GetInstance().GetValue(kNewbiePageKey);
    if (base.empty())
        return;
    GetShellService().OpenUrl(QString::fromStdString(NewbieTaskUrl(base, kNewbieTasks[nEntry].nWebTaskID)));
}

// ---- Driver -------------------------------------------------------------------------------------------

void CMissionDlg::Dump(CDumpContext& dc) const
{
    dc.Add("page", m_cbPage);
    dc.AddRaw("buttons", DumpControls(*this, {IDC_TAB_DAILY, IDC_TAB_CHALLENGE, IDC_TAB_NEWBIE, IDC_CLOSE, IDC_ACCEPT,
                                              IDC_NOT_NOW, IDC_RETRY, IDC_SCROLL_UP, IDC_SCROLL_DOWN, IDC_BONUS,
                                              IDC_TAKE_TASK}));
    std::string difficulty, rewards, title;
    if (OnMissionPage() && !NoticePicture()) {
        const mission::MissionView view = mission::ReadMission(PageRecord(m_cbPage));
        difficulty = mission::DifficultyLabel(view.cbDifficulty);
        for (const std::string& line : mission::RewardLines(view)) {
            if (!rewards.empty())
                rewards += ',';
            rewards += QuoteDumpText(line);
        }
        title = mission::ProgressTitle(view, true);
    }
    dc.AddText("difficulty", difficulty);
    dc.AddRaw("rewards", rewards);
    dc.AddText("status", ShownStatus());
    dc.AddText("title", m_cbPage == kPageNewbie ? std::string("新手任务") : title);
    dc.Add("fade", m_nFadeTotal);
    dc.Add("alpha", m_cbAlpha);
    if (m_cbPage == kPageNewbie)
        dc.Add("first", m_nFirstNewbie);
}
