#include "text/unicode.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using qv::Utf16Length;
using qv::WholeCharacterPrefix;

// What the wide registry and windows count: one unit up to U+FFFF, two beyond.
TEST(Utf16Text, LengthCountsUnitsOfEveryScript) {
    EXPECT_EQ(Utf16Length(""), 0u);
    EXPECT_EQ(Utf16Length("News"), 4u);
    EXPECT_EQ(Utf16Length("Ειδήσεις"), 8u);     // two bytes each
    EXPECT_EQ(Utf16Length("ニュース"), 4u);     // three bytes each
    EXPECT_EQ(Utf16Length("a\U0001F600b"), 4u); // four bytes: a surrogate pair
}

TEST(Utf16Text, PrefixNeverCutsAPairInHalf) {
    EXPECT_EQ(WholeCharacterPrefix(u"Новости дня", 6), u"Новост");
    EXPECT_EQ(WholeCharacterPrefix(u"ニュース", 6), u"ニュース");
    EXPECT_EQ(WholeCharacterPrefix(u"", 6), u"");
    // The sixth unit starts a pair: the whole character stays.
    EXPECT_EQ(WholeCharacterPrefix(u"abcde\U00020BB7xyz", 6), u"abcde\U00020BB7");
    // A pair ending at the sixth unit, and a lone high surrogate, stay as they are.
    EXPECT_EQ(WholeCharacterPrefix(u"abcd\U00020BB7xyz", 6), u"abcd\U00020BB7");
    EXPECT_EQ(WholeCharacterPrefix(std::u16string(u"abcde\xD842z"), 6), u"abcde\xD842");
    // The pairs at both ends of the surrogate ranges; a lone low half after a letter; no unit.
    EXPECT_EQ(WholeCharacterPrefix(u"abcde\U00010000z", 6), u"abcde\U00010000");
    EXPECT_EQ(WholeCharacterPrefix(u"abcde\U0010FFFFz", 6), u"abcde\U0010FFFF");
    EXPECT_EQ(WholeCharacterPrefix(u"abcde\U000103FFz", 6), u"abcde\U000103FF"); // D800 DFFF
    EXPECT_EQ(WholeCharacterPrefix(u"abcde\U0010FC00z", 6), u"abcde\U0010FC00"); // DBFF DC00
    EXPECT_EQ(WholeCharacterPrefix(std::u16string(u"abcdef\xDC00"), 6), u"abcdef");
    EXPECT_EQ(WholeCharacterPrefix(u"\U00010000", 0), u"");
}

// UTF-8 cut by UTF-16 units; a character is never split into bytes, a pair never into halves.
TEST(Utf16Text, Utf8CutsKeepWholeCharacters) {
    EXPECT_EQ(qv::Utf8Prefix("Ειδήσεις", 3), "Ειδ");
    EXPECT_EQ(qv::Utf8Prefix("ab\U00020BB7cd", 3), "ab\U00020BB7");
    EXPECT_EQ(qv::Utf8Prefix("ab\U00020BB7cd", 2), "ab");
    EXPECT_EQ(qv::Utf8Prefix("abc", 5), "abc");
    EXPECT_EQ(qv::Utf8Suffix("Новости", 4), "ости");
    EXPECT_EQ(qv::Utf8Suffix("ab\U00020BB7cd", 3), "\U00020BB7cd");
    EXPECT_EQ(qv::Utf8Suffix("ab\U00020BB7cd", 2), "cd");
    EXPECT_EQ(qv::Utf8Suffix("abc", 5), "abc");
    EXPECT_EQ(qv::Utf8Suffix("abc", 0), "");
}

} // namespace
