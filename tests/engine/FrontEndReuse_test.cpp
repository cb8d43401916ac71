// Route, scan and parse run again and again on the same global objects, and
// reuse what the last run left: freed nodes, the token array, the link table.
// Each rerun must look exactly like a first run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EngineSheets.h"
#include "Errors.h"
#include "Lists.h"
#include "Parser.h"
#include "Router.h"
#include "Scanner.h"

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

TEST_F(FrontEndReuseTest, ShorterRescanLeavesNoOldTokens)
{
    const std::vector<std::string> longRows = {"12345678+98765*4321-1/7", "", "x=3"};
    const std::vector<std::string> shortRows = {"1"};
    ASSERT_TRUE(RouteAndScan(shortRows));
    const std::vector<TCell> first = StreamCopy();
    ASSERT_TRUE(RouteAndScan(longRows));
    ASSERT_GT(ScannerObj.Count, 20);
    ASSERT_TRUE(RouteAndScan(shortRows));
    EXPECT_EQ(StreamCopy(), first);
}

TEST_F(FrontEndReuseTest, TokensWrittenByHandPastTheStreamAreCleared)
{
    ASSERT_TRUE(RouteAndScan({"1+2"}));
    const std::vector<TCell> first = StreamCopy();
    // A stream loaded by hand, as a caller may do before parsing.
    TCell t;
    t.Ch = '7';
    for (int i = 0; i < 50; ++i)
        ScannerObj.Tokens[ScannerObj.Count++] = t;
    ASSERT_TRUE(RouteAndScan({"1+2"}));
    EXPECT_EQ(StreamCopy(), first);
}

// The scanner follows the link table, whatever the router noted while linking.
TEST_F(FrontEndReuseTest, ScanFollowsAChangedLinkTable)
{
    LoadRows({"1+2*3"});
    ASSERT_TRUE(RouterObj.BuildRoute());
    RouterObj.Links[1][0].NextCol = 3;  // after '+' comes '*'
    ScannerObj.Scan();
    std::string s;
    for (int i = 0; i < ScannerObj.Count; ++i)
        s += char(ScannerObj.Tokens[i].Ch);
    EXPECT_EQ(s, ";1;+");
    EXPECT_EQ(ErrorCode, 103);  // '*' without a left operand
}

TEST_F(FrontEndReuseTest, RouteStartingAtTheTopLeftCellScansAlike)
{
    // The chain starts at (0, 0) whether or not that cell holds something.
    const struct {
        std::vector<std::string> rows;
        const char *stream;
    } cases[] = {
        {{"1+2"}, ";1;+;2;"},
        {{" 1+2"}, ";1;+;2;"},
        {{"a", "", "b"}, ";a;*;b;"},
    };
    for (const auto &c : cases) {
        ASSERT_TRUE(RouteAndScan(c.rows)) << c.stream;
        std::string s;
        for (int i = 0; i < ScannerObj.Count; ++i)
            s += char(ScannerObj.Tokens[i].Ch);
        EXPECT_EQ(s, c.stream);
    }
}

// A node handed out again after Clear or DeleteNode is as fresh as a new one.
TEST_F(FrontEndReuseTest, ReusedNodesAreFresh)
{
    TCodeList list;
    std::vector<TCodeList *> first;
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
        n->Left = n->Right = n->Parent = n;
        n->PrevDef = n->NextDef = n;
        first.push_back(n);
    }
    TCodeList *gone = first[1];
    TCodeList::DeleteNode(gone);
    list.Clear();
    for (int i = 0; i < 6; ++i) {
        TCodeList *n = list.NewNode();
        ASSERT_NE(n, nullptr);
        EXPECT_EQ(n->CellCount, 0);
        for (const TCell &c : n->Cells)
            ASSERT_TRUE(c.AllZero());
        EXPECT_EQ(n->Hash, 0);
        EXPECT_EQ(n->Value, 0);
        EXPECT_EQ(n->Kind, nkNone);
        EXPECT_EQ(n->Level + n->Order + n->Col + n->Row, 0);
        EXPECT_TRUE(n->NodeFlags.Empty());
        EXPECT_EQ(n->Func, nullptr);
        EXPECT_EQ(n->Parent, nullptr);
        EXPECT_EQ(n->Left, nullptr);
        EXPECT_EQ(n->Right, nullptr);
        EXPECT_EQ(n->PrevDef, nullptr);
        EXPECT_EQ(n->NextDef, nullptr);
        EXPECT_EQ(n->Next, nullptr);
        EXPECT_EQ(n->Owner(), &list);
        EXPECT_EQ(list.Tail, n);
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
