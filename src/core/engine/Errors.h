// The one error state of a calculation: a code, the cell where the fault
// was found, and the message table that turns the code into status text.
#pragma once

#include <cstdint>
#include <string>

extern int32_t ErrorCode;
extern int32_t ErrorCol;
extern int32_t ErrorRow;
extern int32_t ErrorBlink;

constexpr int ErrorTextFirst = 100;
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
