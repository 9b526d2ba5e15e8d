#pragma once

// `qarrum-cli selfplay --games N --seed S [--clients headless|none] [--bots KIND|KIND,KIND,KIND]`:
// whole games at one table, one line per game and a summary; the exit status is non-zero when an
// invariant broke. The output is an interface for tests and tools: keep it stable.

#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

int RunSelfPlayCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace cli
