#pragma once

// Records, constants and game states exchanged with the table server. Every record is a packed
// struct whose layout is pinned by static_asserts; the bytes are little-endian on the wire, which
// is also this program's native order (checked below), so a record is read by a bounded copy.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <vector>

static_assert(std::endian::native == std::endian::little, "records are copied as little-endian bytes");

// Game constants.
inline constexpr uint16_t PLAYER_COUNT = 3;
inline constexpr uint8_t FULL_DECK = 54;
inline constexpr uint8_t HAND_CARDS = 17;
inline constexpr uint8_t BACK_CARDS = 3;
inline constexpr uint8_t MAX_HAND = 20;
inline constexpr uint8_t MAX_BID = 3;
inline constexpr uint8_t BID_PASS = 255;
inline constexpr uint8_t COUNTER_SLOTS = 15;
inline constexpr uint16_t INVALID_CHAIR = 0xFFFF;

// Largest message body the host carries.
inline constexpr std::size_t MAX_MESSAGE_BODY = 1024;

// Game states; also the state of a table snapshot.
inline constexpr uint8_t GS_FREE = 0;
inline constexpr uint8_t GS_BIDDING = 100;
inline constexpr uint8_t GS_PLAYING = 101;

// Server to client sub-commands.
inline constexpr uint16_t SUB_S_AUTO_START = 2;
inline constexpr uint16_t SUB_S_USER_TRUSTEE = 4;
inline constexpr uint16_t SUB_S_MATCH_RANK_INFO = 6;
inline constexpr uint16_t SUB_S_OFFLINE_MARK = 7;
inline constexpr uint16_t SUB_S_TASK_RECORD = 18;
inline constexpr uint16_t SUB_S_DEAL_CARDS = 100;
inline constexpr uint16_t SUB_S_BID_RESULT = 101;
inline constexpr uint16_t SUB_S_LORD_INFO = 102;
inline constexpr uint16_t SUB_S_PLAYED_CARDS = 103;
inline constexpr uint16_t SUB_S_PASS_CARDS = 104;
inline constexpr uint16_t SUB_S_GAME_END = 105;
inline constexpr uint16_t SUB_S_MATCH_PROGRESS = 106;
inline constexpr uint16_t SUB_S_MATCH_STATUS = 107;
inline constexpr uint16_t SUB_S_BANG_NOTICE = 108;
inline constexpr uint16_t SUB_S_HIDE_WAITING = 110;
inline constexpr uint16_t SUB_S_CLOCK_RESTART = 111;
inline constexpr uint16_t SUB_S_MATCH_RANK = 112;
inline constexpr uint16_t SUB_S_TASK_AWARD = 113;
inline constexpr uint16_t SUB_S_TASK_RESULT = 114;
inline constexpr uint16_t SUB_S_CHANGE_SCORE_RESULT = 121;
inline constexpr uint16_t SUB_S_PRIZE_POOL = 122;
inline constexpr uint16_t SUB_S_MATCH_SCORE = 123;
inline constexpr uint16_t SUB_S_PROP_LIST = 0xFFFF;

// Client to server sub-commands.
inline constexpr uint16_t SUB_C_BID_SCORE = 1;
inline constexpr uint16_t SUB_C_OUT_CARD = 2;
inline constexpr uint16_t SUB_C_PASS_CARD = 3;
inline constexpr uint16_t SUB_C_TRUSTEE = 4;
inline constexpr uint16_t SUB_C_JIA_BANG = 5;
inline constexpr uint16_t SUB_C_LOTTERY = 6;

// Host-level requests with an explicit main command.
inline constexpr uint16_t MDM_SCORE_CHANGE = 14;
inline constexpr uint16_t SUB_SCORE_CHANGE_REQUEST = 100;
inline constexpr uint16_t MDM_FRAME = 2;
inline constexpr uint16_t SUB_FRAME_CUSTOMER = 12;
inline constexpr uint16_t SUB_FRAME_MISSION = 401;

// Play clock kinds of ClockRestart.
inline constexpr uint16_t CLOCK_KIND_BID = 100;
inline constexpr uint16_t CLOCK_KIND_PLAY = 101;

#pragma pack(push, 1)

