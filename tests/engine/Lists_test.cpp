#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Builtins.h"
#include "Lists.h"

namespace {

TCell Letter(char c, uint32_t flags = 0, int col = 0, int row = 0)
{
    TCell cell;
    cell.Ch = uint8_t(c);
    cell.SetFlags(flags);
    cell.SrcCol = uint8_t(col);
    cell.SrcRow = uint8_t(row);
    return cell;
}

void SetText(TCodeList *n, const std::string &text, uint32_t flags = 0)
{
    for (char c : text)
        n->AddCell(Letter(c, flags));
    n->ComputeHash();
}

// Members of a list in order, checking the back links on the way.
std::vector<TCodeList *> Members(TCodeList &head)
{
    std::vector<TCodeList *> out;
    TCodeList *prev = &head;
    for (TCodeList *n = head.Next; n; n = n->Next) {
        EXPECT_EQ(n->Prev, prev);
        EXPECT_EQ(n->Owner(), &head);
        out.push_back(n);
        prev = n;
    }
    EXPECT_EQ(head.Tail, prev);
    return out;
}

struct ListsTest : ::testing::Test {
    TCodeList list;
    TCodeList *savedTree = ExpressionTree;
    ~ListsTest() override
    {
        ExpressionTree = savedTree;
        list.Clear();
    }
    TCodeList *Def(const std::string &text, uint32_t flags = 0)
    {
        TCodeList *n = list.NewNode();
        SetText(n, text, flags);
        AddUserDef(n);
        return n;
    }
};

TEST_F(ListsTest, HashOfNames)
{
    const struct {
        std::string text;
        uint16_t hash;
    } table[] = {
        {"a", 194}, {"ab", 584}, {"ac", 586}, {"ba", 586}, {"", 0},
        {std::string(20, 'z'), 65292},  // the sum keeps only 16 bits
    };
    for (const auto &t : table) {
        TCodeList *n = list.NewNode();
        SetText(n, t.text);
        EXPECT_EQ(n->Hash, t.hash) << t.text;
    }
    // The Code counts, not the character alone: Symbol p is pi (code 368).
    TCodeList *pi = list.NewNode();
    SetText(pi, "p", cfSymbolFont);
    EXPECT_EQ(pi->Hash, 736);
}

TEST_F(ListsTest, AddCellDropsThe146th)
{
    TCodeList *n = list.NewNode();
    for (int i = 0; i < 146; ++i)
        n->AddCell(Letter(char('a' + i % 26)));
    EXPECT_EQ(n->CellCount, 145);
    EXPECT_EQ(n->Cells[144].Ch, 'a' + 144 % 26);
}

TEST_F(ListsTest, NewDeleteAndClear)
{
    EXPECT_TRUE(list.IsHead());
    EXPECT_EQ(list.Tail, &list);
    TCodeList *a = list.NewNode();
    TCodeList *b = list.NewNode();
    TCodeList *c = list.NewNode();
    EXPECT_EQ(Members(list), (std::vector<TCodeList *>{a, b, c}));
    EXPECT_EQ(a->Prev, &list);  // the first member's Prev is the head

    EXPECT_EQ(b->NewNode(), nullptr);  // not a head
    EXPECT_EQ(Members(list).size(), 3u);

    TCodeList *ref = c;  // the last member: the tail moves back
    TCodeList::DeleteNode(ref);
    EXPECT_EQ(ref, nullptr);
    EXPECT_EQ(Members(list), (std::vector<TCodeList *>{a, b}));
    ref = a;  // the first member
    TCodeList::DeleteNode(ref);
    EXPECT_EQ(Members(list), (std::vector<TCodeList *>{b}));
    ref = b;
    TCodeList::DeleteNode(ref);
    EXPECT_EQ(list.Tail, &list);
    EXPECT_EQ(list.Next, nullptr);

    TCodeList *head = &list;  // a head is never deleted
    TCodeList::DeleteNode(head);
    EXPECT_EQ(head, &list);

    list.NewNode();
    list.NewNode();
    list.Kind = nkEquals;
    list.Value = 4;
    list.Right = list.Next;
    list.AddCell(Letter('='));
    list.NodeFlags.Include(nfValueKnown);
    list.Clear();
    EXPECT_EQ(list.Tail, &list);
    EXPECT_EQ(list.Next, nullptr);
    EXPECT_EQ(list.Right, nullptr);
    EXPECT_EQ(list.Kind, nkNone);
    EXPECT_EQ(list.CellCount, 0);
    EXPECT_EQ(list.Cells[0], TCell{});
    EXPECT_EQ(list.Value, 0);
    EXPECT_TRUE(list.NodeFlags.Empty());
    list.Clear();  // empty stays empty
    EXPECT_EQ(list.Tail, &list);
}

TEST_F(ListsTest, BuiltinDefinitionsAreNoHeads)
{
    TCodeList *sin = BuiltinDefs->NextDef;
    while (sin && sin->Text() != "sin")
        sin = sin->NextDef;
    ASSERT_NE(sin, nullptr);
    EXPECT_FALSE(sin->IsHead());
    EXPECT_EQ(sin->NewNode(), nullptr);
    sin->Clear();
    TCodeList *ref = sin;
    TCodeList::DeleteNode(ref);
    EXPECT_EQ(ref, sin);
    EXPECT_EQ(sin->Func, FnSin);
    EXPECT_EQ(BuiltinDefs->Tail, BuiltinDefs);
    EXPECT_EQ(BuiltinDefs->Next, nullptr);
    EXPECT_TRUE(BuiltinDefs->IsHead());
}

TEST_F(ListsTest, ClearOfAnyHeadEmptiesTheSheetDefinitions)
{
    Def("a");
    ASSERT_NE(UserDefs->NextDef, nullptr);
    TCodeList other;
    other.Clear();
    EXPECT_EQ(UserDefs->NextDef, nullptr);
}

TEST_F(ListsTest, BuiltinChainOrder)
{
    const struct {
        const char *name;
        TNodeKind kind;
        TBuiltinFunc func;
    } expected[] = {
        {"exp", nkFunction, FnExp},     {"e", nkNumber, FnExp},         {"ln", nkFunction, FnLn},
        {"log16", nkFunction, FnLog16}, {"lg", nkFunction, FnLog10},    {"log10", nkFunction, FnLog10},
        {"log8", nkFunction, FnLog8},   {"ld", nkFunction, FnLog2},     {"log2", nkFunction, FnLog2},
        {"log", nkFunction, FnLog},     {"deg", nkFunction, FnDeg},     {"rad", nkFunction, FnRad},
        {"cot", nkFunction, FnCot},     {"tan", nkFunction, FnTan},     {"cos", nkFunction, FnCos},
        {"sin", nkFunction, FnSin},     {"arctan", nkFunction, FnArcTan}, {"arccos", nkFunction, FnArcCos},
        {"arcsin", nkFunction, FnArcSin},
    };
    TCodeList *prev = BuiltinDefs;
    TCodeList *d = BuiltinDefs->NextDef;
    for (const auto &e : expected) {
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->Text(), e.name);
        EXPECT_EQ(d->Kind, e.kind) << e.name;
        EXPECT_EQ(d->Func, e.func) << e.name;
        EXPECT_EQ(d->PrevDef, prev) << e.name;
        EXPECT_EQ(d->Owner(), BuiltinDefs);
        EXPECT_EQ(d->Prev, nullptr);
        EXPECT_EQ(d->Next, nullptr);
        EXPECT_EQ(d->Level, 0);
        EXPECT_EQ(d->Order, 0);
        for (int i = 0; i < d->CellCount; ++i)
            EXPECT_EQ(d->Cells[i].Flags(), 0u);
        prev = d;
        d = d->NextDef;
    }
    ASSERT_NE(d, nullptr);  // pi closes the chain
    EXPECT_EQ(d->CellCount, 1);
    EXPECT_EQ(d->Cells[0].Code(), 368);
    EXPECT_EQ(d->Kind, nkNumber);
    EXPECT_EQ(d->Value, 3.141592653589793);
    EXPECT_EQ(d->NextDef, nullptr);
    EXPECT_EQ(BuiltinDefs->NextDef->NextDef->Value, 2.718281828459045);
}

