#include <gtest/gtest.h>

#include <cstring>

#include "engine/Errors.h"
#include "engine/Router.h"
#include "support/EngineSheets.h"
#include "support/TreeText.h"
#include "worksheet/Edit.h"

namespace {

// The route as "col,row" pairs from the start (0, 0) to the last cell.
std::string RouteText()
{
    RouterObj.ShowRoute();
    std::string s;
    for (const TRoutePoint &p : RouterObj.ShownRoute)
        s += (s.empty() ? "" : " ") + std::to_string(p.Col) + "," + std::to_string(p.Row);
    return s;
}

// Rows of text below row empty rows.
std::vector<std::string> From(int row, std::vector<std::string> rows)
{
    rows.insert(rows.begin(), size_t(row), "");
    return rows;
}

struct RouterTest : EngineTest {};

struct RouteCase {
    const char *name;
    std::vector<std::string> rows;
    const char *route;  // or the error as code@col,row
    int cols = 72, rows_ = 72;
};

const RouteCase routeCases[] = {
    {"one row", {"1+2"}, "0,0 1,0 2,0"},
    {"blocks read column by column", {"", " x", "ab", "", "", "c"}, "0,0 0,2 1,1 1,2 0,5"},
    {"numerator before denominator, line end last", From(3, {"    a", "   ###", "    b"}), "0,0 3,4 4,3 4,5 5,4"},
    {"nested fractions", {"  1", " ###", "  2", "#####", "  3"}, "0,0 0,3 1,1 2,0 2,2 3,1 2,4 4,3"},
    {"colon line: rows above first, then column 0 below, then the colon row on", From(5, {" yz", ":x=1", "2"}),
     "0,0 1,5 2,5 0,6 0,7 1,6 2,6 3,6"},
    {"integral: sign, upper limit, lower limit, integrand", From(4, {"  <S/ >b", "  <S| >x+1", "  <S\\ >a"}),
     "0,0 2,5 3,4 3,6 3,5 4,5 5,5"},
    {"result, green and bracket pieces are never routed",
     {"<(/ > <)/ >", "<(| >x<)| >=< 5*>< 7g>", "<(\\ > <)\\ >"},
     "0,0 0,1 1,1 2,1 3,1"},
    {"denominator cell in the line end's column is read once, before the line end",
     {" a", "####", " b", "   c"},
     "0,0 0,1 1,0 1,2 3,3 3,1"},
    {"a limit up to the line end's column is read whole, nothing past it inside",
     {"    <S/ >12", "    <S| >x q", "    <S\\ >0", "#######", " 2"},
     "0,0 0,3 4,1 5,0 6,0 5,2 5,1 1,4 6,3 7,1"},
    {"a lower limit up to the line end's column is read before the integrand",
     {" 1", "#######", "    <S/ >1", "    <S| >x", "    <S\\ >10"},
     "0,0 0,1 1,0 4,3 5,2 5,4 6,4 5,3 6,1"},
    {"the column after the limits is read from the integrand's row down, also the line end's",
     {"    <S/ >12", "    <S| >x", "    <S\\ >0", "       5", "", "########", " 2"},
     "0,0 0,5 4,1 5,0 6,0 5,2 5,1 7,3 1,6 7,5"},
    {"fraction line in row 0: nothing above it", {"###", " 2"}, "0,0 1,1 2,0"},
    {"fraction line in the full sheet's last row", From(143, {" 1", "###"}), "0,0 0,144 1,143 2,144", 145, 145},
    {"empty sheet", {}, "0,0"},
    // the last cell of the last block is where the walk stops, unread
    {"tiny sheet", {"1", "", "   x"}, "0,0", 4, 3},
    {"cells beyond the grid are not read", {"1", "", "", "2"}, "0,0 0,3", 10, 10},
    // layout errors
    {"line too short on the left", From(3, {"    a", "    ##", "    b"}), "111@4,4"},
    {"line too short on the right", From(3, {"     a", "   ###", "    b"}), "111@5,4"},
    {"one-cell line", {"x#"}, "111@1,0"},
    // at the sheet's edge the missing neighbour counts as empty
    {"integral sign in row 0", {"  <S| >x", "  <S\\ >a"}, "127@2,0"},
    {"integral sign in the full sheet's last row", From(143, {"   b", "  <S| >"}), "126@2,144", 145, 145},
    {"integral sign in the full sheet's last column", From(5, {std::string(144, ' ') + "<S| >"}), "126@144,5", 145,
     145},
};

TEST_F(RouterTest, RoutesAndLayoutErrors)
{
    for (const RouteCase &rc : routeCases) {
        SheetSetup fresh(rc.cols, rc.rows_);
        ClearError();
        if (rc.cols == 10)
            EditText.Cells[20][2].Ch = 'q';  // left over from a larger sheet
        if (!rc.rows.empty())
            LoadRows(rc.rows);
        const bool ok = RouterObj.BuildRoute();
        EXPECT_EQ(ok, !std::strchr(rc.route, '@')) << rc.name;
        EXPECT_EQ(ok ? RouteText() : ErrorAt(), rc.route) << rc.name;
        EXPECT_EQ(ok ? ErrorCode : fresh.grid.Col() * 1000 + fresh.grid.Row(), ok ? 0 : ErrorCol * 1000 + ErrorRow)
            << rc.name;
        EXPECT_TRUE((rc.cols != 10 || !RouterObj.RowUsed[2]) && (rc.cols != 4 || EditText.Cells[3][2].SrcCol == 0));
    }
}

TEST_F(RouterTest, RoutedCellsCarryTheirPositionAndTheLastLinkEnds)
{
    LoadRows(From(3, {"    a", "   ###", "    b"}));
    ASSERT_TRUE(RouterObj.BuildRoute());
    const uint32_t repaints = setup.grid.RepaintCount;
    RouterObj.ShowRoute();
    EXPECT_GT(setup.grid.RepaintCount, repaints);
    for (size_t i = 1; i < RouterObj.ShownRoute.size(); ++i) {
        const TRoutePoint p = RouterObj.ShownRoute[i];
        EXPECT_EQ(EditText.Cells[p.Col][p.Row].SrcCol * 1000 + EditText.Cells[p.Col][p.Row].SrcRow,
                  p.Col * 1000 + p.Row);
    }
    EXPECT_TRUE(RouterObj.Links[5][4].IsEnd() && EditText.Cells[5][4].Has(cfLineEnd) &&
                !EditText.Cells[3][4].Has(cfLineEnd));
    // The line's middle cell is not routed; rows 3..5 are used.
    EXPECT_TRUE(EditText.Cells[4][4].SrcCol == 0 && RouterObj.Links[4][4].IsEnd());
    EXPECT_EQ(std::vector<int>(RouterObj.RowUsed + 2, RouterObj.RowUsed + 7), std::vector<int>({0, 1, 1, 1, 0}));
    // A line end left on the line's start from an earlier route is forgotten.
    EditText.Cells[3][4].Add(cfLineEnd);
    ASSERT_TRUE(RouterObj.BuildRoute());
    EXPECT_EQ(RouteText() + (EditText.Cells[3][4].Has(cfLineEnd) ? " end" : ""), "0,0 3,4 4,3 4,5 5,4");

    // A one-row sheet has no room for a route: refused without an error.
    SheetSetup oneRow(10, 1);
    EditText.Cells[0][0].Ch = '1';
    EXPECT_FALSE(RouterObj.BuildRoute());
    EXPECT_EQ(ErrorCode, 0);
}

}  // namespace
