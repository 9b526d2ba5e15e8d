#include "cli/SelfPlayCommand.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <ostream>

#include "cli/HeadlessApplication.h"
#include "local/HeadlessSelfPlay.h"
#include "logic/CardText.h"
#include "server/SelfPlay.h"

namespace cli {

namespace {

bool parseNumber(const std::string& text, uint32_t& value)
{
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

bool parseBots(const std::string& text, std::array<server::BotKind, 3>& bots)
{
    std::vector<std::string> names;
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        names.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    if (names.size() != 1 && names.size() != 3)
        return false;
    for (size_t chair = 0; chair < 3; ++chair) {
        const auto kind = server::parseBotKind(names[names.size() == 1 ? 0 : chair]);
        if (!kind)
            return false;
        bots[chair] = *kind;
    }
    return true;
}

// One line of text for a game message as chair 0 sees it: the deal, each bid, the landlord, each
// double, play and pass, and the end.
void ShowMessage(std::ostream& out, uint16_t subCmd, std::span<const uint8_t> body)
{
    switch (subCmd) {
    case SUB_S_DEAL_CARDS:
        if (const auto deal = ReadRecord<DealCards>(body)) {
            uint8_t hand[HAND_CARDS];
            std::copy_n(deal->cbHandCards[0], HAND_CARDS, hand);
            CGameLogic().SortCards(hand, HAND_CARDS, ORDER_BY_RANK);
            out << "  deal: chair " << deal->wCurrentUser << " bids first; chair 0 holds " << FormatCardNames(hand, HAND_CARDS) << '\n';
        }
        break;
    case SUB_S_BID_RESULT:
        if (const auto bid = ReadRecord<BidResult>(body))
            out << "  chair " << bid->wBidUser << (bid->cbBid == BID_PASS ? std::string(" does not bid") : " bids " + std::to_string(bid->cbBid)) << '\n';
        break;
    case SUB_S_LORD_INFO:
        if (const auto lord = ReadRecord<LordInfo>(body))
            out << "  chair " << lord->wLordUser << " is the landlord at " << int{lord->cbLordScore} << " and takes "
                << FormatCardNames(lord->cbBackCard, BACK_CARDS) << '\n';
        break;
    case SUB_S_BANG_NOTICE:
        if (const auto bang = ReadRecord<BangNotice>(body))
            out << "  chair " << bang->wChairID << " doubles\n";
        break;
    case SUB_S_PLAYED_CARDS:
        if (const auto played = ReadPlayedCards(body)) {
            CGameLogic logic;
            uint8_t cards[MAX_HAND];
            std::copy_n(played->cbCardData, played->cbCardCount, cards);
            logic.SortCards(cards, played->cbCardCount, ORDER_BY_RANK);
            out << "  chair " << played->wOutCardUser << " plays " << FormatCardNames(cards, played->cbCardCount) << " ("
                << PlayTypeName(logic.JudgeType(cards, played->cbCardCount)) << ")\n";
        }
        break;
    case SUB_S_PASS_CARDS:
        if (const auto pass = ReadRecord<PassCards>(body))
            out << "  chair " << pass->wPassUser << " passes" << (pass->cbNewTurn ? "; the turn is over" : "") << '\n';
        break;
    case SUB_S_GAME_END:
        if (const auto end = ReadRecord<GameEndRecord>(body))
            out << "  game over: scores " << end->lGameScore[0] << ',' << end->lGameScore[1] << ',' << end->lGameScore[2]
                << (end->lSpring == 1 ? " (spring)" : end->lSpring == 2 ? " (reverse spring)" : "") << '\n';
        break;
    default:
        break;
    }
}

}  // namespace

int RunSelfPlayCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    server::SelfPlayOptions options;
    std::string clients = "none";
    bool haveGames = false, haveSeed = false;
    bool show = false;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& flag = args[i];
        if (flag == "--show") {
            show = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            err << "qarrum-cli selfplay: " << flag << " needs a value\n";
            return 2;
        }
        const std::string& value = args[++i];
        bool good = true;
        if (flag == "--games")
            good = haveGames = parseNumber(value, options.games);
        else if (flag == "--seed")
            good = haveSeed = parseNumber(value, options.seed);
        else if (flag == "--clients")
            clients = value;
        else if (flag == "--bots")
            good = parseBots(value, options.bots);
        else {
            err << "qarrum-cli selfplay: unknown option '" << flag << "'\n";
            return 2;
        }
        if (!good) {
            err << "qarrum-cli selfplay: bad value '" << value << "' for " << flag << "\n";
            return 2;
        }
    }
    if (!haveGames || !haveSeed) {
        err << "usage: qarrum-cli selfplay --games N --seed S [--clients headless|none] [--bots KIND|KIND,KIND,KIND] [--show]\n";
        return 2;
    }
    if (clients != "none" && clients != "headless") {
        err << "qarrum-cli selfplay: --clients must be headless or none\n";
        return 2;
    }

    if (show)
        options.onMessage = [&out](uint16_t subCmd, std::span<const uint8_t> body) { ShowMessage(out, subCmd, body); };
    const auto printGame = [&](uint32_t index, const server::SelfPlayGame& game) {
        out << "game " << index + 1 << " lord=" << game.lord << " bid=" << int{game.bid} << " multiple=" << game.multiple
            << " spring=" << game.spring << " scores=" << game.scores[0] << ',' << game.scores[1] << ',' << game.scores[2] << '\n';
    };
    server::SelfPlaySummary summary;
    if (clients == "headless") {
        const HeadlessApplication app;
        summary = RunHeadlessSelfPlay(HeadlessSelfPlayOptions{options, {}}, printGame);
    } else {
        summary = server::runSelfPlay(options, printGame);
    }
    char mean[32];
    std::snprintf(mean, sizeof mean, "%.2f", summary.meanMultiple);
    out << "summary games=" << summary.games << " lord_wins=" << summary.lordWins << " farmer_wins=" << summary.farmerWins
        << " mean_multiple=" << mean << " total=" << summary.totals[0] << ',' << summary.totals[1] << ',' << summary.totals[2] << '\n';
    if (!summary.ok()) {
        err << "qarrum-cli selfplay: " << summary.error << '\n';
        return 1;
    }
    return 0;
}

}  // namespace cli
