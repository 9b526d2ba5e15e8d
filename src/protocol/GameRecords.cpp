#include "protocol/GameRecords.h"

namespace {

bool ChairOrNone(uint16_t wChairID)
{
    return IsChair(wChairID) || wChairID == INVALID_CHAIR;
}

template <typename Record, typename Bounds>
MessageCheck CheckFixed(std::span<const uint8_t> body, Bounds&& bounds)
{
    const auto record = ReadRecord<Record>(body);
    if (!record)
        return MessageCheck::Reject;
    return bounds(*record) ? MessageCheck::Accept : MessageCheck::Reject;
}

template <typename Record>
MessageCheck CheckFixed(std::span<const uint8_t> body)
{
    return CheckFixed<Record>(body, [](const Record&) { return true; });
}

bool GameEndCountsFit(const GameEndRecord& record)
{
    unsigned total = 0;
    for (uint8_t count : record.cbCardCount) {
        if (count > MAX_HAND)
            return false;
        total += count;
    }
    return total <= FULL_DECK;
}

}  // namespace

MessageCheck CheckGameMessage(uint16_t wSubCmdID, std::span<const uint8_t> body)
{
    switch (wSubCmdID) {
    case SUB_S_AUTO_START:
    case SUB_S_HIDE_WAITING:
        return MessageCheck::Accept;
    case SUB_S_USER_TRUSTEE:
        return CheckFixed<UserTrustee>(body, [](const UserTrustee& r) { return IsChair(r.wChairID); });
    case SUB_S_MATCH_RANK_INFO:
        return CheckFixed<MatchRankInfo>(body);
    case SUB_S_OFFLINE_MARK:
        return CheckFixed<OfflineMark>(body, [](const OfflineMark& r) { return IsChair(r.wChairID); });
    case SUB_S_TASK_RECORD:
        // The task kind picks one of two slots; the handler bounds it, as it also keeps the record
        // whole for the task window.
        return CheckFixed<TaskRecord>(body);
    case SUB_S_DEAL_CARDS:
        return CheckFixed<DealCards>(body, [](const DealCards& r) {
            return IsChair(r.wCurrentUser) && r.wShownCardPos < PLAYER_COUNT * HAND_CARDS;
        });
    case SUB_S_BID_RESULT:
        return CheckFixed<BidResult>(body, [](const BidResult& r) { return IsChair(r.wBidUser) && ChairOrNone(r.wCurrentUser); });
    case SUB_S_LORD_INFO:
        return CheckFixed<LordInfo>(body, [](const LordInfo& r) { return IsChair(r.wLordUser); });
    case SUB_S_PLAYED_CARDS:
        return ReadPlayedCards(body) ? MessageCheck::Accept : MessageCheck::Reject;
    case SUB_S_PASS_CARDS:
        return CheckFixed<PassCards>(body, [](const PassCards& r) { return IsChair(r.wPassUser) && IsChair(r.wCurrentUser); });
    case SUB_S_GAME_END:
        // A game end is settled whatever its card lists hold; only reading them is bounded
        // (GameEndCards), so a bad list cannot keep the scores from the table.
        return CheckFixed<GameEndRecord>(body);
    case SUB_S_MATCH_PROGRESS:
        return CheckFixed<MatchProgress>(body);
    case SUB_S_MATCH_STATUS:
        return CheckFixed<MatchStatus>(body);
    case SUB_S_BANG_NOTICE:
        return CheckFixed<BangNotice>(body, [](const BangNotice& r) { return IsChair(r.wChairID); });
    case SUB_S_CLOCK_RESTART:
        return CheckFixed<ClockRestart>(body, [](const ClockRestart& r) { return IsChair(r.wChairID); });
    case SUB_S_MATCH_RANK:
        return CheckFixed<matchRank>(body);
    case SUB_S_TASK_AWARD:
        // Only a record for the local chair is used, so another chair value indexes nothing.
        return CheckFixed<TaskAward>(body);
    case SUB_S_TASK_RESULT:
        return CheckFixed<TaskResult>(body);
    case SUB_S_CHANGE_SCORE_RESULT:
        return CheckFixed<ChangeScoreResult>(body);
    case SUB_S_PRIZE_POOL:
        return CheckFixed<PrizePoolNotice>(body);
    case SUB_S_MATCH_SCORE:
        return CheckFixed<MatchScoreNotice>(body);
    case SUB_S_PROP_LIST:
        return ReadPropList(body) ? MessageCheck::Accept : MessageCheck::Ignore;
    default:
        return MessageCheck::Ignore;
    }
}