struct UserTrustee {
    uint16_t wChairID;
    uint8_t cbTrustee;
    uint8_t cbByTimeout;
};

struct MatchRankInfo {
    uint32_t dwPrize;
    uint32_t dwRankTotal;
    uint32_t dwRank;
    uint32_t dwSecondsLeft;
};

struct OfflineMark {
    uint16_t wChairID;
    uint8_t cbOffline;
    uint8_t cbReserved[5];
};

struct TaskRecord {
    uint8_t cbTaskKind;
    uint8_t cbTaskState;
    uint8_t cbReserved1[2];
    int32_t lTimeLeft;
    uint8_t cbReserved2[4];
    int32_t lTimeLimit;
    // The task window gives meaning to the rest.
    uint8_t cbTaskData[696];
};

struct DealCards {
    uint16_t wCurrentUser;
    uint8_t cbHandCards[3][20];
    uint8_t cbReserved1[4];
    uint16_t wShownCardPos;
    uint8_t cbOpenHands;
    uint8_t cbCounterInit[15];
    uint8_t cbReserved2[16];
};

struct BidResult {
    uint16_t wBidUser;
    uint16_t wCurrentUser;
    uint8_t cbBid;
    uint8_t cbTopBid;
};

struct LordInfo {
    uint16_t wLordUser;
    uint8_t cbLordScore;
    uint8_t cbReserved1[3];
    uint8_t cbBackCard[3];
    uint8_t cbReserved2[35];
    uint16_t wLimitValue;
};

struct PlayedCards {
    uint8_t cbCardCount;
    uint8_t cbPad;
    uint16_t wCurrentUser;
    uint16_t wOutCardUser;
    uint8_t cbCardData[20];
};

struct PassCards {
    uint8_t cbNewTurn;
    uint8_t cbPad;
    uint16_t wPassUser;
    uint16_t wCurrentUser;
};

struct GameEndRecord {
    int32_t lCoinCost;
    uint8_t cbReserved1[8];
    int32_t lGameScore[3];
    uint8_t cbCardCount[3];
    uint8_t cbCardData[54];
    uint8_t cbPad1[3];
    int32_t lSpring;
    uint8_t cbReserved2[8];
    int32_t lPenaltyKind[3];
    uint8_t cbReserved3[4];
    int32_t lCellScore;
    uint8_t cbUserFlag[3];
    uint8_t cbPad2;
    int32_t lUserExtra[3];
    uint8_t cbTaskFlag[3];
    uint8_t cbPad3;
};

struct MatchProgress {
    uint8_t cbMatchMode;
    uint8_t cbPad[3];
    uint32_t dwStage;
    uint32_t dwStageCount;
    uint32_t dwRound;
    uint32_t dwRoundCount;
};

struct MatchStatus {
    uint8_t cbMatchMode;
    uint8_t cbPad1[3];
    uint32_t dwRank;
    uint32_t dwRankTotal;
    uint16_t wHours;
    uint16_t wMinutes;
    uint16_t wSeconds;
    uint8_t cbPad2[2];
};

struct BangNotice {
    uint16_t wChairID;
};

struct ClockRestart {
    uint16_t wChairID;
    uint16_t wClockKind;
};

struct matchRank {
    uint8_t cbReserved[12];
    uint32_t dwUserValue[3];
    uint8_t cbReserved2[16];
};

struct TaskAward {
    uint16_t wChairID;
    uint8_t cbAwarded;
    uint8_t cbPad;
    int32_t lAward;
};

struct TaskResult {
    uint8_t cbReserved1[8];
    uint8_t cbResult;
    uint8_t cbReserved2[3];
};

struct ChangeScoreResult {
    uint32_t dwResult;
    uint8_t cbReserved[256];
};

struct PrizePoolNotice {
    int32_t lAddedPrize;
};

struct MatchScoreNotice {
    uint32_t dwUserID;
    int32_t lMatchScore;
};

struct PropListHead {
    uint16_t wMainKind;
    uint16_t wSubKind;
    uint16_t wItemBytes;
};

struct PropItem {
    int32_t nPropKindID;
    int32_t nPropPrice;
    char szPropKindDesc[60];
};

