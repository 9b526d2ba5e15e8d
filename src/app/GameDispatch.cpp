// The message entry of the game window: every server message and table snapshot is size-checked
// and bounded before anything changes, then dispatched. The small messages that belong to no
// part of the game flow are handled here, with the anonymity rule.
#include <cstdio>
#include <optional>
#include <cstring>

#include "app/GameClientDlg.h"
#include "support/DebugTrace.h"
#include "support/TextCodec.h"

namespace {

constexpr COLORREF kNoticeColour = 0x00FFF6;
// The change-score result picture stays this long (dialog timer 216).
constexpr UINT kChangeScoreResultMs = 5000;
constexpr UINT_PTR kTimerChangeScoreResult = 216;

// The handler's answer when the size rule settles it (rejected: false, ignored: true), or nothing
// when the body is to be read.
std::optional<bool> SettledAnswer(MessageCheck check)
{
    switch (check) {
    case MessageCheck::Reject:
        return false;
    case MessageCheck::Ignore:
        return true;
    default:
        return std::nullopt;
    }
}

}  // namespace

bool CGameClientDlg::HandleGameMessage(WORD wSubCmdID, const void* pData, WORD wDataSize)
{
    DebugTrace("wSubCmdID = %d\n", wSubCmdID);
    const std::span<const uint8_t> body(static_cast<const uint8_t*>(pData), pData ? wDataSize : 0);
    // A play is recorded as it came, before it is checked; the other messages of a game only
    // once they pass.
    if (wSubCmdID == SUB_S_PLAYED_CARDS)
        RecordPacket(wSubCmdID, body);
    if (const auto answer = SettledAnswer(CheckGameMessage(wSubCmdID, body)))
        return *answer;
    if (wSubCmdID >= SUB_S_DEAL_CARDS && wSubCmdID <= SUB_S_GAME_END && wSubCmdID != SUB_S_PLAYED_CARDS)
        RecordPacket(wSubCmdID, body);

    switch (wSubCmdID) {
    case SUB_S_AUTO_START:
        m_GameClientView.ClickButton(100);
        return true;
    case SUB_S_MATCH_RANK_INFO:
        OnMatchRankInfo(*ReadRecord<MatchRankInfo>(body));
        return true;
    case SUB_S_OFFLINE_MARK:
        OnOfflineMark(*ReadRecord<OfflineMark>(body));
        return true;
    case SUB_S_TASK_RECORD:
        OnSubTask(*ReadRecord<TaskRecord>(body));
        return true;
    case SUB_S_USER_TRUSTEE:
        return OnSubTrustee(*ReadRecord<UserTrustee>(body));
    case SUB_S_CLOCK_RESTART:
        return OnSubClockRestart(*ReadRecord<ClockRestart>(body));
    case SUB_S_TASK_AWARD:
        return OnSubTaskAward(*ReadRecord<TaskAward>(body));
    case SUB_S_TASK_RESULT:
        return OnSubTaskResult(*ReadRecord<TaskResult>(body));
    case SUB_S_MATCH_PROGRESS:
        OnMatchProgress(*ReadRecord<MatchProgress>(body));
        return true;
    case SUB_S_MATCH_STATUS:
        OnMatchStatus(*ReadRecord<MatchStatus>(body), body);
        return true;
    case SUB_S_HIDE_WAITING:
        OnHideWaiting();
        return true;
    case SUB_S_MATCH_RANK:
        OnMatchRank(*ReadRecord<matchRank>(body));
        return true;
    case SUB_S_CHANGE_SCORE_RESULT:
        OnChangeScoreResult(*ReadRecord<ChangeScoreResult>(body));
        return true;
    case SUB_S_PRIZE_POOL:
        OnPrizePoolNotice(*ReadRecord<PrizePoolNotice>(body));
        return true;
    case SUB_S_MATCH_SCORE:
        OnMatchScoreNotice(*ReadRecord<MatchScoreNotice>(body));
        return true;
    case SUB_S_PROP_LIST:
        OnPropList(*ReadPropList(body));
        return true;
    case SUB_S_DEAL_CARDS:
        return OnSubDealCards(*ReadRecord<DealCards>(body));
    case SUB_S_BID_RESULT:
        return OnSubCallScore(*ReadRecord<BidResult>(body));
    case SUB_S_LORD_INFO:
        ApplySecretMode(GS_PLAYING);
        if (IsLiveGame())
            FillVideoUserInfo();
        return OnSubLordInfo(*ReadRecord<LordInfo>(body));
    case SUB_S_PLAYED_CARDS:
        return OnSubOutCard(*ReadPlayedCards(body));
    case SUB_S_PASS_CARDS:
        return OnSubPassCards(*ReadRecord<PassCards>(body));
    case SUB_S_BANG_NOTICE:
        return OnSubBang(*ReadRecord<BangNotice>(body));
    case SUB_S_GAME_END:
        ApplySecretModeAtGameEnd();
        return OnSubGameEnd(*ReadRecord<GameEndRecord>(body));
    default:
        return true;
    }
}

