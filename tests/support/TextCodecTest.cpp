#include "support/TextCodec.h"

#include <gtest/gtest.h>

namespace {

TEST(TextCodec, ChineseTextRoundTrips)
{
    const std::string utf8 = "斗地主 landlord 【03-07】 €";
    const std::string gbk = Utf8ToGbk(utf8);
    EXPECT_EQ(Utf8ToGbk("地主"), "\xB5\xD8\xD6\xF7");
    EXPECT_EQ(Utf8ToGbk("【】"), "\xA1\xBE\xA1\xBF");
    EXPECT_EQ(GbkToUtf8(gbk), utf8);
    EXPECT_EQ(GbkToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(TextCodec, BadGbkBytesBecomeOneMarkEachAndTheRestSurvives)
{
    EXPECT_EQ(GbkToUtf8("ab\xFF" "cd"), "ab?cd");
    // A lead byte followed by a byte that cannot end a pair: the ASCII byte is kept.
    EXPECT_EQ(GbkToUtf8("\x81" "0x\xB5\xD8"), "?0x地");
    // A pair in range but unassigned is one character.
    EXPECT_EQ(GbkToUtf8("\xAA\xA1\xD6\xF7"), "?主");
    // A lead byte cut off at the end.
    EXPECT_EQ(GbkToUtf8("\xB5\xD8\xD6"), "地?");
}

TEST(TextCodec, Utf8ThatGbkCannotHoldBecomesOneMarkEach)
{
    EXPECT_EQ(Utf8ToGbk("a😀b"), "a?b");
    EXPECT_EQ(Utf8ToGbk("\xC3x"), "?x");
    EXPECT_EQ(Utf8ToGbk("地\xE4\xB8"), "\xB5\xD8?");
    EXPECT_EQ(Utf8ToGbk("\x80\x80z"), "?z");
}

TEST(TextCodec, CutNeverSplitsADoubleByteCharacter)
{
    const std::string gbk = Utf8ToGbk("a地主");
    EXPECT_EQ(CutGbk(gbk, 5), gbk);
    EXPECT_EQ(CutGbk(gbk, 4), Utf8ToGbk("a地"));
    EXPECT_EQ(CutGbk(gbk, 2), "a");
    EXPECT_EQ(CutGbk(gbk, 0), "");
}

// A file may be in either encoding: UTF-8 is taken only when it is well-formed, and GBK only when
// every byte converts, so a document in neither is refused rather than read as marks.
TEST(TextCodec, EitherEncodingIsRecognisedStrictly)
{
    EXPECT_TRUE(IsValidUtf8("plain 地主 \xF0\x9F\x83\x8F"));
    for (const char* bad : {"\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE5\x9C", "\x80", "\xFF"})
        EXPECT_FALSE(IsValidUtf8(bad)) << bad;
    EXPECT_FALSE(IsValidUtf8(Utf8ToGbk("地主")));

    EXPECT_EQ(GbkToUtf8Exact(Utf8ToGbk("a地主b")), "a地主b");
    EXPECT_EQ(GbkToUtf8Exact("ascii"), "ascii");
    EXPECT_FALSE(GbkToUtf8Exact("\xFF\x20").has_value());
    EXPECT_FALSE(GbkToUtf8Exact(Utf8ToGbk("地") + "\x81").has_value());
}

} // namespace
