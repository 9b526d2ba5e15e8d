#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "logic/CardText.h"
#include "logic/GameLogic.h"

// Card lists in tests are written as the tools print them ("4F 4E 01").
inline std::vector<uint8_t> Cards(const std::string& text)
{
    CardList list;
    std::string error;
    EXPECT_TRUE(ParseCardList(text, list, error)) << error;
    return {list.cbCards, list.cbCards + list.cbCount};
}

inline std::string Text(const std::vector<uint8_t>& cards)
{
    return FormatCards(cards.data(), static_cast<uint8_t>(cards.size()));
}

inline std::vector<uint8_t> Sorted(std::vector<uint8_t> cards, uint8_t order = ORDER_BY_RANK)
{
    CGameLogic().SortCards(cards.data(), static_cast<uint8_t>(cards.size()), order);
    return cards;
}

inline uint8_t Judge(const std::string& text)
{
    const auto cards = Sorted(Cards(text));
    return CGameLogic().JudgeType(cards.data(), static_cast<uint8_t>(cards.size()));
}

// The answer FindBeater gives, as text, or "none".
inline std::string Beat(const std::string& hand, const std::string& prev)
{
    const auto h = Cards(hand);
    const auto p = Sorted(Cards(prev));
    OutCardResult result;
    if (!CGameLogic().FindBeater(h.data(), static_cast<uint8_t>(h.size()), p.data(), static_cast<uint8_t>(p.size()), result))
        return "none";
    return FormatCards(result.cbCards, result.cbCount);
}
