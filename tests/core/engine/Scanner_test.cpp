#include <gtest/gtest.h>

#include "engine/Errors.h"
#include "engine/Router.h"
#include "engine/Scanner.h"
#include "support/EngineSheets.h"
#include "support/TreeText.h"
#include "worksheet/Edit.h"

namespace {

enum Mode { Implicit = 1, Mixed = 2, Equal = 4, Plain = 0 };

struct Scanned {
    bool ok;
    std::string stream;
};

Scanned ScanRows(const std::vector<std::string> &rows, int mode = Implicit, bool root = false)
{
    EditText.ImplicitMult = (mode & Implicit) != 0, EditText.MixedFraction = (mode & Mixed) != 0;
    EditText.EqualMode = (mode & Equal) != 0;
    LoadRows(rows);
    if (root)
        EditText.Attrs[0][0].RootLevel = EditText.Attrs[0][0].Overline = 1,
        EditText.Attrs[1][0].Nesting = EditText.Attrs[1][0].Overline = 1 << 1;
    ClearError();
    if (!RouterObj.BuildRoute())
        return {false, "route failed"};
    const bool ok = ScannerObj.Scan();
    EXPECT_TRUE(ScannerObj.Tokens[ScannerObj.Count].AllZero());
    return {ok, StreamText()};
}

struct StreamCase {
    const char *name;
    std::vector<std::string> rows;
    int mode;
    const char *stream;
    bool root = false;  // a root sign at (0, 0) whose area is column 1
};

const StreamCase streamCases[] = {
    {"two one-letter names", {"ab"}, Implicit, ";a;*;b;"},
    {"leading point", {".5"}, Implicit, ";0.5;"},
    {"a sign anywhere once an exponent was read", {"x<^2 >5*-3"}, Implicit, ";x;^;2;|;*;5;*;-;3;"},
    {"fraction", {" 1", "###", " 2"}, Implicit, ";<;<;1;>;{958};<;2;>;>"},
    {"implicit '*' before a fraction", {"  1", "3###", "  2"}, Implicit, ";3;*;<;<;1;>;{958};<;2;>;>"},
    {"nested fractions",
     {"  1", " ###", "  2", "#####", "  3"},
     Implicit,
     ";<;<;<;<;1;>;{958};<;2;>;>;>;{958};<;3;>;>"},
    {"result and green cells are not read", {"< 7g>x=< 5*>"}, Implicit, ";x;=;"},
    {"no new line after a formula ending in column 0", {"1", "", "3"}, Implicit, ";1;*;3;"},
    {"bracket closing the route's last cell inside a bracket", {"((a))"}, Implicit, ";(;(;a;););"},
    {"root area opens and closes a bracket", {"<r/ >x+1"}, Implicit, ";{470};<;x;>;>;+;1;", true},
    {"root area running to the route's end", {"<r/ >x"}, Implicit, ";{470};<;x;;>;>", true},
};

struct ScannerTest : EngineTest {};

TEST_F(ScannerTest, GoldenStreams)
{
    for (const StreamCase &sc : streamCases) {
        SheetSetup fresh;
        const Scanned s = ScanRows(sc.rows, sc.mode, sc.root);
        EXPECT_TRUE(s.ok) << sc.name;
        EXPECT_EQ(ErrorCode, 0) << sc.name;
        EXPECT_EQ(s.stream, sc.stream) << sc.name;
    }
}

struct ErrorCase {
    const char *name;
    std::vector<std::string> rows;
    int mode;
    const char *at;  // code@col,row
    bool beep;
};

const ErrorCase errorCases[] = {
    {"MOD needs implicit '*'", {"a< Mn>< On>< Dn>b"}, Plain, "105@1,0", true},
    {"number after a number with mixed fractions only", {"2 3"}, Mixed, "105@2,0", true},
    {"second point", {".5.3"}, Implicit, "101@2,0", false},
    {"sign at the start in multi-result mode", {"-3"}, Equal | Implicit, "103@0,0", false},
    {"sign at the start of a typed line", {":-3"}, Implicit, "103@1,0", false},
    {"lowered digit in a number", {"2<_3 >"}, Implicit, "104@1,0", false},
    {"unknown symbol inside a bracket keeps its own message", {"(a^b)"}, Implicit, "102@2,0", false},
    {"bracket never closed", {"(a+b"}, Implicit, "129@3,0", false},
    {"inner bracket takes the only closer", {"(a(b)"}, Implicit, "129@4,0", false},
    {"stray closer does not end the sheet", {"a)+b"}, Implicit, "129@1,0", false},
    {"stray closer in a typed line", {":a)+b"}, Implicit, "129@2,0", false},
    {"stray closer in a numerator", {" a)", "####", " b"}, Implicit, "129@2,0", false},
    {"opening bracket as the last cell", {"a("}, Implicit, "110@1,0", true},
    {"function sign at the end", {"2<f~ >"}, Implicit, "119@1,0", true},
    {"no delta at the end", {"<f~ >(x)"}, Implicit, "131@3,0", true},
    {"no variable at the end", {"<f~ >(x)d"}, Implicit, "132@4,0", true},
    // a fault inside a bracket of a limit or a typed line ends the scan: no later fault replaces it
    {"fault in a limit's bracket", {"  <S/ >(1,2)", "y=<S| >x", "  <S\\ >0"}, Implicit, "102@5,0", false},
    {"fault in a typed line's bracket", {":a=(1,2", "", "1.2.3"}, Implicit, "102@5,0", false},
};

TEST_F(ScannerTest, Errors)
{
    for (const ErrorCase &ec : errorCases) {
        SheetSetup fresh;
        const Scanned s = ScanRows(ec.rows, ec.mode);
        EXPECT_FALSE(s.ok) << ec.name << " " << s.stream;
        EXPECT_EQ(ErrorAt(), ec.at) << ec.name << " " << s.stream;
        EXPECT_EQ(fresh.grid.Col() * 1000 + fresh.grid.Row(), ErrorCol * 1000 + ErrorRow) << ec.name;
        EXPECT_EQ(SheetSetup::beeps, ec.beep ? 1 : 0) << ec.name;
    }
}

// A rescan looks like a first scan: after a longer stream, a fault inside a
// limit (whose boundary must not stay), or tokens loaded by hand.
TEST_F(ScannerTest, RescanStartsClean)
{
    ScanRows({"1", "", "", "2"});
    const std::vector<TCell> first(ScannerObj.Tokens, ScannerObj.Tokens + MaxTokens + 1);
    for (const std::vector<std::string> &before :
         {std::vector<std::string>{"12345678+98765*4321-1/7", "", "x=3"}, {"<S/ >(", "<S| >x", "<S\\ >0"}}) {
        {
            SheetSetup other;
            ScanRows(before);
            EXPECT_EQ(ErrorPending(), before[0][0] == '<');
        }
        for (int i = 0; i < 50; ++i)
            ScannerObj.Tokens[ScannerObj.Count++].Ch = '7';
        SheetSetup fresh;
        EXPECT_TRUE(ScanRows({"1", "", "", "2"}).ok);
        EXPECT_TRUE(std::equal(first.begin(), first.end(), ScannerObj.Tokens)) << StreamText();
    }
}

}  // namespace
