// Server messages and table snapshots: the size rules and bounds must hold for any bytes, and an
// accepted record must stay inside its arrays when its counts are followed.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "logic/GameLogic.h"
#include "protocol/GameRecords.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3)
        return 0;
    const uint16_t sub = static_cast<uint16_t>(data[0] | data[1] << 8);
    const std::span<const uint8_t> body(data + 2, size - 2);
    CGameLogic logic;

    if (CheckGameMessage(sub, body) == MessageCheck::Accept) {
        if (const auto played = ReadPlayedCards(body)) {
            uint8_t cards[20];
            std::copy_n(played->cbCardData, played->cbCardCount, cards);
            logic.SortCards(cards, played->cbCardCount, ORDER_BY_COUNT);
            uint8_t counts[15] = {};
            uint8_t error = 0;
            logic.HandleRecordData(cards, played->cbCardCount, counts, error);
            OutCardResult result;
            logic.FindBeater(cards, played->cbCardCount, cards, played->cbCardCount, result);
        }
        if (const auto end = ReadRecord<GameEndRecord>(body)) {
            for (uint16_t chair = 0; chair < PLAYER_COUNT; ++chair) {
                volatile uint8_t sink = 0;
                for (uint8_t card : GameEndCards(*end, chair))
                    sink = sink + card;
            }
        }
        ReadPropList(body);
    }
    CheckSceneMessage(data[0], std::span<const uint8_t>(data + 1, size - 1));
    return 0;
}
