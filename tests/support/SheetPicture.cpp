#include "SheetPicture.h"

#include <cstring>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace {

struct Kind {
    char kind;
    uint8_t symbolBase;  // symbol character of the top piece, 0 = not a piece
};

// Tall bracket and integral pieces: top, middle, bottom are consecutive codes.
const Kind pieces[] = {{'(', 230}, {'[', 233}, {'{', 236}, {'S', 243}, {')', 246}, {']', 249}, {'}', 252}};

const char pieceChars[] = {'/', '|', '\\'};

uint32_t markFlags(char mark)
{
    switch (mark) {
    case ' ': return 0;
    case '*': return cfResult;
    case 'g': return cfGreen;
    case 'b': return cfBold;
    case 'n': return cfFunctionName | cfBold;
    case 'R': return cfResult | cfRaised;
    case 'L': return cfResult | cfLowered;
    }
    throw std::invalid_argument(std::string("unknown mark '") + mark + "'");
}

char flagsMark(uint32_t &flags)
{
    struct M { uint32_t f; char m; };
    static const M marks[] = {{cfResult | cfRaised, 'R'}, {cfResult | cfLowered, 'L'}, {cfResult, '*'},
                              {cfGreen, 'g'}, {cfFunctionName | cfBold, 'n'}, {cfBold, 'b'}};
    for (const M &m : marks)
        if ((flags & m.f) == m.f) {
            flags &= ~m.f;
            return m.m;
        }
    return ' ';
}

}  // namespace

void LoadPicture(TEditText &sheet, const std::string &picture)
{
    std::vector<std::string> lines;
    std::stringstream in(picture);
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    if (!lines.empty() && lines.front().empty() && picture.front() == '\n')
        lines.erase(lines.begin());
    for (size_t r = 0; r < lines.size(); ++r) {
        std::string &l = lines[r];
        while (l.size() % 3)
            l += ' ';
        for (size_t c = 0; c * 3 < l.size(); ++c) {
            const char kind = l[c * 3], ch = l[c * 3 + 1], mark = l[c * 3 + 2];
            if (kind == ' ' && ch == ' ' && mark == ' ')
                continue;
            if (r >= SheetCells || c >= SheetCells)
                throw std::invalid_argument("picture larger than the sheet");
            TCell cell;
            uint32_t flags = markFlags(mark);
            switch (kind) {
            case ' ': cell.Ch = uint8_t(ch); break;
            case '^': cell.Ch = uint8_t(ch); flags |= cfRaised; break;
            case '_': cell.Ch = uint8_t(ch); flags |= cfLowered; break;
            case '$': cell.Ch = uint8_t(ch); flags |= cfSymbolFont; break;
            case '-':
                if (ch != '-')
                    throw std::invalid_argument("fraction line is \"--\"");
                cell.Ch = 190;
                flags |= cfSymbolFont | cfFractionLine;
                break;
            case 'r': cell.Ch = 214; flags |= cfSymbolFont; break;
            case 'f': cell.Ch = 166; flags |= cfSymbolFont; break;
            case '.': cell.Ch = 0; break;
            default: {
                const Kind *k = nullptr;
                for (const Kind &p : pieces)
                    if (p.kind == kind)
                        k = &p;
                const char *pc = static_cast<const char *>(std::memchr(pieceChars, ch, 3));
                if (!k || !pc)
                    throw std::invalid_argument(std::string("unknown cell '") + kind + ch + mark + "'");
                const int piece = int(pc - pieceChars);
                cell.Ch = uint8_t(k->symbolBase + piece);
                flags |= cfSymbolFont | (piece == 1 ? cfTallBracket : cfBracketPart);
            }
            }
            // Keep numerator/denominator markers that a line above or below already set.
            flags |= sheet.Cells[c][r].Flags() & (cfAboveLine | cfBelowLine);
            cell.SetFlags(flags);
            sheet.Cells[c][r] = cell;
            sheet.NoteUsed(int(c), int(r));
        }
    }
    // Numerator and denominator markers of every fraction line.
    for (int c = 0; c < SheetCells; ++c)
        for (int r = 0; r < SheetCells; ++r)
            if (sheet.Cells[c][r].Has(cfFractionLine)) {
                if (r > 0)
                    sheet.Cells[c][r - 1].Add(cfAboveLine);
                if (r < SheetLast) {
                    sheet.Cells[c][r + 1].Add(cfBelowLine);
                    sheet.NoteUsed(c, r + 1);
                }
            }
}

