#include "editor/text/ed_stream.h"
#include "editor/text/text_store.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>

namespace qorvi {
namespace {

std::string readAll(TEdStream& s) {
    std::string out;
    while (!s.yyeof()) {
        out += static_cast<char>(s.GetYYchar());
        s.yyadvance();
    }
    return out;
}

struct EdStreamTest : ::testing::Test {
    void SetUp() override {
        std::string text = "ab\rcd\r" + std::string(3000, 'x') + "\ry";
        store.InsertText(0, text.data(), static_cast<std::int64_t>(text.size()));
    }
    TTextStore store;
};

TEST_F(EdStreamTest, ReadsEveryCharacterAcrossRecords) {
    auto s = store.GetTextStream(0);
    EXPECT_EQ(readAll(*s), store.GetText());
    EXPECT_EQ(s->GetYYpos(), store.NumChars());
}

TEST_F(EdStreamTest, StreamPositionsAreClamped) {
    EXPECT_EQ(store.GetTextStream(-1, 4)->GetYYpos(), 4); // the caret
    EXPECT_EQ(store.GetTextStream(-5, 4)->GetYYpos(), 0);
    auto past = store.GetTextStream(store.NumChars() + 10);
    EXPECT_EQ(past->GetYYpos(), store.NumChars());
    EXPECT_TRUE(past->yyeof());
    auto s = store.GetTextStream(3);
    EXPECT_EQ(s->GetYYchar(), 'c');
}

TEST_F(EdStreamTest, AdvanceParksPastTheLastCharacter) {
    auto s = store.GetTextStream(store.NumChars() - 1);
    EXPECT_EQ(s->GetYYchar(), 'y');
    EXPECT_FALSE(s->yyeof());
    s->yyadvance();
    EXPECT_EQ(s->GetYYpos(), store.NumChars());
    EXPECT_TRUE(s->yyeof());
    s->yyadvance();
    EXPECT_EQ(s->GetYYpos(), store.NumChars());
    s->yyretard();
    EXPECT_EQ(s->GetYYchar(), 'y');
}

TEST_F(EdStreamTest, RetardCrossesRecordsAndStopsAtTheStart) {
    auto s = store.GetTextStream(3);
    s->yyretard();
    EXPECT_EQ(s->GetYYchar(), '\r');
    EXPECT_EQ(s->GetYYpos(), 2);
    s->SetYYpos(0);
    s->yyretard();
    EXPECT_EQ(s->GetYYpos(), 0);
    EXPECT_EQ(s->GetYYchar(), 'a');
}

TEST_F(EdStreamTest, SeekAndReadFollowTheText) {
    auto s = store.GetTextStream(0);
    EXPECT_EQ(s->Seek(4, soFromBeginning), 4);
    EXPECT_EQ(s->Seek(0, soFromCurrent), 4);
    EXPECT_EQ(s->Seek(2, soFromEnd), store.NumChars() - 2);
    EXPECT_EQ(s->Seek(1, 7), store.NumChars() - 2); // unknown origin: no move
    s->Seek(1, soFromBeginning);
    char buffer[4000];
    EXPECT_EQ(s->Read(buffer, 5), 5);
    EXPECT_EQ(std::string(buffer, 5), "b\rcd\r");
    EXPECT_EQ(s->GetYYpos(), 6);
    EXPECT_EQ(s->Read(buffer, sizeof buffer), store.NumChars() - 6);
    EXPECT_TRUE(s->yyeof());
    EXPECT_EQ(s->Read(buffer, 10), 0);
    EXPECT_THROW(s->Write("x", 1), EStreamError);
}

TEST_F(EdStreamTest, EditsBehindTheScannerNeverLeaveItOnAFreedRecord) {
    auto s = store.GetTextStream(3005);
    EXPECT_EQ(s->GetYYchar(), 'x');
    store.DeleteText(0, 3005);
    // The scanner's offset is clamped to the shortened text.
    EXPECT_TRUE(s->yyeof());
    EXPECT_EQ(s->GetYYpos(), 3);
    s->SetYYpos(0);
    EXPECT_EQ(readAll(*s), store.GetText());
}

// Reading through Span and Skip, in steps of any size and across records
// and limits, sees exactly what reading one character at a time sees.
TEST_F(EdStreamTest, SpanAndSkipReadWhatSingleStepsRead) {
    for (std::int32_t limit : {-1, 0, 1, 4, 6, 2050, 3006, 3008}) {
        for (std::int32_t step : {1, 2, 7, 5000}) {
            auto one = store.GetTextStream(0);
            one->SetLimit(limit);
            const std::string expected = readAll(*one);
            auto s = store.GetTextStream(0);
            s->SetLimit(limit);
            std::string seen;
            while (!s->yyeof()) {
                const unsigned char* at = nullptr;
                const std::int32_t n = std::min(s->Span(at), step);
                ASSERT_EQ(n > 0 ? static_cast<int>(at[0]) : -1, n > 0 ? s->GetYYchar() : -1);
                if (n == 0) {
                    seen += static_cast<char>(s->GetYYchar());
                    s->yyadvance();
                    continue;
                }
                seen.append(reinterpret_cast<const char*>(at), static_cast<std::size_t>(n));
                s->Skip(n);
            }
            EXPECT_EQ(seen, expected) << "limit " << limit << " step " << step;
            EXPECT_EQ(s->GetYYpos(), one->GetYYpos()) << "limit " << limit << " step " << step;
        }
    }
}

TEST(EdStream, EmptyStoreIsAtItsEnd) {
    TTextStore store;
    auto s = store.GetTextStream(0);
    EXPECT_TRUE(s->yyeof());
    EXPECT_EQ(s->GetYYchar(), 0);
    s->yyadvance();
    s->yyretard();
    EXPECT_EQ(s->GetYYpos(), 0);
    TEdStream detached;
    EXPECT_TRUE(detached.yyeof());
    EXPECT_EQ(detached.Seek(3, soFromEnd), 0);
}

} // namespace
} // namespace qorvi
