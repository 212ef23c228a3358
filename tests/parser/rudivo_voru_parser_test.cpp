#include "editor/styling/parser_client.h"
#include "parser/rudivo_voru_parser.h"
#include "tests/parser/parser_builder.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <stdexcept>

namespace qorvi {
namespace {

using namespace qorvi::testing;

constexpr int kIf = 1, kLineComment = 2, kBlockComment = 3, kIdent = 4, kNumber = 5, kString = 6, kChar = 7;

// A small C-like language: keywords, comments opened by words, and tokens
// scanned by the whole-token handlers.
void buildC(TRudivoVoruParser& p) {
    TParserTables& t = p.Tables();
    addWord(t, "if", kIf, "[^a-zA-Z0-9_]");
    addWord(t, "while", kIf, "[^a-zA-Z0-9_]");
    addWord(t, "//", kLineComment);
    addHandler(t, kLineComment, groupSpec(t, "[^\\n]", true), groupEnds(t, {"\\n"}, false));
    addWord(t, "/*", kBlockComment);
    addHandler(t, kBlockComment, groupSpec(t, "[^]", true), groupEnds(t, {"*", "/"}, true));
    addHandlerToken(t, kIdent, 10, "[a-zA-Z_]");
    addHandlerToken(t, kNumber, 11, "[0-9]");
    addHandlerToken(t, kString, 13, "\"");
    addHandlerToken(t, kChar, 14, "'");
    t.CompleteCompiledTables();
}

TEST(ParserRuntime, WithoutTablesEveryCharacterIsATokenOfValueZero) {
    TRudivoVoruParser p;
    EXPECT_EQ(tokenise(p, "ab\rc"), (Tokens{{0, "a"}, {0, "b"}, {0, "\r"}, {0, "c"}}));
}

TEST(ParserRuntime, KeywordsWinOverTokensOnlyWithTheirFollowCharacter) {
    TRudivoVoruParser p;
    buildC(p);
    EXPECT_EQ(tokenise(p, "if x ifx while(1)"), (Tokens{{kIf, "if"},
                                                        {0, " "},
                                                        {kIdent, "x"},
                                                        {0, " "},
                                                        {kIdent, "ifx"},
                                                        {0, " "},
                                                        {kIf, "while"},
                                                        {0, "("},
                                                        {kNumber, "1"},
                                                        {0, ")"}}));
}

TEST(ParserRuntime, HandlerScansCommentsOpenedByWords) {
    TRudivoVoruParser p;
    buildC(p);
    EXPECT_EQ(tokenise(p, "a // hi */\rb"),
              (Tokens{{kIdent, "a"}, {0, " "}, {kLineComment, "// hi */"}, {0, "\r"}, {kIdent, "b"}}));
    EXPECT_EQ(tokenise(p, "/* a\r* b */c"), (Tokens{{kBlockComment, "/* a\r* b */"}, {kIdent, "c"}}));
    EXPECT_EQ(tokenise(p, "/**/"), (Tokens{{kBlockComment, "/**/"}}));
}

TEST(ParserRuntime, UnterminatedConstructsEndWithTheText) {
    TRudivoVoruParser p;
    buildC(p);
    EXPECT_EQ(tokenise(p, "x /* open"), (Tokens{{kIdent, "x"}, {0, " "}, {kBlockComment, "/* open"}}));
    EXPECT_EQ(tokenise(p, "\"abc\rd"), (Tokens{{kString, "\"abc"}, {0, "\r"}, {kIdent, "d"}}));
    EXPECT_EQ(tokenise(p, "//"), (Tokens{{kLineComment, "//"}}));
}

TEST(ParserRuntime, HandlerWithoutTerminatorTakesOneContinuationUnit) {
    TRudivoVoruParser p;
    TParserTables& t = p.Tables();
    addWord(t, "#", 8);
    addHandler(t, 8, groupSpec(t, "[a-z]"));
    // At the end of the text the word alone is the token.
    EXPECT_EQ(tokenise(p, "#ab#"), (Tokens{{8, "#a"}, {0, "b"}, {8, "#"}}));
}

TEST(ParserRuntime, LookAheadTerminatorEndsTheTokenBeforeIt) {
    TRudivoVoruParser p;
    TParserTables& t = p.Tables();
    addToken(t, 9, "[a-z]", groupSpec(t, "[a-z]"), groupEnds(t, {"[^a-z]"}, false));
    EXPECT_EQ(tokenise(p, "abc de"), (Tokens{{9, "abc"}, {0, " "}, {9, "de"}}));
    // A one-letter word needs `?`: without it the token needs a continuation.
    EXPECT_EQ(tokenise(p, "a b"), (Tokens{{0, "a"}, {0, " "}, {9, "b"}}));
}

TEST(ParserRuntime, OptionalContinuationLetsTheTokenEndAfterItsFirstCharacter) {
    TRudivoVoruParser p;
    TParserTables& t = p.Tables();
    addToken(t, 12, "=", groupSpec(t, "=", true), groupEnds(t, {"[^=]"}, false));
    EXPECT_EQ(tokenise(p, "=x==y"), (Tokens{{12, "="}, {0, "x"}, {12, "=="}, {0, "y"}}));
}

TEST(ParserRuntime, IncludedTerminatorOfSeveralGroupsBelongsToTheToken) {
    TRudivoVoruParser p;
    TParserTables& t = p.Tables();
    addToken(t, 13, "<", groupSpec(t, "[^]", true), groupEnds(t, {"-", "-", ">"}, true));
    EXPECT_EQ(tokenise(p, "<a-b-->c"), (Tokens{{13, "<a-b-->"}, {0, "c"}}));
}

TEST(ParserRuntime, RefusedContinuationFallsBackToOneCharacterOfValueZero) {
    TRudivoVoruParser p;
    TParserTables& t = p.Tables();
    addToken(t, 14, "a", groupSpec(t, "b"), groupEnds(t, {"c"}, true));
    EXPECT_EQ(tokenise(p, "abbc abd"), (Tokens{{14, "abbc"}, {0, " "}, {0, "a"}, {0, "b"}, {0, "d"}}));
}

TEST(ParserRuntime, TokenWhoseValueIsNotValidInTheCurrentStatesIsRejected) {
    TRudivoVoruParser p;
    TParserTables& t = p.Tables();
    addHandlerToken(t, kIdent, 10, "[a-z]", {0, 3});
    stateChange(t, kIdent).ValidIn = {3};
    EXPECT_EQ(tokenise(p, "ab"), (Tokens{{0, "a"}, {0, "b"}}));
    t.ContextStates(0) = {3};
    EXPECT_EQ(tokenise(p, "ab"), (Tokens{{kIdent, "ab"}}));
}

// Words that switch between states 0 and 1; state 1 has its own start table.
void buildStates(TRudivoVoruParser& p) {
    TParserTables& t = p.Tables();
    addHandlerToken(t, kIdent, 10, "[a-z]");
    addWord(t, "<?", 20);
    TSM_StateChanges& open = stateChange(t, 20);
    open.Enter = {1};
    open.Leave = {0};
    open.NoChange = 0;
    addWord(t, "?>", 22, "", {1});
    TSM_StateChanges& close = stateChange(t, 22);
    close.ValidIn = {1};
    close.Enter = {0};
    close.Leave = {1};
    close.NoChange = 0;
    addToken(t, 21, "[a-z]", groupSpec(t, "[a-z]", true), groupEnds(t, {"[^a-z]"}, false), {1}, 1);
    t.CompleteCompiledTables();
}

TEST(ParserRuntime, StateChangesSelectTheStatesStartTable) {
    TRudivoVoruParser p;
    buildStates(p);
    EXPECT_EQ(tokenise(p, "ab<?cd?>ef"),
              (Tokens{{kIdent, "ab"}, {20, "<?"}, {21, "cd"}, {22, "?>"}, {kIdent, "ef"}}));
    // `?>` is a word of state 1 only.
    EXPECT_EQ(tokenise(p, "?>"), (Tokens{{0, "?"}, {0, ">"}}));
    TByteSet states;
    p.GetCurrentParserState(states);
    EXPECT_EQ(states, TByteSet({0}));
}

TEST(ParserRuntime, ParseInitStartsInTheContextSetOrTheStartState) {
    TRudivoVoruParser p;
    buildStates(p);
    p.Tables().ContextStates(21) = {1};
    p.Tables().ContextStates(30).Clear();
    p.Tables().StartState() = {0};
    EXPECT_EQ(tokenise(p, "cd?>", 21), (Tokens{{21, "cd"}, {22, "?>"}}));
    EXPECT_EQ(tokenise(p, "cd", 30), (Tokens{{kIdent, "cd"}}));
    p.ParseInit(21);
    TByteSet states;
    p.GetCurrentParserState(states);
    EXPECT_EQ(states, TByteSet({1}));
    p.ParseInit(30);
    p.GetCurrentParserState(states);
    EXPECT_EQ(states, TByteSet({0}));
}

TEST(ParserRuntime, PushAndPopSaveAndRestoreTheStates) {
    TRudivoVoruParser p;
    TParserTables& t = p.Tables();
    addWord(t, "(", 30, "", {0, 2});
    TSM_StateChanges& push = stateChange(t, 30);
    push.ValidIn = {0, 2};
    push.StackOps = kPushBefore;
    push.Enter = {2};
    push.Leave = {0};
    push.NoChange = 0;
    addWord(t, ")", 31, "", {2});
    TSM_StateChanges& pop = stateChange(t, 31);
    pop.ValidIn = {2};
    pop.StackOps = kPopAfter;
    t.CompleteCompiledTables();

    Text text("(()))");
    p.ParseInit(0);
    std::int32_t len = 0;
    const std::vector<std::pair<int, std::size_t>> expected = {{30, 1}, {30, 2}, {31, 1}, {31, 0}};
    for (auto [value, depth] : expected) {
        EXPECT_EQ(p.ParseStream(nullptr, *text.stream, len), value);
        EXPECT_EQ(p.StackDepth(), depth);
    }
    TByteSet states;
    p.GetCurrentParserState(states);
    EXPECT_EQ(states, TByteSet({0}));
    // The last `)` is not valid in state 0.
    EXPECT_EQ(p.ParseStream(nullptr, *text.stream, len), 0);

    // A restart discards what earlier pushes left on the stack.
    text.stream->SetYYpos(0);
    p.ParseStream(nullptr, *text.stream, len);
    p.ParseStream(nullptr, *text.stream, len);
    EXPECT_EQ(p.StackDepth(), 2u);
    p.ParseInit(0);
    EXPECT_EQ(p.StackDepth(), 0u);
}

TEST(ParserStateStack, PopsTheSetsInReverseOrderAndRefusesWhenEmpty) {
    TRTStack stack;
    stack.PushState(TByteSet({1}));
    stack.PushState(TByteSet({2, 3}));
    TByteSet top;
    stack.PopState(top);
    EXPECT_EQ(top, TByteSet({2, 3}));
    stack.PopState(top);
    EXPECT_EQ(top, TByteSet({1}));
    EXPECT_TRUE(stack.IsEmpty());
    EXPECT_THROW(stack.PopState(top), EStackError);
}

TEST(ParserRuntime, PopOnAnEmptyStackLeavesTheStatesAsTheyAre) {
    TRudivoVoruParser p;
    TParserTables& t = p.Tables();
    addWord(t, "}", 31, "", {4});
    TSM_StateChanges& pop = stateChange(t, 31);
    pop.ValidIn = {4};
    pop.StackOps = kPopBefore;
    pop.Enter = {5};
    pop.NoChange = 0;
    t.ContextStates(9) = {4};
    t.CompleteCompiledTables();
    // A restart in the middle of a document begins with an empty stack.
    EXPECT_EQ(tokenise(p, "}", 9), (Tokens{{31, "}"}}));
    TByteSet states;
    p.GetCurrentParserState(states);
    EXPECT_EQ(states, TByteSet({4, 5}));
}

TEST(ParserRuntime, ContainerChangeLastsForTheOneTokenAfterIt) {
    TRudivoVoruParser p;
    TParserTables& t = p.Tables();
    addHandlerToken(t, kIdent, 10, "[a-z]");
    addWord(t, "@", 40);
    addHandler(t, 40, groupSpec(t, "[a-z]"), groupEnds(t, {"[^a-z]"}, false));
    TSM_StateChanges& c = stateChange(t, 40);
    c.IsContainer = 1;
    c.Enter = {5};
    c.Leave = {0};
    c.NoChange = 0;
    addToken(t, 41, "[@a-z]", groupSpec(t, "[a-z]", true), groupEnds(t, {"[^a-z]"}, false), {5}, 5);
    t.CompleteCompiledTables();

    Text text("@abc abc");
    p.ParseInit(0);
    std::int32_t len = 0;
    EXPECT_EQ(p.ParseStream(nullptr, *text.stream, len), 40);
    EXPECT_EQ(len, 4);
    EXPECT_TRUE(p.Busy());
    EXPECT_EQ(p.ContainerEnd(), 4);
    EXPECT_EQ(p.ContainerValue(), 40);
    // The control scans the container's content again, in the changed states.
    text.stream->SetYYpos(0);
    EXPECT_EQ(p.ParseStream(nullptr, *text.stream, len), 41);
    EXPECT_EQ(len, 4);
    EXPECT_FALSE(p.Busy());
    TByteSet states;
    p.GetCurrentParserState(states);
    EXPECT_EQ(states, TByteSet({0}));
    EXPECT_EQ(p.ParseStream(nullptr, *text.stream, len), 0);
    EXPECT_EQ(p.ParseStream(nullptr, *text.stream, len), kIdent);
    EXPECT_EQ(len, 3);
}

TEST(ParserRuntime, ContainerContentOfSeveralTokensKeepsTheChangeToItsEnd) {
    TRudivoVoruParser p;
    TParserTables& t = p.Tables();
    addWord(t, "@", 40);
    addHandler(t, 40, groupSpec(t, "[a-z ]"), groupEnds(t, {"[^a-z ]"}, false));
    TSM_StateChanges& c = stateChange(t, 40);
    c.IsContainer = 1;
    c.Enter = {5};
    c.Leave = {0};
    c.NoChange = 0;
    addToken(t, 41, "[a-z]", groupSpec(t, "[a-z]", true), groupEnds(t, {"[^a-z]"}, false), {5}, 5);
    t.CompleteCompiledTables();

    Text text("@ab cd;");
    p.ParseInit(0);
    std::int32_t len = 0;
    EXPECT_EQ(p.ParseStream(nullptr, *text.stream, len), 40);
    EXPECT_EQ(len, 6);
    text.stream->SetYYpos(1);
    EXPECT_EQ(p.ParseStream(nullptr, *text.stream, len), 41);
    EXPECT_TRUE(p.Busy());
    EXPECT_EQ(p.ParseStream(nullptr, *text.stream, len), 0);
    EXPECT_TRUE(p.Busy());
    EXPECT_EQ(p.ParseStream(nullptr, *text.stream, len), 41);
    EXPECT_FALSE(p.Busy());
    TByteSet states;
    p.GetCurrentParserState(states);
    EXPECT_EQ(states, TByteSet({0}));
}

TEST(ParserRuntime, ExtraKeywordTablesMatchAfterTheMainTableAndSkipValidIn) {
    TRudivoVoruParser p;
    TParserTables& t = p.Tables();
    addHandlerToken(t, kIdent, 10, "[a-zA-Z]");
    t.CompleteCompiledTables();
    p.KeywordTables().DefineKeywordTable({0}, "[^a-zA-Z]", false, {{"select", 50}, {"from", 51}});
    stateChange(t, 50).ValidIn = {7};
    EXPECT_EQ(tokenise(p, "SELECT x From"),
              (Tokens{{50, "SELECT"}, {0, " "}, {kIdent, "x"}, {0, " "}, {51, "From"}}));
    EXPECT_EQ(tokenise(p, "selected"), (Tokens{{kIdent, "selected"}}));
}

TEST(ParserRuntime, WholeTokenHandlerAsKeywordContinuation) {
    TRudivoVoruParser p;
    TParserTables& t = p.Tables();
    addWord(t, "$", 60);
    addHandler(t, 60, handlerSpec(10));
    EXPECT_EQ(tokenise(p, "$abc $1"), (Tokens{{60, "$abc"}, {0, " "}, {0, "$"}, {0, "1"}}));
}

TEST(ParserRuntime, HandlerNumbersOutsideTheTableAreRefusals) {
    TRudivoVoruParser p;
    TParserTables& t = p.Tables();
    addWord(t, "%", 61);
    addHandler(t, 61, handlerSpec(99), groupEnds(t, {"x"}, true));
    addToken(t, 62, "&", handlerSpec(-5), groupEnds(t, {"x"}, true));
    addToken(t, 63, "!", groupSpec(t, "[a-z]"), handlerEnds(14000));
    addHandlerToken(t, 64, 30, "^");
    EXPECT_EQ(tokenise(p, "%ax&ax!ab^"), (Tokens{{0, "%"},
                                                 {0, "a"},
                                                 {0, "x"},
                                                 {0, "&"},
                                                 {0, "a"},
                                                 {0, "x"},
                                                 {0, "!"},
                                                 {0, "a"},
                                                 {0, "b"},
                                                 {0, "^"}}));
}

TEST(ParserRuntime, PredefinedCharacterHandlersAsContinuationAndTerminator) {
    TRudivoVoruParser p;
    TParserTables& t = p.Tables();
    // _PASCAL_CHAR units (a doubled quote is one) up to an x.
    addToken(t, 70, "'", handlerSpec(0, false, true), groupEnds(t, {"x"}, true));
    EXPECT_EQ(tokenise(p, "'it''s x;"), (Tokens{{70, "'it''s x"}, {0, ";"}}));
    // A single quote is refused, and so the whole token.
    EXPECT_EQ(tokenise(p, "'a'x")[0], (std::pair<int, std::string>{0, "'"}));
    // _WEB_CHAR takes a run at once and gives back a final dot.
    addWord(t, "http:", 71);
    addHandler(t, 71, handlerSpec(1));
    EXPECT_EQ(tokenise(p, "http://a.b/c. "), (Tokens{{71, "http://a.b/c"}, {0, "."}, {0, " "}}));
}

TEST(ParserRuntime, CustomMatchesGetTheirIdAndMaySetTheValue) {
    TRudivoVoruParser p;
    TParserTables& t = p.Tables();
    addToken(t, 80, "<", handlerSpec(7, true), {});
    t.SetUsesCustomMatch(1);
    EXPECT_TRUE(p.UsesCustomMatch());
    EXPECT_FALSE(p.HasCustomParseHandler());
    // Without a handler the custom step refuses.
    EXPECT_EQ(tokenise(p, "<ab>"), (Tokens{{0, "<"}, {0, "a"}, {0, "b"}, {0, ">"}}));

    std::vector<int> ids;
    p.OnCustomParse = [&](TRudivoVoruParser&, int id, TEdStream& s, std::int32_t& len, std::int32_t& value) {
        ids.push_back(id);
        while (!s.yyeof() && s.GetYYchar() != '>') {
            s.yyadvance();
            ++len;
        }
        value = 81;
        return true;
    };
    EXPECT_TRUE(p.HasCustomParseHandler());
    EXPECT_EQ(tokenise(p, "<ab>"), (Tokens{{81, "<ab"}, {0, ">"}}));
    EXPECT_EQ(ids, std::vector<int>{7});
}

TEST(ParserRuntime, StepThatConsumesNothingEndsTheToken) {
    TRudivoVoruParser p;
    TParserTables& t = p.Tables();
    addWord(t, "~", 90);
    // A custom continuation that accepts without moving, and a terminator
    // that never matches: the token must still end.
    addHandler(t, 90, handlerSpec(1, true), groupEnds(t, {"#"}, true));
    int calls = 0;
    p.OnCustomParse = [&](TRudivoVoruParser&, int, TEdStream&, std::int32_t&, std::int32_t&) {
        ++calls;
        return true;
    };
    EXPECT_EQ(tokenise(p, "~ab"), (Tokens{{90, "~"}, {0, "a"}, {0, "b"}}));
    EXPECT_EQ(calls, 1);
}

TEST(ParserRuntime, TokenAtTheEndOfTheTextKeepsItsValue) {
    TRudivoVoruParser p;
    TParserTables& t = p.Tables();
    addToken(t, 9, "[a-z]", groupSpec(t, "[a-z]"), groupEnds(t, {"[^a-z]"}, false));
    EXPECT_EQ(tokenise(p, "ab c"), (Tokens{{9, "ab"}, {0, " "}, {9, "c"}}));
}

TEST(ParserRuntime, AnchorAndBoundStatesAreReported) {
    TRudivoVoruParser p;
    buildStates(p);
    p.Tables().Anchor() = {0, 4};
    p.Tables().BoundStates() = {1};
    TByteSet anchor;
    p.GetAnchor(anchor);
    EXPECT_EQ(anchor, TByteSet({0, 4}));
    Text text("<?ab");
    p.ParseInit(0);
    EXPECT_FALSE(p.InBoundState());
    std::int32_t len = 0;
    p.ParseStream(nullptr, *text.stream, len);
    EXPECT_TRUE(p.InBoundState());
}

TEST(ParserRuntime, ResetRestoresTheDefaults) {
    TRudivoVoruParser p;
    buildStates(p);
    p.SetCaseSensitive(true);
    p.Reset();
    EXPECT_EQ(p.Tables().Anchor(), TByteSet({0}));
    EXPECT_EQ(p.Tables().StartState(), TByteSet({0}));
    EXPECT_TRUE(p.Tables().BoundStates().IsEmpty());
    EXPECT_TRUE(p.Tables().StateTableSet().IsEmpty());
    EXPECT_TRUE(p.Tables().NoStateTables());
    EXPECT_TRUE(p.Tables().ContextStates(21).IsEmpty());
    EXPECT_TRUE(p.Tables().Keywords().IsEmpty());
    EXPECT_FALSE(p.CaseSensitive());
    EXPECT_EQ(tokenise(p, "<?"), (Tokens{{0, "<"}, {0, "?"}}));
}

class FakeControl : public ParserClient {
public:
    void reinstallActiveParser() override {
        ++reinstalls;
        if (throws)
            throw std::runtime_error("cannot take it");
    }
    void parserDestroyed(TCustomRudivoVoruParser* parser) override { destroyedParser = parser; }
    int reinstalls = 0;
    bool throws = false;
    TCustomRudivoVoruParser* destroyedParser = nullptr;
};

TEST(ParserAttachment, FirstParseAttachesTheControlOnce) {
    FakeControl control; // outlives the parser, as a control that detaches itself would
    TRudivoVoruParser p;
    Text text("ab");
    std::int32_t len = 0;
    p.ParseStream(&control, *text.stream, len);
    p.ParseStream(&control, *text.stream, len);
    EXPECT_EQ(p.AttachedEditors(), std::vector<ParserClient*>{&control});
    p.DetachEditor(&control);
    EXPECT_TRUE(p.AttachedEditors().empty());
    text.stream->SetYYpos(0);
    p.ParseStream(&control, *text.stream, len);
    EXPECT_TRUE(p.IsAttached(&control));
}

TEST(ParserAttachment, UpdateEditorsReachesEveryControlDespiteAFailingOne) {
    FakeControl a, b;
    TRudivoVoruParser p;
    a.throws = true;
    p.AttachEditor(&a);
    p.AttachEditor(&a);
    p.AttachEditor(&b);
    p.UpdateEditors();
    EXPECT_EQ(a.reinstalls, 1);
    EXPECT_EQ(b.reinstalls, 1);
    p.SetLoading(true);
    p.UpdateEditors();
    EXPECT_EQ(b.reinstalls, 1);
}

TEST(ParserAttachment, DestroyedParserTellsItsControls) {
    FakeControl control;
    TCustomRudivoVoruParser* address = nullptr;
    {
        TRudivoVoruParser p;
        address = &p;
        p.AttachEditor(&control);
    }
    EXPECT_EQ(control.destroyedParser, address);
}

TEST(ParserAttachment, LoadedCompilesTheScriptWhenAskedAndUpdatesTheControls) {
    const std::string path = ::testing::TempDir() + "loaded_test_script.txt";
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("%%words\n'if' '' 1\n", f);
        std::fclose(f);
    }
    FakeControl control;
    TRudivoVoruParser p;
    p.AttachEditor(&control);
    p.Script = path;
    p.SetLoading(true);
    p.Loaded();
    EXPECT_FALSE(p.Loading());
    EXPECT_GE(control.reinstalls, 1);
    EXPECT_EQ(tokenise(p, "if"), (Tokens{{0, "i"}, {0, "f"}}));
    p.AutoScriptUpdate = true;
    p.Loaded();
    EXPECT_EQ(tokenise(p, "if"), (Tokens{{1, "if"}}));
    std::remove(path.c_str());
}

TEST(ParserAttachment, ModifyPropertiesPrefersTheEventThenTheDialog) {
    FakeControl control;
    TRudivoVoruParser p;
    p.AttachEditor(&control);
    bool accepted = true;
    int dialogs = 0;
    unsigned pages = 0;
    int saves = 0;
    p.OptionsDialog = [&](TRudivoVoruParser&, unsigned shown) {
        ++dialogs;
        pages = shown;
        return accepted;
    };
    p.SaveStyles = [&](TRudivoVoruParser&) { ++saves; };
    p.ModifyProperties();
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(pages, kAllOptionPages);
    EXPECT_EQ(control.reinstalls, 1);
    EXPECT_EQ(saves, 0);
    p.UseRegistry = true;
    p.RegistryKey = "SOFTWARE\\Varnu\\Qorvi";
    p.ModifySelectedProperties(0x3);
    EXPECT_EQ(pages, 0x3u);
    EXPECT_EQ(saves, 1);
    accepted = false;
    p.ModifyProperties();
    EXPECT_EQ(control.reinstalls, 2);
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(p.ParserSettings(), &p.Settings());
    int events = 0;
    p.OnModifyProperties = [&](TRudivoVoruParser&) { ++events; };
    p.ModifyProperties();
    EXPECT_EQ(events, 1);
    EXPECT_EQ(dialogs, 3);
}

} // namespace
} // namespace qorvi
