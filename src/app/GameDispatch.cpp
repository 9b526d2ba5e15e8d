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
    if (const auto answer = SettledAnswer(CheckGameMessage(wSubCmdID, body)))
        return *answer;

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
        OnTaskRecord(*ReadRecord<TaskRecord>(body));
        return true;
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
    case SUB_S_LORD_INFO:
        ApplySecretMode(GS_PLAYING);
        OnGameFlowMessage(wSubCmdID, body);
        return true;
    case SUB_S_GAME_END:
        ApplySecretModeAtGameEnd();
        OnGameFlowMessage(wSubCmdID, body);
        return true;
    default:
        OnGameFlowMessage(wSubCmdID, body);
        return true;
    }
}

bool CGameClientDlg::HandleSceneMessage(BYTE cbGameStatus, bool, const void* pData, WORD wDataSize)
{
    const std::span<const uint8_t> body(static_cast<const uint8_t*>(pData), pData ? wDataSize : 0);
    if (const auto answer = SettledAnswer(CheckSceneMessage(cbGameStatus, body)))
        return *answer;

    // Each snapshot carries the anonymity mode, the game mode and the base score; the rest of
    // the restore comes with the table snapshot work.
    int32_t lBaseScore = 0;
    WORD wGameMode = 0;
    const auto takeCommon = [&](const auto& scene) {
        m_cbSecretMode = scene.cbSecretMode;
        lBaseScore = scene.lBaseScore;
        wGameMode = scene.wGameMode;
    };
    if (cbGameStatus == GS_FREE)
        takeCommon(*ReadRecord<StatusFree>(body));
    else if (cbGameStatus == GS_BIDDING)
        takeCommon(*ReadRecord<StatusScore>(body));
    else
        takeCommon(*ReadRecord<StatusPlay>(body));
    ApplySecretMode(cbGameStatus);
    m_GameClientView.m_wGameMode = wGameMode;
    m_GameClientView.SetBaseScore(lBaseScore);
    UpdateTurnRound();
    return true;
}

void CGameClientDlg::OnGameFlowMessage(WORD, std::span<const uint8_t>)
{
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
    for (UINT id : {127u, 129u, 131u}) {
        if (CWnd* button = m_GameClientView.GetDlgItem(static_cast<int>(id)))
            button->ShowWindow(SW_HIDE);
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
            if (CWnd* button = kind.button ? m_GameClientView.GetDlgItem(kind.button) : nullptr)
                button->ShowWindow(SW_SHOW);
        }
    }
}

void CGameClientDlg::OnTaskRecord(const TaskRecord& record)
{
    // The task kind picks one of two slots; any other kind is kept as the last record only.
    m_Task = record;
    if (record.cbTaskKind == 1 || record.cbTaskKind == 2)
        m_TaskSlot[record.cbTaskKind - 1] = record;
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
    if (nIDEvent == kTimerChangeScoreResult) {
        KillTimer(kTimerChangeScoreResult);
        m_GameClientView.ShowChangeScoreResult(0xFF);
    }
}
