// Replay driver for fuzz targets when libFuzzer is not linked: runs the target
// over the files named on the command line, or over seeded random and mutated
// inputs (--runs=N), so the sanitizers see every target in the test suite.

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    long runs = 1000;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--runs=", 7) == 0)
            runs = std::atol(argv[i] + 7);
        else if (argv[i][0] != '-')
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
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    std::printf("ran %ld inputs\n", runs);
    return 0;
}
