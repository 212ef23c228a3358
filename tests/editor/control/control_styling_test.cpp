// Parser attachment and incremental styling: where a parse restarts after an
// edit, where it stops, the part done at once and the part left to idle
// time, containers, OnTokenSeen, and the parser slots with their shared
// settings.

#include "editor/styling/incremental_styler.h"
#include "editor/support/rudivo_voru_error.h"
#include "tests/editor/control/control_test_support.h"

#include <gtest/gtest.h>
#include <random>

using namespace qorvi;
using namespace qorvi::test;

namespace {

struct Styled : ControlFixture {
    TestParser parser;
    std::vector<std::pair<std::int32_t, std::int32_t>> tokens; // start, end
    Styled(int width = 640, int height = 360) : ControlFixture(width, height) {
        giveColours(parser.settings);
        ctl.SetParser1(&parser);
        ctl.OnTokenSeen = [this](TCustomRudivoVoru&, int&, std::int32_t pos, std::int32_t start) {
            if (start >= 0)
                tokens.emplace_back(start, pos);
        };
    }
    ~Styled() { ctl.SetParser1(nullptr); }
    void load(const std::string& text) {
        ctl.SetText(text);
        idle();
        tokens.clear();
    }
    void insert(std::int32_t at, const std::string& text) {
        ctl.SetSelection({at, at});
        tokens.clear();
        ctl.DoReplaceSel(text);
    }
    std::int32_t rowStart(int row) const { return ctl.TextStore().LineFromLineIndex(row).start; }
    std::int32_t firstParsed() const { return tokens.empty() ? -1 : tokens.front().first; }
    std::int32_t lastParsed() const { return tokens.empty() ? -1 : tokens.back().second; }
};

// The styles a parse of the whole text from its start gives.
std::vector<std::string> fullParse(const std::string& text, bool bound = false) {
    Styled fresh;
    fresh.parser.boundComments = bound;
    fresh.ctl.SetText(text);
    fresh.idle();
    return rowStyles(fresh.ctl.TextStore());
}

std::string rows(int n, const std::string& row = "int a;") {
    std::string text;
    for (int i = 0; i < n; ++i)
        text += row + "\r";
    return text;
}

} // namespace

TEST(ControlStyling, TokensBecomeTheStyleBytesOfTheirCharacters) {
    Styled f;
    f.load("int x = 42; // c\r\"s\" /* b */\r");
    EXPECT_EQ(rowStyles(f.ctl.TextStore()), (std::vector<std::string>{"11103000660022220", "555044444440"}));
}

TEST(ControlStyling, AnEditInsideOneRowRestartsAtTheAnchorRunBeforeAndStopsAfterTheNextRow) {
    Styled f;
    f.load(rows(10));
    f.insert(f.rowStart(5) + 5, "b");
    // From the run holding the last anchor of the row before ...
    EXPECT_EQ(f.firstParsed(), f.rowStart(4) + 5);
    // ... through the row after the edited one, and no further.
    EXPECT_EQ(f.lastParsed(), f.rowStart(7));
    EXPECT_EQ(rowStyles(f.ctl.TextStore()), fullParse(f.ctl.GetText()));
}

TEST(ControlStyling, ARowStartingWithStyleZeroRestartsAtItsStart) {
    Styled f;
    f.load(rows(3, "  x = 1;"));
    f.insert(f.rowStart(2) + 2, "y");
    EXPECT_EQ(f.firstParsed(), f.rowStart(1));
    EXPECT_EQ(f.parser.lastInit, 0);
}

TEST(ControlStyling, AParseFromTheFirstRowStartsAtCharacterZero) {
    Styled f;
    f.load(rows(4));
    f.insert(4, "q");
    EXPECT_EQ(f.firstParsed(), 0);
    EXPECT_EQ(f.parser.lastInit, 0);
}

TEST(ControlStyling, OpeningACommentRestylesUntilTheStylesAgreeAgain) {
    Styled f;
    std::string text = rows(12);
    f.load(text);
    const std::int32_t closeAt = f.rowStart(7) + 6;
    f.insert(closeAt, "*/");
    f.insert(f.rowStart(2), "/*");
    const auto styles = rowStyles(f.ctl.TextStore());
    EXPECT_EQ(styles[3], "4444444");
    EXPECT_EQ(styles[7], "444444440");
    EXPECT_EQ(styles[8], "1110300");
    // The parse went on to the first row that agreed, the one after the
    // comment, and stopped there.
    EXPECT_EQ(f.lastParsed(), f.rowStart(9));
    EXPECT_EQ(styles, fullParse(f.ctl.GetText()));
    // Closing it again puts the rows back.
    f.ctl.SetSelection({f.rowStart(2), f.rowStart(2) + 2});
    f.ctl.DoReplaceSel("");
    EXPECT_EQ(rowStyles(f.ctl.TextStore())[3], "1110300");
}

