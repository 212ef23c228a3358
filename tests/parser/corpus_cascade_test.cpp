// Real code must not throw the colouring off for the rest of a file: no
// construct may turn into a comment or string that runs on for hundreds of
// lines, and a parse restarted at any anchor colours as a parse from the
// top. Checked on every language's test sample and, when the corpus of real
// files from Debian packages has been built (bench/syntax_corpus.py build;
// QORVI_CORPUS names its folder, default build/corpus), on a few small files
// of each language from it.

#include "tests/parser/lang_test_support.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace qorvi {
namespace {

namespace fs = std::filesystem;
using test::StyledText;

// A comment or string of more lines than this in code is a construct read wrong.
constexpr int kLongestRegionLines = 300;
// Small files only, and few of them, so that the check stays quick.
constexpr std::uintmax_t kLargestCorpusFile = 24'000;
constexpr int kCorpusFilesPerLanguage = 4;
// How far each restart is followed.
constexpr std::int32_t kRestartSpan = 4000;

const char* const kLanguages[] = {"cpp", "java", "htm", "sql", "txt", "bas", "pas",
                                  "idl", "bat", "ini", "sh",  "4gl", "php3"};

bool isCommentOrString(int style) {
    return style == 1 || style == 2 || style == 3 || style == 4;
}

// The longest run of one comment or string style, in lines, and where it starts.
std::pair<int, std::int32_t> longestRegion(const StyledText& styled, const TSM_Settings& settings) {
    std::pair<int, std::int32_t> longest{0, 0};
    std::int32_t start = 0;
    int lines = 0;
    int runStyle = -1;
    for (std::int32_t i = 0; i < styled.size(); ++i) {
        const int style = settings.GetMapEntry(styled.values()[static_cast<std::size_t>(i)]);
        if (style != runStyle) {
            runStyle = style;
            start = i;
            lines = 0;
        }
        if (styled.text()[static_cast<std::size_t>(i)] == '\r' && isCommentOrString(style) &&
            ++lines > longest.first)
            longest = {lines, start};
    }
    return longest;
}

void expectNoCascade(const std::string& key, const std::string& path) {
    SCOPED_TRACE(key + ": " + path);
    auto parser = test::languageParser(key);
    StyledText styled = StyledText::fromFile(*parser, path);
    const auto [lines, at] = longestRegion(styled, parser->Settings());
    EXPECT_LE(lines, kLongestRegionLines) << "one comment or string from " << styled.where(at);
    test::expectRestartsAgree(styled, 1, kRestartSpan);
}

fs::path corpusDir() {
    const char* dir = std::getenv("QORVI_CORPUS");
    return dir && *dir ? fs::path(dir) : fs::path(QORVI_SOURCE_DIR) / "build" / "corpus";
}

TEST(CorpusCascade, EveryLanguageSampleHoldsNoCascade) {
    for (const char* key : kLanguages)
        expectNoCascade(key, test::sampleFile(std::string(key) + ".sample"));
}

// Real files every build machine has (the compiler's and the test tools'
// packages), so that the check runs even where the corpus was never built.
TEST(CorpusCascade, InstalledSystemFilesHoldNoCascade) {
    const std::pair<const char*, const char*> files[] = {
        {"cpp", "/usr/include/stdio.h"},
        {"cpp", "/usr/include/c++/12/bits/stl_vector.h"},
        {"sh", "/usr/bin/ldd"},
        {"sh", "/usr/bin/xvfb-run"},
        {"sh", "/usr/bin/gettext.sh"},
    };
    int checked = 0;
    for (const auto& [key, path] : files)
        if (fs::is_regular_file(path)) {
            expectNoCascade(key, path);
            ++checked;
        }
    EXPECT_GT(checked, 0);
}

TEST(CorpusCascade, RealFilesHoldNoCascade) {
    if (!fs::is_directory(corpusDir()))
        GTEST_SKIP() << "no corpus at " << corpusDir() << " (bench/syntax_corpus.py build)";
    int files = 0;
    for (const char* key : kLanguages) {
        const fs::path folder = corpusDir() / key;
        if (!fs::is_directory(folder))
            continue;
        std::vector<fs::path> small;
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.is_regular_file() && entry.file_size() <= kLargestCorpusFile)
                small.push_back(entry.path());
        std::sort(small.begin(), small.end());
        // An even spread over the folder, the same every run.
        const std::size_t step = std::max<std::size_t>(1, small.size() / kCorpusFilesPerLanguage);
        for (std::size_t i = 0; i < small.size() && i / step < kCorpusFilesPerLanguage; i += step, ++files)
            expectNoCascade(key, small[i].string());
    }
    EXPECT_GT(files, 0);
}

} // namespace
} // namespace qorvi
