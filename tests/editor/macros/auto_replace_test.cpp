#include "editor/keys/typed_key.h"
#include "editor/macros/auto_replace.h"
#include "editor/support/memory_stream.h"
#include "editor/support/rudivo_voru_error.h"
#include "editor/support/stream_fields.h"
#include "editor/text/text_store.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace qorvi {
namespace {

struct Host : MacroHost {
    explicit Host(const std::string& text) {
        store.InsertText(0, text.data(), static_cast<std::int64_t>(text.size()));
    }
    TTextStore& macroText() override { return store; }
    std::int32_t macroCaret() override { return store.NumChars(); }
    void selectTypedPrefix(std::int32_t, std::int32_t) override { selected = true; }
    void collapseSelectionToEnd() override {}
    void showMacroPopup(TMacroKeywords&, int) override { popup = true; }
    TTextStore store;
    bool selected = false;
    bool popup = false;
};

struct AutoReplace : ::testing::Test {
    void SetUp() override {
        a.AddEntry("teh", "the");
        a.AddEntry("dont", "don't");
        a.OnFire = [this](TMacroKeywords*, const std::string& name, std::string& replacement) {
            fired.push_back(name + "->" + replacement);
        };
    }
    // Types `key` with `shift` after `text`; returns whether the list acted
    // and stores whether the key is swallowed.
    bool type(const std::string& text, std::uint16_t key, TShiftState shift = 0) {
        Host host(text);
        handled = false;
        return a.KeyPressed(host, key, handled, shift);
    }
    TAutoReplace a;
    std::vector<std::string> fired;
    bool handled = false;
};

TEST_F(AutoReplace, DefaultActivationKeys) {
    const std::vector<std::uint16_t> expected = {VK_OEM_1,
                                                 VK_OEM_COMMA,
                                                 VK_OEM_1 | kTypedKeyShift,
                                                 VK_OEM_PERIOD,
                                                 VK_OEM_PLUS,
                                                 '9' | kTypedKeyShift,
                                                 '0' | kTypedKeyShift,
                                                 VK_OEM_4,
                                                 VK_OEM_6,
                                                 VK_RETURN,
                                                 VK_TAB,
                                                 VK_SPACE};
    EXPECT_EQ(a.ActivateKeys(), expected);
    EXPECT_EQ(a.ActivateKeyText(), ";,:.=()[]\\{Return}\\{Tab}\\{Space}");
}

TEST_F(AutoReplace, EachActivationKeyReplacesTheWordAndIsNotSwallowed) {
    const struct {
        std::uint16_t key;
        TShiftState shift;
    } keys[] = {{VK_OEM_1, 0},    {VK_OEM_COMMA, 0}, {VK_OEM_1, ssShift}, {VK_OEM_PERIOD, 0},
                {VK_OEM_PLUS, 0}, {'9', ssShift},    {'0', ssShift},      {VK_OEM_4, 0},
                {VK_OEM_6, 0},    {VK_RETURN, 0},    {VK_TAB, 0},         {VK_SPACE, 0}};
    for (const auto& k : keys) {
        fired.clear();
        EXPECT_TRUE(type("x teh", k.key, k.shift)) << k.key;
        EXPECT_FALSE(handled);
        EXPECT_EQ(fired, std::vector<std::string>{"teh->the"}) << k.key;
    }
    // Other keys do nothing: a letter, Shift+; is ":" but Ctrl+; is not an activation key.
    EXPECT_FALSE(type("x teh", 'A'));
    EXPECT_FALSE(type("x teh", VK_OEM_1, ssCtrl));
    EXPECT_FALSE(type("x teh", VK_F1));
    EXPECT_TRUE(fired.size() == 1);
}

TEST_F(AutoReplace, NoMatchOpensNothing) {
    Host host("x tex");
    std::uint16_t key = VK_SPACE;
    EXPECT_FALSE(a.KeyPressed(host, key, handled, 0));
    EXPECT_FALSE(host.popup);
    EXPECT_TRUE(fired.empty());
}

TEST_F(AutoReplace, ItemGluedToAWordIsNotAccepted) {
    Host plain("x teh");
    Host glued("ateh");
    Host followed("teh!");
    const CharTest wordChar = isDefaultWordChar;
    const CharTest wordStart = isDefaultWordStart;
    EXPECT_TRUE(TAutoReplace::AcceptsItem(plain.store, 2, 3, "the", wordChar, wordStart));
    EXPECT_FALSE(TAutoReplace::AcceptsItem(glued.store, 1, 3, "the", wordChar, wordStart));
    // A replacement that does not start a word may follow a word character.
    EXPECT_TRUE(TAutoReplace::AcceptsItem(glued.store, 1, 3, "+the", wordChar, wordStart));
    EXPECT_TRUE(TAutoReplace::AcceptsItem(followed.store, 0, 3, "the", wordChar, wordStart));
    Host inWord("tehx");
    EXPECT_FALSE(TAutoReplace::AcceptsItem(inWord.store, 0, 3, "the", wordChar, wordStart));
    EXPECT_FALSE(TAutoReplace::AcceptsItem(inWord.store, 2, 9, "the", wordChar, wordStart));
}

TEST_F(AutoReplace, ActivationKeyTextEscapes) {
    a.SetActivateKeys("a\\n\\r\\s\\t\\{F5}\\{Page Down}\\;\\{nosuchkey}aA");
    const std::vector<std::uint16_t> expected = {'A',   VK_RETURN, VK_SPACE, VK_TAB,
                                                 VK_F5, VK_NEXT,   VK_OEM_1, 'A' | kTypedKeyShift};
    EXPECT_EQ(a.ActivateKeys(), expected);
    EXPECT_TRUE(a.IsActivateKey(VK_F5, 0));
    EXPECT_FALSE(a.IsActivateKey(VK_F5, ssShift));
    EXPECT_FALSE(a.IsActivateKey(0x1F5, 0));
}

TEST_F(AutoReplace, UnterminatedKeyNameIsABadSpecifierAndKeepsTheKeys) {
    try {
        a.SetActivateKeys("x\\{Return");
        FAIL() << "accepted";
    } catch (const ERudivoVoru& e) {
        EXPECT_EQ(e.message(), "Bad key specifier");
    }
    EXPECT_EQ(a.ActivateKeyText(), kDefaultActivateKeys);
    EXPECT_THROW(a.SetActivateKeys(std::string(256, 'x')), ERudivoVoru);
}

TEST_F(AutoReplace, EmptyActivationTextOrInactiveListNeverActivates) {
    a.SetActivateKeys("");
    EXPECT_FALSE(a.IsActivateKey(VK_SPACE, 0));
    a.Clear();
    EXPECT_TRUE(a.IsActivateKey(VK_SPACE, 0));
    EXPECT_TRUE(a.Entries().empty());
    a.Active = false;
    EXPECT_FALSE(a.IsActivateKey(VK_SPACE, 0));
}

TEST_F(AutoReplace, KeyValueOfAShortcut) {
    EXPECT_EQ(TAutoReplace::TSM_ShortCut('A', ssShift | ssCtrl | ssAlt), 'A' + 0x700);
    EXPECT_EQ(TAutoReplace::TSM_ShortCut(0x100, 0), 0);
}

TEST_F(AutoReplace, AddEntryOfAPresentItemIsADuplicate) {
    EXPECT_THROW(a.AddEntry("TEH", "x"), EKeywords);
    EXPECT_EQ(a.Entries().size(), 2u);
}

TEST_F(AutoReplace, StreamRoundTripKeepsEntriesAndActivationKeys) {
    a.SetActivateKeys("\\s;");
    TMemoryStream s;
    a.SaveToStream(s);
    const std::string& bytes = s.DataString();
    EXPECT_EQ(bytes.substr(bytes.size() - 4), std::string("\x03\\s;", 4));
    s.SetPosition(0);
    TAutoReplace back;
    back.LoadFromStream(s);
    EXPECT_EQ(back.Entries().size(), 2u);
    EXPECT_EQ(back.ActivateKeyText(), "\\s;");
    EXPECT_EQ(back.ActivateKeys(), a.ActivateKeys());
    EXPECT_FALSE(back.SwallowKey);
    EXPECT_FALSE(back.PopUp);

    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
        TMemoryStream truncated(bytes.substr(0, cut));
        EXPECT_THROW(back.LoadFromStream(truncated), EStreamError) << "cut at " << cut;
    }
    std::string badKeys = bytes.substr(0, bytes.size() - 4) + std::string("\x02\\{", 3);
    TMemoryStream bad(badKeys);
    EXPECT_THROW(back.LoadFromStream(bad), ERudivoVoru);
    EXPECT_EQ(back.ActivateKeyText(), "\\s;");
    EXPECT_EQ(back.Entries().size(), 2u);
}

} // namespace
} // namespace qorvi