void CGameClientDlg::OnMatchRankInfo(const MatchRankInfo& info)
{
    m_GameClientView.StartPrizeRoll(static_cast<int32_t>(info.dwPrize));
    m_GameClientView.m_dwRankTotal = info.dwRankTotal;
    m_GameClientView.m_dwRank = info.dwRank;
    m_GameClientView.m_llCountdown = static_cast<int32_t>(info.dwSecondsLeft);
    m_GameClientView.RestartMatchTimer();
}

void CGameClientDlg::OnOfflineMark(const OfflineMark& mark)
{
    // Without a local chair the mark has no seat to go to (and INVALID_SEAT would mark them all).
    if (const auto seat = ViewSeat(mark.wChairID))
        m_GameClientView.MarkSeatOffline(*seat, mark.cbOffline != 0);
}

void CGameClientDlg::OnMatchProgress(const MatchProgress& progress)
{
    m_GameClientView.m_cbMatchMode = progress.cbMatchMode;
    m_GameClientView.m_wGameMode = progress.cbMatchMode;
    m_GameClientView.m_dwMatchStage = progress.dwStage;
    m_GameClientView.m_dwStageCount = progress.dwStageCount;
    m_GameClientView.m_dwMatchRound = progress.dwRound;
    m_GameClientView.m_dwRoundCount = progress.dwRoundCount;
    // The end-of-game window shows the round over the whole match.
    m_dwOverallRound = progress.dwRound + progress.dwStage * progress.dwRoundCount;
    m_dwOverallRounds = progress.dwStageCount * progress.dwRoundCount;
}

void CGameClientDlg::OnMatchStatus(const MatchStatus& status, std::span<const uint8_t>)
{
    m_GameClientView.SetMatchStatus(status);
}

void CGameClientDlg::OnHideWaiting()
{
    m_GameClientView.ShowWaitCallScore(false);
    m_GameClientView.m_BackCardControl.SetCards(nullptr, 0);
}

void CGameClientDlg::OnMatchRank(const matchRank& ranks)
{
    // Seats without a chair (all of them while the local player has none) show no value.
    matchRank bySeat{};
    for (WORD chair = 0; chair < PLAYER_COUNT; ++chair) {
        if (const auto seat = ViewSeat(chair))
            bySeat.dwUserValue[*seat] = ranks.dwUserValue[chair];
    }
    m_GameClientView.SetMatchRanks(bySeat);
}

void CGameClientDlg::OnChangeScoreResult(const ChangeScoreResult& result)
{
    const BYTE code = result.dwResult <= 2 ? static_cast<BYTE>(result.dwResult) : 3;
    m_GameClientView.ShowChangeScoreResult(code);
    SetTimer(kTimerChangeScoreResult, kChangeScoreResultMs);
    m_GameClientView.ToggleMatchPanel();
}

