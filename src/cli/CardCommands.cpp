#include "cli/CardCommands.h"

#include <algorithm>
#include <iostream>
#include <random>
#include <string>

#include "logic/CardText.h"
#include "logic/GameLogic.h"

namespace cli {
namespace {

// A usage problem: reported on one line of standard error, exit status 2.
struct UsageError {
    std::string message;
};

CardList ParseOrThrow(std::string_view text, std::string_view what)
{
    CardList list;
    std::string error;
    if (!ParseCardList(text, list, error))
        throw UsageError{std::string(what) + ": " + error};
    return list;
}

// Options take the words up to the next "--" word, so both `--prev 4F 4E` and `--prev "4F 4E"` work.
class Options {
public:
    Options(const std::vector<std::string>& args, std::size_t first)
    {
        std::string* current = nullptr;
        for (std::size_t i = first; i < args.size(); ++i) {
            const std::string& word = args[i];
            if (word.size() > 2 && word.compare(0, 2, "--") == 0) {
                current = &m_values.emplace_back(word, std::string()).second;
                continue;
            }
            if (!current)
                m_positional.push_back(word);
            else
                *current += (current->empty() ? "" : " ") + word;
        }
    }

    bool Has(std::string_view name) const
    {
        return std::any_of(m_values.begin(), m_values.end(), [&](const auto& v) { return v.first == name; });
    }

    const std::string& Get(std::string_view name) const
    {
        for (const auto& v : m_values) {
            if (v.first == name)
                return v.second;
        }
        throw UsageError{"missing option " + std::string(name)};
    }

    void AllowOnly(std::initializer_list<std::string_view> names, bool positional) const
    {
        for (const auto& v : m_values) {
            if (std::find(names.begin(), names.end(), v.first) == names.end())
                throw UsageError{"unknown option " + v.first};
        }
        if (!positional && !m_positional.empty())
            throw UsageError{"unexpected argument '" + m_positional.front() + "'"};
    }

    std::string Positional() const
    {
        std::string joined;
        for (const auto& word : m_positional)
            joined += (joined.empty() ? "" : " ") + word;
        return joined;
    }

