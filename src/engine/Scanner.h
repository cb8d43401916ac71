// The token scanner: follows the route through the sheet and writes the
// flat token stream that the parser reads.
#pragma once

#include <cstdint>

#include "Edit.h"

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
    bool SignAllowed = false;
    int32_t LimitRow = 0;
    int32_t LimitMode = 0;
    bool NewLineDone = false;
    uint8_t Nesting = 0;

    // Scans the whole route into Tokens; False when a fault ended the scan.
    bool Scan();
};

extern TScanner ScannerObj;
