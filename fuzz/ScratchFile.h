#pragma once

// A file in a folder of this process's own, removed when the process ends, for targets whose
// code under test reads and writes real files. Each process (libFuzzer may run several) has its
// own folder, so parallel runs never share a file.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace fuzz {

class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& target)
    {
        const char* tmp = std::getenv("TMPDIR");
        m_folder = std::filesystem::path(tmp && *tmp ? tmp : "/tmp") / ("qarrum-fuzz-" + target + "-" + std::to_string(getpid()));
        std::error_code ec;
        std::filesystem::create_directories(m_folder, ec);
    }
    ~ScratchFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_folder, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& folder() const { return m_folder; }

private:
    std::filesystem::path m_folder;
};

}  // namespace fuzz
