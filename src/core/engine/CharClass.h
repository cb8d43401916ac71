// Character classes of cell codes (character plus 256 for the symbol font),
// shared by the scanner and the parser.
#pragma once

#include <cstdint>

#include "worksheet/Cell.h"

inline bool IsDigit(uint16_t code)
{
    return code >= '0' && code <= '9';
}

inline bool IsPlainLetter(uint16_t code)
{
    return (code >= 'A' && code <= 'Z') || (code >= 'a' && code <= 'z');
}

// Plain letters and the Greek letters of the symbol font.
inline bool IsLetter(uint16_t code)
{
    return IsPlainLetter(code) || (code >= 321 && code <= 346) || (code >= 353 && code <= 378);
}

// Typed brackets, and the middle pieces of tall ones.
inline bool IsOpener(uint16_t code)
{
    return code == '(' || code == '[' || code == '{' || code == scParenOpenMiddle || code == scBrackOpenMiddle ||
           code == scBraceOpenMiddle;
}

inline bool IsCloser(uint16_t code)
{
    return code == ')' || code == ']' || code == '}' || code == scParenCloseMiddle || code == scBrackCloseMiddle ||
           code == scBraceCloseMiddle;
}