TEST_F(ListsTest, FindDefAcrossBothChains)
{
    TCodeList *probe = list.NewNode();
    SetText(probe, "p", cfSymbolFont);
    TCodeList *pi = FindDef(BuiltinDefs, probe);
    ASSERT_NE(pi, nullptr);
    EXPECT_EQ(pi->Value, BuiltinPi);

    TCodeList *latinP = list.NewNode();
    SetText(latinP, "p");
    EXPECT_EQ(FindDef(BuiltinDefs, latinP), nullptr);

    TCodeList *sin = list.NewNode();
    SetText(sin, "sin");
    EXPECT_EQ(FindDef(BuiltinDefs, sin)->Func, FnSin);
    EXPECT_EQ(FindDef(UserDefs, sin), nullptr);  // the sheet's chain has no built-ins
    TCodeList *capital = list.NewNode();
    SetText(capital, "Sin");
    EXPECT_EQ(FindDef(BuiltinDefs, capital), nullptr);

    // After the built-ins the search runs on into the sheet's definitions.
    TCodeList *x = Def("x");
    TCodeList *probeX = list.NewNode();
    SetText(probeX, "x");
    EXPECT_EQ(FindDef(BuiltinDefs, probeX), x);
    EXPECT_EQ(FindDef(UserDefs, probeX), x);

    // The most recent definition is found first; FindDef from it finds the next.
    TCodeList *x2 = Def("x");
    EXPECT_EQ(FindDef(BuiltinDefs, probeX), x2);
    EXPECT_EQ(FindDef(x2, probeX), x);
    EXPECT_EQ(FindDef(x, probeX), nullptr);
    EXPECT_EQ(x->PrevDef, x2);
    EXPECT_EQ(x2->PrevDef, UserDefs);

    // Only the Code counts: positions and the other flags do not.
    TCodeList *placed = list.NewNode();
    placed->AddCell(Letter('x', cfBold | cfRaised, 7, 9));
    placed->ComputeHash();
    EXPECT_EQ(FindDef(UserDefs, placed), x2);
}

