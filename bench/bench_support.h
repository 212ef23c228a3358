#pragma once

// Shared helpers of the benchmark programs: data sizes that shrink for the
// smoke run of the test suite, and generators of realistic source text.

#include <cstddef>
#include <string>

namespace qorvi::bench {

// True when QORVI_BENCH_SMOKE is set: benchmarks then use small data so the
// test suite can run them quickly (figures are meaningless in that mode).
bool smokeRun();

// `full` normally, a small fraction of it in a smoke run.
std::size_t scaled(std::size_t full, std::size_t smoke = 64 * 1024);

// Plausible C++ source of about `bytes` bytes with LF line breaks and lines of
// about 35 characters on average (as in typical C++ files).
std::string makeCppText(std::size_t bytes, unsigned seed = 1);

// Writes `text` to a fresh file in the temp directory and returns its path;
// the file is removed at exit.
std::string writeTempFile(const std::string& text, const std::string& suffix = ".txt");

// Resident memory of the process now, and at its peak so far, in bytes.
double residentBytes();
double peakResidentBytes();

} // namespace qorvi::bench
