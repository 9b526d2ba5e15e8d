#pragma once

// The printable form of card lists used by the tools, the scripted driver and error messages:
// two upper-case hex digits per card, separated by single spaces ("4F 4E 01 21").

#include <cstdint>
#include <string>
#include <string_view>

struct CardList {
    uint8_t cbCount = 0;
    uint8_t cbCards[20] = {};
};

// Parses a list written as hex pairs separated by blanks. Returns false with a one-line reason in
// `error` for anything but cards: a token that is not two hex digits, a byte that is not a card, or
// more than 20 cards.
bool ParseCardList(std::string_view text, CardList& list, std::string& error);

std::string FormatCards(const uint8_t* cbCards, uint8_t cbCount);

inline std::string FormatCards(const CardList& list)
{
    return FormatCards(list.cbCards, list.cbCount);
}

// The form a person reads: suit and face ("♠10", "♥A"), "小王" and "大王" for the jokers, the
// hex form for a byte that is not a card, separated by single spaces. The suits follow the rows
// of the card picture: colours 0x00, 0x10, 0x20, 0x30 are spades, hearts, clubs, diamonds.
std::string FormatCardNames(const uint8_t* cbCards, uint8_t cbCount);
