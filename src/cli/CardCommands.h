#pragma once

// The card-rule commands of qarrum-cli. Their output is an interface for tests and tools: keep it
// stable. Usage errors go to `err` on one line and give status 2.

#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

bool IsCardCommand(const std::string& command);
int RunCardCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err);
void PrintUsage(std::ostream& out);

}  // namespace cli
