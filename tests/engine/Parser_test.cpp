#include <gtest/gtest.h>

#include <charconv>
#include <stdexcept>
#include <string>

#include "Errors.h"
#include "Lists.h"
#include "Parser.h"
#include "Scanner.h"
#include "SheetPicture.h"

namespace {

// ---------------------------------------------------------------------------
// Token streams from a compact description.
//
// Items are separated by blanks; each item is written after a ';' token, and
// a final ';' closes the stream unless `trailing` is false. Inside an item:
//   c       a cell copy of the character c at the next position
//   _c !c $c   the same, lowered / a function-name cell / Symbol font
//   ~c      a code-only token (no flags, no position)
//   ) : &   code-only, as the scanner writes them
//   ^       code-only '^' (exponent start);  ^!  the exponent end
//   < >     generated '(' and ')' at the current position
//   |       the fraction bar (code 958), a cell copy
//   #NNN    a code-only token of code NNN (470 root, 422 function, 500 integral)
//   @c,r;   the next token is at column c, row r; later cells follow on
// Positions start at column 10, row 3, so that they differ from the fixed
// (1, 1) and (0, 0) of some errors.
struct StreamBuilder {
    int col = 10, row = 3;
    bool placed = false;  // an @ position applies to the next token, code-only too

    TCell At(uint8_t ch, uint32_t flags)
    {
        TCell t;
        t.Ch = ch;
        t.SetFlags(flags);
        t.SrcCol = uint8_t(col);
        t.SrcRow = uint8_t(row);
        return t;
    }
    TCell Copy(uint8_t ch, uint32_t flags = 0)
    {
        TCell t = At(ch, flags);
        ++col;
        placed = false;
        return t;
    }
    TCell CodeOnly(uint16_t code)
    {
        TCell t;
        if (placed) {
            t = At(0, 0);
            ++col;
            placed = false;
        }
        t.SetCode(code);
        return t;
    }
    void Put(const TCell &t)
    {
        if (ScannerObj.Count >= MaxTokens)
            throw std::length_error("stream full");
        ScannerObj.Tokens[ScannerObj.Count++] = t;
    }
    void Item(const std::string &s)
    {
        for (size_t i = 0; i < s.size();) {
            char c = s[i++];
            char next = i < s.size() ? s[i] : '\0';
            switch (c) {
            case '_': Put(Copy(uint8_t(next), cfLowered)); ++i; break;
            case '!': Put(Copy(uint8_t(next), cfFunctionName)); ++i; break;
            case '$': Put(Copy(uint8_t(next), cfSymbolFont)); ++i; break;
            case '~': Put(CodeOnly(uint8_t(next))); ++i; break;
            case ')': case ':': case '&': Put(CodeOnly(uint8_t(c))); break;
            case '^':
                if (next == '!') {
                    TCell t;
                    t.Ch = '^';
                    t.SetFlags(cfExponentEnd);
                    Put(t);
                    ++i;
                } else
                    Put(CodeOnly('^'));
                break;
            case '<': Put(At('(', cfNestingToken)); break;
            case '>': Put(At(')', cfNestingToken)); break;
            case '|': Put(Copy(190, cfSymbolFont | cfFractionLine)); break;
            case '#': {
                int code = 0;
                auto r = std::from_chars(s.data() + i, s.data() + s.size(), code);
                i = size_t(r.ptr - s.data());
                Put(CodeOnly(uint16_t(code)));
                break;
            }
            case '@': {
                auto r = std::from_chars(s.data() + i, s.data() + s.size(), col);
                r = std::from_chars(r.ptr + 1, s.data() + s.size(), row);
                i = size_t(r.ptr - s.data()) + 1;  // past the ';'
                placed = true;
                break;
            }
            default: Put(Copy(uint8_t(c)));
            }
        }
    }
};

void LoadStream(const std::string &desc, bool trailing = true, bool bareFirst = false)
{
    for (TCell &t : ScannerObj.Tokens)
        t = TCell{};
    ScannerObj.Count = 0;
    StreamBuilder b;
    size_t i = 0;
    bool first = true;
    while (i < desc.size()) {
        size_t end = desc.find(' ', i);
        if (end == std::string::npos)
            end = desc.size();
        if (end > i) {
            if (!(first && bareFirst))
                b.Put(b.CodeOnly(';'));
            b.Item(desc.substr(i, end - i));
            first = false;
        }
        i = end + 1;
    }
    if (trailing)
        b.Put(b.CodeOnly(';'));
}

// ---------------------------------------------------------------------------
// Trees in one line.
//
// A chain of terms prints in braces, each term as its sign and its factor:
// {+2 -x}. Other nodes print as a tag with their operands in brackets, the
// first operand (Right) before the second (Left), except '=' which shows its
// left side first: *(a,b) is a*b, ^(x,{+2}) is x squared, sin(_,B(...)) a name
// with its bracket at Left, =({+x},{+9}) the equation x=9. '_' is a missing
// operand; B a bracket, G a generated one, frac a fraction line. "!p" marks a
// child whose Parent link is wrong.
std::string Node(const TCodeList *n);

std::string Child(const TCodeList *n, const TCodeList *parent);

std::string Chain(const TCodeList *t)
{
    std::string s = t->Kind == nkPlus ? "+" : "-";
    s += t->Left ? Child(t->Left, t) : "_";
    if (t->Right) {
        s += ' ';
        const TCodeList *r = t->Right;
        if (r->Parent != t)
            s += "!p";
        s += r->Kind == nkPlus || r->Kind == nkMinus ? Chain(r) : "!" + Node(r);
    }
    return s;
}

std::string Child(const TCodeList *n, const TCodeList *parent)
{
    std::string s = n->Parent == parent ? "" : "!p";
    if (n->Kind == nkPlus || n->Kind == nkMinus)
        return s + "{" + Chain(n) + "}";
    return s + Node(n);
}

std::string Number(double v)
{
    char buf[40];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

std::string Tag(const TCodeList *n)
{
    switch (n->Kind) {
    case nkStart: return "S";
    case nkNumber: return Number(n->Value);
    case nkName:
        return n->Text() + (n->NodeFlags.Has(nfNumericIndex) ? "#" + Number(n->Value) : "");
    case nkTimes: return "*";
    case nkDivide: return n->NodeFlags.Has(nfStructure) ? "frac" : "/";
    case nkMod: return "mod";
    case nkDiv: return "div";
    case nkPower: return "^";
    case nkEquals: return "=";
    case nkSquareRoot: return "sqrt?";
    case nkRoot: return "root";
    case nkFunction: return "fn";
    case nkIntegral: return "int";
    case nkIntegrand: return "f";
    case nkBracket: return n->NodeFlags.Has(nfStructure) ? "G" : "B";
    default: return "?" + std::to_string(int(n->Kind));
    }
}

std::string Node(const TCodeList *n)
{
    std::string s = Tag(n);
    const TCodeList *a = n->Kind == nkEquals ? n->Left : n->Right;
    const TCodeList *b = n->Kind == nkEquals ? n->Right : n->Left;
    if (!a && !b)
        return s;
    s += "(";
    s += a ? Child(a, n) : "_";
    if (b)
        s += "," + Child(b, n);
    return s + ")";
}

// The sheet's definitions, most recent first, with the cell of their result.
std::string Defs()
{
    std::string s;
    for (const TCodeList *d = UserDefs->NextDef; d; d = d->NextDef) {
        if (!s.empty())
            s += "; ";
        const TCodeList *e = d->Parent;
        if (e && e->Kind == nkEquals)
            s += Node(e) + "@" + std::to_string(e->Col) + "," + std::to_string(e->Row);
        else
            s += Node(d);
    }
    return s;
}

int ListSize(const TCodeList *head)
{
    int n = 0;
    for (const TCodeList *p = head->Next; p; p = p->Next)
        ++n;
    return n;
}

struct ParserTest : ::testing::Test {
    SheetSetup setup;
    TCodeList *tree = nullptr;
    ParserTest()
    {
        ClearError();
        EditText.EqualMode = 0;
    }
    ~ParserTest() override
    {
        ClearError();
        EditText.EqualMode = 0;
    }
    bool Parse(const std::string &desc, bool equalMode = false, bool trailing = true)
    {
        EditText.EqualMode = equalMode;
        LoadStream(desc, trailing, equalMode);
        ClearError();
        return ParserObj.Parse(tree);
    }
    std::string TreeOf(const std::string &desc, bool equalMode = false)
    {
        if (!Parse(desc, equalMode))
            return "failed";
        if (ErrorPending())
            return "error " + std::to_string(ErrorCode);
        EXPECT_EQ(tree, ParserObj.Nodes);
        return Node(tree);
    }
    // The first node of the given kind in allocation order.
    TCodeList *Find(TNodeKind kind, const std::string &text = "")
    {
        for (TCodeList *p = ParserObj.Nodes->Next; p; p = p->Next)
            if (p->Kind == kind && (text.empty() || p->Text() == text))
                return p;
        return nullptr;
    }
};

TEST_F(ParserTest, SingleResultShapes)
{
    const struct {
        const char *stream;
        const char *tree;
    } table[] = {
        {"2 + 3", "S({+2 +3})"},
        {"- x", "S({-x})"},
        {"a - b", "S({+a -b})"},
        {"a * b * c", "S({+*(*(a,b),c)})"},
        {"a / b * c", "S({+*(/(a,b),c)})"},
        {"a - b * c + d", "S({+a -*(b,c) +d})"},
        {"2 ~* x", "S({+*(2,x)})"},
        {"~0.5 + 5. + 12.25", "S({+0.5 +5 +12.25})"},
        {"x ^ 2 ^! + 1", "S({+^(x,{+2}) +1})"},
        {"x ^ - 2 ^!", "S({+^(x,{-2})})"},
        {"x ^ a + b ^! * 2", "S({+*(^(x,{+a +b}),2)})"},
        {"a * x ^ 2 ^!", "S({+*(a,^(x,{+2}))})"},
        {"( a + b ) ^ 2 ^!", "S({+^(B({+a +b}),{+2})})"},
        {"!s!i!n ( x )", "S({+sin(_,B({+x}))})"},
        {"!s!i!n ( x ) * 2", "S({+*(sin(_,B({+x})),2)})"},
        {"a * !s!i!n ( x ) * b", "S({+*(a,*(sin(_,B({+x})),b))})"},
        {"!s!i!n ( x ) ^ 2 ^!", "S({+sin(_,^(B({+x}),{+2}))})"},
        {"[ a ) ~* { b )", "S({+*(B({+a}),B({+b}))})"},
        {"#487 a ) - #490 b )", "S({+B({+a}) -B({+b})})"},
        {"< < 1 > | < 2 > >", "S({+G({+frac(G({+1}),G({+2}))})})"},
        {"3 & < < 1 > | < 2 > >", "S({+3 +G({+frac(G({+1}),G({+2}))})})"},
        {"a / < < 1 > | < b + c > >", "S({+/(a,G({+frac(G({+1}),G({+b +c}))}))})"},
        {"#470 < x > > + 1", "S({+root(G({+x}),{+2}) +1})"},
        {"2 ~* #470 < x + 1 > >", "S({+*(2,root(G({+x +1}),{+2}))})"},
        {"#470 x", "S({+root(x,{+2})})"},
        {"#470 x ~* 2", "S({+*(root(x,{+2}),2)})"},
        {"a #32 !M!O!D b", "S({+mod(a,b)})"},
        {"7 #32 !d!i!v 2 * 3", "S({+*(div(7,2),3)})"},
        {"a #32 !m!o!d b #32 !D!I!V c", "S({+div(mod(a,b),c)})"},
        {"!x_1_2 + !x_3", "S({+x12#12 +x3#3})"},
        {"x_1", "S({+x1})"},  // a typed index is no numeric index
        {"$p ~* r", "S({+*(p,r)})"},
        {"x ^ 2 ^! = 9", "=({+^(x,{+2})},{+9})"},
        {"2 + 3 = 5", "=({+2 +3},{+5})"},
        {"< #500 ( 1 ) ( 0 ) #422 ( x ) d x", "S({+G({+int(f(B({+x}),*(d,x)),B({+1},B({+0})))})})"},
        {"< #500 ( b ) ( a ) #422 ( x * x ) n x + 1",
         "S({+G({+int(f(B({+*(x,x)}),*(n,x)),B({+b},B({+a}))) +1})})"},
    };
    for (const auto &t : table)
        EXPECT_EQ(TreeOf(t.stream), t.tree) << t.stream;
}

TEST_F(ParserTest, TermTextsPositionsAndOrders)
{
    ASSERT_TRUE(Parse("- @4,2;x"));
    TCodeList *first = tree->Right;
    EXPECT_EQ(first->Kind, nkMinus);
    EXPECT_EQ(first->Text(), "+-");
    EXPECT_EQ(first->Left->Col, 4);
    EXPECT_EQ(first->Left->Row, 2);

    ASSERT_TRUE(Parse("@5,6;a * b * c"));
    TCodeList *outer = tree->Right->Left;
    TCodeList *inner = outer->Right;
    EXPECT_EQ(outer->Order, inner->Order);
    EXPECT_EQ(inner->Right->Order, inner->Order);  // the first operand a
    EXPECT_EQ(inner->Right->Col, 5);
    EXPECT_EQ(inner->Right->Row, 6);
    EXPECT_EQ(outer->Text(), "*");
    EXPECT_EQ(inner->Col, 6);  // the first '*'

    ASSERT_TRUE(Parse("3 & < < 1 > | < 2 > >"));
    EXPECT_EQ(tree->Right->Right->Text(), "&");
    TCodeList *frac = Find(nkDivide);
    ASSERT_NE(frac, nullptr);
    EXPECT_EQ(frac->Cells[0].Code(), scFractionLine);

    ASSERT_TRUE(Parse("2"));
    TCodeList *two = tree->Right->Left;
    EXPECT_TRUE(two->NodeFlags.Has(nfValueKnown));
    EXPECT_EQ(two->NodeFlags, TNodeFlags{uint64_t(1) << nfValueKnown});
    EXPECT_EQ(two->Level, 1);
}

TEST_F(ParserTest, BracketLevels)
{
    ASSERT_TRUE(Parse("!s!i!n ( x )"));
    TCodeList *sin = tree->Right->Left;
    EXPECT_EQ(sin->Level, 1);
    EXPECT_EQ(sin->Left->Level, 1);  // the bracket: the outer level
    EXPECT_EQ(sin->Left->Right->Level, 2);
    EXPECT_EQ(sin->Left->Right->Left->Level, 2);

    ASSERT_TRUE(Parse("( ( a ) + b ) + c"));
    TCodeList *outer = tree->Right->Left;
    TCodeList *inner = outer->Right->Left;
    EXPECT_EQ(outer->Level, 1);
    EXPECT_EQ(inner->Level, 2);
    EXPECT_EQ(inner->Right->Left->Level, 3);
    EXPECT_EQ(outer->Right->Right->Left->Level, 2);  // b, back in the outer bracket
    EXPECT_EQ(tree->Right->Right->Left->Level, 1);   // c
    EXPECT_EQ(ParserObj.Level, 1);
}

TEST_F(ParserTest, RootAndIntegralData)
{
    ASSERT_TRUE(Parse("#470 < x > > + 1"));
    TCodeList *root = Find(nkRoot);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(Find(nkSquareRoot), nullptr);
    EXPECT_EQ(root->Left->Left->Value, 2.0);
    EXPECT_EQ(root->Left->Left->Kind, nkNumber);
    EXPECT_TRUE(root->Right->NodeFlags.Has(nfStructure));  // the area's bracket

    ASSERT_TRUE(Parse("< @2,5;#500 ( 1 ) ( 0 ) @3,5;#422 ( x ) d x"));
    TCodeList *integral = Find(nkIntegral);
    ASSERT_NE(integral, nullptr);
    EXPECT_EQ(integral->Col, 2);
    EXPECT_EQ(integral->Right->Kind, nkIntegrand);
    EXPECT_EQ(integral->Right->Col, 3);
    EXPECT_EQ(integral->Right->Left->Col, 2);  // the d*x pair
}

TEST_F(ParserTest, MultiResultDefinitions)
{
    const struct {
        const char *stream;
        const char *defs;
    } table[] = {
        {": X = 5 + 3 @9,0;=", "=(X,{+5 +3})@9,0"},
        {": X = 5", "=(X,{+5})@0,0"},
        {": a = 1 : b = a + 2 @12,4;=", "=(b,{+a +2})@12,4; =(a,{+1})@0,0"},
        {": f = ( x * x ) : y = 2 @7,1;=", "=(y,{+2})@7,1; =(f,{+B({+*(x,x)})})@0,0"},
    };
    for (const auto &t : table) {
        EXPECT_EQ(TreeOf(t.stream, true), "=({+_},{+_})") << t.stream;
        EXPECT_EQ(Defs(), t.defs) << t.stream;
    }
    ASSERT_TRUE(Parse(": a = 1", true));
    TCodeList *a = UserDefs->NextDef;
    EXPECT_EQ(a->Level, 0);
    EXPECT_EQ(a->Order, 0);
    EXPECT_EQ(a->Parent->Level, 0);
    EXPECT_EQ(a->Parent->Text(), "=");
    EXPECT_EQ(a->Owner(), ParserObj.Nodes);
}

TEST_F(ParserTest, Errors)
{
    const struct {
        const char *stream;
        bool equalMode;
        bool ok;  // what Parse returns
        int code, col, row;
    } table[] = {
        {"a + #44", false, false, 102, 1, 1},
        {"~* a", false, true, 110, 1, 1},
        {"+ #32 !m!o!d a", false, true, 110, 1, 1},
        {"2 @6,2;( x )", false, false, 110, 6, 2},
        {"a = b @7,7;= c", false, true, 112, 7, 7},
        {"@4,4;( a ]", false, false, 129, 4, 4},
        {"@4,4;( a #506", false, false, 129, 4, 4},
        // integrals; the sign at (20, 8), the function sign at (21, 8)
        {"@20,8;#500 a ( 0 ) #422 ( x ) d x", false, true, 127, 20, 8},
        {"@20,8;#500 ( 1 ) a #422 ( x ) d x", false, true, 126, 20, 8},
        {"@20,8;#500 ( 1 ) ( 0 ) a", false, false, 128, 20, 8},
        {"@20,8;#500 ( 1 ) ( 0 ) @21,8;#422 x", false, false, 130, 21, 8},
        {"@20,8;#500 ( 1 ) ( 0 ) #422 ( x ) 5 x", false, false, 131, 20, 8},
        {"@20,8;#500 ( 1 ) ( 0 ) #422 ( x ) d 5", false, false, 132, 20, 8},
        {"@20,8;#500 ( 1 ) ( 0 ) #422 ( x ) $a x", false, false, 131, 20, 8},
        {"@20,8;#500 ( 1 ) ( 0 ) #422 ( x ) d", false, false, 100, 20, 8},
        {"@20,8;#500 ( 1 )", false, false, 100, 20, 8},
        {"@20,8;#500 ( 1 ) ( 0 ) @21,8;#422", false, false, 100, 21, 8},
        {"#500 ( 1 #44 ) ( 0 ) #422 ( x ) d x", false, false, 102, 1, 1},
        // a function sign outside an integral
        {"a + @21,8;#422 ( x ) d x + 1", false, false, 130, 21, 8},
        {"@21,8;#422 ( x ) d x", false, false, 130, 21, 8},
        // definitions
        {": @3,0;x + 1", true, false, 125, 3, 0},
        {": @3,0;5 = 3", true, false, 125, 3, 0},
        {": @3,0;( = 3", true, false, 125, 3, 0},
        {"@3,0;:", true, false, 125, 3, 0},
        {": !s!i!n = 1", true, false, 112, 0, 0},
        {": $p = 3", true, false, 112, 0, 0},
        {": a = 1 : a = 2", true, false, 112, 0, 0},
        {": X = 5 + 3 = @11,2;=", true, true, 112, 11, 2},
    };
    for (const auto &t : table) {
        bool ok = Parse(t.stream, t.equalMode);
        EXPECT_EQ(ok, t.ok) << t.stream;
        EXPECT_EQ(tree, ok ? ParserObj.Nodes : nullptr) << t.stream;
        EXPECT_EQ(ErrorCode, t.code) << t.stream;
        EXPECT_EQ(ErrorCol, t.col) << t.stream;
        EXPECT_EQ(ErrorRow, t.row) << t.stream;
        EXPECT_EQ(setup.grid.Col(), t.col) << t.stream;
        EXPECT_EQ(Find(nkSquareRoot), nullptr);
    }
}

TEST_F(ParserTest, ItemLengthLimit)
{
    const std::string digits145(145, '7');
    EXPECT_TRUE(Parse(digits145));
    EXPECT_FALSE(ErrorPending());
    EXPECT_EQ(tree->Right->Left->Value, 7.7777777777777777e144);

    // 146 cells: the leading '0' of a number that starts with a point.
    EXPECT_FALSE(Parse("a + @30,9;~0." + std::string(144, '1') + " + b"));
    EXPECT_EQ(ErrorCode, 100);
    EXPECT_EQ(ErrorCol, 30);
    EXPECT_EQ(ErrorRow, 9);

    EXPECT_FALSE(Parse("@0,0;:" + std::string(" @2,2;") + std::string(146, 'x') + " = 1", true));
    EXPECT_EQ(ErrorCode, 100);
    EXPECT_EQ(ErrorCol, 2);
}

TEST_F(ParserTest, StreamEndsWithoutSeparator)
{
    // The nesting end closes a root's area at the end of the route with no
    // ';' after its last ')'.
    EXPECT_TRUE(Parse("#470 < x > >", false, false));
    EXPECT_EQ(Node(tree), "S({+root(G({+x}),{+2})})");
    // An item that no ';' follows is not read.
    EXPECT_TRUE(Parse("1 + 2", false, false));
    EXPECT_EQ(Node(tree), "S({+1 +_})");
}

TEST_F(ParserTest, EachParseFreesTheLast)
{
    ASSERT_TRUE(Parse("a * b + c"));
    const int first = ListSize(ParserObj.Nodes);
    ASSERT_TRUE(Parse("a * b + c"));
    EXPECT_EQ(ListSize(ParserObj.Nodes), first);
    // Copies the evaluator makes go to the same list and are freed with it.
    TCodeList *saved = ExpressionTree;
    ExpressionTree = tree;
    TCodeList::CopyTree(tree->Right);
    EXPECT_EQ(ListSize(ParserObj.Nodes), 2 * first);
    ASSERT_TRUE(Parse(": a = 1", true));
    ASSERT_NE(UserDefs->NextDef, nullptr);
    ASSERT_TRUE(Parse("1"));
    EXPECT_EQ(UserDefs->NextDef, nullptr);
    ExpressionTree = saved;
}

TEST_F(ParserTest, DeepNesting)
{
    std::string desc;
    const int depth = 1900;
    for (int i = 0; i < depth; ++i)
        desc += "( ";
    desc += "x";
    for (int i = 0; i < depth; ++i)
        desc += " )";
    ASSERT_TRUE(Parse(desc));
    EXPECT_FALSE(ErrorPending());
    EXPECT_EQ(ParserObj.BracketCount, depth + 1);
    EXPECT_EQ(ParserObj.Level, 1);
}

}  // namespace
