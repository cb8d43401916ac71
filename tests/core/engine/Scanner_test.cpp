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

struct ScannerTest : EngineTest {};

TEST_F(ScannerTest, GoldenStreams)
{
    // Rows, stream; "r/" rows get a root sign at (0, 0) whose area is column 1. Result and green cells are not read;
    // no new line after a formula ending in column 0; a sign may open an exponent.
    // clang-format off
    const std::pair<std::vector<std::string>, const char *> cases[] = {
        {{"ab"}, ";a;*;b;"}, {{".5"}, ";0.5;"}, {{"x<^- ><^2 >5"}, ";x;^;-;2;|;*;5;"},
        {{" 1", "###", " 2"}, ";<;<;1;>;{958};<;2;>;>"}, {{"  1", "3###", "  2"}, ";3;*;<;<;1;>;{958};<;2;>;>"},
        {{"  1", " ###", "  2", "#####", "  3"}, ";<;<;<;<;1;>;{958};<;2;>;>;>;{958};<;3;>;>"},
        {{"< 7g>x=< 5*>"}, ";x;=;"}, {{"1", "", "3"}, ";1;*;3;"}, {{"((a))"}, ";(;(;a;););"},
        {{"<r/ >x+1"}, ";{470};<;x;>;>;+;1;"}, {{"<r/ >x"}, ";{470};<;x;;>;>"},
    };
    // clang-format on
    for (const auto &[rows, stream] : cases) {
        SheetSetup fresh;
        const Scanned s = ScanRows(rows, Implicit, rows[0].find("r/") != std::string::npos);
        EXPECT_TRUE(s.ok && ErrorCode == 0) << rows[0];
        EXPECT_EQ(s.stream, stream) << rows[0];
    }
}

TEST_F(ScannerTest, Errors)
{
    // Rows, mode, code@col,row, beep. MOD needs implicit '*', a number after a number mixed fractions only; a sign
    // at the start in multi-result mode or of a typed line; an unknown symbol in a bracket keeps its message; the
    // inner bracket takes the only closer; a stray closer ends neither the sheet, a typed line nor a numerator.
    // A fault inside a bracket of a limit or a typed line ends the scan: no later fault replaces it.
    // clang-format off
    const std::tuple<std::vector<std::string>, int, const char *, bool> cases[] = {
        {{"a< Mn>< On>< Dn>b"}, Plain, "105@1,0", true}, {{"2 3"}, Mixed, "105@2,0", true},
        {{".5.3"}, Implicit, "101@2,0", false}, {{"-3"}, Equal | Implicit, "103@0,0", false},
        {{":-3"}, Implicit, "103@1,0", false}, {{"2<_3 >"}, Implicit, "104@1,0", false},
        {{"(a^b)"}, Implicit, "102@2,0", false}, {{"(a+b"}, Implicit, "129@3,0", false},
        {{"(a(b)"}, Implicit, "129@4,0", false}, {{"a)+b"}, Implicit, "129@1,0", false},
        {{":a)+b"}, Implicit, "129@2,0", false}, {{" a)", "####", " b"}, Implicit, "129@2,0", false},
        {{"a("}, Implicit, "110@1,0", true}, {{"2<f~ >"}, Implicit, "119@1,0", true},
        {{"<f~ >(x)"}, Implicit, "131@3,0", true}, {{"<f~ >(x)d"}, Implicit, "132@4,0", true},
        {{"  <S/ >(1,2)", "y=<S| >x", "  <S\\ >0"}, Implicit, "102@5,0", false},
        {{":a=(1,2", "", "1.2.3"}, Implicit, "102@5,0", false},
        // a sign after an operator, whether or not an exponent came first
        {{"x<^2 >5*-3"}, Implicit, "103@4,0", false}, {{"x<^2 >+-3"}, Implicit, "103@3,0", false},
        {{"x<^2 ><^/ ><^- ><^3 >"}, Implicit, "103@3,0", false},
    };
    // clang-format on
    for (const auto &[rows, mode, at, beep] : cases) {
        SheetSetup fresh;
        const Scanned s = ScanRows(rows, mode);
        EXPECT_FALSE(s.ok) << rows[0] << " " << s.stream;
        EXPECT_EQ(ErrorAt(), at) << rows[0] << " " << s.stream;
        EXPECT_EQ(fresh.grid.Col() * 1000 + fresh.grid.Row(), ErrorCol * 1000 + ErrorRow) << rows[0];
        EXPECT_EQ(SheetSetup::beeps, beep ? 1 : 0) << rows[0];
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
