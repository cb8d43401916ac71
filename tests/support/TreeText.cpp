#include "TreeText.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <cstring>
#include <sstream>

#include "CalcThread.h"
#include "Errors.h"
#include "Lists.h"
#include "Parser.h"
#include "Rebuilder.h"
#include "Scanner.h"

namespace {
TCell Cell(uint8_t ch, uint32_t flags, int col)
{
    TCell c;
    c.Ch = ch;
    c.SetFlags(flags);
    c.SrcCol = uint8_t(col);
    c.SrcRow = 5;
    return c;
}

std::string Number(double v)
{
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

std::string Name(const TCodeList *n)
{
    std::string s;
    for (int i = 0; i < n->CellCount; ++i)
        s += n->Cells[i].Code() == scPi ? std::string("pi") : std::string(1, char(n->Cells[i].Ch));
    return s;
}

char Closer(char open)
{
    return open == '[' ? ']' : open == '{' ? '}' : ')';
}
}  // namespace

void LoadStream(const std::string &items)
{
    TScanner &s = ScannerObj;
    std::fill(std::begin(s.Tokens), std::end(s.Tokens), TCell());
    s.Count = 0;
    int col = 1;
    auto put = [&](TCell c) { s.Tokens[s.Count++] = c; };
    std::istringstream in(items);
    std::string item;
    put(Cell(';', 0, 0));
    while (in >> item) {
        if (item == "^)")
            put(Cell('^', cfExponentEnd, col++));
        else if (item == "$S")
            put(Cell(scIntegralMiddle & 0xff, cfSymbolFont, col++));
        else if (item == "$f")
            put(Cell(scFunctionSign & 0xff, cfSymbolFont, col++));
        else if (item == "$r")
            put(Cell(scRootSign & 0xff, cfSymbolFont, col++));
        else if (item == "$-")
            put(Cell(scFractionLine & 0xff, cfSymbolFont | cfFractionLine, col++));
        else if (item == "$p")
            put(Cell(scPi & 0xff, cfSymbolFont, col++));
        else
            for (char ch : item)
                put(Cell(uint8_t(ch), 0, col++));
        put(Cell(';', 0, 0));
    }
}

std::string TreeText(const TCodeList *n)
{
    if (!n)
        return "";
    const std::string L = TreeText(n->Left), R = TreeText(n->Right);
    switch (n->Kind) {
    case nkStart: return "S:" + R;
    case nkEquals: return L + "=" + R;
    case nkPlus:
    case nkMinus:
        return std::string(n->Kind == nkPlus ? "+" : "-") + (n->Value != 0 ? "{" + Number(n->Value) + "}" : "") + L + R;
    case nkNumber: return Number(n->Value) + (n->Left ? "[" + L + "]" : "") + R;
    case nkName: return Name(n) + (n->Left ? "(" + L + ")" : "") + (n->Right ? "<" + R + ">" : "");
    case nkTimes: return "(" + R + "*" + L + ")";
    case nkDivide: return "(" + R + "/" + L + ")";
    case nkMod: return "(" + R + " mod " + L + ")";
    case nkDiv: return "(" + R + " div " + L + ")";
    case nkPower: return "(" + R + "^" + L + ")";
    case nkRoot: return "root(" + L + "," + R + ")";
    case nkFunction: return Name(n) + "(" + L + ")";
    case nkBracket: {
        char open = n->CellCount ? char(n->Cells[0].Ch) : '(';
        return std::string(1, open) + R + Closer(open) + (n->Left ? "<" + L + ">" : "");
    }
    case nkIntegral:
        return "int(" + (n->Left ? TreeText(n->Left->Left) + "," + TreeText(n->Left->Right) : std::string(",")) + "," + R + ")";
    case nkIntegrand: return "f(" + R + ";" + L + ")";
    default: return "?" + std::to_string(int(n->Kind)) + "(" + L + "," + R + ")";
    }
}

bool CalcStream(const std::string &items, TProgressBar *bar)
{
    LoadStream(items);
    TCodeList *tree = nullptr;
    bool ok = ParserObj.Parse(tree) && tree && !ErrorPending();
    if (!ok)
        return false;
    ExpressionTree = tree;
    Calculator.Calculate(bar);
    return true;
}

int ListLength()
{
    int n = 0;
    for (const TCodeList *p = ExpressionTree->Next; p; p = p->Next)
        ++n;
    return n;
}

TCodeList *SheetDef(const std::string &text)
{
    for (TCodeList *d = UserDefs->NextDef; d; d = d->NextDef) {
        std::string s;
        for (int i = 0; i < d->CellCount; ++i)
            s += char(d->Cells[i].Ch);
        if (s == text)
            return d;
    }
    return nullptr;
}

EngineTest::EngineTest() : ownTree(ExpressionTree) {}

EngineTest::~EngineTest()
{
    ExpressionTree = ownTree;
}

void EngineTest::SetUp()
{
    InitErrorTexts();
    ClearError();
    EditText.EqualMode = 0;
    EditText.RadMode = 1;
    RearrangeOnly = false;
}

std::string EngineTest::Error()
{
    std::string text;
    GetErrorText(text);
    return text;
}
