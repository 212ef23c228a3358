// The qorvi-syntax tool, run as a program.

#include "tests/support/temp_dir.h"
#include "tests/support/file_bytes.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace qorvi {
namespace {

using test::readFile;
using test::writeFile;

struct ToolRun {
    int status;
    std::string out;
    std::string err;
};

class SyntaxTool : public ::testing::Test {
protected:
    ToolRun run(const std::string& args) {
        const std::string out = dir.file("stdout"), err = dir.file("stderr");
        const std::string command =
            std::string(QORVI_BINARY_DIR) + "/bin/qorvi-syntax " + args + " >" + out + " 2>" + err;
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(out), readFile(err)};
    }

    test::TempDir dir;
};

const char* const kScript = "%%language name = 'Tiny'\n"
                            "  editablestyles ('Number', 2), ('Word', 3)\n"
                            "%%tokens 1 __STD_NUMBER\n"
                            "         5 __STD_IDENTIFIER\n"
                            "%%words 'if' '[^a-z]' 7\n"
                            "%%map 1 2 5 3 7 4\n";

TEST_F(SyntaxTool, CompiledImageTokenisesAFileWithStoredOffsets) {
    writeFile(dir.file("tiny.syn"), kScript);
    // CR LF counts as one stored character.
    writeFile(dir.file("sample.txt"), "if 42\r\nab");
    ASSERT_EQ(run("compile " + dir.file("tiny.syn") + " -o " + dir.file("tiny.img")).status, 0);
    const std::string image = readFile(dir.file("tiny.img"));
    ASSERT_GE(image.size(), 14u);
    EXPECT_EQ(image.substr(0, 2), std::string("\x33\x00", 2));
    EXPECT_EQ(image.substr(6, 4), "WRZL");

    const std::string expected = "0 2 7 4 -\n"
                                 "2 1 0 0 -\n"
                                 "3 2 1 2 Number\n"
                                 "5 1 0 0 -\n"
                                 "6 2 5 3 Word\n";
    const ToolRun fromImage = run("tokens --image " + dir.file("tiny.img") + " " + dir.file("sample.txt"));
    EXPECT_EQ(fromImage.status, 0);
    EXPECT_EQ(fromImage.out, expected);
    const ToolRun fromScript = run("tokens --script " + dir.file("tiny.syn") + " " + dir.file("sample.txt"));
    EXPECT_EQ(fromScript.status, 0);
    EXPECT_EQ(fromScript.out, expected);
}

TEST_F(SyntaxTool, DumpShowsSettingsAndTables) {
    writeFile(dir.file("tiny.syn"), kScript);
    ASSERT_EQ(run("compile " + dir.file("tiny.syn") + " -o " + dir.file("tiny.img")).status, 0);
    const ToolRun dump = run("dump " + dir.file("tiny.img"));
    EXPECT_EQ(dump.status, 0);
    EXPECT_NE(dump.out.find("name            'Tiny'"), std::string::npos);
    EXPECT_NE(dump.out.find("  'if' [^a-z] 7 {0}\n"), std::string::npos);
    EXPECT_NE(dump.out.find("  [0-9] value 1 by __STD_NUMBER in {0}\n"), std::string::npos);
    EXPECT_NE(dump.out.find("  [A-Z_a-z] value 5 by __STD_IDENTIFIER in {0}\n"), std::string::npos);
    EXPECT_NE(dump.out.find("  1 'Number' 2\n"), std::string::npos);
    EXPECT_NE(dump.out.find("  7 4\n"), std::string::npos);
}