struct StatusFree {
    int32_t lBaseScore;
    uint8_t cbMeStatus;
    uint8_t cbSecretMode;
    uint16_t wGameMode;
    uint32_t dwHasMission;
    uint8_t cbOutCount[15];
    uint8_t cbLeftCount[15];
    uint8_t cbPad[2];
    uint32_t dwCounterOn;
};

struct StatusScore {
    uint8_t cbTopBid;
    uint8_t cbPad1[3];
    int32_t lBaseScore;
    uint16_t wCurrentUser;
    uint8_t cbBidInfo[3];
    uint8_t cbHandCards[3][20];
    uint8_t cbUserTrustee[3];
    uint8_t cbOpenHands;
    uint8_t cbPad2;
    uint16_t wGameMode;
    uint8_t cbSecretMode;
    uint8_t cbPad3[3];
    uint32_t dwHasMission;
    uint8_t cbOutCount[15];
    uint8_t cbLeftCount[15];
    uint8_t cbPad4[2];
    uint32_t dwCounterOn;
};

struct StatusPlay {
    uint16_t wLordUser;
    uint16_t wMultiple;
    int32_t lBaseScore;
    uint8_t cbLordScore;
    uint8_t cbPad1;
    uint16_t wTurnUser;
    uint16_t wCurrentUser;
    uint8_t cbReserved1[3];
    uint8_t cbHandCards[3][20];
    uint8_t cbCardCount[3];
    uint8_t cbTurnCardCount;
    uint8_t cbTurnCardData[20];
    uint8_t cbUserTrustee[3];
    uint8_t cbOpenHands;
    uint8_t cbCanBang[3];
    uint8_t cbUserBang[3];
    uint8_t cbPad2;
    uint16_t wFirstBangUser;
    uint8_t cbAutoOut;
    uint8_t cbPad3;
    uint16_t wLimitValue;
    uint16_t wGameMode;
    uint8_t cbSecretMode;
    uint8_t cbPad4[3];
    uint32_t dwHasMission;
    uint8_t cbOutCount[15];
    uint8_t cbLeftCount[15];
    uint8_t cbPad5[2];
    uint32_t dwCounterOn;
};

// Client to server.

struct BidScore {
    uint8_t cbLordScore;
};

struct OutCard {
    uint8_t cbCardCount;
    uint8_t cbCardData[20];
};

struct JiaBangType {
    uint32_t dwBangType;
};

struct Lottery {
    uint8_t cbLottery;
};

struct ScoreChangeRequest {
    uint32_t dwItemKind;
    uint32_t dwUserID;
};

#pragma pack(pop)

// Sizes and offsets as they travel.
static_assert(sizeof(UserTrustee) == 4 && offsetof(UserTrustee, cbTrustee) == 2 && offsetof(UserTrustee, cbByTimeout) == 3);
static_assert(sizeof(MatchRankInfo) == 16 && offsetof(MatchRankInfo, dwRankTotal) == 4 &&
              offsetof(MatchRankInfo, dwRank) == 8 && offsetof(MatchRankInfo, dwSecondsLeft) == 12);
static_assert(sizeof(OfflineMark) == 8 && offsetof(OfflineMark, cbOffline) == 2);
static_assert(sizeof(TaskRecord) == 712 && offsetof(TaskRecord, cbTaskState) == 1 && offsetof(TaskRecord, lTimeLeft) == 4 &&
              offsetof(TaskRecord, lTimeLimit) == 12);
static_assert(sizeof(DealCards) == 100 && offsetof(DealCards, cbHandCards) == 2 && offsetof(DealCards, wShownCardPos) == 66 &&
              offsetof(DealCards, cbOpenHands) == 68 && offsetof(DealCards, cbCounterInit) == 69);
static_assert(sizeof(BidResult) == 6 && offsetof(BidResult, wCurrentUser) == 2 && offsetof(BidResult, cbBid) == 4 &&
              offsetof(BidResult, cbTopBid) == 5);
static_assert(sizeof(LordInfo) == 46 && offsetof(LordInfo, cbLordScore) == 2 && offsetof(LordInfo, cbBackCard) == 6 &&
              offsetof(LordInfo, wLimitValue) == 44);
static_assert(sizeof(PlayedCards) == 26 && offsetof(PlayedCards, wCurrentUser) == 2 && offsetof(PlayedCards, wOutCardUser) == 4 &&
              offsetof(PlayedCards, cbCardData) == 6);
