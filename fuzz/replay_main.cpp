// Replay driver for fuzz targets when libFuzzer is not linked: runs the target
// over the files named on the command line, or over seeded random and mutated
// inputs (--runs=N), so the sanitizers see every target in the test suite.
// With --keep=FILE each generated input is written to FILE before it runs,
// so the one a crash leaves there replays the crash alone.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    long runs = 1000;
    std::vector<std::string> files;
    const char* keep = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--runs=", 7) == 0)
            runs = std::atol(argv[i] + 7);
        else if (std::strncmp(argv[i], "--keep=", 7) == 0)
            keep = argv[i] + 7;
        else if (argv[i][0] != '-' && std::filesystem::is_directory(argv[i])) {
            // A corpus folder: every file in it, in name order.
            std::vector<std::string> inFolder;
            for (const auto& entry : std::filesystem::directory_iterator(argv[i]))
                if (entry.is_regular_file())
                    inFolder.push_back(entry.path().string());
            std::sort(inFolder.begin(), inFolder.end());
            files.insert(files.end(), inFolder.begin(), inFolder.end());
        } else if (argv[i][0] != '-')
            files.emplace_back(argv[i]);
    }
    if (!files.empty()) {
        for (const auto& f : files) {
            std::ifstream in(f, std::ios::binary);
            std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        }
        std::printf("replayed %zu files\n", files.size());
        return 0;
    }
    std::mt19937 rng(12345);
    std::vector<uint8_t> input;
    for (long r = 0; r < runs; ++r) {
        // Grow, shrink and flip the previous input so later runs get deeper.
        std::size_t op = rng() % 4;
        if (op == 0 || input.empty()) {
            input.resize(rng() % 512);
            for (auto& b : input)
                b = static_cast<uint8_t>(rng());
        } else if (op == 1) {
            input.push_back(static_cast<uint8_t>(rng()));
        } else if (op == 2) {
            input[rng() % input.size()] = static_cast<uint8_t>(rng());
        } else {
            input.resize(rng() % (input.size() + 1));
        }
        if (keep) {
            std::ofstream out(keep, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(input.data()), static_cast<std::streamsize>(input.size()));
        }
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    std::printf("ran %ld inputs\n", runs);
    return 0;
}
