#include "logic/CardText.h"

#include "logic/GameLogic.h"

namespace {

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

}  // namespace

bool ParseCardList(std::string_view text, CardList& list, std::string& error)
{
    list = CardList{};
    std::size_t i = 0;
    while (i < text.size()) {
        if (IsBlank(text[i])) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && !IsBlank(text[end]))
            ++end;
        const std::string_view token = text.substr(i, end - i);
        i = end;
        if (token.size() != 2 || HexValue(token[0]) < 0 || HexValue(token[1]) < 0) {
            error = "not a hex card byte: '" + std::string(token) + "'";
            return false;
        }
        const auto card = static_cast<uint8_t>(HexValue(token[0]) * 16 + HexValue(token[1]));
        if (!IsValidCard(card)) {
            error = "not a card: " + std::string(token);
            return false;
        }
        if (list.cbCount == MAX_CARD_LIST) {
            error = "more than 20 cards";
            return false;
        }
        list.cbCards[list.cbCount++] = card;
    }
    return true;
}

std::string FormatCards(const uint8_t* cbCards, uint8_t cbCount)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(cbCount * 3u);
    for (uint8_t i = 0; i < cbCount; ++i) {
        if (i > 0)
            text += ' ';
        text += digits[cbCards[i] >> 4];
        text += digits[cbCards[i] & 0x0F];
    }
    return text;
}

std::string FormatCardNames(const uint8_t* cbCards, uint8_t cbCount)
{
    static const char* const suits[] = {"♠", "♥", "♣", "♦"};
    static const char* const faces[] = {"A", "2", "3", "4", "5", "6", "7", "8", "9", "10", "J", "Q", "K"};
    std::string text;
    for (uint8_t i = 0; i < cbCount; ++i) {
        if (i > 0)
            text += ' ';
        const uint8_t card = cbCards[i];
        const unsigned colour = card >> 4, face = card & 0x0F;
        if (card == 0x4E)
            text += "小王";
        else if (card == 0x4F)
            text += "大王";
        else if (colour < 4 && face >= 1 && face <= 13)
            text += std::string(suits[colour]) + faces[face - 1];
        else
            text += FormatCards(&card, 1);
    }
    return text;
}