TEST_F(ListsTest, FindDefTellsCollidingNamesApart)
{
    for (bool acFirst : {true, false}) {
        list.Clear();
        TCodeList *ac = nullptr, *ba = nullptr;
        if (acFirst) {
            ac = Def("ac");
            ba = Def("ba");
        } else {
            ba = Def("ba");
            ac = Def("ac");
        }
        ASSERT_EQ(ac->Hash, ba->Hash);
        TCodeList *probeAc = list.NewNode();
        SetText(probeAc, "ac");
        TCodeList *probeBa = list.NewNode();
        SetText(probeBa, "ba");
        TCodeList *probeAb = list.NewNode();
        SetText(probeAb, "ab");
        EXPECT_EQ(FindDef(BuiltinDefs, probeAc), ac);
        EXPECT_EQ(FindDef(BuiltinDefs, probeBa), ba);
        EXPECT_EQ(FindDef(UserDefs, probeAb), nullptr);
    }
}

TEST_F(ListsTest, CopyTreeCopiesDataIntoTheExpressionList)
{
    ExpressionTree = &list;
    // *(a, 2) under a term: the source lives in the same list.
    TCodeList *term = list.NewNode();
    term->Kind = nkPlus;
    TCodeList *times = list.NewNode();
    times->Kind = nkTimes;
    times->Order = 3;
    times->Level = 2;
    times->Col = 4;
    times->Row = 5;
    times->NodeFlags.Include(nfStructure);
    TCodeList *a = list.NewNode();
    SetText(a, "a");
    a->Kind = nkName;
    a->Value = 12;
    a->NodeFlags.Include(nfNumericIndex);
    TCodeList *two = list.NewNode();
    two->Kind = nkNumber;
    two->Value = 2;
    two->Func = FnSin;
    term->Left = times;
    times->Parent = term;
    times->Right = a;
    a->Parent = times;
    times->Left = two;
    two->Parent = times;

    EXPECT_EQ(TCodeList::CopyTree(nullptr), nullptr);
    size_t before = Members(list).size();
    TCodeList *copy = TCodeList::CopyTree(times);
    EXPECT_EQ(Members(list).size(), before + 3);
    ASSERT_NE(copy, times);
    EXPECT_EQ(copy->Parent, nullptr);
    EXPECT_EQ(copy->Kind, nkTimes);
    EXPECT_EQ(copy->Order, 3);
    EXPECT_EQ(copy->Level, 2);
    EXPECT_EQ(copy->Col, 4);
    EXPECT_EQ(copy->Row, 5);
    EXPECT_TRUE(copy->NodeFlags.Has(nfStructure));
    ASSERT_NE(copy->Right, nullptr);
    ASSERT_NE(copy->Left, nullptr);
    EXPECT_NE(copy->Right, a);
    EXPECT_EQ(copy->Right->Parent, copy);
    EXPECT_EQ(copy->Left->Parent, copy);
    EXPECT_EQ(copy->Right->Text(), "a");
    EXPECT_EQ(copy->Right->Hash, a->Hash);
    EXPECT_EQ(copy->Right->Value, 12);
    EXPECT_TRUE(copy->Right->NodeFlags.Has(nfNumericIndex));
    EXPECT_EQ(copy->Left->Value, 2);
    EXPECT_EQ(copy->Left->Func, FnSin);
    EXPECT_EQ(copy->Right->Owner(), &list);
    // freed with the list by the fixture's Clear (LeakSanitizer checks)
}

TEST_F(ListsTest, AssignDataLeavesLinks)
{
    TCodeList *src = list.NewNode();
    TCodeList *dst = list.NewNode();
    SetText(src, "q");
    src->Kind = nkName;
    src->Left = src;
    TCodeList *dstNext = dst->Next;
    TDataNode::AssignData(*src, *dst);
    EXPECT_EQ(dst->Text(), "q");
    EXPECT_EQ(dst->Kind, nkName);
    EXPECT_EQ(dst->Left, nullptr);
    EXPECT_EQ(dst->Prev, src);
    EXPECT_EQ(dst->Next, dstNext);
    EXPECT_EQ(dst->Owner(), &list);
}

}  // namespace
