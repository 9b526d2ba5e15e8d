#pragma once

// The operator's tools for the encrypted resource files and the co-operation configuration:
//   qz encrypt|decrypt --category N IN OUT   the whole-file form with category N's key (0 general)
//   qz pack --category N IN OUT              the container form
//   qz read IN OUT                           a file that starts with the container magic by the
//                                            container rules, any other as the whole-file form
//                                            with the general key
//   config get KEY                           the configuration's value as the client reads it
// IN and OUT are paths of the shell; OUT "-" is standard output. The output is an interface for
// tests and tools: keep it stable.

#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

int RunQzCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunConfigCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace cli