TEST(ControlStyling, ABoundConstructKeepsTheParseGoingPastAgreeingRows) {
    Styled f;
    f.parser.boundComments = true;
    // Rows that are comment already agree, but the parser is still inside
    // the comment at their end.
    f.load("int a;\r/* x\r y\r z */\rint b;\rint c;\r");
    const auto before = rowStyles(f.ctl.TextStore());
    EXPECT_EQ(before[2], "444");
    f.insert(f.rowStart(1) + 3, "q");
    EXPECT_GE(f.lastParsed(), f.rowStart(4));
    EXPECT_EQ(rowStyles(f.ctl.TextStore()), fullParse(f.ctl.GetText(), true));
}

TEST(ControlStyling, TheImmediatePartStopsBelowTheScreenAndIdleTimeStylesTheRest) {
    Styled f(640, 180); // 10 rows on screen
    f.ctl.SyncMarginRows = 5;
    f.load(rows(2000));
    f.parser.scanned = 0;
    f.host.idleRequests = 0;
    f.insert(0, "/*");
    // No parser call read past the limit (15 rows of 7 characters, plus
    // the comment opener): the cost does not depend on the document.
    EXPECT_LE(f.parser.scanned, 16 * 7 + 2);
    EXPECT_GT(f.host.idleRequests, 0);
    auto styles = rowStyles(f.ctl.TextStore());
    EXPECT_EQ(styles[14], "4444444");
    EXPECT_EQ(styles[16], "1110300"); // not yet
    EXPECT_TRUE(f.ctl.Styler().HasWork());
    f.idle();
    EXPECT_FALSE(f.ctl.Styler().HasWork());
    EXPECT_EQ(rowStyles(f.ctl.TextStore()), fullParse(f.ctl.GetText()));
}

TEST(ControlStyling, RowsAreStyledBeforeTheyArePainted) {
    Styled f(640, 180);
    f.ctl.SyncMarginRows = 0;
    f.load(rows(300));
    f.insert(0, "/*");
    // Far below what the edit styled at once.
    f.ctl.NewScrollPos(0, 200, false, false);
    const auto texts = textCalls(f.paint());
    ASSERT_FALSE(texts.empty());
    EXPECT_NE(texts[0].find("'int a;' 00008000"), std::string::npos);
}

TEST(ControlStyling, IdleSlicesKeepTheirPlaceAndMatchOneUnbrokenParse) {
    Styled f(640, 90);
    f.ctl.SyncMarginRows = 0;
    f.ctl.IdleSliceChars = 40;
    f.load(rows(400, "x = y; // c"));
    f.insert(f.rowStart(1), "/*");
    long inits = f.parser.inits;
    int slices = 0;
    while (f.ctl.IdleWork())
        ++slices;
    EXPECT_GT(slices, 10);
    // Each slice carried on where the last stopped: one restart in all.
    EXPECT_EQ(f.parser.inits - inits, 1);
    EXPECT_EQ(rowStyles(f.ctl.TextStore()), fullParse(f.ctl.GetText()));
}

TEST(ControlStyling, RandomEditsBetweenIdleSlicesEndInTheStylesOfAFullParse) {
    std::mt19937 rng(7);
    const char* pieces[] = {"/*", "*/", "//", "\"", "\r", "int", " ", "q", "`", "12", "\t"};
    for (int round = 0; round < 12; ++round) {
        Styled f(640, 72);
        f.ctl.SyncMarginRows = 1;
        f.ctl.IdleSliceChars = 30;
        f.parser.boundComments = round % 3 == 0;
        std::string text = rows(60, "int a = 1; // c");
        f.load(text);
        for (int edit = 0; edit < 25; ++edit) {
            const std::int32_t length = f.ctl.TextStore().NumChars();
            const std::int32_t at = static_cast<std::int32_t>(rng() % (length + 1));
            if (rng() % 4 == 0 && at < length) {
                f.ctl.SetSelection({at, std::min(length, at + static_cast<std::int32_t>(rng() % 6))});
                f.ctl.DoReplaceSel("");
            } else {
                f.insert(at, pieces[rng() % (sizeof pieces / sizeof *pieces)]);
            }
            if (rng() % 2)
                f.ctl.NewScrollPos(0, static_cast<std::int32_t>(rng() % 50), false, false);
            for (int s = static_cast<int>(rng() % 4); s > 0; --s)
                f.ctl.IdleWork();
        }
        f.idle();
        ASSERT_EQ(rowStyles(f.ctl.TextStore()), fullParse(f.ctl.GetText(), f.parser.boundComments))
            << "round " << round;
    }
}

