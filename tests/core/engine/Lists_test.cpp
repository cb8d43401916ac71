#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/Builtins.h"
#include "engine/Lists.h"

namespace {

struct ListsTest : ::testing::Test {
    TCodeList list;
    TCodeList *savedTree = ExpressionTree;
    ~ListsTest() override
    {
        ExpressionTree = savedTree;
        list.Clear();
    }
    // A new member named text (cells with the given flags and position).
    TCodeList *Named(const std::string &text, uint32_t flags = 0, int col = 0)
    {
        TCodeList *n = list.NewNode();
        for (char c : text) {
            TCell cell;
            cell.Ch = uint8_t(c);
            cell.SetFlags(flags);
            cell.SrcCol = cell.SrcRow = uint8_t(col);
            n->AddCell(cell);
        }
        n->ComputeHash();
        return n;
    }
    TCodeList *Def(const std::string &text)
    {
        TCodeList *n = Named(text);
        AddUserDef(n);
        return n;
    }
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

TEST_F(ListsTest, HashOfNames)
{
    const std::pair<std::string, uint16_t> table[] = {
        {"a", 194},  {"ab", 584}, {"ac", 586},
        {"ba", 586}, {"", 0},     {std::string(20, 'z'), 65292},  // the sum keeps only 16 bits
    };
    for (const auto &[text, hash] : table)
        EXPECT_EQ(Named(text)->Hash, hash) << text;
    EXPECT_EQ(Named("p", cfSymbolFont)->Hash, 736);  // the Code counts: Symbol p is pi (368)
    TCodeList *n = Named(std::string(146, 'a') + "b");
    EXPECT_EQ(n->CellCount, 145);  // the 146th cell on are dropped
    EXPECT_EQ(n->Cells[144].Ch, 'a');
}

TEST_F(ListsTest, NewDeleteAndClear)
{
    EXPECT_TRUE(list.IsHead());
    TCodeList *a = list.NewNode(), *b = list.NewNode(), *c = list.NewNode();
    EXPECT_EQ(Members(), (std::vector<TCodeList *>{a, b, c}));
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

    list.NewNode();
    list.Kind = nkEquals;
    list.Value = 4;
    list.Right = list.Next;
    TCell eq;
    eq.Ch = '=';
    list.AddCell(eq);
    list.NodeFlags.Include(nfValueKnown);
    list.Clear();
    EXPECT_EQ(Members().size(), 0u);
    EXPECT_TRUE(list.Right == nullptr && list.Kind == nkNone && list.CellCount == 0 && list.Value == 0);
    EXPECT_TRUE(list.Cells[0] == TCell{} && list.NodeFlags.Empty());
    Def("a");  // clearing any head empties the sheet's definitions
    TCodeList other;
    other.Clear();
    EXPECT_EQ(UserDefs->NextDef, nullptr);
}

TEST_F(ListsTest, BuiltinDefinitions)
{
    const struct {
        const char *name;
        TNodeKind kind;
        TBuiltinFunc func;
    } expected[] = {
        {"exp", nkFunction, FnExp},       {"e", nkNumber, FnExp},           {"ln", nkFunction, FnLn},
        {"log16", nkFunction, FnLog16},   {"lg", nkFunction, FnLog10},      {"log10", nkFunction, FnLog10},
        {"log8", nkFunction, FnLog8},     {"ld", nkFunction, FnLog2},       {"log2", nkFunction, FnLog2},
        {"log", nkFunction, FnLog},       {"deg", nkFunction, FnDeg},       {"rad", nkFunction, FnRad},
        {"cot", nkFunction, FnCot},       {"tan", nkFunction, FnTan},       {"cos", nkFunction, FnCos},
        {"sin", nkFunction, FnSin},       {"arctan", nkFunction, FnArcTan}, {"arccos", nkFunction, FnArcCos},
        {"arcsin", nkFunction, FnArcSin},
    };
    TCodeList *prev = BuiltinDefs, *d = BuiltinDefs->NextDef;
    for (const auto &e : expected) {
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->Text(), e.name);
        EXPECT_TRUE(d->Kind == e.kind && d->Func == e.func && d->PrevDef == prev) << e.name;
        EXPECT_TRUE(d->Owner() == BuiltinDefs && !d->Prev && !d->Next && d->Level == 0 && d->Order == 0) << e.name;
        for (int i = 0; i < d->CellCount; ++i)
            EXPECT_EQ(d->Cells[i].Flags(), 0u);
        prev = d;
        d = d->NextDef;
    }
    ASSERT_NE(d, nullptr);  // pi closes the chain
    EXPECT_TRUE(d->CellCount == 1 && d->Cells[0].Code() == 368 && d->Kind == nkNumber && !d->NextDef);
    EXPECT_EQ(std::pair(d->Value, BuiltinDefs->NextDef->NextDef->Value),
              std::pair(3.141592653589793, 2.718281828459045));