TEST_F(SyntaxTool, ScriptErrorGoesToStderrAndLeavesNoImage) {
    writeFile(dir.file("bad.syn"), "%%words\n  'if' 7\n");
    const ToolRun r = run("compile " + dir.file("bad.syn") + " -o " + dir.file("bad.img"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "qorvi-syntax: " + dir.file("bad.syn") +
                         ": ** ERROR near line 2, Column 9: String value expected\n");
    EXPECT_FALSE(std::ifstream(dir.file("bad.img")).good());
}

TEST_F(SyntaxTool, ErrorWithoutPositionGetsThePositionReached) {
    writeFile(dir.file("range.syn"), "%%language\n  indentstep = 21\n");
    const ToolRun r = run("compile " + dir.file("range.syn") + " -o " + dir.file("range.img"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "qorvi-syntax: " + dir.file("range.syn") +
                         ": Range error, value outwith 0 .. 20 (near line 3, column 1)\n");
}

TEST_F(SyntaxTool, IncludeAngleBracketsLookBesideTheScript) {
    writeFile(dir.file("names.inc"), "#define WORD 5\n");
    writeFile(dir.file("main.syn"), "#include <names.inc>\n%%tokens WORD __STD_IDENTIFIER\n");
    writeFile(dir.file("sample.txt"), "x");
    const ToolRun r = run("tokens --script " + dir.file("main.syn") + " " + dir.file("sample.txt"));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "0 1 5 0 -\n");
}

TEST_F(SyntaxTool, UnknownLanguageIsReported) {
    writeFile(dir.file("sample.txt"), "x");
    const ToolRun r = run("tokens --lang klingon " + dir.file("sample.txt"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no parser image for the language 'klingon'"), std::string::npos);
}

TEST_F(SyntaxTool, DamagedImageIsRefused) {
    writeFile(dir.file("junk.img"), std::string("\x33\x00\x10\x00\x00\x00junkjunkjunk", 18));
    const ToolRun r = run("dump " + dir.file("junk.img"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("qorvi-syntax: ", 0), 0u);
    // A sound image followed by junk.
    writeFile(dir.file("tiny.syn"), kScript);
    ASSERT_EQ(run("compile " + dir.file("tiny.syn") + " -o " + dir.file("tiny.img")).status, 0);
    writeFile(dir.file("tail.img"), readFile(dir.file("tiny.img")) + std::string(1 << 20, 'j'));
    const ToolRun tail = run("dump " + dir.file("tail.img"));
    EXPECT_EQ(tail.status, 1);
    EXPECT_NE(tail.err.find("Data after the end of the image"), std::string::npos) << tail.err;
    writeFile(dir.file("old.img"), std::string("\x31\x00\x00\x00\x00\x00", 6));
    const ToolRun old = run("dump " + dir.file("old.img"));
    EXPECT_EQ(old.status, 1);
    EXPECT_NE(old.err.find("version 49"), std::string::npos);
}

TEST_F(SyntaxTool, EmbedWritesTheImagesAsByteArraysUnderTheirKeys) {
    writeFile(dir.file("tiny.syn"), kScript);
    ASSERT_EQ(run("compile " + dir.file("tiny.syn") + " -o " + dir.file("php3.img")).status, 0);
    ASSERT_EQ(run("embed " + dir.file("php3.img") + " -o " + dir.file("images.cpp")).status, 0);
    const std::string code = readFile(dir.file("images.cpp"));
    EXPECT_NE(code.find("const std::uint8_t kImage_php3[] = {\n    0x33, 0x00,"), std::string::npos);
    EXPECT_NE(code.find("{\"php3\", kImage_php3, sizeof kImage_php3},"), std::string::npos);

    ASSERT_EQ(run("embed -o " + dir.file("none.cpp")).status, 0);
    EXPECT_NE(readFile(dir.file("none.cpp")).find("return {};"), std::string::npos);

    writeFile(dir.file("bad.img"), "not an image");
    EXPECT_EQ(run("embed " + dir.file("bad.img") + " -o " + dir.file("bad.cpp")).status, 1);
    EXPECT_EQ(run("embed " + dir.file("php3.img") + " " + dir.file("php3.img") + " -o " + dir.file("two.cpp"))
                  .status,
              1);
}

TEST_F(SyntaxTool, EveryCommandHasHelpAndUsageErrorsExit2) {
    for (const char* command : {"compile", "dump", "tokens", "embed"}) {
        const ToolRun help = run(std::string(command) + " --help");
        EXPECT_EQ(help.status, 0) << command;
        EXPECT_EQ(help.out.rfind(std::string("Usage: qorvi-syntax ") + command, 0), 0u) << command;
    }
    EXPECT_EQ(run("--help").status, 0);
    EXPECT_EQ(run("").status, 2);
    EXPECT_EQ(run("frobnicate").status, 2);
    EXPECT_EQ(run("compile x.syn").status, 2);
    EXPECT_EQ(run("tokens --image a --lang cpp f").status, 2);
}

} // namespace
} // namespace qorvi
