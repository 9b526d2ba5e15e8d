// qarrum-soundgen: speaks and synthesises every sound of the game into a data folder.
//
//   qarrum-soundgen OUTDIR [--manifest FILE] [--jobs N]
//
// Voices are spoken by espeak-ng, effects and music synthesised by sox, and both encoded by lame;
// the generator only lists the files and the commands that make them, and runs those commands
// side by side (--jobs, every processor by default). The manifest lists each written file, one a
// line; the build uses it as its stamp.

#include "Runner.h"
#include "Synth.h"
#include "Voices.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>

namespace fs = std::filesystem;

namespace {

int Usage()
{
    std::fprintf(stderr, "usage: qarrum-soundgen OUTDIR [--manifest FILE] [--jobs N]\n");
    return 2;
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return Usage();
    const fs::path out = argv[1];
    std::string manifestPath;
    unsigned workers = std::max(1u, std::thread::hardware_concurrency());
    for (int i = 2; i < argc; i += 2) {
        const std::string option = argv[i];
        if (i + 1 >= argc)
            return Usage();
        if (option == "--manifest") {
            manifestPath = argv[i + 1];
        } else if (option == "--jobs") {
            workers = static_cast<unsigned>(std::clamp(std::atoi(argv[i + 1]), 1, 64));
        } else {
            return Usage();
        }
    }

    bool missing = false;
    for (const sound::Tool& tool : sound::kTools) {
        if (sound::FindProgram(tool.program).empty()) {
            std::fprintf(stderr, "qarrum-soundgen: %s is not installed (Debian package %s; scripts/install-deps.sh installs it)\n",
                         tool.program, tool.package);
            missing = true;
        }
    }
    if (missing)
        return 1;

    // The two pieces of music take longest, so they start first and the short jobs fill in beside them.
    std::vector<sound::Job> jobs = sound::MusicJobs();
    for (auto* family : {&sound::EffectJobs, &sound::VoiceJobs}) {
        for (sound::Job& job : family())
            jobs.push_back(std::move(job));
    }
    // The game finds files case-insensitively, so two names differing only in case would be one file.
    std::vector<std::string> files;
    for (const sound::Job& job : jobs) {
        files.push_back(job.path);
        files.insert(files.end(), job.copies.begin(), job.copies.end());
    }
    std::set<std::string> seen;
    for (const std::string& file : files) {
        if (!seen.insert(Lower(file)).second) {
            std::fprintf(stderr, "qarrum-soundgen: %s is listed twice\n", file.c_str());
            return 1;
        }
    }

    std::string pattern = (fs::temp_directory_path() / "qarrum-soundgen.XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        std::fprintf(stderr, "qarrum-soundgen: cannot create a work folder in %s\n", fs::temp_directory_path().c_str());
        return 1;
    }
    const fs::path work = pattern;
    const bool ok = sound::RunJobs(jobs, out, work, workers);
    std::error_code ec;
    fs::remove_all(work, ec);
    if (!ok)
        return 1;

    if (!manifestPath.empty()) {
        std::ofstream manifest(manifestPath, std::ios::trunc);
        for (const std::string& file : files)
            manifest << file << '\n';
        if (!manifest) {
            std::fprintf(stderr, "qarrum-soundgen: cannot write %s\n", manifestPath.c_str());
            return 1;
        }
    }
    return 0;
}
