#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "engine/Errors.h"
#include "support/SheetPicture.h"

namespace {

struct ErrorsTest : ::testing::Test {
    SheetSetup setup;
    void SetUp() override { InitErrorTexts(), ClearError(), ErrorBlink = 0; }
};

TEST_F(ErrorsTest, SetClearAndFreeText)
{
    SetError(102, 1, 1), SetError(111, 7, 3);  // the later error wins and moves the cursor
    EXPECT_EQ(std::pair(setup.grid.Col() * 100 + setup.grid.Row(), ErrorPending()), std::pair(703, true));
    setup.grid.SetCol(0), setup.grid.SetRow(0);
    std::string text;
    GetErrorText(text);  // blinks and moves the cursor back to the cell
    EXPECT_EQ(std::tuple(text, ErrorBlink, setup.grid.Col() * 100 + setup.grid.Row()),
              std::tuple("fraction line to short", 31, 703));
    ClearError();  // keeps the cell
    EXPECT_EQ(std::pair(ErrorCode * 10000 + ErrorCol * 100 + ErrorRow, ErrorPending()), std::pair(703, false));
    SetError(200, 0, 0), GetErrorText(text);
    EXPECT_EQ(text, "");  // no free text set yet
    SetErrorText("Floating point division by zero", 3, 2), SetErrorText("Floating point overflow", 3, 2);
    GetErrorText(text);
    EXPECT_EQ(std::pair(ErrorCode, text), std::pair(200, std::string("Floating point overflow")));
}

TEST_F(ErrorsTest, MessageTexts)
{
    // The texts the calculation road raises are pinned there; these are the others.
    const std::pair<int, const char *> table[] = {
        {106, "exponent not allowed here"},
        {107, "out of ESC - memory"},
        {115, "user break"},
        {116, "maximal 15 places allowed"},
        {117, "root symbol not allowed in first row"},
        {121, "fraction not allowed here"},
        {122, "syntax error in integral"},
        {137, "no selected cells found"},
        {210, "Hello - it`s been sometimes ago since the last update  - check updates online with <Check For "
              "Updates> on <Help> Menu"},
    };
    for (auto [code, expected] : table) {
        std::string text;
        SetError(code, 1, 1), GetErrorText(text);
        EXPECT_EQ(text, expected) << "code " << code;
    }
    // everything else in the table is empty
    EXPECT_EQ(std::count_if(std::begin(ErrorTexts), std::end(ErrorTexts), [](auto &t) { return !t.empty(); }), 40);
}

}  // namespace
