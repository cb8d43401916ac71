// The calculate road, headless: a sheet goes in, the calculate command routes, scans, parses, rearranges,
// evaluates and writes, and the sheet and the status line come out. Cases are in tests/data/road/*.road.
//
// A case row holds, left of the first '|', the input in EngineSheets.h's one-character form; right of it the
// result cells the calculation adds: a character a result cell, '~' an empty result mark, '#' a result fraction
// line, '_' a written blank, '^c' a raised result character, "<kcm>" one cell in SheetPicture's form, ' ' none.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/Errors.h"
#include "engine/Lists.h"
#include "engine/NumFormat.h"
#include "engine/Rebuilder.h"
#include "shell/CalcCommand.h"
#include "support/EngineSheets.h"
#include "support/QuietWindow.h"
#include "worksheet/Edit.h"

namespace {

using Rows = std::vector<std::string>;

// Position of the '|' that ends the input part, skipping "<kcm>" escapes.
size_t Split(const std::string &row)
{
    for (size_t i = 0; i < row.size(); i += row[i] == '<' ? 5 : 1)
        if (row[i] == '|')
            return i;
    return std::string::npos;
}

std::string ResultCells(const std::string &s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '<')
            out += s.substr(i + 1, 3), i += 4;
        else if (c == '^')
            out += std::string(" ") + s[++i] + "R";
        else
            out += c == ' '   ? "   "
                   : c == '~' ? ". *"
                   : c == '#' ? "--*"
                   : c == '_' ? "  *"
                              : std::string(" ") + c + "*";
    }
    return out;
}

std::string Expected(const Rows &rows)
{
    std::string out;
    for (const std::string &row : rows) {
        const size_t bar = Split(row);
        std::string line = bar ? ExpandRow(row.substr(0, bar)) : "";  // ExpandRow makes "" one blank cell
        line += bar == row.npos ? "" : ResultCells(row.substr(bar + 1));
        out += line.erase(line.find_last_not_of(' ') + 1) + "\n";
    }
    return out;
}

// A case: "== name", then rows and directives: @root C (the root sign's area ends at column C); @mode f9, multi,
// noimplicit or mixed; @format flt|fix PLACES [exp]; @at ROW (the rows start there); @size N (an N x N sheet);
// @error COL ROW MESSAGE (status, cursor cell, sheet unchanged); @# a comment. Multi-result runs twice, alike.
struct Case {
    std::string name;
    Rows rows;
    int rootEnd = -1, places = 6, size = 72, errCol = -1, errRow = -1;
    bool f9 = false, multi = false, noImplicit = false, mixed = false, flt = true, exp = false;
    std::string error;
};

void PrintTo(const Case &c, std::ostream *os)
{
    *os << c.name;
}

std::vector<Case> LoadCases()
{
    namespace fs = std::filesystem;
    std::vector<fs::path> files(fs::directory_iterator(fs::path(VELMORA_TEST_DATA) / "road"), {});
    std::sort(files.begin(), files.end());
    std::vector<Case> cases;
    for (const fs::path &f : files) {
        std::ifstream in(f.extension() == ".road" ? f : fs::path());
        std::string line;
        int n = 0;
        while (std::getline(in, line)) {
            if (line.rfind("== ", 0) == 0) {
                std::string name = f.stem().string() + "_" + std::to_string(++n) + "_" + line.substr(3);
                for (char &c : name)
                    c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                cases.emplace_back().name = name;
                continue;
            }
            if (line.rfind("@#", 0) == 0 || cases.empty())
                continue;
            Case &c = cases.back();
            std::istringstream d(line.substr(std::min<size_t>(1, line.size())));
            std::string word;
            if (line[0] != '@') {
                c.rows.push_back(line);
            } else if (d >> word; word == "root") {
                d >> c.rootEnd;
            } else if (word == "mode") {
                d >> word;
                (word == "f9" ? c.f9 : word == "multi" ? c.multi : word == "mixed" ? c.mixed : c.noImplicit) = true;
            } else if (word == "format") {
                d >> word >> c.places;
                c.flt = word == "flt";
                c.exp = bool(d >> word);
            } else if (word == "size") {
                d >> c.size;
            } else if (int row = 0; word == "at") {
                c.rows.resize((d >> row, row));
            } else if (word == "error") {
                d >> c.errCol >> c.errRow >> std::ws;
                std::getline(d, c.error);
            }
        }
    }
    for (Case &c : cases)
        while (!c.rows.empty() && c.rows.back().empty())
            c.rows.pop_back();
    return cases;
}

