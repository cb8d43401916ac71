#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/Builtins.h"
#include "engine/Lists.h"

namespace {

struct ListsTest : ::testing::Test {
    TCodeList list;
    ~ListsTest() override { list.Clear(); }
    // A new member named text (cells with the given flags and position).
    TCodeList *Named(const std::string &text, uint32_t flags = 0, int col = 0)
    {
        TCodeList *n = list.NewNode();
        for (char c : text) {
            TCell cell;
            cell.Ch = uint8_t(c), cell.SetFlags(flags), cell.SrcCol = cell.SrcRow = uint8_t(col);
            n->AddCell(cell);
        }
        n->ComputeHash();
        return n;
    }
    TCodeList *Def(const std::string &text) { return AddUserDef(Named(text)), list.Tail; }
    // Members in order, checking the back links on the way.
    std::vector<TCodeList *> Members()
    {
        std::vector<TCodeList *> out;
        TCodeList *prev = &list;
        for (TCodeList *n = list.Next; n; prev = n, n = n->Next) {
            EXPECT_EQ(n->Prev, prev);
            EXPECT_EQ(n->Owner(), &list);
            out.push_back(n);
        }
        EXPECT_EQ(list.Tail, prev);
        return out;
    }
};

// A node handed out again after DeleteNode or Clear is as fresh as a new one.
TEST_F(ListsTest, NodesComeBackFresh)
{
    TCodeList *a = list.NewNode(), *b = list.NewNode(), *c = list.NewNode();
    EXPECT_EQ(b->NewNode(), nullptr);  // not a head
    // the last member first: the tail moves back
    for (auto [gone, left] : {std::pair{c, std::vector<TCodeList *>{a, b}}, {a, {b}}, {b, {}}}) {
        TCodeList::DeleteNode(gone);
        EXPECT_EQ(gone, nullptr);
        EXPECT_EQ(Members(), left);
    }
    TCodeList *head = &list;  // a head is never deleted
    TCodeList::DeleteNode(head);
    EXPECT_EQ(head, &list);
    for (int i = 0; i < 4; ++i) {
        TCodeList *n = Named(std::string(20 + i, char('a' + i)), cfBold, 9);
        n->Value = 1.5, n->Kind = nkName, n->Func = FnSin, n->Level = n->Order = n->Col = n->Row = 3;
        n->NodeFlags.Include(nfValueKnown), n->Left = n->Right = n->Parent = n->PrevDef = n->NextDef = n;
    }
    TCodeList *gone = list.Next->Next;
    TCodeList::DeleteNode(gone);
    list.Kind = nkEquals, list.Right = list.Next, list.Clear();
    EXPECT_TRUE(Members().empty() && list.Right == nullptr && list.Kind == nkNone);
    for (int i = 0; i < 6; ++i) {
        TCodeList *n = list.NewNode();
        for (const TCell &cell : n->Cells)
            ASSERT_TRUE(cell.AllZero());
        EXPECT_TRUE(n->CellCount == 0 && n->Hash == 0 && n->Value == 0 && n->Kind == nkNone) << i;
        EXPECT_TRUE(n->Level + n->Order + n->Col + n->Row == 0 && n->NodeFlags.Empty() && !n->Func) << i;
        EXPECT_TRUE(!n->Parent && !n->Left && !n->Right && !n->PrevDef && !n->NextDef && !n->Next) << i;
        EXPECT_TRUE(n->Owner() == &list && list.Tail == n) << i;
    }
    Def("a");  // clearing any head empties the sheet's definitions
    TCodeList other;
    other.Clear();
    EXPECT_EQ(UserDefs->NextDef, nullptr);
}

TEST_F(ListsTest, BuiltinDefinitions)
{
    const std::pair<const char *, TBuiltinFunc> table[] = {
        {"exp", FnExp},       {"ln", FnLn},         {"log16", FnLog16},   {"lg", FnLog10}, {"log10", FnLog10},
        {"log8", FnLog8},     {"ld", FnLog2},       {"log2", FnLog2},     {"log", FnLog},  {"deg", FnDeg},
        {"rad", FnRad},       {"cot", FnCot},       {"tan", FnTan},       {"cos", FnCos},  {"sin", FnSin},
        {"arctan", FnArcTan}, {"arccos", FnArcCos}, {"arcsin", FnArcSin},
    };
    for (const auto &[name, func] : table) {
        const TCodeList *d = FindDef(BuiltinDefs, Named(name));
        ASSERT_NE(d, nullptr) << name;
        EXPECT_TRUE(d->Kind == nkFunction && d->Func == func) << name;
    }
    // Symbol p is pi; the sheet's chain has no built-ins
    EXPECT_EQ(std::pair(FindDef(BuiltinDefs, Named("e"))->Value, FindDef(BuiltinDefs, Named("p", cfSymbolFont))->Value),
              std::pair(2.718281828459045, BuiltinPi));
    EXPECT_TRUE(!FindDef(BuiltinDefs, Named("p")) && !FindDef(BuiltinDefs, Named("Sin")) &&
                !FindDef(UserDefs, Named("sin")));

    // Built-in definitions are no heads: nothing clears or deletes them.
    TCodeList *sin = FindDef(BuiltinDefs, Named("sin"));
    EXPECT_TRUE(!sin->IsHead() && sin->NewNode() == nullptr);
    sin->Clear();
    TCodeList::DeleteNode(sin);
    EXPECT_TRUE(sin && sin->Func == FnSin);
}

TEST_F(ListsTest, FindDefInTheSheetsDefinitions)
{
    // After the built-ins the search runs on into the sheet's definitions, most recent first; FindDef from one finds
    // the next. Only the Code counts: positions and the other flags do not.
    TCodeList *x = Def("x"), *x2 = Def("x"), *probe = Named("x"), *none = nullptr;
    EXPECT_EQ(std::tuple(FindDef(BuiltinDefs, probe), FindDef(x2, probe), FindDef(x, probe)), std::tuple(x2, x, none));
    EXPECT_EQ(FindDef(UserDefs, Named("x", cfBold | cfRaised, 7)), x2);
    // Names of equal hash are told apart, whichever came first.
    for (bool acFirst : {true, false}) {
        list.Clear();
        TCodeList *first = Def(acFirst ? "ac" : "ba"), *second = Def(acFirst ? "ba" : "ac");
        TCodeList *ac = acFirst ? first : second, *ba = acFirst ? second : first;
        ASSERT_EQ(ac->Hash, ba->Hash);
        EXPECT_EQ(std::tuple(FindDef(BuiltinDefs, Named("ac")), FindDef(BuiltinDefs, Named("ba")),
                             FindDef(UserDefs, Named("ab"))),
                  std::tuple(ac, ba, none));
    }
    EXPECT_EQ(Named(std::string(146, 'a') + "b")->Text(), std::string(145, 'a'));  // the 146th cell on are dropped
}

}  // namespace