static_assert(sizeof(PassCards) == 6 && offsetof(PassCards, wPassUser) == 2 && offsetof(PassCards, wCurrentUser) == 4);
static_assert(sizeof(GameEndRecord) == 136 && offsetof(GameEndRecord, lGameScore) == 12 && offsetof(GameEndRecord, cbCardCount) == 24 &&
              offsetof(GameEndRecord, cbCardData) == 27 && offsetof(GameEndRecord, lSpring) == 84 &&
              offsetof(GameEndRecord, lPenaltyKind) == 96 && offsetof(GameEndRecord, lCellScore) == 112 &&
              offsetof(GameEndRecord, cbUserFlag) == 116 && offsetof(GameEndRecord, lUserExtra) == 120 &&
              offsetof(GameEndRecord, cbTaskFlag) == 132);
static_assert(sizeof(MatchProgress) == 20 && offsetof(MatchProgress, dwStage) == 4 && offsetof(MatchProgress, dwStageCount) == 8 &&
              offsetof(MatchProgress, dwRound) == 12 && offsetof(MatchProgress, dwRoundCount) == 16);
static_assert(sizeof(MatchStatus) == 20 && offsetof(MatchStatus, dwRank) == 4 && offsetof(MatchStatus, dwRankTotal) == 8 &&
              offsetof(MatchStatus, wHours) == 12 && offsetof(MatchStatus, wMinutes) == 14 && offsetof(MatchStatus, wSeconds) == 16);
static_assert(sizeof(BangNotice) == 2);
static_assert(sizeof(ClockRestart) == 4 && offsetof(ClockRestart, wClockKind) == 2);
static_assert(sizeof(matchRank) == 40 && offsetof(matchRank, dwUserValue) == 12);
static_assert(sizeof(TaskAward) == 8 && offsetof(TaskAward, cbAwarded) == 2 && offsetof(TaskAward, lAward) == 4);
static_assert(sizeof(TaskResult) == 12 && offsetof(TaskResult, cbResult) == 8);
static_assert(sizeof(ChangeScoreResult) == 260);
static_assert(sizeof(PrizePoolNotice) == 4);
static_assert(sizeof(MatchScoreNotice) == 8 && offsetof(MatchScoreNotice, lMatchScore) == 4);
static_assert(sizeof(PropListHead) == 6 && offsetof(PropListHead, wItemBytes) == 4);
static_assert(sizeof(PropItem) == 68 && offsetof(PropItem, nPropPrice) == 4 && offsetof(PropItem, szPropKindDesc) == 8);
static_assert(sizeof(StatusFree) == 48 && offsetof(StatusFree, cbMeStatus) == 4 && offsetof(StatusFree, cbSecretMode) == 5 &&
              offsetof(StatusFree, wGameMode) == 6 && offsetof(StatusFree, dwHasMission) == 8 &&
              offsetof(StatusFree, cbOutCount) == 12 && offsetof(StatusFree, cbLeftCount) == 27 &&
              offsetof(StatusFree, dwCounterOn) == 44);
static_assert(sizeof(StatusScore) == 124 && offsetof(StatusScore, lBaseScore) == 4 && offsetof(StatusScore, wCurrentUser) == 8 &&
              offsetof(StatusScore, cbBidInfo) == 10 && offsetof(StatusScore, cbHandCards) == 13 &&
              offsetof(StatusScore, cbUserTrustee) == 73 && offsetof(StatusScore, cbOpenHands) == 76 &&
              offsetof(StatusScore, wGameMode) == 78 && offsetof(StatusScore, cbSecretMode) == 80 &&
              offsetof(StatusScore, dwHasMission) == 84 && offsetof(StatusScore, cbOutCount) == 88 &&
              offsetof(StatusScore, cbLeftCount) == 103 && offsetof(StatusScore, dwCounterOn) == 120);
