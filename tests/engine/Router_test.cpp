#include <gtest/gtest.h>

#include "EngineSheets.h"
#include "TreeText.h"
#include "Errors.h"
#include "Router.h"

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

struct RouterTest : EngineTest {};

struct RouteCase {
    const char *name;
    std::vector<std::string> rows;
    const char *route;
};

const RouteCase routeCases[] = {
    {"one row", {"1+2"}, "0,0 1,0 2,0"},
    {"blocks read column by column", {"", " x", "ab", "", "", "c"}, "0,0 0,2 1,1 1,2 0,5"},
    {"numerator before denominator, line end last",
     {"", "", "", "    a", "   ###", "    b"},
     "0,0 3,4 4,3 4,5 5,4"},
    {"nested fractions", {"  1", " ###", "  2", "#####", "  3"}, "0,0 0,3 1,1 2,0 2,2 3,1 2,4 4,3"},
    {"colon line: rows above first, then column 0 below, then the colon row on",
     {"", "", "", "", "", " yz", ":x=1", "2"},
     "0,0 1,5 2,5 0,6 0,7 1,6 2,6 3,6"},
    {"integral: sign, upper limit, lower limit, integrand",
     {"", "", "", "", "  <S/ >b", "  <S| >x+1", "  <S\\ >a"},
     "0,0 2,5 3,4 3,6 3,5 4,5 5,5"},
    {"result, green and bracket pieces are never routed",
     {"<(/ > <)/ >", "<(| >x<)| >=< 5*>< 7g>", "<(\\ > <)\\ >"},
     "0,0 0,1 1,1 2,1 3,1"},
    {"denominator cell in the line end's column is read once, before the line end",
     {" a", "####", " b", "   c"},
     "0,0 0,1 1,0 1,2 3,3 3,1"},
    {"fraction line in row 0: nothing above it", {"###", " 2"}, "0,0 1,1 2,0"},
};

TEST_F(RouterTest, GoldenRoutes)
{
    for (const RouteCase &rc : routeCases) {
        SheetSetup fresh;
        ClearError();
        LoadRows(rc.rows);
        EXPECT_TRUE(RouterObj.BuildRoute()) << rc.name;
        EXPECT_EQ(ErrorCode, 0) << rc.name;
        EXPECT_EQ(RouteText(), rc.route) << rc.name;
    }
}

TEST_F(RouterTest, RoutedCellsCarryTheirPositionAndTheLastLinkEnds)
{
    LoadRows({"", "", "", "    a", "   ###", "    b"});
    ASSERT_TRUE(RouterObj.BuildRoute());
    RouterObj.ShowRoute();
    for (size_t i = 1; i < RouterObj.ShownRoute.size(); ++i) {
        const TRoutePoint p = RouterObj.ShownRoute[i];
        EXPECT_EQ(EditText.Cells[p.Col][p.Row].SrcCol, p.Col);
        EXPECT_EQ(EditText.Cells[p.Col][p.Row].SrcRow, p.Row);
    }
    EXPECT_TRUE(RouterObj.Links[5][4].IsEnd());
    EXPECT_TRUE(EditText.Cells[5][4].Has(cfLineEnd));
    EXPECT_FALSE(EditText.Cells[3][4].Has(cfLineEnd));
    // The line's middle cell is not routed.
    EXPECT_EQ(EditText.Cells[4][4].SrcCol, 0);
    EXPECT_TRUE(RouterObj.Links[4][4].IsEnd());
    EXPECT_TRUE(RouterObj.RowUsed[3] && RouterObj.RowUsed[4] && RouterObj.RowUsed[5]);
    EXPECT_FALSE(RouterObj.RowUsed[2] || RouterObj.RowUsed[6]);
    // A line end left on the line's start from an earlier route is forgotten.
    EditText.Cells[3][4].Add(cfLineEnd);
    ASSERT_TRUE(RouterObj.BuildRoute());
    EXPECT_EQ(RouteText(), "0,0 3,4 4,3 4,5 5,4");
    EXPECT_FALSE(EditText.Cells[3][4].Has(cfLineEnd));
}

struct ErrorCase {
    const char *name;
    std::vector<std::string> rows;
    int code, col, row;
};

