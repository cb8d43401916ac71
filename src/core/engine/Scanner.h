// The token scanner: follows the route through the sheet and writes the
// flat token stream that the parser reads.
#pragma once

#include <cstdint>

#include "worksheet/Cell.h"

constexpr int MaxTokens = 8000;  // entries 0..7999 may be written; entry 8000 stays zero

class TScanner {
public:
    TCell Tokens[MaxTokens + 1];
    int32_t Count = 0;
    int32_t NextCol = 0;
    int32_t NextRow = 0;
    TCell Current;
    int32_t CurCol = 0;
    int32_t CurRow = 0;
    bool AtEnd = false;
    bool MoreCells = false;
    bool OperandPending = false;
    bool NumLimitOn = false;
    int32_t NumLimitRow = 0;
    bool InExponent = false;
    int32_t LimitRow = 0;
    int32_t LimitMode = 0;
    bool NewLineDone = false;
    uint8_t Nesting = 0;

    // Scans the whole route into Tokens; False when a fault ended the scan
    // (after a fault inside a bracket or fraction it may return True:
    // ErrorPending tells).
    bool Scan();
    bool ScanExpression();
    bool NextCell(TCell &cell);
    bool EmitNesting(bool all);
    bool PutToken(const TCell &token);
    bool PutCode(uint8_t ch);
    void MakeToken(TCell &token, uint8_t ch);
    void Error(int32_t code);

    bool ReadName();
    bool ReadNumber();
    bool ReadOperator();
    bool ReadBracket(const TCell &opener);
    bool ReadExponent();
    bool PutExponentEnd();
    bool ReadRoot();
    bool ReadFunction();
    bool ReadIntegral();
    bool ReadColon();
    bool ReadFraction();

private:
    // The last cell of the route was a closer or line end that a reader
    // consumed; the enclosing levels meet it once more.
    bool FinalCellRead = false;
    // A fault was recorded in this scan: every level stops.
    bool Failed = false;
    // Tokens past the stream of the last scan are all zero.
    int32_t TokensUsed = 0;
    // Steps taken along the router's link order; -1 once the chain left it.
    int32_t OrderAt = 0;

    void Fault(int32_t code, int32_t col, int32_t row, bool beep);
    bool PutCodes(const char *chs);
    bool PutGenerated(uint8_t ch);
    bool PutImplicit(bool beforeFraction, int *starAt = nullptr);
    bool StartOperand(int *starAt);
    bool RejectStrayCloser();
    bool IsBlank();
    // The current cell lies past the integral limit being read.
    bool AtLimitEnd() const;
};

extern TScanner ScannerObj;
