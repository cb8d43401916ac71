#include "Rtf.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>

namespace {

// Windows-1252 between 0x80 and 0x9F; the five holes keep their own code.
constexpr std::array<char16_t, 32> cp1252High = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                                 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The Windows-1252 byte of a character, or 0 when the code page lacks it.
unsigned char ToCp1252(char32_t u)
{
    if (u >= 0xA0 && u <= 0xFF)
        return static_cast<unsigned char>(u);
    for (size_t i = 0; i < cp1252High.size(); ++i)
        if (cp1252High[i] == u && u > 0xFF)
            return static_cast<unsigned char>(0x80 + i);
    return 0;
}

constexpr char32_t lineSeparator = 0x2028;
constexpr char32_t replacement = 0xFFFD;

void AppendUtf8(std::string &s, char32_t u)
{
    if (u > 0x10FFFF || (u >= 0xD800 && u <= 0xDFFF))
        u = replacement;
    if (u < 0x80) {
        s += char(u);
    } else if (u < 0x800) {
        s += char(0xC0 | (u >> 6));
        s += char(0x80 | (u & 0x3F));
    } else if (u < 0x10000) {
        s += char(0xE0 | (u >> 12));
        s += char(0x80 | ((u >> 6) & 0x3F));
        s += char(0x80 | (u & 0x3F));
    } else {
        s += char(0xF0 | (u >> 18));
        s += char(0x80 | ((u >> 12) & 0x3F));
        s += char(0x80 | ((u >> 6) & 0x3F));
        s += char(0x80 | (u & 0x3F));
    }
}

// Next code point of UTF-8 text; a broken sequence gives U+FFFD and one byte.
char32_t NextUtf8(std::string_view s, size_t &i)
{
    const auto b = static_cast<unsigned char>(s[i++]);
    if (b < 0x80)
        return b;
    const int extra = b >= 0xF0 && b < 0xF8 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : -1;
    if (extra < 0 || i + extra > s.size())
        return replacement;
    char32_t u = b & (0x3F >> extra);
    for (int k = 0; k < extra; ++k) {
        const auto c = static_cast<unsigned char>(s[i + k]);
        if ((c & 0xC0) != 0x80)
            return replacement;
        u = (u << 6) | (c & 0x3F);
    }
    i += extra;
    return u;
}

// ---------------------------------------------------------------------------
// Reading

enum class Dest { Text, FontTable, ColorTable, Skip };

struct GroupState {
    Dest dest = Dest::Text;
    int font = -1;
    int halfPoints = 24;
    bool bold = false, italic = false, underline = false;
    int color = -1;  // -1: the automatic colour
    int uc = 1;
    bool starred = false;  // \* seen: the group is an optional destination
};

// Destinations whose text is not part of the document.
bool SkippedDestination(std::string_view w)
{
    static const std::string_view names[] = {"annotation", "atnauthor", "atnid",        "author",
                                             "bkmkend",    "bkmkstart", "buptim",       "colorschememapping",
                                             "comment",    "creatim",   "datastore",    "docvar",
                                             "field_",     "filetbl",   "fldinst",      "footer",
                                             "footerf",    "footerl",   "footerr",      "footnote",
                                             "generator",  "header",    "headerf",      "headerl",
                                             "headerr",    "info",      "latentstyles", "listoverridetable",
                                             "listtable",  "mmathPr",   "nonshppict",   "object",
                                             "objdata",    "operator",  "pgdsctbl",     "pict",
                                             "printim",    "private",   "revtbl",       "revtim",
                                             "rsidtbl",    "shp",       "shpinst",      "stylesheet",
                                             "subject",    "themedata", "title",        "xmlnstbl",
                                             "keywords",   "doccomm"};
    return std::find(std::begin(names), std::end(names), w) != std::end(names);
}

class Reader {
public:
    explicit Reader(std::string_view in) : in_(in) {}

    TRtfDocument Read()
    {
        stack_.push_back({});
        while (pos_ < in_.size()) {
            const char c = in_[pos_++];
            if (c == '{') {
                FlushUnicode();
                stack_.push_back(stack_.back());
                stack_.back().starred = false;
                skip_ = 0;
            } else if (c == '}') {
                FlushUnicode();
                if (stack_.size() > 1)
                    stack_.pop_back();
                skip_ = 0;
            } else if (c == '\\') {
                ControlWord();
            } else if (c == '\r' || c == '\n') {
            } else {
                Byte(static_cast<unsigned char>(c));
            }
        }
        FlushUnicode();
        doc_.Paragraphs.push_back(std::move(para_));
        // A trailing empty paragraph after the last \par is kept: it is an empty line.
        return std::move(doc_);
    }

private:
    GroupState &St() { return stack_.back(); }

