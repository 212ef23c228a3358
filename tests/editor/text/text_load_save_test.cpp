#include "editor/support/fast_memory_stream.h"
#include "editor/support/memory_stream.h"
#include "editor/support/rudivo_voru_error.h"
#include "editor/text/text_load.h"
#include "editor/text/text_save.h"
#include "platform/safe_file_writer.h"
#include "tests/support/file_bytes.h"

#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace qorvi {
namespace {

using test::readFile;
using test::writeFile;

std::string load(TTextStore& store, const std::string& bytes) {
    TMemoryStream stream(bytes);
    LoadTextFromStream(store, stream);
    return store.GetText();
}

std::string save(const TTextStore& store, TSaveFormat format, TSelLineStyle style) {
    TMemoryStream stream;
    SaveTextToStream(store, &stream, format, style);
    return stream.DataString();
}

std::string tempPath(const std::string& name) {
    return ::testing::TempDir() + "qorvi-" + std::to_string(::getpid()) + "-" + name;
}

TEST(TextLoad, BreakStylesLoadTheSameAndAreRecorded) {
    TTextStore store;
    EXPECT_EQ(load(store, "a\r\nb"), "a\rb");
    EXPECT_EQ(store.FileLineBreaks(), LineBreakStyle::CRLF);
    EXPECT_EQ(load(store, "a\n\rb"), "a\rb");
    EXPECT_EQ(store.FileLineBreaks(), LineBreakStyle::LF);
    EXPECT_EQ(load(store, "a\rb"), "a\rb");
    EXPECT_EQ(store.FileLineBreaks(), LineBreakStyle::CR);
    EXPECT_EQ(load(store, "no break"), "no break");
    EXPECT_EQ(store.FileLineBreaks(), LineBreakStyle::LF);
    EXPECT_EQ(load(store, ""), "");
    EXPECT_EQ(store.NumLines(), 0);
}

TEST(TextLoad, PiecesBoundariesNeverSplitABreak) {
    TTextStore store;
    // Exactly 8192 bytes ending in CR.
    std::string text(8191, 'x');
    text += '\r';
    EXPECT_EQ(load(store, text), text);
    // CR LF and LF CR straddling the 8192-byte boundary.
    std::string crlf = std::string(8191, 'y') + "\r\nz";
    EXPECT_EQ(load(store, crlf), std::string(8191, 'y') + "\rz");
    EXPECT_EQ(store.FileLineBreaks(), LineBreakStyle::CRLF);
    std::string lfcr = std::string(8191, 'y') + "\n\rz";
    EXPECT_EQ(load(store, lfcr), std::string(8191, 'y') + "\rz");
    // A first CR at the end of a piece, its LF in the next.
    EXPECT_EQ(store.FileLineBreaks(), LineBreakStyle::LF);
    load(store, std::string(8191, 'q') + "\r\n");
    EXPECT_EQ(store.FileLineBreaks(), LineBreakStyle::CRLF);
}

TEST(TextLoad, EveryByteOtherThanALineBreakIsKept) {
    // Any bytes, piece edges and NULs included: only CR and LF become the
    // store's breaks, and an untouched save of an LF file gives the bytes back
    // wherever no CR or LF pair was unified. The megabytes are loaded while a
    // second thread builds the records, also with lines longer than a record
    // and than the pieces handed between the threads.
    std::mt19937 rng(99);
    struct Case {
        std::size_t size;
        int breakOneIn; // 0: uniformly random bytes
    };
    for (const Case c : {Case{0, 0}, Case{1, 0}, Case{8191, 0}, Case{8193, 0}, Case{300000, 0}, Case{3000000, 0},
                         Case{3000000, 40000}}) {
        const std::size_t size = c.size;
        std::string bytes(size, '\0');
        for (char& b : bytes) {
            b = static_cast<char>(std::uniform_int_distribution<int>(0, 255)(rng));
            if (c.breakOneIn && (b == '\r' || b == '\n'))
                b = 'x';
            if (c.breakOneIn && std::uniform_int_distribution<int>(0, c.breakOneIn)(rng) == 0)
                b = "\r\n"[rng() % 2];
        }
        TTextStore store;
        load(store, bytes);
        std::string expected;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const char b = bytes[i];
            if (b != '\r' && b != '\n') {
                expected += b;
                continue;
            }
            expected += '\n';
            if (i + 1 < bytes.size() && (bytes[i + 1] == '\r' || bytes[i + 1] == '\n') && bytes[i + 1] != b)
                ++i;
        }
        const std::string written = save(store, sfUNIX, lsCRLF);
        ASSERT_EQ(written.size(), expected.size()) << size;
        EXPECT_TRUE(written == expected) << size;
    }
    // Every byte value in every position of a small file, without breaks.
    for (int value = 0; value < 256; ++value) {
        if (value == '\r' || value == '\n')
            continue;
        for (std::size_t at = 0; at < 3; ++at) {
            std::string bytes = "xyz";
            bytes[at] = static_cast<char>(value);
            TTextStore store;
            load(store, bytes);
            ASSERT_EQ(save(store, sfUNIX, lsCRLF), bytes) << value << " at " << at;
        }
    }
}

