// Token streams and expression trees as compact text, for engine tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "SheetPicture.h"
#include "engine/Lists.h"

class TProgressBar;

// Fills ScannerObj's stream: each blank-separated item follows a ';', and a
// last ';' closes the stream unless trailing is false (bareFirst drops the
// first ';'). Cells get row 5 and the next column, counted from 1; code-only
// tokens carry no position. Inside an item:
//   c          a cell copy of c          _c !c $c  lowered / function name / Symbol
//   ~c         code-only c               ) : & ^   code-only, as the scanner writes them
//   ^!         the exponent end          < >       generated '(' ')' at the current cell
//   |          the fraction bar          #NNN      a cell of code NNN (500 integral,
//   @c,r;      the next token is at (c, r),        422 function, 470 root; tall pieces
//              later cells follow                  get cfTallBracket as on the sheet)
void LoadStream(const std::string &items, bool trailing = true, bool bareFirst = false);

// The tree under n on one line, first operand (Right) first:
//   term      + or -, {sum} when it carries one, its factor, the next term
//   number    value[Left]Right        name   text, #index, (Left), <Right>
//   (a*b) (a/b) (a|b) fraction line  (a mod b) (a div b) (a^b)  root(degree,radicand)
//   bracket   (inside)<Left>, g(inside) when generated
//   int(upper<lower>,f(body;d*x))    equation left=right   start S:right
std::string TreeText(const TCodeList *n);

// True when every child's Parent link points back at its parent.
bool ParentsOk(const TCodeList *n);

// Loads the stream, parses it into ExpressionTree and, when the parse left
// no error, runs the calculator on it. False when parsing failed.
bool CalcStream(const std::string &items, TProgressBar *bar = nullptr);

// Number of nodes in ExpressionTree's list, the head not counted.
int ListLength();

// The recorded error as "code@col,row".
std::string ErrorAt();

// ScannerObj's stream, one character per token: the token's character, '<'
// and '>' for generated brackets, '|' for the exponent end, "{code}" for
// symbol codes.
std::string StreamText();

// A bound sheet, no error pending, single-result mode, radians, no
// rearrange-only request; ExpressionTree restored afterwards.
struct EngineTest : ::testing::Test {
    SheetSetup setup;
    TCodeList *ownTree = ExpressionTree;
    ~EngineTest() override;
    void SetUp() override;
    std::string Error();  // the pending error's text
};