const ErrorCase errorCases[] = {
    {"line too short on the left", {"", "", "", "    a", "    ##", "    b"}, 111, 4, 4},
    {"line too short on the right", {"", "", "", "     a", "   ###", "    b"}, 111, 5, 4},
    {"one-cell line", {"x#"}, 111, 1, 0},
    {"colon outside column 0", {"x=1:2"}, 108, 3, 0},
    {"integral without lower limit", {"", "", "", "", "  <S/ >b", "  <S| >x", "  <S\\ >"}, 126, 2, 5},
    {"integral without upper limit", {"", "", "", "", "  <S/ >", "  <S| >x", "  <S\\ >a"}, 127, 2, 5},
    // At the sheet's edge the missing neighbour counts as empty.
    {"integral sign in row 0", {"  <S| >x", "  <S\\ >a"}, 127, 2, 0},
};

TEST_F(RouterTest, LayoutErrors)
{
    for (const ErrorCase &ec : errorCases) {
        SheetSetup fresh;
        ClearError();
        LoadRows(ec.rows);
        EXPECT_FALSE(RouterObj.BuildRoute()) << ec.name;
        EXPECT_EQ(ErrorCode, ec.code) << ec.name;
        EXPECT_EQ(ErrorCol * 1000 + ErrorRow, ec.col * 1000 + ec.row) << ec.name;
        EXPECT_EQ(fresh.grid.Col() * 1000 + fresh.grid.Row(), ec.col * 1000 + ec.row) << ec.name;
    }
}

TEST_F(RouterTest, IntegralAtTheFullSheetsLastRowAndColumn)
{
    const struct {
        int col, row;
    } places[] = {{2, SheetLast}, {SheetLast, 5}};
    for (const auto &p : places) {
        SheetSetup full(SheetCells, SheetCells);
        ClearError();
        TCell sign;
        sign.SetCode(scIntegralMiddle);
        sign.Add(cfTallBracket);
        EditText.Cells[p.col][p.row] = sign;
        if (InSheet(p.col + 1, p.row - 1))
            EditText.Cells[p.col + 1][p.row - 1].Ch = 'b';
        EXPECT_FALSE(RouterObj.BuildRoute());
        EXPECT_EQ(ErrorCode, 126);
        EXPECT_EQ(ErrorCol * 1000 + ErrorRow, p.col * 1000 + p.row);
    }
}

TEST_F(RouterTest, FractionLineInTheLastRowOfTheFullSheet)
{
    SheetSetup full(SheetCells, SheetCells);
    for (int c = 0; c < 3; ++c) {
        EditText.Cells[c][SheetLast].Ch = 190;
        EditText.Cells[c][SheetLast].SetFlags(cfSymbolFont | cfFractionLine);
    }
    EditText.Cells[1][SheetLast - 1].Ch = '1';
    ASSERT_TRUE(RouterObj.BuildRoute());
    EXPECT_EQ(RouteText(), "0,0 0,144 1,143 2,144");
}

TEST_F(RouterTest, EmptySheetAndTinySheets)
{
    ASSERT_TRUE(RouterObj.BuildRoute());
    const uint32_t repaints = setup.grid.RepaintCount;
    EXPECT_EQ(RouteText(), "0,0");
    EXPECT_GT(setup.grid.RepaintCount, repaints);

    SheetSetup oneRow(10, 1);
    EditText.Cells[0][0].Ch = '1';
    EXPECT_FALSE(RouterObj.BuildRoute());
    EXPECT_EQ(ErrorCode, 0);

    // The last cell of the last block is where the walk stops, unread.
    SheetSetup small(4, 3);
    LoadRows({"1", "", "   x"});
    ASSERT_TRUE(RouterObj.BuildRoute());
    EXPECT_EQ(RouteText(), "0,0");
    EXPECT_EQ(EditText.Cells[3][2].SrcCol, 0);
}

TEST_F(RouterTest, CellsBeyondTheGridAreNotRead)
{
    SheetSetup small(10, 10);
    EditText.Cells[20][2].Ch = 'q';  // left over from a larger sheet
    LoadRows({"1", "", "", "2"});
    ASSERT_TRUE(RouterObj.BuildRoute());
    EXPECT_EQ(RouteText(), "0,0 0,3");
    EXPECT_FALSE(RouterObj.RowUsed[2]);
}

}  // namespace
