#include "editor/keys/key_names.h"
#include "editor/keys/shortcut_text.h"
#include "editor/keys/typed_key.h"
#include "editor/lexicon/word_chars.h"

#include <gtest/gtest.h>
#include <initializer_list>

namespace qorvi {
namespace {

TEST(KeyText, EveryPrintableAsciiCharacterHasTheKeyThatTypesItOnTheUsLayout) {
    EXPECT_EQ(keyThatTypes('a'), 'A');
    EXPECT_EQ(keyThatTypes('Q'), 'Q' | kTypedKeyShift);
    EXPECT_EQ(keyThatTypes('7'), '7');
    EXPECT_EQ(keyThatTypes('&'), '7' | kTypedKeyShift);
    EXPECT_EQ(keyThatTypes(')'), '0' | kTypedKeyShift);
    EXPECT_EQ(keyThatTypes('"'), VK_OEM_7 | kTypedKeyShift);
    EXPECT_EQ(keyThatTypes('\\'), VK_OEM_5);
    EXPECT_EQ(keyThatTypes('~'), VK_OEM_3 | kTypedKeyShift);
    EXPECT_EQ(keyThatTypes('\r'), VK_RETURN);
    for (int c = 32; c < 127; ++c)
        EXPECT_GT(keyThatTypes(static_cast<unsigned char>(c)), 0) << c;
    EXPECT_EQ(keyThatTypes(0), -1);
    EXPECT_EQ(keyThatTypes(0xE9), -1);
}

TEST(KeyText, ShortcutTextReadsWhatShortCutToTextWrites) {
    for (TShortCut sc :
         {TShortCut(scCtrl | 'J'), TShortCut(scCtrl | scShift | VK_F3), TShortCut(scAlt | VK_LEFT),
          TShortCut(VK_OEM_1), TShortCut(scShift | scCtrl | scAlt | VK_NUMPAD5)})
        EXPECT_EQ(textToShortCut(shortCutToText(sc)), sc) << shortCutToText(sc);
    EXPECT_EQ(textToShortCut("Alt+Ctrl+J"), scCtrl | scAlt | 'J');
    EXPECT_EQ(textToShortCut(""), 0);
    EXPECT_EQ(textToShortCut("Ctrl+"), 0);
    EXPECT_EQ(textToShortCut("Hyper+J"), 0);
}

TEST(KeyText, KeyNamesIgnoreCaseBlanksAndPunctuation) {
    EXPECT_EQ(keyCodeFromName("Return"), VK_RETURN);
    EXPECT_EQ(keyCodeFromName("Page Down"), VK_NEXT);
    EXPECT_EQ(keyCodeFromName("F12"), VK_F12);
    EXPECT_EQ(keyCodeFromName("backspace"), VK_BACK);
    EXPECT_EQ(keyCodeFromName("enter"), -1);
    EXPECT_EQ(keyCodeFromName("--"), -1);
}

TEST(WordChars, DefaultWordCharactersAndWordStarts) {
    for (int c : std::initializer_list<int>{'a', 'Z', '0', '_', '\'', '-', 0xE9})
        EXPECT_TRUE(isDefaultWordChar(static_cast<unsigned char>(c))) << c;
    for (unsigned char c : {' ', '.', '(', '\r', '\t'})
        EXPECT_FALSE(isDefaultWordChar(c)) << int(c);
    EXPECT_TRUE(isDefaultWordStart('_'));
    EXPECT_TRUE(isDefaultWordStart(0xC4));
    EXPECT_FALSE(isDefaultWordStart('1'));
    EXPECT_FALSE(isDefaultWordStart('-'));
}

} // namespace
} // namespace qorvi