struct RoadTest : ::testing::Test {
    SheetSetup setup;
    QuietWindow window;
    TCalcCommand cmd{window};
    TCodeList *ownTree = ExpressionTree;

    void SetUp() override { InitErrorTexts(), SetFltPlaces(6), SetFixPlaces(2), TearDown(); }
    void TearDown() override
    {
        ExpressionTree = ownTree, RearrangeOnly = false;
        SetFltMode(true), SetExpMode(false), ClearError();
    }
    std::pair<int, int> Cursor() const { return {setup.grid.Col(), setup.grid.Row()}; }
    void Cursor(int col, int row) { setup.grid.SetCol(col), setup.grid.SetRow(row); }

    // A fresh sheet with the input parts of the rows, the cursor at 5, 1.
    void Load(const Rows &rows, int rootEnd = -1, bool multi = false)
    {
        EditText.Clear(setup.grid), EditText.Reset(), ClearError();
        EditText.ImplicitMult = 1, EditText.MixedFraction = 0, EditText.EqualMode = multi;
        Rows input;
        for (const std::string &r : rows)
            input.push_back(r.substr(0, Split(r)));
        LoadRows(input);
        if (rootEnd >= 0)
            RootArea(rootEnd);
        Cursor(5, 1), window.status.clear(), window.trace.clear(), SheetSetup::beeps = 0;
    }
    // Gives the sheet's root sign its area up to column last on its row.
    void RootArea(int last)
    {
        for (int c = 0; c < SheetCells; ++c)
            for (int r = 0; r < SheetCells; ++r)
                if (EditText.Cells[c][r].Code() == scRootSign) {
                    EditText.SelCol = c, EditText.SelRow = r;
                    EditText.Selection = {c, r, last, r};
                    EditText.SetRootRange();
                    return;
                }
        FAIL() << "no root sign";
    }
    void ExpectReady(const std::string &what, const Rows &rows)
    {
        EXPECT_EQ(SheetToPicture(EditText), Expected(rows)) << what;
        EXPECT_EQ(window.status, "  ready") << what << ": " << window.status;
        EXPECT_EQ(Cursor(), std::pair(5, 1)) << what;
    }
    void ExpectError(const std::string &message, std::pair<int, int> at)
    {
        EXPECT_EQ(window.status, "  ERROR : " + message + "\r");
        EXPECT_EQ(Cursor(), at);
    }
    // F8 (or F9) on the case's sheet: a ready case adds exactly its result cells, an error case names its error
    // and cell, beeps and leaves the sheet as it was.
    void RunCase(const Case &c)
    {
        SetFltMode(c.flt), c.flt ? SetFltPlaces(c.places) : SetFixPlaces(c.places);
        SetExpMode(c.exp), setup.grid.SetSize(c.size, c.size);
        Load(c.rows, c.rootEnd, c.multi);
        EditText.ImplicitMult = !c.noImplicit, EditText.MixedFraction = c.mixed;
        const std::string before = SheetToPicture(EditText);
        std::string attrs;
        for (int run = 0; run <= c.multi; ++run) {
            if (c.error.empty()) {
                Cursor(5, 1), c.f9 ? cmd.RearrangeOnlyClick() : cmd.PRButtonEnterClick();
                ExpectReady(c.name, c.rows);
                EXPECT_FALSE(RearrangeOnly);
                EXPECT_EQ(AttrsToText(EditText), run ? attrs : (attrs = AttrsToText(EditText)));
                continue;
            }
            Cursor(9, 8), cmd.PRButtonEnterClick();
            ExpectError(c.error, {c.errCol, c.errRow});
            EXPECT_GE(SheetSetup::beeps, 1);
            EXPECT_EQ(SheetToPicture(EditText), before);
        }
    }
};

