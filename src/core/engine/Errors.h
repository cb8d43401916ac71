// The one error state of a calculation: a code, the cell where the fault
// was found, and the message table that turns the code into status text.
#pragma once

#include <cstdint>
#include <string>

extern int32_t ErrorCode;
extern int32_t ErrorCol;
extern int32_t ErrorRow;
extern int32_t ErrorBlink;

// The codes as users see them in the status line's message; each indexes
// its text in ErrorTexts.
enum TErrorCode : int32_t {
    errStreamFull = 100,          // "out of stream memory"
    errDotPosition = 101,         // "wrong dot position"
    errUnknownSymbol = 102,       // "unknow symbol"
    errOperatorHere = 103,        // "operator not allowed here"
    errSubscriptHere = 104,       // "subscript not allowed here"
    errAwaitOperator = 105,       // "await operator"
    errColonColumn = 108,         // "colon only allowd in first column"
    errPageFull = 109,            // "page full"
    errSyntax = 110,              // "syntax error"
    errFractionShort = 111,       // "fraction line to short"
    errIllegalAssignment = 112,   // "illegal assignment"
    errOutOfRange = 113,          // "value out of range"
    errNegativeRoot = 114,        // "root of negative value not possible"
    errCircular = 118,            // "circular reference to variable"
    errAwaitBracket = 119,        // "await ("
    errNoResult = 120,            // "no result! use format: ..."
    errIntegralSyntax = 122,      // "syntax error in integral"
    errVariableTwice = 124,       // "variable name double defined"
    errAwaitVariable = 125,       // "await simple variable"
    errMissingLower = 126,        // "missing integral parameter <a>"
    errMissingUpper = 127,        // "missing integral parameter <b>"
    errAwaitFunction = 128,       // "await function"
    errCloseBracket = 129,        // "close bracket error"
    errIntegralFunction = 130,    // "error in integral function"
    errMissingDelta = 131,        // "missing integral delta variable"
    errMissingIndex = 132,        // "missing integral index variable"
    errMissingOpenBracket = 133,  // "missing open bracket"
    errLimitsReversed = 134,      // "a > b in integral not allowed"
    errLimitsEqual = 135,         // "a = b in integral not allowed"
    errTooManySteps = 136,        // "d > 1000000 in integral not allowed"
    errIntegralNoMove = 138,      // "integral step too small to move the variable"
    errMathText = 200,            // free text: an arithmetic fault's own message
    errUpdateReminder = 210,
};

constexpr int ErrorTextFirst = errStreamFull;
constexpr int ErrorTextLast = 250;
extern std::string ErrorTexts[ErrorTextLast - ErrorTextFirst + 1];

bool ErrorPending();
void SetError(int32_t code, int32_t col, int32_t row);
void SetErrorText(const std::string &message, int32_t col, int32_t row);
void GetErrorText(std::string &text);
void ClearError();
void InitErrorTexts();

// Messages of the arithmetic faults that the evaluator reports under code 200.
inline constexpr const char *MsgInvalidOp = "Invalid floating point operation";
inline constexpr const char *MsgDivByZero = "Floating point division by zero";
inline constexpr const char *MsgOverflow = "Floating point overflow";
inline constexpr const char *MsgIntDivByZero = "Division by zero";
