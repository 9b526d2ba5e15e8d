#pragma once

// `qarrum-cli drive SCRIPT`: runs the real game window off screen on the virtual clock, fed by a
// script, and prints what the client does. Its commands and event lines are an interface for
// tests: extend them only by adding.

#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

// `qarrum-cli snapshot SCRIPT --out FILE.png`: runs a script the same way and saves what the game
// window shows.
int RunSnapshotCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err);

// qarrum-cli replay FILE [--then SCRIPT]: plays a replay file through the game window off screen,
// printing the driver's events, then runs the script's commands (for example its dumps).
int RunReplayCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err);
int RunDriveCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace cli
