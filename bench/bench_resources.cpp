// An encrypted resource file read and decrypted whole, as the co-operation configuration reads its
// ".qz" files: a 1 MiB file of the whole-file form, the general category.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "support/QZResourceManager.h"

namespace {

void BM_DecryptResource(benchmark::State& state)
{
    ResourceBytes plain(size_t{1} << 20);
    std::mt19937 random(7);
    for (uint8_t& byte : plain)
        byte = static_cast<uint8_t>(random());
    const ResourceBytes cipher = QZResourceManager::Encrypt("general", plain);
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("qarrum-bench-" + std::to_string(getpid()) + ".qz");
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(cipher.data()), static_cast<std::streamsize>(cipher.size()));

    QZResourceManager manager;
    manager.SetCategory("general");
    if (manager.ReadFileData(file) != plain)
        state.SkipWithError("the file did not decrypt to its plain text");
    for (auto _ : state) {
        auto bytes = manager.ReadFileData(file);
        benchmark::DoNotOptimize(bytes);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(cipher.size()));
    std::filesystem::remove(file);
}
BENCHMARK(BM_DecryptResource)->Unit(benchmark::kMicrosecond);

}  // namespace
