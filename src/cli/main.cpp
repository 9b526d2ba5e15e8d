#include <iostream>
#include <string>
#include <vector>

#include "cli/CardCommands.h"
#include "cli/Driver.h"
#include "cli/LoadCommand.h"
#include "cli/ResourceCommands.h"
#include "cli/SelfPlayCommand.h"
#include "cli/VidCommands.h"

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || cli::IsCardCommand(args[0]))
        return cli::RunCardCommand(args, std::cin, std::cout, std::cerr);
    if (args[0] == "drive")
        return cli::RunDriveCommand(args, std::cin, std::cout, std::cerr);
    if (args[0] == "snapshot")
        return cli::RunSnapshotCommand(args, std::cin, std::cout, std::cerr);
    if (args[0] == "replay")
        return cli::RunReplayCommand(args, std::cin, std::cout, std::cerr);
    if (args[0] == "selfplay")
        return cli::RunSelfPlayCommand(args, std::cout, std::cerr);
    if (args[0] == "load")
        return cli::RunLoadCommand(args, std::cout, std::cerr);
    if (args[0] == "vid")
        return cli::RunVidCommand(args, std::cout, std::cerr);
    if (args[0] == "qz")
        return cli::RunQzCommand(args, std::cout, std::cerr);
    if (args[0] == "config")
        return cli::RunConfigCommand(args, std::cout, std::cerr);
    if (args[0] == "--version") {
        std::cout << "qarrum-cli " << QARRUM_VERSION << '\n';
        return 0;
    }
    std::cerr << "qarrum-cli: unknown command '" << args[0] << "' (try: qarrum-cli help)\n";
    return 2;
}
