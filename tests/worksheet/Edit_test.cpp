#include <gtest/gtest.h>

#include "SheetPicture.h"

TEST(CellLayout, FlagWordIsLittleEndianFromByteOne)
{
    TCell c;
    c.Ch = 190;
    c.SetFlags(cfSymbolFont | cfFractionLine | cfResult);
    const auto *b = reinterpret_cast<const uint8_t *>(&c);
    EXPECT_EQ(b[0], 190);
    EXPECT_EQ(b[1], 0x03);
    EXPECT_EQ(b[2], 0x00);
    EXPECT_EQ(b[3], 0x40);
    EXPECT_EQ(b[4], 0x00);
    EXPECT_EQ(c.Code(), 958);
}
