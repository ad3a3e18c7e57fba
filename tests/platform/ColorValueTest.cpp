#include "platform/ColorValue.h"

#include <gtest/gtest.h>

TEST(ColorValue, RedSitsInTheLowByte) {
    EXPECT_EQ(ColorFromBgr(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(ColorFromBgr(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(ColorFromBgr(0x123456), QColor(0x56, 0x34, 0x12));
    for (const uint32_t bgr : {0x000000u, 0x800000u, 0x00FFFFu, 0xF0CAA6u, 0xFFFFFFu})
        EXPECT_EQ(BgrFromColor(ColorFromBgr(bgr)), bgr);
    // Only the low 24 bits are a colour.
    EXPECT_EQ(BgrFromColor(ColorFromBgr(0xFF123456u)), 0x123456u);
}

TEST(ColorValue, AColourThatDoesNotReadMovesAwayFromItsBackgroundAndOneThatReadsStays) {
    EXPECT_EQ(ReadableBgr(0x800000, 0xFFFFFF), 0x800000u); // navy on white reads
    // Black on a dark grey turns a light grey; red on white a deeper red.
    const uint32_t onDark = ReadableBgr(0x000000, 0x302D2D);
    EXPECT_GE(ContrastRatio(ColorFromBgr(onDark), ColorFromBgr(0x302D2D)), ReadableTextContrast);
    EXPECT_EQ(onDark & 0xFF, (onDark >> 8) & 0xFF);
    const uint32_t deeperRed = ReadableBgr(0x0000FF, 0xFFFFFF);
    EXPECT_GE(ContrastRatio(ColorFromBgr(deeperRed), Qt::white), ReadableTextContrast);
    EXPECT_EQ(deeperRed & 0xFFFF00, 0u);
    EXPECT_LT(deeperRed, 0x0000FFu);
}
