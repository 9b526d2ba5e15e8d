#pragma once

// `qarrum-cli vid dump FILE`: the head, the player block and every packet of a replay file, one
// line each. The output is an interface for tests and tools: keep it stable.

#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

int RunVidCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace cli
