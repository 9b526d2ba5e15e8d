#include "cli/ResourceCommands.h"

#include <algorithm>
#include <fstream>
#include <ostream>

#include "support/CoOperatingConfig.h"
#include "support/ErrorMessage.h"
#include "support/QZResourceManager.h"

namespace cli {
namespace {

constexpr const char* kQzUsage =
    "usage: qarrum-cli qz encrypt|decrypt|pack --category N IN OUT | qarrum-cli qz read IN OUT  (N 0-4, OUT - for standard output)";

int Usage(std::ostream& err, const std::string& why)
{
    err << "qarrum-cli qz: " << why << "\n" << kQzUsage << '\n';
    return 2;
}

bool WriteOutput(const std::string& name, const ResourceBytes& bytes, std::ostream& out)
{
    const auto* data = reinterpret_cast<const char*>(bytes.data());
    const auto size = static_cast<std::streamsize>(bytes.size());
    if (name == "-") {
        out.write(data, size);
        return static_cast<bool>(out.flush());
    }
    std::ofstream file(name, std::ios::binary | std::ios::trunc);
    file.write(data, size);
    file.close();
    return static_cast<bool>(file);
}

bool StartsWithMagic(const ResourceBytes& bytes)
{
    return bytes.size() >= kContainerMagic.size() && std::equal(kContainerMagic.begin(), kContainerMagic.end(), bytes.begin());
}

} // namespace

int RunQzCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.size() < 2)
        return Usage(err, "missing subcommand");
    const std::string& verb = args[1];
    int category = 0;
    std::vector<std::string> files;
    for (size_t at = 2; at < args.size(); ++at) {
        if (args[at] != "--category") {
            files.push_back(args[at]);
            continue;
        }
        if (verb == "read" || at + 1 >= args.size())
            return Usage(err, verb == "read" ? "read takes no --category" : "--category needs a number");
        const std::string& value = args[++at];
        if (value.size() != 1 || value[0] < '0' || value[0] >= '0' + kResourceCategories)
            return Usage(err, "--category takes 0-4, not '" + value + "'");
        category = value[0] - '0';
    }
    if (verb != "encrypt" && verb != "decrypt" && verb != "pack" && verb != "read")
        return Usage(err, "unknown subcommand '" + verb + "'");
    if (files.size() != 2)
        return Usage(err, "needs IN and OUT");

    const auto input = QZResourceManager().ReadFileData(files[0]);
    if (!input) {
        err << "qarrum-cli qz: cannot read '" << files[0] << "' (missing, not a file, or larger than "
            << (QZResourceManager::kMaxFileBytes >> 20) << " MiB)\n";
        return 2;
    }
    const std::string_view name = QZResourceManager::kCategoryNames[static_cast<size_t>(category)];
    ResourceBytes result;
    if (verb == "encrypt") {
        result = QZResourceManager::Encrypt(name, *input);
    } else if (verb == "decrypt") {
        result = QZResourceManager::Decrypt(name, *input);
    } else if (verb == "pack") {
        result = EncodeContainer(category, *input);
    } else if (StartsWithMagic(*input)) {
        auto decoded = DecodeContainer(*input);
        if (!decoded) {
            err << "qarrum-cli qz: '" << files[0] << "' is a container of category " << int{(*input)[12]}
                << ", which has no key (0-4)\n";
            return 1;
        }
        result = std::move(*decoded);
    } else {
        result = QZResourceManager::Decrypt(QZResourceManager::kCategoryNames[0], *input);
    }
    if (!WriteOutput(files[1], result, out)) {
        err << "qarrum-cli qz: cannot write '" << files[1] << "'\n";
        return 2;
    }
    return 0;
}

int RunConfigCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.size() != 3 || args[1] != "get") {
        err << "usage: qarrum-cli config get KEY\n";
        return 2;
    }
    // The client shows these as message boxes; here each is one line of standard error.
    int shown = 0;
    SetErrorMessageHook([&](const std::string&, const std::string& text) {
        err << text << '\n';
        ++shown;
    });
    const CoOperatingConfig& config = CoOperatingConfig::GetInstance();
    const int shownWhileLoading = shown;
    const std::string value = config.GetValue(args[2]);
    SetErrorMessageHook({});
    if (shown > shownWhileLoading)
        return 1;
    out << value << '\n';
    return 0;
}

} // namespace cli