    // Built-in definitions are no heads: nothing clears or deletes them.
    TCodeList *sin = FindDef(BuiltinDefs, Named("sin"));
    EXPECT_TRUE(!sin->IsHead() && sin->NewNode() == nullptr);
    sin->Clear();
    TCodeList *ref = sin;
    TCodeList::DeleteNode(ref);
    EXPECT_TRUE(ref == sin && sin->Func == FnSin);
    EXPECT_TRUE(BuiltinDefs->IsHead() && BuiltinDefs->Tail == BuiltinDefs && !BuiltinDefs->Next);
}

TEST_F(ListsTest, FindDefAcrossBothChains)
{
    EXPECT_EQ(FindDef(BuiltinDefs, Named("p", cfSymbolFont))->Value, BuiltinPi);
    EXPECT_EQ(FindDef(BuiltinDefs, Named("p")), nullptr);
    EXPECT_EQ(FindDef(BuiltinDefs, Named("sin"))->Func, FnSin);
    EXPECT_EQ(FindDef(UserDefs, Named("sin")), nullptr);  // the sheet's chain has no built-ins
    EXPECT_EQ(FindDef(BuiltinDefs, Named("Sin")), nullptr);

    // After the built-ins the search runs on into the sheet's definitions,
    // most recent first; FindDef from one finds the next.
    TCodeList *x = Def("x"), *probe = Named("x");
    EXPECT_EQ(FindDef(BuiltinDefs, probe), x);
    TCodeList *x2 = Def("x");
    EXPECT_EQ(FindDef(BuiltinDefs, probe), x2);
    EXPECT_EQ(std::pair(FindDef(x2, probe), FindDef(x, probe)), std::pair(x, static_cast<TCodeList *>(nullptr)));
    EXPECT_TRUE(x->PrevDef == x2 && x2->PrevDef == UserDefs);
    // Only the Code counts: positions and the other flags do not.
    EXPECT_EQ(FindDef(UserDefs, Named("x", cfBold | cfRaised, 7)), x2);

    // Names of equal hash are told apart, whichever came first.
    for (bool acFirst : {true, false}) {
        list.Clear();
        TCodeList *first = Def(acFirst ? "ac" : "ba"), *second = Def(acFirst ? "ba" : "ac");
        TCodeList *ac = acFirst ? first : second, *ba = acFirst ? second : first;
        ASSERT_EQ(ac->Hash, ba->Hash);
        EXPECT_EQ(std::tuple(FindDef(BuiltinDefs, Named("ac")), FindDef(BuiltinDefs, Named("ba")),
                             FindDef(UserDefs, Named("ab"))),
                  std::tuple(ac, ba, static_cast<TCodeList *>(nullptr)));
    }
}

TEST_F(ListsTest, CopyTreeAndAssignData)
{
    ExpressionTree = &list;
    // (a * 2) under a term, all in the same list
    TCodeList *term = list.NewNode(), *times = list.NewNode(), *a = Named("a"), *two = list.NewNode();
    term->Kind = nkPlus, times->Kind = nkTimes, a->Kind = nkName, two->Kind = nkNumber;
    times->Order = 3, times->Level = 2, times->Col = 4, times->Row = 5;
    times->NodeFlags.Include(nfStructure);
    a->NodeFlags.Include(nfNumericIndex);
    a->Value = 12, two->Value = 2, two->Func = FnSin;
    term->Left = times, times->Parent = term, times->Right = a, times->Left = two;
    a->Parent = two->Parent = times;

    EXPECT_EQ(TCodeList::CopyTree(nullptr), nullptr);
    const size_t before = Members().size();
    TCodeList *copy = TCodeList::CopyTree(times);
    EXPECT_EQ(Members().size(), before + 3);
    ASSERT_TRUE(copy != times && copy->Right && copy->Left && copy->Right != a);
    EXPECT_TRUE(!copy->Parent && copy->Kind == nkTimes && copy->NodeFlags.Has(nfStructure));
    EXPECT_TRUE(copy->Order == 3 && copy->Level == 2 && copy->Col == 4 && copy->Row == 5);
    EXPECT_TRUE(copy->Right->Parent == copy && copy->Left->Parent == copy);
    EXPECT_TRUE(copy->Right->Text() == "a" && copy->Right->Hash == a->Hash && copy->Right->Value == 12);
    EXPECT_TRUE(copy->Right->NodeFlags.Has(nfNumericIndex));
    EXPECT_TRUE(copy->Left->Value == 2 && copy->Left->Func == FnSin);

    // AssignData copies data and leaves the links.
    TCodeList *dst = list.NewNode(), *dstPrev = dst->Prev;
    a->Left = a;
    TDataNode::AssignData(*a, *dst);
    EXPECT_TRUE(dst->Text() == "a" && dst->Kind == nkName && dst->Left == nullptr);
    EXPECT_TRUE(dst->Prev == dstPrev && dst->Next == nullptr && dst->Owner() == &list);
    a->Left = nullptr;
}

// The text lives apart from the node: a copy takes the source's cells, in
// full, clears those of a longer text it replaces, and owns cells of its own.
TEST_F(ListsTest, AssignDataCopiesTheTextItself)
{
    TCodeList *longName = Named(std::string(145, 'q')), *shortName = Named("ab"), *dst = list.NewNode();
    TDataNode::AssignData(*longName, *dst);
    EXPECT_EQ(dst->Text(), std::string(145, 'q'));
    TDataNode::AssignData(*shortName, *dst);
    EXPECT_EQ(dst->CellCount, 2);
    for (int i = 0; i < NodeNameCells; ++i)
        ASSERT_EQ(dst->Cells[i], i < 2 ? shortName->Cells[i] : TCell{}) << i;
    dst->Cells[0].Ch = 'z';
    EXPECT_EQ(shortName->Text(), "ab");
    EXPECT_LT(sizeof(TCodeList), 4 * 64u);
}

}  // namespace
