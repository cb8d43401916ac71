#include "TreeText.h"

#include <algorithm>
#include <charconv>
#include <span>
#include <sstream>
#include <string_view>

#include "engine/Parser.h"
#include "engine/Scanner.h"

namespace {
struct Builder {
    int col = 1, row = 5;
    bool placed = false;  // an @ position applies to the next token, code-only too
    // A token; a cell at the position, the column moving on when step, when cell or after an @ position.
    void Put(uint16_t code, uint32_t flags, bool cell, bool step = true)
    {
        TCell t;
        t.SetFlags(flags);
        t.SetCode(uint16_t(code | t.FlagBytes[0] << 8));
        if (cell || placed)
            t.SrcCol = uint8_t(col), t.SrcRow = uint8_t(row), col += step;
        placed = false;
        ScannerObj.Tokens[ScannerObj.Count++] = t;
    }
    void Item(const char *p, const char *end)
    {
        while (p < end) {
            const char c = *p++;
            const uint8_t next = p < end ? uint8_t(*p) : 0;
            const size_t mark = std::string_view("_!$~").find(c);
            int code = 0;
            if (mark != std::string_view::npos) {
                const uint32_t flags[] = {cfLowered, cfFunctionName, cfSymbolFont, 0};
                Put(next, flags[mark], c != '~'), ++p;
            } else if (c == ')' || c == ':' || c == '&' || (c == '^' && next != '!')) {
                Put(uint8_t(c), 0, false);
            } else if (c == '^') {
                Put('^', cfExponentEnd, false), ++p;
            } else if (c == '<' || c == '>') {
                Put(c == '<' ? '(' : ')', cfNestingToken, true, false);
            } else if (c == '|') {
                Put(190, cfSymbolFont | cfFractionLine, true);
            } else if (c == '#') {
                p = std::from_chars(p, end, code).ptr;
                Put(uint16_t(code), code >= scParenOpenTop && code <= scBraceCloseBottom ? uint32_t(cfTallBracket) : 0u,
                    true);
            } else if (c == '@') {
                p = std::from_chars(std::from_chars(p, end, col).ptr + 1, end, row).ptr + 1, placed = true;
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
    std::istringstream in(items);
    bool first = true;
    for (std::string item; in >> item; first = false) {
        if (!(first && bareFirst))
            b.Put(';', 0, false);
        b.Item(item.data(), item.data() + item.size());
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
    for (auto [kind, sign] : {std::pair{nkTimes, "*"},
                              {nkMod, " mod "},
                              {nkDiv, " div "},
                              {nkPower, "^"},
                              {nkDivide, structure ? "|" : "/"}})
        if (n->Kind == kind)
            return "(" + R + sign + L + ")";
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
        s += n->NodeFlags.Has(nfNumericIndex) ? "#" + Number(n->Value) : "";
        return s + (n->Left ? "(" + L + ")" : "") + (n->Right ? "<" + R + ">" : "");
    }
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
    const auto ok = [n](const TCodeList *c) { return !c || (c->Parent == n && ParentsOk(c)); };
    return ok(n->Left) && ok(n->Right);
}

bool CalcStream(const std::string &items, TProgressBar *bar)
{
    LoadStream(items);
    TCodeList *tree = nullptr;
    const bool ok = ParserObj.Parse(tree) && tree && !ErrorPending();
    if (ok)
        ExpressionTree = tree, Calculator.Calculate(bar);
    return ok;
}

int ListLength()
{
    int n = 0;
    for (const TCodeList *p = ExpressionTree->Next; p; p = p->Next)
        ++n;
    return n;
}

std::string ErrorAt()
{
    return std::to_string(ErrorCode) + "@" + std::to_string(ErrorCol) + "," + std::to_string(ErrorRow);
}

std::string StreamText()
{
    std::string s;
    for (const TCell &t : std::span(ScannerObj.Tokens, ScannerObj.Count))
        s += t.Has(cfNestingToken)              ? std::string(1, t.Ch == '(' ? '<' : '>')
             : t.Has(cfExponentEnd)             ? "|"
             : t.Code() >= 128 || t.Code() < 32 ? "{" + std::to_string(t.Code()) + "}"
                                                : std::string(1, char(t.Ch));
    return s;
}

std::string EngineTest::Error()
{
    std::string text;
    GetErrorText(text);
    return text;
}
