#include "Errors.h"

#include "worksheet/Edit.h"

int32_t ErrorCode = 0;
int32_t ErrorCol = 0;
int32_t ErrorRow = 0;
int32_t ErrorBlink = 0;
std::string ErrorTexts[ErrorTextLast - ErrorTextFirst + 1];

namespace {
std::string &Entry(int code)
{
    return ErrorTexts[code - ErrorTextFirst];
}

struct ErrorsInit {
    ErrorsInit()
    {
        ErrorBlink = 0;
        InitErrorTexts();
    }
} errorsInit;
}  // namespace

bool ErrorPending()
{
    return ErrorCode != 0;
}

void SetError(int32_t code, int32_t col, int32_t row)
{
    ErrorCode = code;
    ErrorCol = col;
    ErrorRow = row;
    EditText.SetCursorCol(col);
    EditText.SetCursorRow(row);
}

void SetErrorText(const std::string &message, int32_t col, int32_t row)
{
    Entry(errMathText) = message;
    SetError(errMathText, col, row);
}

void GetErrorText(std::string &text)
{
    ErrorBlink = 31;
    // A code outside the table has no text rather than reading past it.
    text = (ErrorCode >= ErrorTextFirst && ErrorCode <= ErrorTextLast) ? Entry(ErrorCode) : std::string();
    EditText.SetCursorCol(ErrorCol);
    EditText.SetCursorRow(ErrorRow);
}

void ClearError()
{
    ErrorCode = 0;
}

void InitErrorTexts()
{
    static const char *const texts[] = {
        "out of stream memory",                                                                        // 100
        "wrong dot position",                                                                          // 101
        "unknow symbol",                                                                               // 102
        "operator not allowed here",                                                                   // 103
        "subscript not allowed here",                                                                  // 104
        "await operator",                                                                              // 105
        "exponent not allowed here",                                                                   // 106
        "out of ESC - memory",                                                                         // 107
        "colon only allowd in first column",                                                           // 108
        "page full",                                                                                   // 109
        "syntax error",                                                                                // 110
        "fraction line to short",                                                                      // 111
        "illegal assignment",                                                                          // 112
        "value out of range",                                                                          // 113
        "root of negative value not possible",                                                         // 114
        "user break",                                                                                  // 115
        "maximal 15 places allowed",                                                                   // 116
        "root symbol not allowed in first row",                                                        // 117
        "circular reference to variable",                                                              // 118
        "await (",                                                                                     // 119
        "no result! use format: X=5+3= ! or switch to single mode with < = > button on the tool bar",  // 120
        "fraction not allowed here",                                                                   // 121
        "syntax error in integral",                                                                    // 122
        "a=b in integral not allowed",                                                                 // 123
        "variable name double defined",                                                                // 124
        "await simple variable",                                                                       // 125
        "missing integral parameter <a>",                                                              // 126
        "missing integral parameter <b>",                                                              // 127
        "await function",                                                                              // 128
        "close bracket error",                                                                         // 129
        "error in integral function",                                                                  // 130
        "missing integral delta variable",                                                             // 131
        "missing integral index variable",                                                             // 132
        "missing open bracket",                                                                        // 133
        "a > b in integral not allowed",                                                               // 134
        "a = b in integral not allowed",                                                               // 135
        "d > 1000000 in integral not allowed",                                                         // 136
        "no selected cells found",                                                                     // 137
        "integral step too small to move the variable",                                                // 138
    };
    for (std::string &t : ErrorTexts)
        t.clear();
    for (int i = 0; i < int(sizeof texts / sizeof texts[0]); ++i)
        Entry(ErrorTextFirst + i) = texts[i];
    Entry(errUpdateReminder) =
        "Hello - it`s been sometimes ago since the last update  - check updates online with <Check For Updates> on "
        "<Help> Menu";
}