TEST(ControlStyling, AContainerIsPaintedInItsStyleAndItsContentTokenisedAgain) {
    Styled f;
    f.load("a `bc d` e\r");
    // Blanks and quotes inside give style 0 and keep the container's 7.
    EXPECT_EQ(rowStyles(f.ctl.TextStore())[0], "30788787030");
}

TEST(ControlStyling, OnTokenSeenSeesTheParseAndMayChangeStyles) {
    Styled f;
    std::vector<int> marks;
    f.ctl.OnTokenSeen = [&](TCustomRudivoVoru&, int& style, std::int32_t, std::int32_t start) {
        if (start < 0)
            marks.push_back(style);
        else if (style == 3)
            style = 6;
        else if (style == 0)
            style = 999; // not a style: ignored
    };
    f.ctl.SetText("int x;");
    f.idle();
    EXPECT_EQ(marks, (std::vector<int>{-1, -2}));
    EXPECT_EQ(rowStyles(f.ctl.TextStore())[0], "111060");
}

TEST(ControlStyling, AParseAskedForDuringAParseOnlyRecordsItsStart) {
    Styled f;
    f.load(rows(5));
    int nested = 0;
    f.ctl.OnTokenSeen = [&](TCustomRudivoVoru& c, int&, std::int32_t, std::int32_t start) {
        if (start >= 0 && nested == 0) {
            ++nested;
            c.ParseRequired(c.TextStore().Buffer());
            EXPECT_TRUE(c.Styler().Parsing());
        }
    };
    f.insert(f.rowStart(3), "x");
    EXPECT_EQ(nested, 1);
    EXPECT_TRUE(f.ctl.Styler().HasWork());
    f.ctl.OnTokenSeen = nullptr;
    f.idle();
    EXPECT_EQ(rowStyles(f.ctl.TextStore()), fullParse(f.ctl.GetText()));
}

TEST(ControlStyling, InvalidateFormatsDropsEveryStyleAndParsesFromTheFirstRow) {
    Styled f;
    f.load(rows(3));
    f.ctl.InvalidateFormats();
    EXPECT_EQ(rowStyles(f.ctl.TextStore())[1], "-------");
    f.ctl.DoChange();
    EXPECT_EQ(rowStyles(f.ctl.TextStore())[1], "1110300");
}

TEST(ControlStyling, AParserWithUnhandledCustomMatchesColoursNothing) {
    class CustomMatchParser : public TestParser {
    public:
        bool UsesCustomMatch() const override { return true; }
    };
    ControlFixture f;
    CustomMatchParser parser;
    f.ctl.SetParser1(&parser);
    f.ctl.SetText("int a;");
    f.idle();
    EXPECT_EQ(rowStyles(f.ctl.TextStore())[0], "------");
    f.ctl.SetParser1(nullptr);
}

TEST(ControlParsers, ActiveParserOutOfRangeIsRefusedAndKeepsTheParser) {
    ControlFixture f;
    TestParser one;
    TestParser two;
    f.ctl.SetParser1(&one);
    f.ctl.SetParser2(&two);
    f.ctl.SetActiveParser(2);
    try {
        f.ctl.SetActiveParser(7);
        FAIL() << "no exception";
    } catch (const ERudivoVoru& e) {
        EXPECT_EQ(e.message(), "Parser index out of range");
    }
    EXPECT_THROW(f.ctl.SetActiveParser(0), ERudivoVoru);
    EXPECT_EQ(f.ctl.GetActiveParser(), 2);
    EXPECT_EQ(f.ctl.GetCurrentParser(), &two);
    EXPECT_EQ(&f.ctl.Settings(), &two.settings);
    f.ctl.SetParser1(nullptr);
    f.ctl.SetParser2(nullptr);
}

TEST(ControlParsers, OptionsChangedThroughOneControlReachEveryControlOfTheParser) {
    TestParser parser;
    ControlFixture a;
    ControlFixture b;
    TRudivoVoru alone;
    a.ctl.SetParser1(&parser);
    b.ctl.SetParser1(&parser);
    b.ctl.SetText("x\ry");
    EXPECT_EQ(parser.settings.RefCount(), 2);
    a.ctl.SetOptions(a.ctl.GetOptions() | smoLineNumbers);
    EXPECT_TRUE(b.ctl.GetOptions() & smoLineNumbers);
    EXPECT_FALSE(alone.GetOptions() & smoLineNumbers);
    // The other control was refreshed and shows the numbers.
    EXPECT_TRUE(hasCallStarting(b.paint(), "text 2,5 [0,0,32,18] '1'"));
    a.ctl.SetGutter(40);
    EXPECT_EQ(b.ctl.GetGutter(), 40);
    EXPECT_EQ(b.ctl.LeftRefPoint(), 42);
    a.ctl.SetParser1(nullptr);
    EXPECT_EQ(parser.settings.RefCount(), 1);
    EXPECT_FALSE(a.ctl.GetOptions() & smoLineNumbers); // back on its own settings
    b.ctl.SetParser1(nullptr);
}

