// Stand-in for libFuzzer's driver in ordinary builds: feeds the target every file of its corpus
// folder (when given) and then a fixed number of seeded random inputs, some of them mutations of the
// corpus files, so that a run is repeatable.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv)
{
    const long runs = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 10000;
    std::vector<std::vector<uint8_t>> corpus;
    if (argc > 2 && std::filesystem::is_directory(argv[2])) {
        for (const auto& entry : std::filesystem::directory_iterator(argv[2])) {
            std::ifstream in(entry.path(), std::ios::binary);
            corpus.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
    }
    for (const auto& input : corpus)
        LLVMFuzzerTestOneInput(input.data(), input.size());

    std::mt19937 rng(12345);
    std::vector<uint8_t> buffer;
    for (long i = 0; i < runs; ++i) {
        if (!corpus.empty() && rng() % 2 == 0) {
            buffer = corpus[rng() % corpus.size()];
            const int edits = 1 + static_cast<int>(rng() % 8);
            for (int e = 0; e < edits && !buffer.empty(); ++e)
                buffer[rng() % buffer.size()] = static_cast<uint8_t>(rng());
            if (rng() % 4 == 0)
                buffer.resize(rng() % (buffer.size() + 16));
        } else {
            buffer.resize(rng() % 1200);
            for (auto& b : buffer)
                b = static_cast<uint8_t>(rng());
        }
        LLVMFuzzerTestOneInput(buffer.data(), buffer.size());
    }
    std::printf("%ld inputs run\n", runs + static_cast<long>(corpus.size()));
    return 0;
}
