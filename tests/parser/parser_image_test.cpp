#include "editor/settings/editor_settings.h"
#include "editor/support/memory_stream.h"
#include "editor/support/rudivo_voru_error.h"
#include "editor/support/stream_fields.h"
#include "parser/compressor.h"
#include "parser/parser_image.h"
#include "parser/rudivo_voru_parser.h"
#include "platform/shell_ui.h"
#include "tests/parser/parser_builder.h"

#include <climits>
#include <gtest/gtest.h>

namespace qorvi {
namespace {

using namespace qorvi::testing;

// A parser that uses every kind of table entry the image carries.
void buildRich(TRudivoVoruParser& p) {
    TParserTables& t = p.Tables();
    addWord(t, "if", 1, "[^a-zA-Z0-9_]");
    addWord(t, "If", 1, "[^a-zA-Z0-9_]", {3});
    addWord(t, "//", 2);
    addHandler(t, 2, groupSpec(t, "[^\\n]", true), groupEnds(t, {"\\n"}, false));
    addWord(t, "/*", 3);
    addHandler(t, 3, groupSpec(t, "[^]", true), groupEnds(t, {"*", "/", "[a-c]", "[^x]"}, true));
    addWord(t, "#", 7);
    addHandler(t, 7, handlerSpec(12), handlerEnds(2));
    addWord(t, "%", 8);
    addHandler(t, 8, handlerSpec(5, true), handlerEnds(6, true));
    addHandlerToken(t, 4, 10, "[a-zA-Z_]");
    addHandlerToken(t, 5, 11, "[0-9]");
    addToken(t, 9, "=", groupSpec(t, "=", true), groupEnds(t, {"[^=]"}, false));
    addToken(t, 21, "[a-z]", groupSpec(t, "[a-z]", true), groupEnds(t, {"[^a-z]"}, false), {1}, 1);
    addToken(t, 23, "[0-9]", handlerSpec(1), groupEnds(t, {" "}, true), {2, 6}, 2);
    TParserTables::AddWideActions(t.EnsureStateTable(1), 0x100, 0x1FF, *t.StateTable(1)->Slots['a']);
    TParserTables::AddWideActions(t.EnsureStateTable(1), 0x300, 0x3FF, *t.StateTable(1)->Slots['b']);
    TSM_StateChanges& open = stateChange(t, 20);
    open.Enter = {1};
    open.Leave = {0};
    open.NoChange = 0;
    open.StackOps = kPushBefore;
    TSM_StateChanges& box = stateChange(t, 40);
    box.IsContainer = 1;
    box.Enter = {5, 200};
    box.NoChange = 0;
    t.ContextStates(21) = {1};
    t.ContextStates(255) = {0, 1, 255};
    t.Anchor() = {0, 4, 9};
    t.BoundStates() = {1, 2};
    t.StartState() = {0};
    t.SetUsesCustomMatch(1);
    t.CompleteCompiledTables();
}

std::string propertyOf(TRudivoVoruParser& p) {
    TMemoryStream out;
    p.WriteParserData(out);
    return out.DataString();
}

void readInto(TRudivoVoruParser& p, const std::string& property) {
    TMemoryStream in(property);
    p.ReadParserData(in);
}

// The settings part of an image of `version`, for default settings.
std::string defaultSettings(std::int32_t version = 51) {
    TSM_Settings settings;
    settings.SetFormatVersion(version);
    TMemoryStream out;
    settings.SaveToStream(out);
    return out.DataString();
}

// A property around the default settings and the given tables part, as the
// writer makes it.
std::string wrap(const std::string& tables, std::uint16_t version = 51) {
    const std::string image = defaultSettings(version) + tables;
    TMemoryStream plain(image);
    TMemoryStream out;
    SWriteWord(out, version);
    SWriteLongint(out, static_cast<std::int32_t>(image.size()));
    TCompressor::CompressStream(plain, out);
    return out.DataString();
}

std::string tablesImage(const TParserTables& t) {
    TMemoryStream out;
    WriteParserTables(t, out);
    return out.DataString();
}

// --- Comparing two parsers' tables through their groups, not their ids ---

bool sameGroup(const TParserTables& a, std::uint16_t ga, const TParserTables& b, std::uint16_t gb) {
    return a.GroupOf(ga).EqualTo(b.GroupOf(gb));
}

void expectSameSpec(const TParserTables& a, const TSM_SpecRec& x, const TParserTables& b,
                    const TSM_SpecRec& y) {
    EXPECT_EQ(x.Optional, y.Optional);
    EXPECT_EQ(x.IsHandler, y.IsHandler);
    if (x.IsHandler) {
        EXPECT_EQ(x.IsCustom, y.IsCustom);
        EXPECT_EQ(x.HandlerIndex, y.HandlerIndex);
    } else {
        EXPECT_TRUE(sameGroup(a, x.CharSet, b, y.CharSet));
    }
}

void expectSameEnds(const TParserTables& a, const TSM_EndsAction& x, const TParserTables& b,
                    const TSM_EndsAction& y) {
    EXPECT_EQ(x.Include, y.Include);
    EXPECT_EQ(x.IsHandler, y.IsHandler);
    if (x.IsHandler) {
        EXPECT_EQ(x.IsCustom, y.IsCustom);
        EXPECT_EQ(x.HandlerIndex, y.HandlerIndex);
        return;
    }
    ASSERT_EQ(x.Count, y.Count);
    for (int i = 0; i < x.Count; ++i)
        EXPECT_TRUE(sameGroup(a, x.CharSets[i], b, y.CharSets[i])) << i;
}

void expectSameActions(const TParserTables& a, const TSM_TokenActions& x, const TParserTables& b,
                       const TSM_TokenActions& y) {
    expectSameSpec(a, x.Start, b, y.Start);
    EXPECT_TRUE(sameGroup(a, x.Start.CharSet, b, y.Start.CharSet));
    EXPECT_EQ(x.ValidStates, y.ValidStates);
    EXPECT_EQ(x.TokenValue, y.TokenValue);
    if (!x.Start.IsHandler) {
        expectSameSpec(a, x.Continuation, b, y.Continuation);
        expectSameEnds(a, x.Terminator, b, y.Terminator);
    }
}

void expectSameTable(const TParserTables& a, const TSM_StatesTable& x, const TParserTables& b,
                     const TSM_StatesTable& y) {
    for (int c = 0; c < 256; ++c) {
        SCOPED_TRACE("character " + std::to_string(c));
        ASSERT_EQ(x.Slots[c] == nullptr, y.Slots[c] == nullptr);
        if (x.Slots[c]) {
            expectSameActions(a, *x.Slots[c], b, *y.Slots[c]);
        }
    }
}

void expectSameTables(const TParserTables& a, const TParserTables& b) {
    const auto& wa = a.Keywords().Words();
    const auto& wb = b.Keywords().Words();
    ASSERT_EQ(wa.size(), wb.size());
    for (std::size_t i = 0; i < wa.size(); ++i) {
        EXPECT_EQ(wa[i].first, wb[i].first);
        EXPECT_TRUE(wa[i].second->CharGroup.EqualTo(wb[i].second->CharGroup));
        EXPECT_EQ(wa[i].second->States, wb[i].second->States);
        EXPECT_EQ(wa[i].second->Data, wb[i].second->Data);
    }
    for (int v = 0; v < 256; ++v) {
        SCOPED_TRACE("value " + std::to_string(v));
        const auto value = static_cast<std::uint8_t>(v);
        ASSERT_EQ(a.Handler(value) == nullptr, b.Handler(value) == nullptr);
        if (a.Handler(value)) {
            expectSameSpec(a, a.Handler(value)->Continuation, b, b.Handler(value)->Continuation);
            expectSameEnds(a, a.Handler(value)->Terminator, b, b.Handler(value)->Terminator);
        }
        ASSERT_EQ(a.StateChanges(value) == nullptr, b.StateChanges(value) == nullptr);
        if (a.StateChanges(value)) {
            EXPECT_TRUE(*a.StateChanges(value) == *b.StateChanges(value));
        }
        // An absent context set means the start state.
        auto effective = [](const TParserTables& t, std::uint8_t v) {
            return t.ContextStates(v).IsEmpty() ? t.StartState() : t.ContextStates(v);
        };
        EXPECT_EQ(effective(a, value), effective(b, value));
        ASSERT_EQ(a.StateTable(value) == nullptr, b.StateTable(value) == nullptr);
        if (a.StateTable(value)) {
            expectSameTable(a, *a.StateTable(value), b, *b.StateTable(value));
            const auto& xa = a.StateTable(value)->Wide;
            const auto& xb = b.StateTable(value)->Wide;
            ASSERT_EQ(xa.size(), xb.size());
            for (std::size_t i = 0; i < xa.size(); ++i) {
                EXPECT_EQ(xa[i].Lo, xb[i].Lo);
                EXPECT_EQ(xa[i].Hi, xb[i].Hi);
                expectSameActions(a, *xa[i].Actions, b, *xb[i].Actions);
            }
        }
    }
    expectSameTable(a, a.StartTable(), b, b.StartTable());
    EXPECT_EQ(a.StateTableSet(), b.StateTableSet());
    EXPECT_EQ(a.NoStateTables(), b.NoStateTables());
    EXPECT_EQ(a.Anchor(), b.Anchor());
    EXPECT_EQ(a.BoundStates(), b.BoundStates());
    EXPECT_EQ(a.StartState(), b.StartState());
    EXPECT_EQ(a.UsesCustomMatch(), b.UsesCustomMatch());
}

TEST(ParserImage, WritingAndReadingGivesIdenticalTables) {
    TRudivoVoruParser source;
    buildRich(source);
    const std::string property = propertyOf(source);
    TRudivoVoruParser target;
    readInto(target, property);
    expectSameTables(source.Tables(), target.Tables());
    // The copy writes its unwritten context sets as empty sets; from there
    // on the image is a fixed point.
    const std::string copied = propertyOf(target);
    TRudivoVoruParser third;
    readInto(third, copied);
    EXPECT_TRUE(propertyOf(third) == copied);
    // Both tokenise alike.
    EXPECT_EQ(tokenise(source, "if x == 1 /* a */ // c\rIf"), tokenise(target, "if x == 1 /* a */ // c\rIf"));
}

TEST(ParserImage, PropertyHeaderCarriesVersionAndImageSize) {
    TRudivoVoruParser p;
    buildRich(p);
    const std::string property = propertyOf(p);
    TMemoryStream in(property);
    EXPECT_EQ(SReadWord(in), 51);
    const std::int32_t size = SReadLongint(in);
    TMemoryStream image;
    EXPECT_EQ(TCompressor::DecompressStream(in, image), size);
    // The settings (as of version 51), then the tables.
    TMemoryStream settings;
    p.Settings().SetFormatVersion(51);
    p.Settings().SaveToStream(settings);
    p.Settings().SetFormatVersion(INT32_MAX);
    EXPECT_TRUE(image.DataString() == settings.DataString() + tablesImage(p.Tables()));
}

TEST(ParserImage, ContextSetsEqualToTheStartStateAreNotWritten) {
    TRudivoVoruParser p;
    buildRich(p);
    TRudivoVoruParser copy;
    readInto(copy, propertyOf(p));
    EXPECT_EQ(copy.Tables().ContextStates(21), TByteSet({1}));
    EXPECT_EQ(copy.Tables().ContextStates(255), TByteSet({0, 1, 255}));
    for (int v : {0, 1, 20, 254})
        EXPECT_TRUE(copy.Tables().ContextStates(static_cast<std::uint8_t>(v)).IsEmpty()) << v;
    // The sets left empty by a read are written (as empty sets) next time:
    // 254 more entries of 33 bytes.
    EXPECT_EQ(tablesImage(copy.Tables()).size(), tablesImage(p.Tables()).size() + 254 * 33);
    // ParseInit treats them as the start state.
    copy.ParseInit(20);
    TByteSet states;
    copy.GetCurrentParserState(states);
    EXPECT_EQ(states, TByteSet({0}));
}

TEST(ParserImage, RangeListIsWrittenAfterEveryEntryOfItsTable) {
    TRudivoVoruParser p;
    TParserTables& t = p.Tables();
    addToken(t, 21, "[a-c]", groupSpec(t, "[a-z]"), {}, {1}, 1);
    TParserTables::AddWideActions(t.EnsureStateTable(1), 0x7A5B, 0x7C5D, *t.StateTable(1)->Slots['a']);
    const std::string image = tablesImage(t);
    const std::string node = "\x5B\x7A\x5D\x7C";
    int copies = 0;
    for (std::size_t at = image.find(node); at != std::string::npos; at = image.find(node, at + 1))
        ++copies;
    EXPECT_EQ(copies, 3);
    TRudivoVoruParser copy;
    readInto(copy, propertyOf(p));
    ASSERT_EQ(copy.Tables().StateTable(1)->Wide.size(), 1u);
    EXPECT_EQ(copy.Tables().StateTable(1)->Wide[0].Lo, 0x7A5B);
}

TEST(ParserImage, EmptyParserRoundTrips) {
    TRudivoVoruParser p;
    TRudivoVoruParser copy;
    buildRich(copy);
    readInto(copy, propertyOf(p));
    expectSameTables(p.Tables(), copy.Tables());
    EXPECT_TRUE(copy.Tables().NoStateTables());
}

class RecordingUi : public ShellUi {
public:
    MsgResult messageBox(const std::string& text, const std::string&, MsgIcon icon,
                         MsgButtons buttons) override {
        shown.push_back(text);
        EXPECT_EQ(icon, MsgIcon::Error);
        EXPECT_EQ(buttons, MsgButtons::Ok);
        return MsgResult::Ok;
    }
    std::optional<std::string> inputBox(const std::string&, const std::string&, const std::string&) override {
        return {};
    }
    std::optional<std::string> openFileDialog(const FileDialogOptions&) override { return {}; }
    std::optional<std::string> saveFileDialog(const FileDialogOptions&) override { return {}; }
    void setBusy(bool) override {}
    std::vector<std::string> shown;
};

std::string withVersion(const std::string& property, std::uint16_t version) {
    std::string out = property;
    out[0] = static_cast<char>(version & 0xFF);
    out[1] = static_cast<char>(version >> 8);
    return out;
}

TEST(ParserImage, VersionFiftyAndLaterAreReadAsTheCurrentLayout) {
    TRudivoVoruParser source;
    buildRich(source);
    source.Settings().SetLanguageName("Rich");
    const std::string property = propertyOf(source);
    for (std::uint16_t version : {52, 0xFFFF}) {
        TRudivoVoruParser p;
        readInto(p, withVersion(property, version));
        expectSameTables(source.Tables(), p.Tables());
        EXPECT_EQ(p.Settings().LanguageName(), "Rich");
        EXPECT_EQ(p.Settings().FormatVersion(), INT32_MAX);
    }
    // Version 50 settings carry no gutter font.
    TRudivoVoruParser p;
    readInto(p, wrap(tablesImage(source.Tables()), 50));
    expectSameTables(source.Tables(), p.Tables());
    EXPECT_EQ(p.Settings().FormatVersion(), INT32_MAX);
}

TEST(ParserImage, SettingsTravelWithTheImage) {
    TRudivoVoruParser source;
    source.Settings().SetLanguageName("C++");
    source.Settings().SetMapEntry(4, 7);
    source.Settings().SetTabDefault(8);
    source.KeywordTables().DefineKeywordTable({0}, "", false, {{"select", 50}});
    TRudivoVoruParser copy;
    readInto(copy, propertyOf(source));
    EXPECT_EQ(copy.Settings().LanguageName(), "C++");
    EXPECT_EQ(copy.Settings().GetMapEntry(4), 7);
    EXPECT_EQ(copy.Settings().TabDefault(), 8);
    ASSERT_NE(copy.KeywordTables().Trie(), nullptr);
    EXPECT_EQ(tokenise(copy, "SELECT"), (Tokens{{50, "SELECT"}}));
    // Reset gives default settings.
    copy.Reset();
    EXPECT_EQ(copy.Settings().LanguageName(), kDefaultLanguageName);
    EXPECT_EQ(copy.KeywordTables().Trie(), nullptr);
}

TEST(ParserImage, OlderVersionGoesToTheVersionErrorHandler) {
    TRudivoVoruParser source;
    buildRich(source);
    const std::string old = withVersion(propertyOf(source), 49);
    const std::string message =
        "prsCPP: DFM file saved by different version of TRudivoVoruParser.\n\r"
        "Recompile script to update DFM file.\n\rExpected version was 51 read version was 49";

    TRudivoVoruParser handled;
    handled.SetName("prsCPP");
    buildRich(handled);
    std::vector<std::pair<int, int>> calls;
    handled.OnParserVersionError = [&](TRudivoVoruParser&, std::uint16_t found, std::uint16_t expected) {
        calls.emplace_back(found, expected);
    };
    readInto(handled, old);
    EXPECT_EQ(calls, (std::vector<std::pair<int, int>>{{49, 51}}));
    EXPECT_TRUE(handled.Tables().Keywords().IsEmpty());
    EXPECT_TRUE(handled.Tables().NoStateTables());

    TRudivoVoruParser boxed;
    boxed.SetName("prsCPP");
    RecordingUi ui;
    boxed.Ui = &ui;
    readInto(boxed, old);
    EXPECT_EQ(ui.shown, std::vector<std::string>{message});

    TRudivoVoruParser loading;
    loading.SetName("prsCPP");
    loading.SetLoading(true);
    loading.Ui = &ui;
    loading.OnParserVersionError = handled.OnParserVersionError;
    try {
        readInto(loading, old);
        FAIL() << "old image accepted while loading";
    } catch (const ERudivoVoruParserError& e) {
        EXPECT_EQ(e.message(), message);
    }
    EXPECT_EQ(calls.size(), 1u);

    TRudivoVoruParser nobody;
    nobody.SetName("prsCPP");
    EXPECT_THROW(readInto(nobody, old), ERudivoVoruParserError);
}

std::string readFailure(TRudivoVoruParser& p, const std::string& property) {
    try {
        readInto(p, property);
    } catch (const ERudivoVoruParserError&) {
        return "version error";
    } catch (const QorviError& e) {
        return e.message();
    }
    return "";
}

void expectReset(const TRudivoVoruParser& p) {
    const TParserTables& t = p.Tables();
    EXPECT_TRUE(t.Keywords().IsEmpty());
    EXPECT_TRUE(t.NoStateTables());
    EXPECT_TRUE(t.StateTableSet().IsEmpty());
    EXPECT_EQ(t.Anchor(), TByteSet({0}));
    EXPECT_EQ(t.StartState(), TByteSet({0}));
    EXPECT_TRUE(t.BoundStates().IsEmpty());
    EXPECT_EQ(t.UsesCustomMatch(), 0);
    for (int v = 0; v < 256; ++v) {
        const auto value = static_cast<std::uint8_t>(v);
        EXPECT_FALSE(t.Handler(value) || t.StateChanges(value) || t.StartTable().Slots[value]);
        EXPECT_TRUE(t.ContextStates(value).IsEmpty());
    }
}

TEST(ParserImage, DamagedImagesAreReportedWithTheComponentNameAndLeaveTheParserReset) {
    TRudivoVoruParser source;
    buildRich(source);
    const std::string property = propertyOf(source);
    const std::string image = tablesImage(source.Tables());

    TRudivoVoruParser p;
    p.SetName("prsCPP");
    auto expectFailure = [&](const std::string& bad, const std::string& message) {
        buildRich(p);
        EXPECT_EQ(readFailure(p, bad), message);
        expectReset(p);
    };
    expectFailure(property.substr(0, 1), "prsCPP: Stream read error");
    expectFailure(property.substr(0, 40), std::string("prsCPP: ") + kMsgCompressorReadError);
    std::string badMagic = property;
    badMagic[6] = 'X';
    expectFailure(badMagic, std::string("prsCPP: ") + kMsgCompressorNoHeader);
    // Cut images, wrapped in a sound compressed stream: the table reader
    // must notice every one.
    for (std::size_t cut = 0; cut + 1 < image.size(); cut += 1 + cut / 16) {
        buildRich(p);
        const std::string message = readFailure(p, wrap(image.substr(0, cut)));
        EXPECT_TRUE(message == "prsCPP: Stream read error" || message == "prsCPP: Invalid data in stream")
            << cut << ": " << message;
        expectReset(p);
    }
}

// A version 51 property that states `statedSize` around the compressed
// stream of `image`.
std::string property(std::int32_t statedSize, const std::string& image) {
    TMemoryStream plain(image);
    TMemoryStream out;
    SWriteWord(out, 51);
    SWriteLongint(out, statedSize);
    TCompressor::CompressStream(plain, out);
    return out.DataString();
}

TEST(ParserImage, CraftedPropertiesAreRefusedBeforeTheyExpand) {
    TRudivoVoruParser source;
    buildRich(source);
    const std::string sound = propertyOf(source);
    TRudivoVoruParser p;
    p.SetName("prsCPP");
    auto refused = [&](const std::string& bad, const std::string& message) {
        buildRich(p);
        EXPECT_EQ(readFailure(p, bad), "prsCPP: " + message);
        expectReset(p);
    };
    // 8 MB of zeros pack into a few kilobytes: a small stated size must not
    // let them out.
    const std::string zeros(8 << 20, '\0');
    refused(property(100, zeros), kMsgCompressorSizeMismatch);
    // A compressed stream that claims more than its property states.
    std::string claims = sound;
    claims[10] = static_cast<char>(static_cast<unsigned char>(claims[10]) + 1);
    refused(claims, kMsgCompressorSizeMismatch);
    // Sizes no image can have.
    refused(property(-1, "x"), kMsgImageSizeOutOfRange);
    refused(property(TRudivoVoruParser::kMaxImageSize + 1, zeros), kMsgImageSizeOutOfRange);
    // Anything after the compressed stream.
    refused(sound + std::string(1, '\0'), kMsgImageTrailingData);
    refused(sound + std::string(1 << 20, 'j'), kMsgImageTrailingData);
    readInto(p, sound);
}

// An image with no keywords whose handler table holds `entries`.
std::string handlerImage(const std::string& entries, int count) {
    TMemoryStream out;
    TSyntaxKeywords().SaveToStream(out);
    SWriteLongint(out, count);
    out.WriteBuffer(entries.data(), static_cast<std::int64_t>(entries.size()));
    for (int i = 0; i < 4; ++i)
        SWriteLongint(out, 0);
    for (int i = 0; i < 3; ++i)
        SWriteSet(out, TByteSet({0}));
    SWriteByte(out, 0);
    return out.DataString();
}

std::string handlerEntry(std::uint8_t value, std::uint8_t terminatorCount, std::uint8_t continuationChar) {
    TMemoryStream out;
    SWriteByte(out, value);
    SWriteByte(out, 0);
    group(std::string(1, static_cast<char>(continuationChar))).SaveToStream(out);
    SWriteByte(out, 0);
    SWriteByte(out, 1);
    SWriteByte(out, 0);
    SWriteByte(out, terminatorCount);
    for (int i = 0; i < terminatorCount; ++i)
        group("x").SaveToStream(out);
    return out.DataString();
}

TEST(ParserImage, TerminatorOfMoreThanFourGroupsIsRefused) {
    TRudivoVoruParser p;
    readInto(p, wrap(handlerImage(handlerEntry(7, 4, 'a'), 1)));
    ASSERT_NE(p.Tables().Handler(7), nullptr);
    EXPECT_EQ(p.Tables().Handler(7)->Terminator.Count, 4);
    EXPECT_EQ(readFailure(p, wrap(handlerImage(handlerEntry(7, 5, 'a'), 1))), ": Invalid data in stream");
    expectReset(p);
}

TEST(ParserImage, CountsBeyondTheBytesLeftAreRefused) {
    TRudivoVoruParser p;
    EXPECT_EQ(readFailure(p, wrap(handlerImage(handlerEntry(7, 1, 'a'), 2))), ": Invalid data in stream");
    EXPECT_EQ(readFailure(p, wrap(handlerImage(handlerEntry(7, 1, 'a'), -1))), ": Invalid data in stream");
    EXPECT_EQ(readFailure(p, wrap(handlerImage("", 0x7FFFFFFF))), ": Invalid data in stream");
}

TEST(ParserImage, RepeatedSlotKeepsTheLastRecord) {
    TRudivoVoruParser p;
    readInto(p, wrap(handlerImage(handlerEntry(7, 1, 'a') + handlerEntry(7, 2, 'b'), 2)));
    const TSM_HandlerActions* h = p.Tables().Handler(7);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->Terminator.Count, 2);
    EXPECT_TRUE(p.Tables().GroupOf(h->Continuation.CharSet).ContainsChar('b'));
}

class OtherParser : public TCustomRudivoVoruParser {
public:
    std::uint8_t ParseStream(ParserClient*, TEdStream&, std::int32_t& Len) override {
        Len = 1;
        return 0;
    }
    void ParseInit(std::uint8_t) override {}
    void ModifyProperties() override {}
    void GetAnchor(TByteSet&) const override {}
    bool InBoundState() const override { return false; }
    bool Busy() const override { return false; }
    void GetCurrentParserState(TByteSet&) const override {}
    const char* ClassName() const override { return "TOtherParser"; }
};

TEST(ParserImage, AssignCopiesAnotherParserThroughItsImage) {
    TRudivoVoruParser source;
    buildRich(source);
    TRudivoVoruParser target;
    target.Assign(source);
    expectSameTables(source.Tables(), target.Tables());
    target.Assign(target);
    expectSameTables(source.Tables(), target.Tables());

    OtherParser other;
    try {
        target.Assign(other);
        FAIL();
    } catch (const ERudivoVoru& e) {
        EXPECT_EQ(e.message(), "Cannot assign a TOtherParser to TRudivoVoruParser");
    }
    expectSameTables(source.Tables(), target.Tables());
}

} // namespace
} // namespace qorvi