    const std::vector<std::string>& PositionalWords() const { return m_positional; }

private:
    std::vector<std::pair<std::string, std::string>> m_values;
    std::vector<std::string> m_positional;
};

std::string Answer(const OutCardResult& result, bool found)
{
    return found && result.cbCount > 0 ? FormatCards(result.cbCards, result.cbCount) : "none";
}

std::string Trim(const std::string& text)
{
    const auto begin = text.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos)
        return {};
    return text.substr(begin, text.find_last_not_of(" \t\r\n") - begin + 1);
}

int Judge(const Options& options, std::istream& in, std::ostream& out)
{
    const CGameLogic logic;
    if (options.Has("--batch")) {
        options.AllowOnly({"--batch"}, false);
        std::string line;
        while (std::getline(in, line)) {
            CardList list;
            std::string error;
            if (!ParseCardList(line, list, error))
                out << "error " << error << '\n';
            else
                out << int(logic.JudgeType(list.cbCards, list.cbCount)) << '\n';
        }
        return 0;
    }
    options.AllowOnly({}, true);
    const CardList list = ParseOrThrow(options.Positional(), "cards");
    const uint8_t type = logic.JudgeType(list.cbCards, list.cbCount);
    out << int(type) << ' ' << PlayTypeName(type) << '\n';
    return 0;
}

int Sort(const Options& options, std::ostream& out)
{
    options.AllowOnly({}, true);
    const auto& words = options.PositionalWords();
    if (words.empty() || (words[0] != "rank" && words[0] != "count"))
        throw UsageError{"sort needs an order: rank or count"};
    std::string cards;
    for (std::size_t i = 1; i < words.size(); ++i)
        cards += words[i] + ' ';
    CardList list = ParseOrThrow(cards, "cards");
    CGameLogic().SortCards(list.cbCards, list.cbCount, words[0] == "rank" ? ORDER_BY_RANK : ORDER_BY_COUNT);
    out << FormatCards(list) << '\n';
    return 0;
}

int Compare(const Options& options, std::ostream& out)
{
    options.AllowOnly({"--prev", "--cur"}, false);
    const CardList prev = ParseOrThrow(options.Get("--prev"), "--prev");
    const CardList cur = ParseOrThrow(options.Get("--cur"), "--cur");
    out << (CGameLogic().BeatsPrevious(prev.cbCards, cur.cbCards, prev.cbCount, cur.cbCount) ? 1 : 0) << '\n';
    return 0;
}

std::string BeatLine(const CardList& hand, const CardList& prev)
{
    if (hand.cbCount == 0)
        return "none";
    OutCardResult result;
    const bool found = CGameLogic().FindBeater(hand.cbCards, hand.cbCount, prev.cbCards, prev.cbCount, result);
    return Answer(result, found);
}

int Beat(const Options& options, std::istream& in, std::ostream& out)
{
    if (options.Has("--batch")) {
        options.AllowOnly({"--batch"}, false);
        std::string line;
        while (std::getline(in, line)) {
            const auto bar = line.find('|');
            if (bar == std::string::npos) {
                out << "error expected 'HAND | PREV'\n";
                continue;
            }
            CardList hand, prev;
            std::string error;
            if (!ParseCardList(line.substr(0, bar), hand, error) || !ParseCardList(line.substr(bar + 1), prev, error))
                out << "error " << error << '\n';
            else
                out << BeatLine(hand, prev) << '\n';
        }
        return 0;
    }
    options.AllowOnly({"--hand", "--prev"}, false);
    const CardList hand = ParseOrThrow(options.Get("--hand"), "--hand");
    const CardList prev = options.Has("--prev") ? ParseOrThrow(options.Get("--prev"), "--prev") : CardList{};
    out << BeatLine(hand, prev) << '\n';
    return 0;
}

int BeatWith(const Options& options, std::ostream& out)
{
    options.AllowOnly({"--hand", "--prev", "--card"}, false);
    const CardList hand = ParseOrThrow(options.Get("--hand"), "--hand");
    const CardList prev = options.Has("--prev") ? ParseOrThrow(options.Get("--prev"), "--prev") : CardList{};
    const CardList card = ParseOrThrow(options.Get("--card"), "--card");
    if (card.cbCount != 1)
        throw UsageError{"--card: exactly one card expected"};
    OutCardResult result;
    bool found = false;
    if (hand.cbCount > 0)
        found = CGameLogic().FindBeaterWith(hand.cbCards, hand.cbCount, prev.cbCards, prev.cbCount, card.cbCards[0], result);
    out << Answer(result, found) << '\n';
    return 0;
}

void PrintGroups(const CGameLogic& logic, const CardList& hand, std::ostream& out)
{
    AnalyseResult groups;
    logic.GroupCards(hand.cbCards, hand.cbCount, groups);
    out << "  fours:   " << FormatCards(groups.cbQuadCards, groups.cbQuadCount * 4) << '\n'
        << "  trios:   " << FormatCards(groups.cbTrioCards, groups.cbTrioCount * 3) << '\n'
        << "  pairs:   " << FormatCards(groups.cbPairCards, groups.cbPairCount * 2) << '\n'
        << "  singles: " << FormatCards(groups.cbSingleCards, groups.cbSingleCount) << '\n';
}

int Demo(const Options& options, std::ostream& out)
{
    options.AllowOnly({"--seed"}, false);
    unsigned long seed = 2026;
    if (options.Has("--seed")) {
        try {
            seed = std::stoul(options.Get("--seed"));
        } catch (const std::exception&) {
            throw UsageError{"--seed: not a number"};
        }
    }
    const CGameLogic logic;
    uint8_t deck[54];
    std::copy(std::begin(g_cbFullDeck), std::end(g_cbFullDeck), deck);
    std::mt19937 rng(static_cast<std::mt19937::result_type>(seed));
    std::shuffle(std::begin(deck), std::end(deck), rng);

    CardList hands[3];
    for (int chair = 0; chair < 3; ++chair) {
        hands[chair].cbCount = 17;
        std::copy_n(deck + chair * 17, 17, hands[chair].cbCards);
        logic.SortCards(hands[chair].cbCards, 17, ORDER_BY_RANK);
    }
    out << "Deal with seed " << seed << "\n";
    for (int chair = 0; chair < 3; ++chair)
        out << "chair " << chair << ": " << FormatCards(hands[chair]) << '\n';
    out << "back cards: " << FormatCards(deck + 51, 3) << "\n\n";

    CardList byCount = hands[0];
    logic.SortCards(byCount.cbCards, byCount.cbCount, ORDER_BY_COUNT);
    out << "chair 0 by count: " << FormatCards(byCount) << "\ngroups of chair 0:\n";
    PrintGroups(logic, hands[0], out);

    // Chair 1 leads its weakest group, and chair 0 walks through every answer it has, weakest
    // first, as the hint button does.
    OutCardResult lead;
    logic.FindBeater(hands[1].cbCards, hands[1].cbCount, nullptr, 0, lead);
    out << "\nchair 1 leads " << FormatCards(lead.cbCards, lead.cbCount) << " ("
        << PlayTypeName(logic.JudgeType(lead.cbCards, lead.cbCount)) << ")\nanswers of chair 0, weakest first:\n";
    uint8_t prev[20];
    uint8_t prevCount = lead.cbCount;
    std::copy_n(lead.cbCards, lead.cbCount, prev);
    OutCardResult answer;
    int shown = 0;
    while (logic.FindBeater(hands[0].cbCards, hands[0].cbCount, prev, prevCount, answer) && shown < 20) {
        out << "  " << FormatCards(answer.cbCards, answer.cbCount) << " ("
            << PlayTypeName(logic.JudgeType(answer.cbCards, answer.cbCount)) << ")\n";
        std::copy_n(answer.cbCards, answer.cbCount, prev);
        prevCount = answer.cbCount;
        ++shown;
    }
    if (shown == 0)
        out << "  none\n";
    return 0;
}

}  // namespace

