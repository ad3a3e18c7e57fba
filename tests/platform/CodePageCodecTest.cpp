#include "platform/CodePageCodec.h"

#include <gtest/gtest.h>

namespace {

TEST(CodePageCodec, ValidUtf8IsTakenAsUtf8AndOtherBytesByTheCodePage) {
    const CodePageCodec codec;
    EXPECT_EQ(codec.ToUtf8("plain"), "plain");
    EXPECT_EQ(codec.ToUtf8("\xC4\xB0skele"), "\xC4\xB0skele");
    // cp1254: DD is dotted capital I, FE s-cedilla, F0 g-breve.
    EXPECT_EQ(codec.ToUtf8("\xDDskele \xFE\xF0"), "\xC4\xB0skele \xC5\x9F\xC4\x9F");
}

TEST(CodePageCodec, DxfCodePageNamesSelectTheirTable) {
    EXPECT_EQ(CodePageCodec::IconvName("ANSI_1252"), "CP1252");
    EXPECT_EQ(CodePageCodec::IconvName("ansi_1250"), "CP1250");
    const CodePageCodec latin("ANSI_1252");
    EXPECT_EQ(latin.CodePage(), "CP1252");
    EXPECT_EQ(latin.ToUtf8("\xDD"), "\xC3\x9D"); // Y acute in cp1252
    const CodePageCodec unknown("ANSI_99999");
    EXPECT_EQ(unknown.CodePage(), "CP1254");
}

TEST(CodePageCodec, UndecodableBytesBecomeReplacementCharacters) {
    const CodePageCodec codec("CP1253");
    // AA has no character in cp1253.
    EXPECT_EQ(codec.ToUtf8("a\xAA"
                           "b"),
              "a\xEF\xBF\xBD"
              "b");
}

TEST(CodePageCodec, WritingEscapesCharactersTheCodePageLacks) {
    const CodePageCodec codec;
    EXPECT_EQ(codec.FromUtf8("\xC4\xB0skele"), "\xDDskele");
    EXPECT_EQ(codec.FromUtf8("x\xCE\xA9y"), "x\\U+03A9y"); // Greek omega
    EXPECT_EQ(codec.FromUtf8("\xF0\x9F\x98\x80"), "?");    // beyond four hex digits
    EXPECT_EQ(codec.FromUtf8("bad\xFF"), "bad?");
}

TEST(CodePageCodec, Utf8ValidityRefusesOverlongFormsAndSurrogates) {
    EXPECT_TRUE(CodePageCodec::IsValidUtf8("\xE2\x82\xAC"));
    EXPECT_FALSE(CodePageCodec::IsValidUtf8("\xC0\xAF"));
    EXPECT_FALSE(CodePageCodec::IsValidUtf8("\xED\xA0\x80"));
    EXPECT_FALSE(CodePageCodec::IsValidUtf8("\xE2\x82"));
}

} // namespace
