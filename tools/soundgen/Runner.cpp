#include "Runner.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace sound {

namespace {

std::mutex g_reportLock;

void Report(const std::string& path, const std::string& what)
{
    const std::lock_guard<std::mutex> lock(g_reportLock);
    std::fprintf(stderr, "qarrum-soundgen: %s: %s\n", path.c_str(), what.c_str());
}

std::string Substitute(std::string arg, const std::string& work, const std::string& out)
{
    for (const auto& [key, value] : {std::pair<std::string, const std::string&>("{work}", work), {"{out}", out}}) {
        for (std::size_t at = arg.find(key); at != std::string::npos; at = arg.find(key, at + value.size()))
            arg.replace(at, key.size(), value);
    }
    return arg;
}

std::string Quoted(const Command& command)
{
    std::string text;
    for (const std::string& arg : command)
        text += (text.empty() ? "" : " ") + (arg.find(' ') == std::string::npos ? arg : '"' + arg + '"');
    return text;
}

// Runs one command with no input and its standard output discarded (the tools chatter there);
// standard error stays the generator's, so a tool's complaint reaches the build log.
bool Run(const Command& command, const std::string& path)
{
    std::vector<char*> argv;
    for (const std::string& arg : command)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        Report(path, "cannot start " + command.front() + ": " + std::strerror(error));
        return false;
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            Report(path, "lost " + command.front() + ": " + std::strerror(errno));
            return false;
        }
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        Report(path, "failed: " + Quoted(command));
        return false;
    }
    return true;
}

bool RunJob(const Job& job, std::size_t index, const fs::path& dataDir, const fs::path& workDir)
{
    const fs::path work = workDir / std::to_string(index);
    const fs::path out = dataDir / job.path;
    std::error_code ec;
    for (const fs::path& folder : {work, out.parent_path()}) {
        if (fs::create_directories(folder, ec); ec) {
            Report(job.path, "cannot create " + folder.string() + ": " + ec.message());
            return false;
        }
    }
    // A file left by an earlier run must not pass for this run's work.
    fs::remove(out, ec);
    for (const Command& raw : job.commands) {
        Command command;
        for (const std::string& arg : raw)
            command.push_back(Substitute(arg, work.string(), out.string()));
        if (!Run(command, job.path))
            return false;
    }
    if (!fs::is_regular_file(out, ec) || fs::file_size(out, ec) == 0) {
        Report(job.path, "its commands wrote nothing");
        return false;
    }
    for (const std::string& copy : job.copies) {
        const fs::path to = dataDir / copy;
        fs::create_directories(to.parent_path(), ec);
        if (ec || !fs::copy_file(out, to, fs::copy_options::overwrite_existing, ec)) {
            Report(copy, "cannot be copied from " + job.path + ": " + ec.message());
            return false;
        }
    }
    fs::remove_all(work, ec);
    return true;
}

} // namespace

Command EncodeMp3(const std::string& wav, int kbps)
{
    return {"lame", "--quiet", "--noreplaygain", "-m", "m", "-b", std::to_string(kbps), "{work}/" + wav, "{out}"};
}

bool RunJobs(const std::vector<Job>& jobs, const fs::path& dataDir, const fs::path& workDir, unsigned workers)
{
    std::atomic<std::size_t> next{0};
    std::atomic<bool> ok{true};
    const auto work = [&] {
        for (std::size_t i = next++; i < jobs.size(); i = next++) {
            if (!RunJob(jobs[i], i, dataDir, workDir))
                ok = false;
        }
    };
    std::vector<std::thread> threads;
    for (unsigned i = 1; i < workers; ++i)
        threads.emplace_back(work);
    work();
    for (std::thread& thread : threads)
        thread.join();
    return ok;
}

fs::path FindProgram(const char* name)
{
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/bin:/bin";
    for (std::size_t start = 0; start <= folders.size();) {
        std::size_t end = folders.find(':', start);
        if (end == std::string::npos)
            end = folders.size();
        const fs::path candidate = fs::path(folders.substr(start, end - start)) / name;
        if (end > start && access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return {};
}

} // namespace sound
