#include "bench/bench_support.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <stdexcept>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace qorvi::bench {

bool smokeRun() {
    const char* v = std::getenv("QORVI_BENCH_SMOKE");
    return v && *v && std::string(v) != "0";
}

std::size_t scaled(std::size_t full, std::size_t smoke) {
    return smokeRun() ? std::min(full, smoke) : full;
}

std::string makeCppText(std::size_t bytes, unsigned seed) {
    static const char* const lines[] = {
        "#include <vector>",
        "// Walks the list and sums the weights of every node in it.",
        "static int total = 0;",
        "int sumWeights(const std::vector<int>& weights, int bias) {",
        "    int s = bias; /* running sum of the weights */",
        "    for (int x : weights) s += x * 0x1F + (x >> 2);",
        "    return s + 42;",
        "}",
        "    const char* name = \"weights \\\"main\\\"\";",
        "    if (total > 100 && name[0] != 'w' && bias < 7) {",
        "        total -= 3.5e2; // keep the total in range",
        "    }",
        "",
        "class Node { public: Node* next = nullptr; int weight = 0; };",
    };
    std::mt19937 rng(seed);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(lines) - 1);
    std::string out;
    out.reserve(bytes + 64);
    while (out.size() < bytes) {
        out += lines[pick(rng)];
        out += '\n';
    }
    out.resize(bytes);
    if (!out.empty())
        out.back() = '\n';
    return out;
}

namespace {
std::vector<std::string>& tempFiles() {
    static std::vector<std::string> files;
    return files;
}
void removeTempFiles() {
    for (const auto& f : tempFiles())
        ::unlink(f.c_str());
}
} // namespace

std::string writeTempFile(const std::string& text, const std::string& suffix) {
    const char* dir = std::getenv("TMPDIR");
    std::string path = std::string(dir && *dir ? dir : "/tmp") + "/qorvi-bench-XXXXXX" + suffix;
    int fd = ::mkstemps(path.data(), static_cast<int>(suffix.size()));
    if (fd < 0)
        throw std::runtime_error("cannot create a temp file for the benchmark");
    std::size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n <= 0) {
            ::close(fd);
            throw std::runtime_error("cannot write the benchmark's temp file");
        }
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (tempFiles().empty())
        std::atexit(removeTempFiles);
    tempFiles().push_back(path);
    return path;
}

double residentBytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE));
}

double peakResidentBytes() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) * 1024.0;
}

} // namespace qorvi::bench
