// Expression trees and token streams as compact text, for engine tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "SheetPicture.h"

class TCodeList;

// Fills ScannerObj's stream with the items of the text, separated by
// blanks, each preceded by ';' and the last followed by one. Every cell
// gets row 5 and the next column, counted from 1 over all cells, so an
// item's position is predictable. Special items:
//   ^)  end of an exponent ('^' with cfExponentEnd)
//   $S  integral sign    $f  function sign   $r  root sign
//   $-  fraction line    $p  the letter pi
void LoadStream(const std::string &items);

// The tree under n on one line:
//   term      + or - (then {value} when it carries a running sum), its
//             factor, then the next term
//   number    its shortest round-trip decimal, then its children
//   name      its text, then (argument)
//   a*b a/b   (a*b) (a/b) (a mod b) (a div b) (base^exponent)
//   root      root(degree,radicand)     bracket  (inside)
//   integral  int(lower,upper,integrand) integrand f(body;d*x)
//   equation  left=right                start    S:right
std::string TreeText(const TCodeList *n);

// Loads the stream, parses it into ExpressionTree and, when the parse left
// no error, runs the calculator on it (no progress bar unless given).
// False when scanning or parsing failed.
class TProgressBar;
bool CalcStream(const std::string &items, TProgressBar *bar = nullptr);

// Number of nodes in ExpressionTree's list, the head not counted.
int ListLength();

// The definition of the sheet named text, or null.
TCodeList *SheetDef(const std::string &text);

// A bound sheet, no error pending, single-result mode, radians, and no
// rearrange-only request left over.
struct EngineTest : ::testing::Test {
    SheetSetup setup;
    TCodeList *ownTree;  // the list head ExpressionTree names at start
    EngineTest();
    ~EngineTest() override;
    void SetUp() override;
    // The pending error's text (moves the cursor to its cell).
    std::string Error();
};
