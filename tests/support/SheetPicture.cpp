#include "SheetPicture.h"
#include "worksheet/Edit.h"

#include <algorithm>
#include <cstring>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace {

// Kinds with one fixed set of flags; code 0 stores the picture's character.
// clang-format off
const struct Kind {
    char kind, ch;
    uint8_t code;
    uint32_t flags;
} kinds[] = {{' ', 0, 0, 0}, {'^', 0, 0, cfRaised}, {'_', 0, 0, cfLowered},
    {'-', '-', 190, cfSymbolFont | cfFractionLine}, {'r', '/', 214, cfSymbolFont}, {'f', '~', 166, cfSymbolFont},
    {'$', 0, 0, cfSymbolFont}};

// Tall bracket and integral pieces: top, middle, bottom are consecutive codes.
const struct Piece {
    char kind;
    uint8_t base;
} pieces[] = {{'(', 230}, {'[', 233}, {'{', 236}, {'S', 243}, {')', 246}, {']', 249}, {'}', 252}};
const char pieceChars[] = {'/', '|', '\\'};

// Most specific first: printing takes the first mark whose flags are all set.
const struct Mark {
    char mark;
    uint32_t flags;
} marks[] = {{'R', cfResult | cfRaised}, {'L', cfResult | cfLowered}, {'*', cfResult}, {'g', cfGreen},
    {'n', cfFunctionName | cfBold}, {'b', cfBold}, {' ', 0}};
// clang-format on

const uint32_t zoneFlags = cfAboveLine | cfBelowLine;
const char hex[] = "0123456789abcdef";

uint32_t markFlags(char mark)
{
    const Mark *m = std::find_if(std::begin(marks), std::end(marks), [&](auto &f) { return f.mark == mark; });
    return m != std::end(marks) ? m->flags : throw std::invalid_argument(std::string("unknown mark '") + mark + "'");
}

}  // namespace