MessageCheck CheckSceneMessage(uint8_t cbGameStatus, std::span<const uint8_t> body)
{
    switch (cbGameStatus) {
    case GS_FREE:
        return CheckFixed<StatusFree>(body);
    case GS_BIDDING:
        return CheckFixed<StatusScore>(body, [](const StatusScore& r) { return IsChair(r.wCurrentUser); });
    case GS_PLAYING:
        return CheckFixed<StatusPlay>(body, [](const StatusPlay& r) {
            for (uint8_t count : r.cbCardCount) {
                if (count > MAX_HAND)
                    return false;
            }
            return IsChair(r.wLordUser) && ChairOrNone(r.wTurnUser) && ChairOrNone(r.wCurrentUser) &&
                   ChairOrNone(r.wFirstBangUser) && r.cbTurnCardCount <= MAX_HAND;
        });
    default:
        return MessageCheck::Reject;
    }
}

std::optional<PlayedCards> ReadPlayedCards(std::span<const uint8_t> body)
{
    constexpr std::size_t head = offsetof(PlayedCards, cbCardData);
    if (body.size() < head)
        return std::nullopt;
    const uint8_t count = body[0];
    if (count == 0 || count > MAX_HAND || body.size() != head + count)
        return std::nullopt;
    PlayedCards record{};
    std::memcpy(&record, body.data(), body.size());
    if (!IsChair(record.wOutCardUser) || !ChairOrNone(record.wCurrentUser))
        return std::nullopt;
    return record;
}

std::optional<std::vector<PropItem>> ReadPropList(std::span<const uint8_t> body)
{
    if (body.size() < sizeof(PropListHead))
        return std::nullopt;
    PropListHead head;
    std::memcpy(&head, body.data(), sizeof(head));
    if (head.wMainKind != MDM_SCORE_CHANGE || head.wSubKind != 1 || head.wItemBytes % sizeof(PropItem) != 0)
        return std::nullopt;
    if (head.wItemBytes > body.size() - sizeof(PropListHead))
        return std::nullopt;
    std::vector<PropItem> items(head.wItemBytes / sizeof(PropItem));
    if (!items.empty())
        std::memcpy(items.data(), body.data() + sizeof(PropListHead), head.wItemBytes);
    for (auto& item : items)
        item.szPropKindDesc[sizeof(item.szPropKindDesc) - 1] = '\0';
    return items;
}

std::span<const uint8_t> GameEndCards(const GameEndRecord& record, uint16_t wChairID)
{
    if (!IsChair(wChairID) || !GameEndCountsFit(record))
        return {};
    std::size_t start = 0;
    for (uint16_t chair = 0; chair < wChairID; ++chair)
        start += record.cbCardCount[chair];
    return std::span<const uint8_t>(record.cbCardData).subspan(start, record.cbCardCount[wChairID]);
}

std::vector<uint8_t> WriteOutCard(const uint8_t* cbCardData, uint8_t cbCardCount)
{
    const uint8_t count = cbCardCount > MAX_HAND ? MAX_HAND : cbCardCount;
    std::vector<uint8_t> bytes(1 + count);
    bytes[0] = count;
    if (count > 0)
        std::memcpy(bytes.data() + 1, cbCardData, count);
    return bytes;
}

uint16_t ViewPosition(uint16_t wChairID, uint16_t wMeChairID)
{
    if (!IsChair(wChairID) || !IsChair(wMeChairID))
        return INVALID_CHAIR;
    if (wChairID == wMeChairID)
        return 1;
    if (wChairID > wMeChairID)
        return static_cast<uint16_t>((wChairID - wMeChairID + 1) % PLAYER_COUNT);
    return static_cast<uint16_t>((wChairID + 4 - wMeChairID) % PLAYER_COUNT);
}
