#include "editor/keys/command_action.h"
#include "editor/keys/keyboard_action_controller.h"
#include "editor/lexicon/char_group.h"
#include "editor/support/memory_stream.h"
#include "editor/support/rudivo_voru_error.h"
#include "editor/support/stream_fields.h"

#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

namespace qorvi {
namespace {

constexpr TShortCut kCtrlK = scCtrl | 'K';

struct Controller : ::testing::Test {
    void SetUp() override {
        c.Assign(DefaultKeyController());
        c.OnCommand = [this](TKeyboardActionContoller*, std::int32_t& code) { commands.push_back(code); };
    }
    // Feeds a key-down; returns Handled and whether Key and Shift were cleared.
    bool press(std::uint16_t key, TShiftState shift = 0) {
        bool handled = false;
        c.KeyPressed(key, shift, handled);
        if (handled) {
            EXPECT_EQ(key, 0);
            EXPECT_EQ(shift, 0u);
        } else {
            EXPECT_NE(key, 0);
        }
        return handled;
    }
    TKeyboardActionContoller c;
    std::vector<std::int32_t> commands;
};

using Bindings = std::vector<std::tuple<TShortCut, TShortCut, std::int32_t>>;

Bindings bindingsOf(const TKeyboardActionContoller& c) {
    Bindings out;
    c.KeyStore().ForEachBinding(
        [&](TShortCut k1, TShortCut k2, std::int32_t a) { out.emplace_back(k1, k2, a); });
    return out;
}

TEST_F(Controller, SingleKeysGiveTheirActions) {
    EXPECT_TRUE(press(VK_LEFT));
    EXPECT_TRUE(press(VK_HOME, ssCtrl));
    EXPECT_TRUE(press('Z', ssCtrl | ssShift));
    EXPECT_EQ(commands, (std::vector<std::int32_t>{caLEFT, caDOCSTART, caREDO}));
    EXPECT_EQ(c.LastAction(), caREDO);
    EXPECT_FALSE(press('A'));
    EXPECT_FALSE(press(VK_LEFT, ssAlt));
}

TEST_F(Controller, ChordFirstKeyIsPendingSecondKeyResolves) {
    EXPECT_TRUE(press('K', ssCtrl));
    EXPECT_TRUE(c.ChordPending());
    EXPECT_TRUE(commands.empty());
    EXPECT_TRUE(press('I'));
    EXPECT_FALSE(c.ChordPending());
    EXPECT_EQ(commands, (std::vector<std::int32_t>{caBLOCKIND}));
    // The second key's modifiers are dropped.
    EXPECT_TRUE(press('K', ssCtrl));
    EXPECT_TRUE(press('I', ssCtrl));
    EXPECT_TRUE(press('Q', ssCtrl));
    EXPECT_TRUE(press('7'));
    EXPECT_EQ(commands, (std::vector<std::int32_t>{caBLOCKIND, caBLOCKIND, caGOTOBOOKMARK7}));
}

TEST_F(Controller, UnknownSecondKeyCancelsTheChordAndPassesOn) {
    EXPECT_TRUE(press('K', ssCtrl));
    EXPECT_FALSE(press('X'));
    EXPECT_FALSE(c.ChordPending());
    EXPECT_TRUE(commands.empty());
    // Back on the first level: Left is a single key again.
    EXPECT_TRUE(press(VK_LEFT));
    EXPECT_EQ(commands, (std::vector<std::int32_t>{caLEFT}));
}

TEST_F(Controller, SetActiveAbandonsAHalfEnteredChord) {
    press('K', ssCtrl);
    c.SetActive(true);
    EXPECT_TRUE(c.Active());
    EXPECT_FALSE(c.ChordPending());
    EXPECT_FALSE(press('I'));
}

TEST_F(Controller, SingleKeyThatPrefixesChordsIsADuplicate) {
    try {
        c.DefineKeyAction(kCtrlK, 0, caUNDO);
        FAIL() << "accepted";
    } catch (const EAmbigiousKeyPair& e) {
        EXPECT_EQ(e.message(),
                  "Duplicate key sequence definition for\r\n\"Undo\" and \"Indent selected block\"");
    }
    // A chord on a bound single key is refused too.
    EXPECT_THROW(c.DefineKeyAction(scCtrl | 'Y', 'A', caUNDO), EAmbigiousKeyPair);
    EXPECT_THROW(c.DefineKeyAction(kCtrlK, scCtrl | 'I', caUNDO), EAmbigiousKeyPair);
    EXPECT_EQ(bindingsOf(c), bindingsOf(DefaultKeyController()));
}

TEST_F(Controller, SameSingleKeyTwiceIsADuplicateEvenForTheSameAction) {
    try {
        c.DefineKeyAction(VK_LEFT, 0, caLEFT);
        FAIL() << "accepted";
    } catch (const EAmbigiousKeyPair& e) {
        EXPECT_EQ(e.message(),
                  "Duplicate key sequence definition for\r\n\"Cursor left\" and \"Cursor left\"");
    }
}

TEST_F(Controller, IsKeyActionDefinedLooksAtChordsOnly) {
    std::int32_t code = 0;
    EXPECT_TRUE(c.IsKeyActionDefined(kCtrlK, scShift | 'U', code));
    EXPECT_EQ(code, caBLOCKUND);
    EXPECT_FALSE(c.IsKeyActionDefined(VK_LEFT, 0, code));
    EXPECT_EQ(code, -1);
}

TEST_F(Controller, KeyPairEnumeration) {
    c.DefineKeyAction(VK_F5, 0, caUNDO);
    EXPECT_EQ(c.GetNumKeyPairs(caUNDO), 2);
    TShortCut k1 = 1, k2 = 1;
    ASSERT_TRUE(c.GetFirstKeyPair(caUNDO, k1, k2));
    EXPECT_EQ(k1, scCtrl | 'Z');
    EXPECT_EQ(k2, 0);
    ASSERT_TRUE(c.GetNextKeyPair(caUNDO, k1, k2));
    EXPECT_EQ(k1, VK_F5);
    EXPECT_FALSE(c.GetNextKeyPair(caUNDO, k1, k2));
    EXPECT_EQ(k1, 0);
    ASSERT_TRUE(c.GetFirstKeyPair(caPRINTSEL, k1, k2));
    EXPECT_EQ(k1, kCtrlK);
    EXPECT_EQ(k2, 'P');
    c.Clear();
    EXPECT_FALSE(c.GetFirstKeyPair(caLEFT, k1, k2));
    EXPECT_EQ(k1, 0);
    EXPECT_EQ(k2, 0);
}

TEST_F(Controller, ActionNamesReplaceTheLastEntry) {
    EXPECT_EQ(c.GetActionCodeName(caLEFT), "Cursor left");
    c.SetActionCodeName(caLEFT, "Go left");
    EXPECT_EQ(c.GetActionCodeName(caLEFT), "Go left");
    EXPECT_EQ(c.ActionNames().size(), 48u);
    EXPECT_EQ(c.ActionNames().back().first, "Go left");
    EXPECT_EQ(c.GetActionCodeName(99), "");
    c.SetActionCodeName(99, std::string(300, 'n'));
    EXPECT_EQ(c.GetActionCodeName(99).size(), 255u);
}

TEST(DefaultKeyMap, HasEveryActionWithItsDisplayName) {
    const TKeyboardActionContoller& d = DefaultKeyController();
    for (int code = 0; code < kCommandActionCount; ++code) {
        EXPECT_EQ(d.GetNumKeyPairs(code), 1) << code;
        EXPECT_EQ(d.GetActionCodeName(code), commandActionDisplayName(code));
    }
    EXPECT_EQ(d.GetActionCodeName(caSCROLLDOWN), "Scroll display down one line");
    EXPECT_EQ(d.GetActionCodeName(caSETBOOKMARK9), "Set Bookmark 9");
    EXPECT_EQ(d.KeyStore().BindingCount(), 48);
}

TEST_F(Controller, StreamRoundTripKeepsBindingsNamesAndOrder) {
    c.DefineKeyAction(VK_F5, 0, caUNDO);
    c.DefineKeyAction(scCtrl | 'W', 'A', 60);
    c.SetActionCodeName(60, "Custom");
    TMemoryStream s;
    c.SaveToStream(s);
    s.SetPosition(0);
    TKeyboardActionContoller back;
    back.LoadFromStream(s);
    EXPECT_EQ(s.GetPosition(), s.GetSize());
    EXPECT_EQ(bindingsOf(back), bindingsOf(c));
    EXPECT_EQ(back.ActionNames(), c.ActionNames());
    for (int code : {int{caUNDO}, int{caBLOCKIND}, int{caGOTOBOOKMARK3}, 60}) {
        TShortCut a1, a2, b1, b2;
        bool more = c.GetFirstKeyPair(code, a1, a2);
        bool moreBack = back.GetFirstKeyPair(code, b1, b2);
        while (more || moreBack) {
            ASSERT_EQ(more, moreBack);
            EXPECT_EQ(a1, b1);
            EXPECT_EQ(a2, b2);
            more = c.GetNextKeyPair(code, a1, a2);
            moreBack = back.GetNextKeyPair(code, b1, b2);
        }
    }
    TMemoryStream again;
    back.SaveToStream(again);
    EXPECT_EQ(again.DataString(), s.DataString());
}

TEST_F(Controller, StreamLayoutIsNamesThenBindings) {
    TKeyboardActionContoller small;
    small.SetActionCodeName(3, "ab");
    small.DefineKeyAction(scCtrl | 'K', 'X', 3);
    TMemoryStream s;
    small.SaveToStream(s);
    EXPECT_EQ(s.DataString(), std::string("\x01\x00\x00\x00"
                                          "\x03\x00\x00\x00"
                                          "\x02"
                                          "ab"
                                          "\x01\x00\x00\x00"
                                          "\x4B\x40"
                                          "\x58\x00"
                                          "\x03\x00\x00\x00",
                                          23));
}

TEST_F(Controller, BadStreamsLeaveTheKeyMapAsItWas) {
    TMemoryStream s;
    DefaultKeyController().SaveToStream(s);
    const std::string bytes = s.DataString();
    const Bindings before = bindingsOf(c);
    for (std::size_t cut = 0; cut < bytes.size(); cut += 7) {
        TMemoryStream truncated(bytes.substr(0, cut));
        EXPECT_THROW(c.LoadFromStream(truncated), EStreamError) << "cut at " << cut;
    }
    // Two bindings of one key: the replay refuses the stream.
    TMemoryStream dup;
    SWriteLongint(dup, 0);
    SWriteLongint(dup, 2);
    for (int i = 0; i < 2; ++i) {
        SWriteWord(dup, VK_F2);
        SWriteWord(dup, 0);
        SWriteLongint(dup, i);
    }
    dup.SetPosition(0);
    EXPECT_THROW(c.LoadFromStream(dup), EAmbigiousKeyPair);
    // A binding count far beyond the bytes left.
    TMemoryStream huge(std::string("\x00\x00\x00\x00\xFF\xFF\xFF\x0F", 8));
    EXPECT_THROW(c.LoadFromStream(huge), EStreamError);

    EXPECT_EQ(bindingsOf(c), before);
    EXPECT_EQ(c.ActionNames().size(), 48u);
    EXPECT_TRUE(press(VK_LEFT));
}

TEST(KeyController, AssignRefusesOtherClasses) {
    TKeyboardActionContoller c;
    TSM_CharGroup g;
    try {
        c.Assign(g);
        FAIL() << "accepted";
    } catch (const ERudivoVoru& e) {
        EXPECT_EQ(e.message(), "Cannot assign a TSM_CharGroup to a TKeyboardActionContoller");
    }
}

} // namespace
} // namespace qorvi