void PrintUsage(std::ostream& out)
{
    out << "usage: qarrum-cli COMMAND ...\n"
           "  judge CARDS                         type code and name of the list as given\n"
           "  judge --batch                       one list a line from standard input, one code a line\n"
           "  sort rank|count CARDS               the list sorted\n"
           "  compare --prev CARDS --cur CARDS    1 when the current play beats the previous one, else 0\n"
           "  beat --hand CARDS --prev CARDS      the first answer to the previous play, or none (empty --prev: lead)\n"
           "  beat --batch                        'HAND | PREV' a line from standard input, one answer a line\n"
           "  beat-with --hand CARDS --prev CARDS --card C\n"
           "                                      the first answer that contains card C, or none\n"
           "  demo [--seed N]                     a dealt hand, its groups and its answers to a lead\n"
           "  load --server HOST:PORT --connections N --seconds S [--seed X] [--think MS] [--ping-ms MS]\n"
           "                                      N clients playing basic-bot games at a server; one summary line\n"
           "  drive SCRIPT                        run the game window headless from a script (- for standard input)\n"
           "  snapshot SCRIPT --out FILE.png      run a script and save what the game window shows\n"
           "  vid dump FILE                       the head, the players and one line per packet of a replay file\n"
           "  selfplay --games N --seed S [--clients none] [--bots KIND|KIND,KIND,KIND]\n"
           "                                      whole bots-only games (basic, standard), one line each and a summary\n"
           "  qz encrypt|decrypt|pack --category N IN OUT\n"
           "                                      an encrypted resource file made or read with category N's key (0-4)\n"
           "  qz read IN OUT                      a container or general-key file decrypted (OUT - for standard output)\n"
           "  config get KEY                      the co-operation configuration's value for KEY\n"
           "  --version                           the program's version\n"
           "Cards are hex bytes separated by spaces, for example: 4F 4E 01 21\n";
}

int RunCardCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err)
{
    if (args.empty()) {
        PrintUsage(err);
        return 2;
    }
    const std::string& command = args[0];
    try {
        const Options options(args, 1);
        if (command == "judge")
            return Judge(options, in, out);
        if (command == "sort")
            return Sort(options, out);
        if (command == "compare")
            return Compare(options, out);
        if (command == "beat")
            return Beat(options, in, out);
        if (command == "beat-with")
            return BeatWith(options, out);
        if (command == "demo")
            return Demo(options, out);
        if (command == "help" || command == "--help" || command == "-h") {
            PrintUsage(out);
            return 0;
        }
        throw UsageError{"unknown command '" + command + "' (try: qarrum-cli help)"};
    } catch (const UsageError& error) {
        err << "qarrum-cli " << command << ": " << Trim(error.message) << '\n';
        return 2;
    }
}

bool IsCardCommand(const std::string& command)
{
    static const char* const names[] = {"judge", "sort", "compare", "beat", "beat-with", "demo", "help", "--help", "-h"};
    return std::find(std::begin(names), std::end(names), command) != std::end(names);
}

}  // namespace cli
