// Route, scan and parse run again and again on the same global objects, and
// reuse what the last run left: freed nodes, the token array, the link table.
// Each rerun must look exactly like a first run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/Builtins.h"
#include "engine/Errors.h"
#include "engine/Lists.h"
#include "engine/Parser.h"
#include "engine/Router.h"
#include "engine/Scanner.h"
#include "support/EngineSheets.h"
#include "support/TreeText.h"
#include "worksheet/Edit.h"

namespace {

struct FrontEndReuseTest : ::testing::Test {
    SheetSetup setup{145, 145};
    void SetUp() override
    {
        ClearError();
        EditText.ImplicitMult = 1;
    }
};

bool RouteAndScan(const std::vector<std::string> &rows)
{
    SheetSetup fresh{145, 145};
    EditText.ImplicitMult = 1;
    LoadRows(rows);
    ClearError();
    return RouterObj.BuildRoute() && ScannerObj.Scan();
}

std::vector<TCell> StreamCopy()
{
    return std::vector<TCell>(ScannerObj.Tokens, ScannerObj.Tokens + MaxTokens + 1);
}

TEST_F(FrontEndReuseTest, RescanLeavesNoOldTokens)
{
    // After a longer scan, and after tokens a caller loaded by hand.
    ASSERT_TRUE(RouteAndScan({"1"}));
    const std::vector<TCell> first = StreamCopy();
    ASSERT_TRUE(RouteAndScan({"12345678+98765*4321-1/7", "", "x=3"}));
    ASSERT_GT(ScannerObj.Count, 20);
    ASSERT_TRUE(RouteAndScan({"1"}));
    EXPECT_EQ(StreamCopy(), first);
    TCell t;
    t.Ch = '7';
    for (int i = 0; i < 50; ++i)
        ScannerObj.Tokens[ScannerObj.Count++] = t;
    ASSERT_TRUE(RouteAndScan({"1"}));
    EXPECT_EQ(StreamCopy(), first);
}

// The scanner follows the link table, whatever the router noted while linking.
TEST_F(FrontEndReuseTest, ScanFollowsAChangedLinkTable)
{
    LoadRows({"1+2*3"});
    ASSERT_TRUE(RouterObj.BuildRoute());
    RouterObj.Links[1][0].NextCol = 3;  // after '+' comes '*'
    ScannerObj.Scan();
    EXPECT_EQ(StreamText(), ";1;+");
    EXPECT_EQ(ErrorCode, 103);  // '*' without a left operand
}

// A node handed out again after Clear or DeleteNode is as fresh as a new one.
TEST_F(FrontEndReuseTest, ReusedNodesAreFresh)
{
    TCodeList list;
    for (int i = 0; i < 4; ++i) {
        TCodeList *n = list.NewNode();
        TCell c;
        c.Ch = uint8_t('a' + i);
        c.SrcCol = 9;
        for (int k = 0; k < 20 + i; ++k)
            n->AddCell(c);
        n->ComputeHash();
        n->Value = 1.5;
        n->Kind = nkName;
        n->Level = n->Order = n->Col = n->Row = 3;
        n->NodeFlags.Include(nfValueKnown);
        n->Left = n->Right = n->Parent = n->PrevDef = n->NextDef = n;
        n->Func = FnSin;
    }
    TCodeList *gone = list.Next->Next;
    TCodeList::DeleteNode(gone);
    list.Clear();
    for (int i = 0; i < 6; ++i) {
        TCodeList *n = list.NewNode();
        ASSERT_NE(n, nullptr);
        for (const TCell &c : n->Cells)
            ASSERT_TRUE(c.AllZero());
        EXPECT_TRUE(n->CellCount == 0 && n->Hash == 0 && n->Value == 0 && n->Kind == nkNone) << i;
        EXPECT_TRUE(n->Level + n->Order + n->Col + n->Row == 0 && n->NodeFlags.Empty() && !n->Func) << i;
        EXPECT_TRUE(!n->Parent && !n->Left && !n->Right && !n->PrevDef && !n->NextDef && !n->Next) << i;
        EXPECT_TRUE(n->Owner() == &list && list.Tail == n) << i;
    }
    list.Clear();
}

TEST_F(FrontEndReuseTest, ReparseGivesTheSameTree)
{
    LoadRows({"x=12+34*5.5", "", "y=x/7"});
    auto dump = [] {
        std::string s;
        for (const TCodeList *n = ParserObj.Nodes->Next; n; n = n->Next)
            s += std::to_string(n->Kind) + ":" + n->Text() + ":" + std::to_string(n->Value) + ":" +
                 std::to_string(n->Col) + "," + std::to_string(n->Row) + " ";
        return s;
    };
    TCodeList *tree = nullptr;
    ASSERT_TRUE(RouterObj.BuildRoute() && ScannerObj.Scan() && ParserObj.Parse(tree));
    const std::string first = dump();
    ASSERT_FALSE(first.empty());
    for (int i = 0; i < 3; ++i) {
        ClearError();
        ASSERT_TRUE(RouterObj.BuildRoute() && ScannerObj.Scan() && ParserObj.Parse(tree));
        EXPECT_EQ(dump(), first);
    }
}

}  // namespace
