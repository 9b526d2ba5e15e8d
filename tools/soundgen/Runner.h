#pragma once

#include "Job.h"

#include <filesystem>
#include <vector>

namespace sound {

// Runs every job on `workers` threads, writing the finished files below `dataDir` and the
// intermediate ones below `workDir`. Returns false when any command could not be started or
// failed; the failures are reported on standard error as they happen.
bool RunJobs(const std::vector<Job>& jobs, const std::filesystem::path& dataDir, const std::filesystem::path& workDir,
             unsigned workers);

// The full path of a program found on PATH, or an empty path.
std::filesystem::path FindProgram(const char* name);

} // namespace sound