// F9 lasts one command and ends with a failed scan. Reset does not count a cell holding only the route's line-end
// mark, as a damaged file leaves it, or the result after the next Reset lands higher.
TEST_F(RoadTest, RearrangeOnlyAndReset)
{
    Load({"2x=3+5"});
    cmd.RearrangeOnlyClick();
    ExpectReady("F9", {"2x=3+5", "", "|2*x=3+5"});
    cmd.PRButtonEnterClick();
    ExpectReady("F8 after F9", {"2x=3+5", "", "|2*x=3+5", "", "|2*x=8"});
    EditText.Cells[0][3].SetFlags(cfLineEnd);
    for (const char *run : {"first reset", "second reset"}) {
        cmd.PRButtonResetClick();
        Cursor(5, 1);
        cmd.PRButtonEnterClick();
        ExpectReady(run, {"2x=3+5", "", "|2*x=8"});
    }
    Load({"x<^2 >=9,"});
    cmd.RearrangeOnlyClick();
    EXPECT_EQ(window.status, "  ERROR : unknow symbol\r");
    EXPECT_FALSE(RearrangeOnly);
    EditText.Cells[4][0].Zero();
    Cursor(5, 1);
    cmd.PRButtonEnterClick();
    ExpectReady("F8 after a failed F9", {"x<^2 >=9", "", "|x=3"});
}

TEST_F(RoadTest, MultiResultRemovesTheLastResultsFirst)
{
    Load({"X=5+7=", "", "Y=X*2="}, -1, true);
    cmd.PRButtonEnterClick();
    ExpectReady("first run", {"X=5+7=|12", "", "Y=X*2=|24"});
    EditText.Cells[4][0].Ch = '3';
    cmd.PRButtonEnterClick();
    ExpectReady("second run", {"X=5+3=|8", "", "Y=X*2=|16"});
    // no '=' takes a result: the old ones still go, error 120 at the cursor
    EditText.Cells[5][0].Zero(), EditText.Cells[5][2].Zero();
    Cursor(4, 6);
    cmd.PRButtonEnterClick();
    EXPECT_EQ(SheetToPicture(EditText), Expected({"X=5+3", "", "Y=X*2"}));
    ExpectError("no result! use format: X=5+3= ! or switch to single mode with < = > button on the tool bar", {4, 6});
}

TEST_F(RoadTest, ScanTraceThenReady)
{
    const std::pair<Rows, std::string> traces[] = {
        {{"x<^2 >+1"}, ";x;^;2;^;+;1;"},
        // the line end, the route's last cell, is met again: no closing ';'
        {{" 1", "###", " 2"}, ";(;(;1;);\xBE;(;2;);)"},
    };
    for (const auto &[rows, tokens] : traces) {
        Load(rows);
        cmd.PRButtonEnterClick();
        EXPECT_EQ(window.trace, "Scan Grid to Stream\n" + tokens + '\0');
        EXPECT_EQ(window.status, "  ready");
    }
}

TEST_F(RoadTest, StreamFullIsReportedAtItsCell)
{
    // one-letter names, 4 tokens a cell: the route's 2001st cell (33, 20) cannot take the ';' of token 8000
    Load(Rows(60, std::string(72, 'a')));
    cmd.PRButtonEnterClick();
    ExpectError("out of stream memory", {33, 20});
}

struct RoadCase : RoadTest, ::testing::WithParamInterface<Case> {};

TEST_P(RoadCase, Calculates)
{
    RunCase(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Road, RoadCase, ::testing::ValuesIn(LoadCases()),
                         [](const ::testing::TestParamInfo<Case> &i) { return i.param.name; });

}  // namespace
