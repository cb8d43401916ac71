// The 8-byte cell records of the sheet's two layers, their flag bits and the
// symbol codes other units test. The same record is a scanner token and a
// character of a node name, so the engine includes this, not the whole sheet.
#pragma once

#include <cstddef>
#include <cstdint>

// Flag bits of TCell::Flags().
enum : uint32_t {
    cfSymbolFont = 0x1,
    cfFractionLine = 0x2,
    cfRaised = 0x100,
    cfLowered = 0x200,
    cfBold = 0x400,
    cfAboveLine = 0x800,
    cfBelowLine = 0x1000,
    cfTallBracket = 0x2000,
    cfBracketPart = 0x4000,
    cfFunctionName = 0x8000,
    cfLineEnd = 0x10000,
    cfExponentEnd = 0x20000,
    cfNestingToken = 0x40000,
    cfGreen = 0x200000,
    cfResult = 0x400000,
};

// Cells the reading order passes over.
constexpr uint32_t cfSkipMask = cfResult | cfGreen | cfBracketPart;  // 0x604000

// Values of TCell::Code() that other units test or write.
enum : uint16_t {
    scFractionLine = 958,
    scRootSign = 470,
    scFunctionSign = 422,
    scPi = 368,
    scIntegralTop = 499,
    scIntegralMiddle = 500,
    scIntegralBottom = 501,
    scParenOpenTop = 486,
    scParenOpenMiddle = 487,
    scParenOpenBottom = 488,
    scBrackOpenTop = 489,
    scBrackOpenMiddle = 490,
    scBrackOpenBottom = 491,
    scBraceOpenTop = 492,
    scBraceOpenMiddle = 493,
    scBraceOpenBottom = 494,
    scParenCloseTop = 502,
    scParenCloseMiddle = 503,
    scParenCloseBottom = 504,
    scBrackCloseTop = 505,
    scBrackCloseMiddle = 506,
    scBrackCloseBottom = 507,
    scBraceCloseTop = 508,
    scBraceCloseMiddle = 509,
    scBraceCloseBottom = 510,
};

// Byte 0 the character, bytes 1-4 the little-endian flag word, byte 5 and 6
// the cell's own column and row (written by the reading order), byte 7 zero.
// The flag word is kept as bytes: an aligned uint32 would move it to byte 4.
// The same record is a token of the scanner and a character of a node name.
struct TCell {
    uint8_t Ch = 0;
    uint8_t FlagBytes[4] = {0, 0, 0, 0};
    uint8_t SrcCol = 0;
    uint8_t SrcRow = 0;
    uint8_t Reserved = 0;

    uint32_t Flags() const
    {
        return uint32_t(FlagBytes[0]) | uint32_t(FlagBytes[1]) << 8 | uint32_t(FlagBytes[2]) << 16 |
               uint32_t(FlagBytes[3]) << 24;
    }
    void SetFlags(uint32_t f)
    {
        FlagBytes[0] = uint8_t(f);
        FlagBytes[1] = uint8_t(f >> 8);
        FlagBytes[2] = uint8_t(f >> 16);
        FlagBytes[3] = uint8_t(f >> 24);
    }
    bool Has(uint32_t f) const { return (Flags() & f) != 0; }
    void Add(uint32_t f) { SetFlags(Flags() | f); }
    void Remove(uint32_t f) { SetFlags(Flags() & ~f); }

    // Ch + 256 * (low byte of the flags).
    uint16_t Code() const { return uint16_t(Ch | FlagBytes[0] << 8); }
    void SetCode(uint16_t code)
    {
        Ch = uint8_t(code);
        FlagBytes[0] = uint8_t(code >> 8);
    }
    bool Empty() const { return Code() == 0; }
    bool AllZero() const { return Ch == 0 && Flags() == 0 && SrcCol == 0 && SrcRow == 0 && Reserved == 0; }
    void Zero() { *this = TCell{}; }

    friend bool operator==(const TCell &, const TCell &) = default;
};

struct TAttrCell {
    uint8_t RootLevel = 0;   // level 1..7 of the radicand area that starts at this root sign
    uint8_t RootTop = 0;     // first row of that area
    uint8_t RootBottom = 0;  // last row of that area
    uint8_t RootRow = 0;     // in the root's column at the area's first and last row: the root's row
    uint8_t Nesting = 0;     // bit n: inside an area of level n
    uint8_t Overline = 0;    // bit 0 on a root with an area; bits 1..7 on an area's first row
    uint8_t Protection = 0;  // bit 1: unlocked on a locked page
    uint8_t Reserved = 0;

    bool AllZero() const
    {
        return RootLevel == 0 && RootTop == 0 && RootBottom == 0 && RootRow == 0 && Nesting == 0 && Overline == 0 &&
               Protection == 0 && Reserved == 0;
    }
    void Zero() { *this = TAttrCell{}; }

    friend bool operator==(const TAttrCell &, const TAttrCell &) = default;
};

static_assert(sizeof(TCell) == 8);
static_assert(offsetof(TCell, Ch) == 0);
static_assert(offsetof(TCell, FlagBytes) == 1);
static_assert(offsetof(TCell, SrcCol) == 5);
static_assert(offsetof(TCell, SrcRow) == 6);
static_assert(sizeof(TAttrCell) == 8);
static_assert(offsetof(TAttrCell, RootLevel) == 0);
static_assert(offsetof(TAttrCell, RootRow) == 3);
static_assert(offsetof(TAttrCell, Protection) == 6);

void CopyCell(const TCell &src, TCell &dst);

constexpr int SheetCells = 145;  // columns and rows of the fixed capacity
constexpr int SheetLast = SheetCells - 1;

inline bool InSheet(int col, int row)
{
    return col >= 0 && col < SheetCells && row >= 0 && row < SheetCells;
}