void CGameClientDlg::OnPrizePoolNotice(const PrizePoolNotice& notice)
{
    char text[256];
    std::snprintf(text, sizeof(text), "[系统公告]系统已额外注入奖池 %ld 奖券, 海量奖券等您领取!", static_cast<long>(notice.lAddedPrize));
    InsertShtickString(text, kNoticeColour, true);
    m_GameClientView.StartPrizeEffect();
}

void CGameClientDlg::OnMatchScoreNotice(const MatchScoreNotice& notice)
{
    const tagUserData* me = GetUserData(GetMeChairID());
    if (!me || me->dwUserID != notice.dwUserID)
        return;
    char text[256];
    std::snprintf(text, sizeof(text), "[系统公告]您本轮比赛成绩是 %ld 分, 其中 %ld 分可带入下一轮比赛!",
                  static_cast<long>(notice.lMatchScore), static_cast<long>(notice.lMatchScore / 4));
    InsertShtickString(text, kNoticeColour, true);
}

void CGameClientDlg::OnPropList(const std::vector<PropItem>& items)
{
    // The buttons are made hidden and disabled; a button the list shows must also take clicks,
    // or the shop behind it could never open.
    for (UINT id : {127u, 129u, 131u}) {
        if (CWnd* button = m_GameClientView.GetDlgItem(static_cast<int>(id))) {
            button->ShowWindow(SW_HIDE);
            button->EnableWindow(FALSE);
        }
    }
    m_PropList.clear();
    for (const PropItem& item : items) {
        m_PropList.push_back(item);
        DebugTrace("nPropKindID=%d, nPropPrice=%d, szPropKindDesc=%s\n", item.nPropKindID, item.nPropPrice,
                   GbkToUtf8(item.szPropKindDesc).c_str());
        // Each item kind has a price slot; three of them also have a button (0: none).
        static constexpr struct {
            int32_t kind;
            int slot;
            int button;
        } kinds[] = {{1, 0, 127}, {2, 1, 0}, {3, 2, 129}, {5, 3, 0}, {6, 4, 131}};
        for (const auto& kind : kinds) {
            if (kind.kind != item.nPropKindID)
                continue;
            m_GameClientView.m_lItemPrice[kind.slot] = item.nPropPrice;
            if (CWnd* button = kind.button ? m_GameClientView.GetDlgItem(kind.button) : nullptr) {
                button->ShowWindow(SW_SHOW);
                button->EnableWindow(TRUE);
            }
        }
    }
}

void CGameClientDlg::SetNamesHidden(bool bHidden)
{
    m_GameClientView.m_bAnonymous = bHidden;
    SecretUser(bHidden);
}

void CGameClientDlg::ApplySecretMode(BYTE cbGameStatus)
{
    if (cbGameStatus == GS_PLAYING)
        SetNamesHidden(m_cbSecretMode == 2 || m_cbSecretMode == 3);
    else
        SetNamesHidden(m_cbSecretMode != 0);
}

void CGameClientDlg::ApplySecretModeAtGameEnd()
{
    SetNamesHidden(m_cbSecretMode == 3);
    m_cbScoreSecretMode = m_cbSecretMode;
}

void CGameClientDlg::OnTimer(UINT_PTR nIDEvent)
{
    switch (nIDEvent) {
    case kTimerChangeScoreResult:
        KillTimer(kTimerChangeScoreResult);
        m_GameClientView.ShowChangeScoreResult(0xFF);
        return;
    case 201:
        OnTurnPauseTimer();
        return;
    case kTimerLastTurn:
        OnLastTurnTimer();
        return;
    case 204:
        OnDealStepTimer();
        return;
    case 212:
        OnDealStartTimer();
        return;
    case 213:
        OnCloseUpTimer();
        return;
    case 210:
        OnShowScoreViewTimer();
        return;
    case 220:
        OnPlaybackTimer();
        return;
    case 214:
        OnRoleTimer();
        return;
    case 215:
        OnShowHandsTimer();
        return;
    case 10:
    case 11:
    case 12:
    case 13:
        OnTaskTimer(nIDEvent);
        return;
    default:
        return;
    }
}