    // A number after a control word: saturated so that huge values cannot overflow.
    bool Number(long long &n)
    {
        size_t p = pos_;
        bool neg = false;
        if (p < in_.size() && in_[p] == '-')
            neg = true, ++p;
        if (p >= in_.size() || !isdigit(static_cast<unsigned char>(in_[p])))
            return false;
        n = 0;
        while (p < in_.size() && isdigit(static_cast<unsigned char>(in_[p]))) {
            n = std::min(n * 10 + (in_[p] - '0'), 10'000'000'000LL);
            ++p;
        }
        if (neg)
            n = -n;
        pos_ = p;
        return true;
    }

    void ControlWord()
    {
        if (pos_ >= in_.size())
            return;
        const char c = in_[pos_];
        if (!isalpha(static_cast<unsigned char>(c))) {
            ++pos_;
            ControlSymbol(c);
            return;
        }
        const size_t start = pos_;
        while (pos_ < in_.size() && isalpha(static_cast<unsigned char>(in_[pos_])) && pos_ - start < 32)
            ++pos_;
        const std::string_view word = in_.substr(start, pos_ - start);
        long long n = 0;
        const bool hasNum = Number(n);
        if (pos_ < in_.size() && in_[pos_] == ' ')
            ++pos_;
        Word(word, hasNum, n);
    }

    void ControlSymbol(char c)
    {
        switch (c) {
        case '\\':
        case '{':
        case '}':
            Byte(static_cast<unsigned char>(c));
            break;
        case '\'': {
            int v = 0, digits = 0;
            while (digits < 2 && pos_ < in_.size() && isxdigit(static_cast<unsigned char>(in_[pos_]))) {
                const char h = static_cast<char>(tolower(static_cast<unsigned char>(in_[pos_++])));
                v = v * 16 + (h <= '9' ? h - '0' : h - 'a' + 10);
                ++digits;
            }
            if (digits == 2)
                Byte(static_cast<unsigned char>(v));
            break;
        }
        case '~':
            Char(0x00A0);
            break;
        case '_':
            Char(0x2011);
            break;
        case '*':
            St().starred = true;
            break;
        case '\r':
        case '\n':
            Paragraph();
            break;
        default:
            break;  // \- and unknown symbols
        }
    }

    void Word(std::string_view w, bool hasNum, long long n)
    {
        GroupState &s = St();
        if (w == "bin") {
            // Binary data: its bytes are not RTF and may hold braces.
            pos_ += std::min<size_t>(hasNum && n > 0 ? size_t(n) : 0, in_.size() - pos_);
            return;
        }
        if (s.starred && s.dest != Dest::Skip) {
            // Optional destinations: none of them carries text of ours.
            s.dest = Dest::Skip;
            return;
        }
        const auto clampInt = [](long long v, long long lo, long long hi) { return int(std::clamp(v, lo, hi)); };
        if (w == "fonttbl") {
            s.dest = Dest::FontTable;
            return;
        }
        if (w == "colortbl") {
            s.dest = Dest::ColorTable;
            colors_.clear();
            pending_ = {};
            return;
        }
        if (SkippedDestination(w)) {
            s.dest = Dest::Skip;
            return;
        }
        if (s.dest == Dest::Skip)
            return;
        if (s.dest == Dest::FontTable) {
            if (w == "f" && hasNum) {
                tableFont_ = clampInt(n, -1, 1'000'000);
                fontName_.clear();
            } else if (w == "u" && hasNum) {
                FontChar(n < 0 ? char32_t(n + 65536) : char32_t(std::min(n, 65535LL)));
                skip_ = s.uc;
            }
            return;
        }
        if (s.dest == Dest::ColorTable) {
            const int v = clampInt(hasNum ? n : 0, 0, 255);
            if (w == "red")
                pending_.r = v, pending_.set = true;
            else if (w == "green")
                pending_.g = v, pending_.set = true;
            else if (w == "blue")
                pending_.b = v, pending_.set = true;
            return;
        }
        if (skip_ > 0 && w != "u") {
            --skip_;
            return;
        }
        const bool on = !hasNum || n != 0;
        // Control words that stand for one character.
        static const std::pair<std::string_view, char32_t> symbols[] = {
            {"line", lineSeparator}, {"tab", '\t'},      {"cell", '\t'},     {"emdash", 0x2014},
            {"endash", 0x2013},      {"lquote", 0x2018}, {"rquote", 0x2019}, {"ldblquote", 0x201C},
            {"rdblquote", 0x201D},   {"bullet", 0x2022}};
        const auto symbol = std::find_if(std::begin(symbols), std::end(symbols), [&](auto &e) { return e.first == w; });
        if (w == "par" || w == "sect" || w == "page" || w == "row")
            Paragraph();
        else if (symbol != std::end(symbols))
            Char(symbol->second);
        else if (w == "u" && hasNum)
            Unicode(n);
        else if (w == "uc")
            s.uc = clampInt(hasNum ? n : 1, 0, 16);
        else if (w == "deff")
            deff_ = clampInt(hasNum ? n : 0, -1, 1'000'000);
        else if (w == "plain")
            s.font = deff_, s.halfPoints = 24, s.bold = s.italic = s.underline = false, s.color = -1;
        else if (w == "f")
            s.font = clampInt(hasNum ? n : 0, -1, 1'000'000);
        else if (w == "fs")
            s.halfPoints = clampInt(hasNum ? n : 24, 2, 3276);
        else if (w == "b")
            s.bold = on;
        else if (w == "i")
            s.italic = on;
        else if (w == "ul")
            s.underline = on;
        else if (w == "ulnone")
            s.underline = false;
        else if (w == "cf")
            s.color = clampInt(hasNum ? n : 0, -1, 1'000'000);
    }

    void Unicode(long long n)
    {
        char32_t u = n < 0 ? char32_t(n + 65536) : char32_t(n);
        if (n < -32768 || n > 65535)
            u = replacement;
        skip_ = St().uc;
        if (u >= 0xD800 && u <= 0xDBFF) {
            FlushUnicode();
            high_ = u;
            return;
        }
        if (u >= 0xDC00 && u <= 0xDFFF) {
            if (high_) {
                const char32_t full = 0x10000 + ((high_ - 0xD800) << 10) + (u - 0xDC00);
                high_ = 0;
                Char(full);
            } else {
                Char(replacement);
            }
            return;
        }
        Char(u);
    }

    // A high surrogate without its low half.
    void FlushUnicode()
    {
        if (high_) {
            high_ = 0;
            Char(replacement);
        }
    }

    void Byte(unsigned char b)
    {
        GroupState &s = St();
        if (s.dest == Dest::Skip)
            return;
        if (s.dest == Dest::FontTable) {
            if (skip_ > 0 && b != ';') {
                --skip_;
            } else if (b == ';') {
                skip_ = 0;
                // Keep the name without surrounding blanks.
                const size_t a = fontName_.find_first_not_of(' ');
                const size_t e = fontName_.find_last_not_of(' ');
                if (tableFont_ >= 0)
                    fonts_[tableFont_] = a == std::string::npos ? std::string() : fontName_.substr(a, e - a + 1);
                fontName_.clear();
            } else {
                FontChar(FromCp1252(b));
            }
            return;
        }
        if (s.dest == Dest::ColorTable) {
            if (b == ';') {
                colors_.push_back(pending_.set
                                      ? std::optional<uint32_t>(uint32_t(pending_.r << 16) | uint32_t(pending_.g << 8) |
                                                                uint32_t(pending_.b))
                                      : std::nullopt);
                pending_ = {};
            }
            return;
        }
        if (skip_ > 0) {
            --skip_;
            return;
        }
        Char(FromCp1252(b));
    }

    void FontChar(char32_t u)
    {
        if (u >= 0x20)
            AppendUtf8(fontName_, u);
    }

    void Char(char32_t u)
    {
        const GroupState &s = St();
        if (s.dest != Dest::Text || (u < 0x20 && u != '\t'))
            return;
        if (high_ && !(u >= 0xDC00 && u <= 0xDFFF))
            FlushUnicode();
        TRtfRun fmt;
        if (const auto f = fonts_.find(s.font); f != fonts_.end())
            fmt.Font = f->second;
        fmt.HalfPoints = s.halfPoints;
        fmt.Bold = s.bold;
        fmt.Italic = s.italic;
        fmt.Underline = s.underline;
        if (s.color >= 0 && size_t(s.color) < colors_.size() && colors_[s.color]) {
            fmt.HasColor = true;
            fmt.Color = *colors_[s.color];
        }
        if (para_.Runs.empty() || !para_.Runs.back().SameFormat(fmt))
            para_.Runs.push_back(std::move(fmt));
        AppendUtf8(para_.Runs.back().Text, u);
    }

    void Paragraph()
    {
        if (St().dest != Dest::Text)
            return;
        FlushUnicode();
        doc_.Paragraphs.push_back(std::move(para_));
        para_ = {};
    }

    std::string_view in_;
    size_t pos_ = 0;
    std::vector<GroupState> stack_;
    TRtfDocument doc_;
    TRtfParagraph para_;
    std::map<int, std::string> fonts_;
    int tableFont_ = -1;
    int deff_ = -1;
    std::string fontName_;
    std::vector<std::optional<uint32_t>> colors_;
    struct {
        int r = 0, g = 0, b = 0;
        bool set = false;
    } pending_;
    int skip_ = 0;       // fallback characters still to drop after \uN
    char32_t high_ = 0;  // high surrogate waiting for its low half
};

// ---------------------------------------------------------------------------
// Writing

// In the font table a ';' ends the name and breaks mean nothing: they go out as \uN.
void WriteText(std::string &out, std::string_view text, bool fontTable = false)
{
    size_t i = 0;
    while (i < text.size()) {
        const char32_t u = NextUtf8(text, i);
        if (fontTable && (u == ';' || u == '\t' || u == lineSeparator)) {
            out += "\\u" + std::to_string(int(u)) + "?";
        } else if (u == '\\' || u == '{' || u == '}') {
            out += '\\';
            out += char(u);
        } else if (u == '\t') {
            out += "\\tab ";
        } else if (u == lineSeparator || u == '\n' || u == '\r') {
            out += "\\line ";
        } else if (u < 0x20) {
        } else if (u < 0x80) {
            out += char(u);
        } else if (const unsigned char b = ToCp1252(u)) {
            static const char hex[] = "0123456789abcdef";
            out += "\\'";
            out += hex[b >> 4];
            out += hex[b & 15];
        } else if (u > 0xFFFF) {
            const char32_t v = u - 0x10000;
            out += "\\u" + std::to_string(int(0xD800 + (v >> 10)) - 65536) + "?";
            out += "\\u" + std::to_string(int(0xDC00 + (v & 0x3FF)) - 65536) + "?";
        } else {
            out += "\\u" + std::to_string(u > 0x7FFF ? int(u) - 65536 : int(u)) + "?";
        }
    }
}

}  // namespace

bool TRtfRun::SameFormat(const TRtfRun &o) const
{
    return Font == o.Font && HalfPoints == o.HalfPoints && Bold == o.Bold && Italic == o.Italic &&
           Underline == o.Underline && HasColor == o.HasColor && (!HasColor || Color == o.Color);
}

char32_t FromCp1252(unsigned char c)
{
    return c >= 0x80 && c < 0xA0 ? cp1252High[c - 0x80] : c;
}

bool IsRtf(std::string_view bytes)
{
    return bytes.substr(0, 5) == "{\\rtf";
}

TRtfDocument ReadRtf(std::string_view bytes)
{
    return Reader(bytes).Read();
}

std::string WriteRtf(const TRtfDocument &doc)
{
    std::vector<std::string> fonts;
    std::vector<uint32_t> colors;
    for (const TRtfParagraph &p : doc.Paragraphs)
        for (const TRtfRun &r : p.Runs) {
            if (!r.Font.empty() && std::find(fonts.begin(), fonts.end(), r.Font) == fonts.end())
                fonts.push_back(r.Font);
            if (r.HasColor && std::find(colors.begin(), colors.end(), r.Color) == colors.end())
                colors.push_back(r.Color);
        }
    std::string out = "{\\rtf1\\ansi\\ansicpg1252\\uc1";
    if (!fonts.empty()) {
        out += "{\\fonttbl";
        for (size_t i = 0; i < fonts.size(); ++i) {
            out += "{\\f" + std::to_string(i) + "\\fnil ";
            WriteText(out, fonts[i], true);
            out += ";}";
        }
        out += "}";
    }
    if (!colors.empty()) {
        out += "{\\colortbl;";
        for (const uint32_t c : colors)
            out += "\\red" + std::to_string(c >> 16 & 255) + "\\green" + std::to_string(c >> 8 & 255) + "\\blue" +
                   std::to_string(c & 255) + ";";
        out += "}";
    }
    out += "\n";
    for (size_t pi = 0; pi < doc.Paragraphs.size(); ++pi) {
        if (pi > 0)
            out += "\\par\n";
        out += "\\pard";
        const TRtfRun *prev = nullptr;
        for (const TRtfRun &r : doc.Paragraphs[pi].Runs) {
            if (r.Text.empty())
                continue;
            if (!prev || !prev->SameFormat(r)) {
                out += "\\plain";
                if (!r.Font.empty())
                    out += "\\f" + std::to_string(std::find(fonts.begin(), fonts.end(), r.Font) - fonts.begin());
                out += "\\fs" + std::to_string(r.HalfPoints);
                if (r.Bold)
                    out += "\\b";
                if (r.Italic)
                    out += "\\i";
                if (r.Underline)
                    out += "\\ul";
                if (r.HasColor)
                    out +=
                        "\\cf" + std::to_string(std::find(colors.begin(), colors.end(), r.Color) - colors.begin() + 1);
                out += ' ';
            }
            WriteText(out, r.Text);
            prev = &r;
        }
    }
    out += "}";
    return out;
}
