#include "TreeText.h"

#include <algorithm>
#include <charconv>
#include <string_view>

#include "engine/CalcThread.h"
#include "engine/Errors.h"
#include "engine/Parser.h"
#include "engine/Rebuilder.h"
#include "engine/Scanner.h"
#include "worksheet/Edit.h"

namespace {
struct Builder {
    int col = 1, row = 5;
    bool placed = false;  // an @ position applies to the next token, code-only too

    // A token; with a position when at, and the column moves on when step.
    void Push(uint16_t code, uint32_t flags, bool at, bool step)
    {
        TCell t;
        t.SetFlags(flags);
        t.SetCode(uint16_t(code | t.FlagBytes[0] << 8));
        if (at) {
            t.SrcCol = uint8_t(col);
            t.SrcRow = uint8_t(row);
        }
        col += step;
        ScannerObj.Tokens[ScannerObj.Count++] = t;
    }
    void Put(uint16_t code, uint32_t flags, bool cell)
    {
        Push(code, flags, cell || placed, cell || placed);
        placed = false;
    }
    void Item(const std::string &s)
    {
        const char *end = s.data() + s.size();
        for (size_t i = 0; i < s.size();) {
            const char c = s[i++];
            const uint8_t next = i < s.size() ? uint8_t(s[i]) : 0;
            const size_t mark = std::string_view("_!$~").find(c);
            int code = 0;
            if (mark != std::string_view::npos) {
                const uint32_t flags[] = {cfLowered, cfFunctionName, cfSymbolFont, 0};
                Put(next, flags[mark], c != '~'), ++i;
            } else if (c == ')' || c == ':' || c == '&' || (c == '^' && next != '!')) {
                Put(uint8_t(c), 0, false);
            } else if (c == '^') {
                Push('^', cfExponentEnd, false, false), ++i;
            } else if (c == '<' || c == '>') {
                Push(c == '<' ? '(' : ')', cfNestingToken, true, false);
            } else if (c == '|') {
                Put(190, cfSymbolFont | cfFractionLine, true);
            } else if (c == '#') {
                i = size_t(std::from_chars(s.data() + i, end, code).ptr - s.data());
                // tall bracket and integral pieces carry their sheet flag
                Put(uint16_t(code), code >= scParenOpenTop && code <= scBraceCloseBottom ? uint32_t(cfTallBracket) : 0u,
                    true);
            } else if (c == '@') {
                i = size_t(std::from_chars(std::from_chars(s.data() + i, end, col).ptr + 1, end, row).ptr - s.data()) +
                    1;
                placed = true;
            } else {
                Put(uint8_t(c), 0, true);
            }
        }
    }
};

std::string Number(double v)
{
    char buf[32];
    return std::string(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
}
}  // namespace

void LoadStream(const std::string &items, bool trailing, bool bareFirst)
{
    std::fill(std::begin(ScannerObj.Tokens), std::end(ScannerObj.Tokens), TCell{});
    ScannerObj.Count = 0;
    Builder b;
    bool first = true;
    for (size_t i = 0, end; i < items.size(); i = end + 1) {
        end = std::min(items.find(' ', i), items.size());
        if (end == i)
            continue;
        if (!(first && bareFirst))
            b.Put(';', 0, false);
        b.Item(items.substr(i, end - i));
        first = false;
    }
    if (trailing)
        b.Put(';', 0, false);
}

std::string TreeText(const TCodeList *n)
{
    if (!n)
        return "";
    const std::string L = TreeText(n->Left), R = TreeText(n->Right);
    const bool structure = n->NodeFlags.Has(nfStructure);
    auto op = [&](const char *sign) { return "(" + R + sign + L + ")"; };
    switch (n->Kind) {
    case nkStart:
        return "S:" + R;
    case nkEquals:
        return L + "=" + R;
    case nkPlus:
    case nkMinus:
        return (n->Kind == nkPlus ? "+" : "-") + (n->Value != 0 ? "{" + Number(n->Value) + "}" : "") + L + R;
    case nkNumber:
        return Number(n->Value) + (n->Left ? "[" + L + "]" : "") + R;
    case nkName: {
        std::string s;
        for (int i = 0; i < n->CellCount; ++i)
            s += n->Cells[i].Code() == scPi ? std::string("pi") : std::string(1, char(n->Cells[i].Ch));
        if (n->NodeFlags.Has(nfNumericIndex))
            s += "#" + Number(n->Value);
        return s + (n->Left ? "(" + L + ")" : "") + (n->Right ? "<" + R + ">" : "");
    }
    case nkDivide:
        return op(structure ? "|" : "/");
    case nkTimes:
    case nkMod:
    case nkDiv:
    case nkPower:
        return op(n->Kind == nkTimes ? "*" : n->Kind == nkMod ? " mod " : n->Kind == nkDiv ? " div " : "^");
    case nkRoot:
        return "root(" + L + "," + R + ")";
    case nkFunction:
        return n->Text() + "(" + L + ")";
    case nkBracket: {
        const uint16_t open = n->CellCount ? n->Cells[0].Code() : '(';
        const std::string o = structure    ? "g("
                              : open < 128 ? std::string(1, char(open))
                                           : "{" + std::to_string(open) + "}";
        const char close = open == '[' ? ']' : open == '{' ? '}' : ')';
        return o + R + close + (n->Left ? "<" + L + ">" : "");
    }
    case nkIntegral:
        return "int(" + L + "," + R + ")";
    case nkIntegrand:
        return "f(" + R + ";" + L + ")";
    default:
        return "?" + std::to_string(int(n->Kind)) + "(" + L + "," + R + ")";
    }
}

bool ParentsOk(const TCodeList *n)
{
    for (const TCodeList *c : {n->Left, n->Right})
        if (c && (c->Parent != n || !ParentsOk(c)))
            return false;
    return true;
}

bool CalcStream(const std::string &items, TProgressBar *bar)
{
    LoadStream(items);
    TCodeList *tree = nullptr;
    if (!ParserObj.Parse(tree) || !tree || ErrorPending())
        return false;
    ExpressionTree = tree;
    Calculator.Calculate(bar);
    return true;
}

int ListLength()
{
    int n = 0;
    for (const TCodeList *p = ExpressionTree->Next; p; p = p->Next, ++n) {
    }
    return n;
}

EngineTest::~EngineTest()
{
    ExpressionTree = ownTree;
    EngineTest::SetUp();
}

void EngineTest::SetUp()
{
    InitErrorTexts();
    ClearError();
    EditText.EqualMode = 0;
    EditText.RadMode = 1;
    RearrangeOnly = false;
}

std::string ErrorAt()
{
    return std::to_string(ErrorCode) + "@" + std::to_string(ErrorCol) + "," + std::to_string(ErrorRow);
}

std::string StreamText()
{
    std::string s;
    for (int i = 0; i < ScannerObj.Count; ++i) {
        const TCell &t = ScannerObj.Tokens[i];
        if (t.Has(cfNestingToken))
            s += t.Ch == '(' ? '<' : '>';
        else if (t.Has(cfExponentEnd))
            s += '|';
        else if (t.Code() >= 128 || t.Code() < 32)
            s += "{" + std::to_string(t.Code()) + "}";
        else
            s += char(t.Ch);
    }
    return s;
}

std::string EngineTest::Error()
{
    std::string text;
    GetErrorText(text);
    return text;
}