TEST(TextLoad, FailedLoadKeepsTheOldText) {
    struct FailingStream : TMemoryStream {
        using TMemoryStream::TMemoryStream;
        std::int64_t Read(void* b, std::int64_t n) override {
            if (GetPosition() > failAt)
                throw EStreamError("Stream read error");
            return TMemoryStream::Read(b, n);
        }
        std::int64_t failAt = 10000;
    };
    // Failing early, and late while a second thread builds the records.
    for (const std::int64_t failAt : {10000, 2500000}) {
        FailingStream stream(std::string(3000000, 'z'));
        stream.failAt = failAt;
        TTextStore store;
        load(store, "keep me\r\n");
        EXPECT_THROW(LoadTextFromStream(store, stream), EStreamError);
        EXPECT_EQ(store.GetText(), "keep me\r");
        EXPECT_EQ(store.FileLineBreaks(), LineBreakStyle::CRLF);
    }
}

TEST(TextLoad, MissingFileCannotBeOpened) {
    TTextStore store;
    try {
        LoadTextFromFile(store, "/nonexistent/qorvi.txt");
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.message(), "File '/nonexistent/qorvi.txt' cannot be opened for reading");
    }
}

TEST(TextLoad, SetTextLoadsCharactersOrNothing) {
    TTextStore store;
    SetStoreText(store, "one\ntwo");
    EXPECT_EQ(store.GetText(), "one\rtwo");
    SetStoreText(store, nullptr);
    EXPECT_EQ(store.NumChars(), 0);
    TFastMemoryStream stream("abc");
    EXPECT_EQ(stream.GetSize(), 3);
    EXPECT_THROW(stream.Write("x", 1), EStreamError);
}

TEST(TextSave, OutputStyles) {
    TTextStore store;
    load(store, "a\rb\r");
    EXPECT_EQ(save(store, sfTEXT, lsCRLF), "a\r\nb\r\n");
    EXPECT_EQ(save(store, sfTEXT, lsLF), "a\rb\r");
    EXPECT_EQ(save(store, sfUNIX, lsCRLF), "a\nb\n");
    EXPECT_EQ(save(store, sfUNIX, lsLF), "a\nb\n");
    TMemoryStream range;
    ExportPlainText(store, 1, 3, range, sfTEXT, lsCRLF);
    EXPECT_EQ(range.DataString(), "\r\nb");
}

TEST(TextSave, NullStreamAndShortWritesFail) {
    TTextStore store;
    load(store, "text\n");
    try {
        SaveTextToStream(store, nullptr, sfTEXT, lsCRLF);
        FAIL();
    } catch (const EFileSaveError& e) {
        EXPECT_EQ(e.message(), "Bad TStream instance");
    }
    struct Short : TMemoryStream {
        std::int64_t Write(const void* b, std::int64_t n) override {
            ++calls;
            return TMemoryStream::Write(b, n - 1);
        }
        int calls = 0;
    } stream;
    try {
        SaveTextToStream(store, &stream, sfTEXT, lsCRLF);
        FAIL();
    } catch (const EFileSaveError& e) {
        EXPECT_EQ(e.message(), "Could not save text to stream");
    }
    EXPECT_EQ(stream.calls, 1); // never written again
}

TEST(TextSave, FilesKeepTheirLineBreaks) {
    const std::string path = tempPath("breaks.txt");
    for (std::string original : {"x\ny\n", "x\r\ny\r\n", "x\ry\r"}) {
        writeFile(path, original);
        TTextStore store;
        LoadTextFromFile(store, path);
        store.InsertText(0, "0", 1);
        SaveTextToFile(store, path);
        EXPECT_EQ(readFile(path), "0" + original);
    }
    TTextStore fresh;
    fresh.InsertText(0, "new\r\nfile", 9);
    SaveTextToFile(fresh, path);
    EXPECT_EQ(readFile(path), "new\nfile"); // new documents are LF files
    std::remove(path.c_str());
}

TEST(TextSave, FailedFileSaveLeavesTheOriginal) {
    const std::string path = tempPath("keep.txt");
    writeFile(path, "original\n");
    TTextStore store;
    store.InsertText(0, std::string(200000, 'n').data(), 200000);
    SafeFileWriter::failNext(SafeFileWriter::FailAt::Write, 1000);
    EXPECT_THROW(SaveTextToFile(store, path), EFileSaveError);
    EXPECT_EQ(readFile(path), "original\n");
    SafeFileWriter::failNext(SafeFileWriter::FailAt::Rename);
    EXPECT_THROW(SaveTextToFile(store, path), SafeFileError);
    EXPECT_EQ(readFile(path), "original\n");
    std::remove(path.c_str());
}

} // namespace
} // namespace qorvi
