#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace cli {

// qarrum-cli load --server HOST:PORT --connections N --seconds S [--seed X] [--think MS] [--ping-ms MS]
// N protocol-level players in this one process play real games at a qarrum-server; one summary
// line of connections, games per second, refusals and round-trip percentiles. Exit status 1 when
// a connection failed, a move was refused or no game finished; 2 on a usage error.
int RunLoadCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace cli