std::string SheetToPicture(const TEditText &sheet, int lastRow, int lastCol)
{
    auto shown = [&](int c, int r) {
        const TCell &cell = sheet.Cells[c][r];
        return cell.Code() != 0 || (cell.Flags() & ~(cfAboveLine | cfBelowLine | cfLineEnd)) != 0;
    };
    if (lastRow < 0)
        for (int r = 0; r < SheetCells; ++r)
            for (int c = 0; c < SheetCells; ++c)
                if (shown(c, r))
                    lastRow = r;
    if (lastCol < 0)
        lastCol = SheetLast;
    std::string out;
    for (int r = 0; r <= lastRow; ++r) {
        std::string line;
        for (int c = 0; c <= lastCol; ++c) {
            const TCell &cell = sheet.Cells[c][r];
            uint32_t flags = cell.Flags() & ~(cfAboveLine | cfBelowLine | cfLineEnd);
            std::string txt = "   ";
            if (cell.Code() == 0 && flags == 0) {
                line += txt;
                continue;
            }
            const char mark = flagsMark(flags);
            char kind = '?', ch = char(cell.Ch);
            const uint8_t sym = cell.Ch;
            if (flags == 0 && cell.Ch == 0 && mark != ' ') { kind = '.'; ch = ' '; }
            else if (flags == 0 && cell.Ch >= 32 && cell.Ch < 127) kind = ' ';
            else if (flags == cfRaised && cell.Ch >= 32 && cell.Ch < 127) kind = '^';
            else if (flags == cfLowered && cell.Ch >= 32 && cell.Ch < 127) kind = '_';
            else if (flags == (cfSymbolFont | cfFractionLine) && sym == 190) { kind = '-'; ch = '-'; }
            else if (flags == cfSymbolFont && sym == 214) { kind = 'r'; ch = '/'; }
            else if (flags == cfSymbolFont && sym == 166) { kind = 'f'; ch = '~'; }
            else if (flags == cfSymbolFont && cell.Ch >= 32 && cell.Ch < 127) kind = '$';
            else if (flags == (cfSymbolFont | cfTallBracket) || flags == (cfSymbolFont | cfBracketPart)) {
                for (const Kind &p : pieces)
                    if (sym >= p.symbolBase && sym < p.symbolBase + 3) {
                        const int piece = sym - p.symbolBase;
                        if ((piece == 1) == ((flags & cfTallBracket) != 0)) {
                            kind = p.kind;
                            ch = pieceChars[piece];
                        }
                    }
            }
            if (kind == '?') {
                static const char hex[] = "0123456789abcdef";
                txt = {'?', hex[cell.Ch >> 4], hex[cell.Ch & 15]};
            } else {
                txt = {kind, ch, mark};
            }
            line += txt;
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        out += line;
        out += '\n';
    }
    return out;
}

std::string AttrsToText(const TEditText &sheet)
{
    auto fields = [](const TAttrCell &a) {
        static const char hex[] = "0123456789abcdef";
        std::string f;
        auto dec = [&](char name, int v) {
            if (v)
                f += std::string(" ") + name + std::to_string(v);
        };
        auto hx = [&](char name, uint8_t v) {
            if (v)
                f += std::string(" ") + name + hex[v >> 4] + hex[v & 15];
        };
        dec('L', a.RootLevel);
        dec('T', a.RootTop);
        dec('B', a.RootBottom);
        dec('R', a.RootRow);
        hx('N', a.Nesting);
        hx('O', a.Overline);
        dec('P', a.Protection);
        if (a.Reserved)
            f += " ?" + std::to_string(a.Reserved);
        return f;
    };
    std::string out;
    for (int r = 0; r < SheetCells; ++r)
        for (int c = 0; c < SheetCells;) {
            const TAttrCell &a = sheet.Attrs[c][r];
            int e = c;
            while (e + 1 < SheetCells && sheet.Attrs[e + 1][r] == a)
                ++e;
            if (!a.AllZero()) {
                out += std::to_string(c);
                if (e > c)
                    out += "-" + std::to_string(e);
                out += "," + std::to_string(r) + fields(a) + "\n";
            }
            c = e + 1;
        }
    return out;
}

int SheetSetup::beeps = 0;

SheetSetup::SheetSetup(int cols, int rows) : grid(cols, rows)
{
    beeps = 0;
    BeepHook = [] { ++beeps; };
    EditState = esEditing;
    FontSet = 0;
    ScriptLevel = 0;
    NewLineFlag = false;
    EditText.PageLock = 0;
    EditText.EscMode = 0;
    EditText.EqualMode = 0;
    EditText.RadMode = 0;
    EditText.ImplicitMult = 1;
    EditText.MixedFraction = 0;
    // Start from a sheet that is zero everywhere, also outside the grid.
    std::memset(static_cast<void *>(EditText.Cells), 0, sizeof EditText.Cells);
    std::memset(static_cast<void *>(EditText.Attrs), 0, sizeof EditText.Attrs);
    EditText.Clear(grid);
    EditText.UsedColExt = 0;
    EditText.UsedRowExt = 0;
}

SheetSetup::~SheetSetup()
{
    BeepHook = nullptr;
    EditText.Grid = nullptr;
}

SheetBytes::SheetBytes()
{
    std::memcpy(static_cast<void *>(cells), EditText.Cells, sizeof cells);
    std::memcpy(static_cast<void *>(attrs), EditText.Attrs, sizeof attrs);
}

bool SheetBytes::operator==(const SheetBytes &o) const
{
    return std::memcmp(cells, o.cells, sizeof cells) == 0 && std::memcmp(attrs, o.attrs, sizeof attrs) == 0;
}