static_assert(sizeof(StatusPlay) == 164 && offsetof(StatusPlay, wMultiple) == 2 && offsetof(StatusPlay, lBaseScore) == 4 &&
              offsetof(StatusPlay, cbLordScore) == 8 && offsetof(StatusPlay, wTurnUser) == 10 &&
              offsetof(StatusPlay, wCurrentUser) == 12 && offsetof(StatusPlay, cbHandCards) == 17 &&
              offsetof(StatusPlay, cbCardCount) == 77 && offsetof(StatusPlay, cbTurnCardCount) == 80 &&
              offsetof(StatusPlay, cbTurnCardData) == 81 && offsetof(StatusPlay, cbUserTrustee) == 101 &&
              offsetof(StatusPlay, cbOpenHands) == 104 && offsetof(StatusPlay, cbCanBang) == 105 &&
              offsetof(StatusPlay, cbUserBang) == 108 && offsetof(StatusPlay, wFirstBangUser) == 112 &&
              offsetof(StatusPlay, cbAutoOut) == 114 && offsetof(StatusPlay, wLimitValue) == 116 &&
              offsetof(StatusPlay, wGameMode) == 118 && offsetof(StatusPlay, cbSecretMode) == 120 &&
              offsetof(StatusPlay, dwHasMission) == 124 && offsetof(StatusPlay, cbOutCount) == 128 &&
              offsetof(StatusPlay, cbLeftCount) == 143 && offsetof(StatusPlay, dwCounterOn) == 160);
static_assert(sizeof(BidScore) == 1 && sizeof(JiaBangType) == 4 && sizeof(Lottery) == 1);
static_assert(sizeof(OutCard) == 21 && offsetof(OutCard, cbCardData) == 1);
static_assert(sizeof(ScoreChangeRequest) == 8 && offsetof(ScoreChangeRequest, dwUserID) == 4);

// What the size rule of a server message says about a body.
enum class MessageCheck {
    Accept,  // the body may be read as the sub-command's record
    Reject,  // wrong size or out-of-range field: the handler returns false and changes nothing
    Ignore,  // accepted (true) without any effect
};

// The size rule and the bounds of one server sub-command. Sub-commands the client does not know
// are Ignore; 2 and 110 carry no body and are always Accept.
MessageCheck CheckGameMessage(uint16_t wSubCmdID, std::span<const uint8_t> body);

// The size rule of a table snapshot for a game state, with the bounds of its chairs and counts.
// A state other than free, bidding and playing is rejected.
MessageCheck CheckSceneMessage(uint8_t cbGameStatus, std::span<const uint8_t> body);

// Copies the body into a record when it has exactly the record's size. Sizes alone are checked
// here; the field bounds are CheckGameMessage's.
template <typename Record>
std::optional<Record> ReadRecord(std::span<const uint8_t> body)
{
    if (body.size() != sizeof(Record))
        return std::nullopt;
    Record record;
    std::memcpy(&record, body.data(), sizeof(Record));
    return record;
}

// PlayedCards has a variable length: 6 bytes of head and cbCardCount cards. Unused card bytes of
// the result are zero.
std::optional<PlayedCards> ReadPlayedCards(std::span<const uint8_t> body);

// The items of a well-formed PropList (first words 14 and 1, item bytes a multiple of 68 that fit
// the body); nullopt when the list is to be ignored. Each description is NUL-terminated.
std::optional<std::vector<PropItem>> ReadPropList(std::span<const uint8_t> body);

// The cards GameEndRecord lists for one chair, or an empty span when the counts do not fit the
// array (CheckGameMessage rejects such a record; this keeps any other reader inside it too).
std::span<const uint8_t> GameEndCards(const GameEndRecord& record, uint16_t wChairID);

// Writes a record as the bytes that travel.
template <typename Record>
std::vector<uint8_t> WriteRecord(const Record& record)
{
    std::vector<uint8_t> bytes(sizeof(Record));
    std::memcpy(bytes.data(), &record, sizeof(Record));
    return bytes;
}

// OutCard travels with only its cbCardCount cards; a count above 20 is cut to 20.
std::vector<uint8_t> WriteOutCard(const uint8_t* cbCardData, uint8_t cbCardCount);

// Place of a chair at the table as seen from the local chair: 1 bottom (the local chair), 2 right
// (the next chair), 0 left. Either chair out of range gives INVALID_CHAIR.
uint16_t ViewPosition(uint16_t wChairID, uint16_t wMeChairID);

inline bool IsChair(uint16_t wChairID)
{
    return wChairID < PLAYER_COUNT;
}