void LoadPicture(TEditText &sheet, const std::string &picture)
{
    std::vector<std::string> lines;
    std::stringstream in(picture);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    if (!lines.empty() && lines.front().empty() && picture.front() == '\n')
        lines.erase(lines.begin());
    for (size_t r = 0; r < lines.size(); ++r) {
        std::string &l = lines[r];
        l.resize((l.size() + 2) / 3 * 3, ' ');
        for (size_t c = 0; c * 3 < l.size(); ++c) {
            const char kind = l[c * 3], ch = l[c * 3 + 1], mark = l[c * 3 + 2];
            if (kind == ' ' && ch == ' ' && mark == ' ')
                continue;
            if (r >= SheetCells || c >= SheetCells)
                throw std::invalid_argument("picture larger than the sheet");
            TCell cell;
            uint32_t flags = markFlags(mark);
            const Kind *k = std::find_if(std::begin(kinds), std::end(kinds), [&](auto &f) { return f.kind == kind; });
            const Piece *p =
                std::find_if(std::begin(pieces), std::end(pieces), [&](auto &f) { return f.kind == kind; });
            const char *pc = static_cast<const char *>(std::memchr(pieceChars, ch, 3));
            if (kind == '-' && ch != '-')
                throw std::invalid_argument("fraction line is \"--\"");
            if (k != std::end(kinds)) {
                cell.Ch = k->code ? k->code : uint8_t(ch);
                flags |= k->flags;
            } else if (p != std::end(pieces) && pc) {
                const int piece = int(pc - pieceChars);
                cell.Ch = uint8_t(p->base + piece);
                flags |= cfSymbolFont | (piece == 1 ? cfTallBracket : cfBracketPart);
            } else if (kind != '.') {
                throw std::invalid_argument(std::string("unknown cell '") + kind + ch + mark + "'");
            }
            // Keep numerator/denominator markers that a line above or below already set.
            cell.SetFlags(flags | (sheet.Cells[c][r].Flags() & zoneFlags));
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

std::string ExpandRow(const std::string &row)
{
    std::string out;
    for (size_t i = 0; i < row.size(); ++i) {
        if (row[i] == '<') {
            if (i + 4 >= row.size() || row[i + 4] != '>')
                throw std::invalid_argument("cell escape is <kcm>: " + row);
            out += row.substr(i + 1, 3);
            i += 4;
        } else {
            out += row[i] == '#' ? std::string("-- ") : std::string{' ', row[i], ' '};
        }
    }
    return out.empty() ? "   " : out;
}

void LoadRows(const std::vector<std::string> &rows)
{
    std::string picture;
    for (const std::string &r : rows)
        picture += ExpandRow(r) + "\n";
    LoadPicture(EditText, picture);
}

std::string SheetToPicture(const TEditText &sheet, int lastRow, int lastCol)
{
    const uint32_t hidden = zoneFlags | cfLineEnd;
    auto shown = [&](int c, int r) { return sheet.Cells[c][r].Code() != 0 || (sheet.Cells[c][r].Flags() & ~hidden); };
    for (int r = 0, any = lastRow < 0; any && r < SheetCells; ++r)
        for (int c = 0; c < SheetCells; ++c)
            lastRow = shown(c, r) ? r : lastRow;
    lastCol = lastCol < 0 ? SheetLast : lastCol;
    std::string out;
    for (int r = 0; r <= lastRow; ++r) {
        std::string line;
        for (int c = 0; c <= lastCol; ++c) {
            const uint8_t ch = sheet.Cells[c][r].Ch;
            uint32_t flags = sheet.Cells[c][r].Flags() & ~hidden;
            if (ch == 0 && flags == 0) {
                line += "   ";
                continue;
            }
            char mark = ' ';
            for (const Mark &m : marks)
                if (mark == ' ' && (flags & m.flags) == m.flags) {
                    flags &= ~m.flags;
                    mark = m.mark;
                }
            std::string txt;
            if (flags == 0 && ch == 0 && mark != ' ')
                txt = {'.', ' ', mark};
            for (const Kind &k : kinds)
                if (txt.empty() && flags == k.flags && (k.code ? ch == k.code : ch >= 32 && ch < 127))
                    txt = {k.kind, k.code ? k.ch : char(ch), mark};
            for (const Piece &p : pieces)
                if (ch >= p.base && ch < p.base + 3 &&
                    (ch - p.base == 1 ? cfTallBracket : cfBracketPart) == (flags & ~cfSymbolFont) &&
                    (flags & cfSymbolFont))
                    txt = {p.kind, pieceChars[ch - p.base], mark};
            line += txt.empty() ? std::string{'?', hex[ch >> 4], hex[ch & 15]} : txt;
        }
        out += line.erase(line.find_last_not_of(' ') + 1) + '\n';
    }
    return out;
}

std::string AttrsToText(const TEditText &sheet)
{
    auto fields = [](const TAttrCell &a) {
        std::string f;
        for (auto [name, v, hx] : {std::tuple{'L', a.RootLevel, false},
                                   {'T', a.RootTop, false},
                                   {'B', a.RootBottom, false},
                                   {'R', a.RootRow, false},
                                   {'N', a.Nesting, true},
                                   {'O', a.Overline, true},
                                   {'P', a.Protection, false}})
            if (v)
                f += std::string(" ") + name + (hx ? std::string{hex[v >> 4], hex[v & 15]} : std::to_string(v));
        return f + (a.Reserved ? " ?" + std::to_string(a.Reserved) : "");
    };
    std::string out;
    for (int r = 0; r < SheetCells; ++r)
        for (int c = 0, e = 0; c < SheetCells; c = e + 1) {
            const TAttrCell &a = sheet.Attrs[c][r];
            for (e = c; e + 1 < SheetCells && sheet.Attrs[e + 1][r] == a;)
                ++e;
            const std::string cols = std::to_string(c) + (e > c ? "-" + std::to_string(e) : "");
            out += a.AllZero() ? "" : cols + "," + std::to_string(r) + fields(a) + "\n";
        }
    return out;
}

int SheetSetup::beeps = 0;

SheetSetup::SheetSetup(int cols, int rows) : grid(cols, rows)
{
    beeps = 0, BeepHook = [] { ++beeps; };
    EditState = esEditing, FontSet = 0, ScriptLevel = 0, NewLineFlag = false;
    EditText.PageLock = EditText.EscMode = EditText.EqualMode = EditText.RadMode = EditText.MixedFraction = 0;
    EditText.ImplicitMult = 1;
    // Start from a sheet that is zero everywhere, also outside the grid.
    std::memset(static_cast<void *>(EditText.Cells), 0, sizeof EditText.Cells);
    std::memset(static_cast<void *>(EditText.Attrs), 0, sizeof EditText.Attrs);
    EditText.Clear(grid);
    EditText.UsedColExt = EditText.UsedRowExt = 0;
}

SheetSetup::~SheetSetup()
{
    BeepHook = nullptr, EditText.Grid = nullptr;
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
