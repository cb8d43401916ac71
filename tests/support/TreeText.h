// Token streams and expression trees as compact text, for engine tests.
#pragma once

#include <gtest/gtest.h>
#include <string>

#include "SheetPicture.h"
#include "engine/CalcThread.h"
#include "engine/Errors.h"
#include "engine/Lists.h"
#include "engine/Rebuilder.h"
#include "worksheet/Edit.h"

// Fills ScannerObj's stream: a ';' before each blank-separated item (none before the first when bareFirst) and
// after the last when trailing. Cells get row 5 and the next column from 1; code-only tokens no position. Items:
//   c  a cell        _c !c $c  lowered / function name / Symbol    ~c  code-only c    ) : & ^  code-only
//   ^! exponent end  < >  generated '(' ')'   |  fraction bar   @c,r;  position of the next token, later cells follow
//   #NNN  a cell of code NNN (500 integral, 422 function, 470 root; tall pieces flagged as on the sheet)
void LoadStream(const std::string &items, bool trailing = true, bool bareFirst = false);

// The tree under n on one line, Right first: term +/- {sum} factor next; number value[Left]Right; name
// text#index(Left)<Right>; (a*b) (a/b) (a|b) (a mod b) (a div b) (a^b) root(degree,radicand); bracket
// (inside)<Left>, g(inside) when generated; int(upper<lower>,f(body;d*x)); left=right; start S:right.
std::string TreeText(const TCodeList *n);
bool ParentsOk(const TCodeList *n);  // every child's Parent points back
// Loads and parses the stream into ExpressionTree and, when no error is left, calculates. False when parsing failed.
bool CalcStream(const std::string &items, TProgressBar *bar = nullptr);

int ListLength();          // ExpressionTree's nodes, the head not counted
std::string ErrorAt();     // the recorded error as "code@col,row"
std::string StreamText();  // ScannerObj's stream: characters, '<' '>' generated brackets, '|' exponent end, {code}

// A bound sheet, no error pending, single-result mode, radians, no rearrange-only request; ExpressionTree restored.
struct EngineTest : ::testing::Test {
    SheetSetup setup;
    TCodeList *ownTree = ExpressionTree;
    ~EngineTest() override { ExpressionTree = ownTree, EngineTest::SetUp(); }
    void SetUp() override
    {
        InitErrorTexts(), ClearError(), EditText.EqualMode = 0, EditText.RadMode = 1, RearrangeOnly = 0;
    }
    std::string Error();  // the pending error's text
};