TEST(ControlParsers, AParserThatGoesAwayLeavesItsControlsOnTheirOwnSettings) {
    ControlFixture f;
    auto parser = std::make_unique<TestParser>();
    giveColours(parser->settings);
    f.ctl.SetParser1(parser.get());
    f.ctl.SetText("int a;");
    f.idle();
    EXPECT_EQ(rowStyles(f.ctl.TextStore())[0], "111030");
    parser.reset();
    EXPECT_EQ(f.ctl.Parser1(), nullptr);
    EXPECT_EQ(rowStyles(f.ctl.TextStore())[0], "------");
    // Still paints, in format 0.
    EXPECT_TRUE(
        hasCallStarting(textCalls(f.paint()), "text 36,0 [36,0,84,18] opaque cells 'int a;' 00000000"));
}

TEST(ControlParsers, ASlotSharedWithAnotherStaysAttachedAndLanguageNamesFollowSlots) {
    ControlFixture f;
    TestParser p;
    TestParser q;
    p.settings.SetLanguageName("C-like");
    q.settings.SetLanguageName("Other");
    f.ctl.SetParser1(&p);
    f.ctl.SetParser3(&p);
    f.ctl.SetParser4(&q);
    f.ctl.SetParser1(nullptr);
    EXPECT_TRUE(p.IsAttached(&f.ctl));
    EXPECT_EQ(f.ctl.GetLanguageNames(), (std::vector<std::string>{"C-like", "Other"}));
    f.ctl.SetParser3(nullptr);
    EXPECT_FALSE(p.IsAttached(&f.ctl));
    f.ctl.SetParser4(nullptr);
}

TEST(ControlParsers, ModifyPropertiesNeedsAnActiveParser) {
    ControlFixture f;
    try {
        f.ctl.ModifyProperties();
        FAIL() << "no exception";
    } catch (const ERudivoVoru& e) {
        EXPECT_EQ(e.message(), "No active parser");
    }
    TestParser p;
    f.ctl.SetParser1(&p);
    f.ctl.ModifyProperties();
    EXPECT_EQ(p.modifyCalls, 1);
    f.ctl.SetParser1(nullptr);
}

TEST(ControlStyling, AParseStartSetByMessageIsParsedAtTheNextChange) {
    Styled f;
    f.load(rows(6));
    TLine* row = f.ctl.TextStore().LineFromLineIndex(3).line;
    row->DropStyles();
    f.ctl.perform(SMM_PARSESTART, 0, 3);
    EXPECT_TRUE(f.ctl.StylingPending());
    f.ctl.DoChange();
    EXPECT_EQ(rowStyles(f.ctl.TextStore())[3], "1110300");
    EXPECT_FALSE(f.ctl.StylingPending());
}

TEST(ControlStyling, ParseAllRequiredLeavesEveryRowStyledAtOnce) {
    Styled f(640, 90);
    f.ctl.SyncMarginRows = 0;
    f.load(rows(500));
    f.insert(0, "/*");
    EXPECT_TRUE(f.ctl.StylingPending());
    f.ctl.ParseAllRequired();
    EXPECT_FALSE(f.ctl.StylingPending());
    EXPECT_EQ(rowStyles(f.ctl.TextStore()), fullParse(f.ctl.GetText()));
}

TEST(ControlParsers, WhileFormDataIsReadNothingIsRaisedUntilLoaded) {
    ControlFixture f;
    TestParser parser;
    int changes = 0;
    f.ctl.OnChange = [&](TCustomRudivoVoru&) { ++changes; };
    f.ctl.BeginLoading();
    f.ctl.SetParser1(&parser);
    f.ctl.SetText("int a;");
    EXPECT_EQ(changes, 0);
    f.host.invalidated.clear();
    f.ctl.Loaded();
    EXPECT_TRUE(parser.IsAttached(&f.ctl));
    EXPECT_FALSE(f.host.invalidated.empty());
    f.ctl.DoReplaceSel("x");
    EXPECT_GT(changes, 0);
    f.ctl.SetParser1(nullptr);
}
