// The whole calculate road, headless: a sheet goes in, the calculate command
// routes, scans, parses, rearranges, evaluates and writes, and the sheet and
// the status line come out. The cases are in tests/data/road/*.road, each its
// own named test; sequences of commands are written out below.
//
// A case is a list of rows. Left of the first '|' a row holds the input in
// the one-character form of EngineSheets.h; right of it the result cells the
// calculation must add: any character is a result cell, '~' an empty result
// mark, '#' a result fraction line, '_' a written blank, '^c' a raised result
// character, "<kcm>" one cell in SheetPicture's form, ' ' no cell.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
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

std::string Error(const std::string &message)
{
    return "  ERROR : " + message + "\r";
}

// One case of a .road file: a line "== name", then directives and rows.
// Directives: @root C (the root sign's area ends at column C); @mode f9,
// multi, noimplicit or mixed; @format flt|fix PLACES [exp]; @at ROW (the rows
// start at ROW); @size N (an N x N sheet); @error COL ROW MESSAGE (the status
// names the error, the cursor stands on its cell, the sheet is unchanged);
// @# a comment. Multi-result cases calculate twice, alike both times.
struct Case {
    std::string name;
    Rows rows;
    int rootEnd = -1;
    bool f9 = false, multi = false, noImplicit = false, mixed = false;
    bool flt = true, exp = false;
    int places = 6, size = 72;
    int errCol = -1, errRow = -1;
    std::string error;
};

void PrintTo(const Case &c, std::ostream *os)
{
    *os << c.name;
}

std::string TestName(std::string s)
{
    for (char &c : s)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return s;
}

std::vector<Case> LoadCases()
{
    namespace fs = std::filesystem;
    std::vector<fs::path> files;
    for (const auto &e : fs::directory_iterator(fs::path(VELMORA_TEST_DATA) / "road"))
        if (e.path().extension() == ".road")
            files.push_back(e.path());
    std::sort(files.begin(), files.end());
    std::vector<Case> cases;
    for (const fs::path &f : files) {
        std::ifstream in(f);
        std::string line;
        int n = 0;
        while (std::getline(in, line)) {
            if (line.rfind("== ", 0) == 0) {
                cases.push_back({});
                cases.back().name = f.stem().string() + "_" + std::to_string(++n) + "_" + TestName(line.substr(3));
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
            } else if (word == "at") {
                int row = 0;
                d >> row;
                c.rows.resize(row);
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

    void SetUp() override
    {
        InitErrorTexts();
        SetFltPlaces(6);
        SetFixPlaces(2);
        TearDown();
    }
    void TearDown() override
    {
        ExpressionTree = ownTree;
        SetFltMode(true);
        SetExpMode(false);
        ClearError();
        RearrangeOnly = false;
    }
    std::pair<int, int> Cursor() const { return {setup.grid.Col(), setup.grid.Row()}; }
    void Cursor(int col, int row) { setup.grid.SetCol(col), setup.grid.SetRow(row); }

    // A fresh sheet with the input parts of the rows, the cursor at 5, 1.
    void Load(const Rows &rows, int rootEnd = -1)
    {
        EditText.Clear(setup.grid);
        EditText.ImplicitMult = 1;
        EditText.MixedFraction = 0;
        EditText.EqualMode = 0;
        std::memset(static_cast<void *>(EditText.Cells), 0, sizeof EditText.Cells);
        std::memset(static_cast<void *>(EditText.Attrs), 0, sizeof EditText.Attrs);
        EditText.UsedColExt = EditText.UsedRowExt = 0;
        ClearError();
        Rows input;
        for (const std::string &r : rows)
            input.push_back(r.substr(0, Split(r)));
        LoadRows(input);
        if (rootEnd >= 0)
            RootArea(rootEnd);
        Cursor(5, 1);
        window.status.clear(), window.trace.clear();
        SheetSetup::beeps = 0;
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
    // Runs one case: F8 (or F9) on its sheet; a ready case adds exactly its
    // result cells, an error case names its error and cell, beeps and leaves
    // the sheet as it was.
    void RunCase(const Case &c)
    {
        SetFltMode(c.flt);
        c.flt ? SetFltPlaces(c.places) : SetFixPlaces(c.places);
        SetExpMode(c.exp);
        setup.grid.SetSize(c.size, c.size);
        Load(c.rows, c.rootEnd);
        EditText.ImplicitMult = !c.noImplicit;
        EditText.MixedFraction = c.mixed;
        EditText.EqualMode = c.multi;
        const std::string before = SheetToPicture(EditText);
        std::string attrs;
        for (int run = 0; run <= c.multi; ++run) {
            if (c.error.empty()) {
                Cursor(5, 1);
                c.f9 ? cmd.RearrangeOnlyClick() : cmd.PRButtonEnterClick();
                ExpectReady(c.name, c.rows);
                EXPECT_FALSE(RearrangeOnly);
                if (!run)
                    attrs = AttrsToText(EditText);
                EXPECT_EQ(AttrsToText(EditText), attrs);
                continue;
            }
            Cursor(9, 8);
            cmd.PRButtonEnterClick();
            EXPECT_EQ(window.status, Error(c.error));
            EXPECT_EQ(Cursor(), std::pair(c.errCol, c.errRow));
            EXPECT_GE(SheetSetup::beeps, 1);
            EXPECT_EQ(SheetToPicture(EditText), before);
        }
    }
};

TEST_F(RoadTest, RearrangeOnlyLastsOneCommand)
{
    Load({"2x=3+5"});
    cmd.RearrangeOnlyClick();
    ExpectReady("F9", {"2x=3+5", "", "|2*x=3+5"});
    cmd.PRButtonEnterClick();
    ExpectReady("F8 after F9", {"2x=3+5", "", "|2*x=3+5", "", "|2*x=8"});
}

TEST_F(RoadTest, RearrangeOnlyEndsWithAFailedScan)
{
    Load({"x<^2 >=9,"});
    cmd.RearrangeOnlyClick();
    EXPECT_EQ(window.status, Error("unknow symbol"));
    EXPECT_FALSE(RearrangeOnly);
    EditText.Cells[4][0].Zero();
    Cursor(5, 1);
    cmd.PRButtonEnterClick();
    ExpectReady("F8", {"x<^2 >=9", "", "|x=3"});
}

// A cell holding only the route's line-end mark, as a damaged file leaves
// it: the route clears the mark, so Reset must not count that cell, or the
// result after the next Reset lands higher than the first.
TEST_F(RoadTest, ResetIgnoresALoneLineEndMark)
{
    Load({"2x=3+5"});
    EditText.Cells[0][3].SetFlags(cfLineEnd);
    for (const char *run : {"first run", "second run"}) {
        cmd.PRButtonResetClick();
        Cursor(5, 1);
        cmd.PRButtonEnterClick();
        ExpectReady(run, {"2x=3+5", "", "|2*x=8"});
    }
}

TEST_F(RoadTest, MultiResultRemovesTheLastResultsFirst)
{
    Load({"X=5+7=", "", "Y=X*2="});
    EditText.EqualMode = 1;
    cmd.PRButtonEnterClick();
    ExpectReady("first run", {"X=5+7=|12", "", "Y=X*2=|24"});
    EditText.Cells[4][0].Ch = '3';
    cmd.PRButtonEnterClick();
    ExpectReady("second run", {"X=5+3=|8", "", "Y=X*2=|16"});

    // No '=' takes a result: the old ones still go, error 120 at the cursor.
    EditText.Cells[5][0].Zero();
    EditText.Cells[5][2].Zero();
    Cursor(4, 6);
    cmd.PRButtonEnterClick();
    EXPECT_EQ(SheetToPicture(EditText), Expected({"X=5+3", "", "Y=X*2"}));
    EXPECT_EQ(window.status, Error("no result! use format: X=5+3= ! or switch to single mode with < = > button "
                                   "on the tool bar"));
    EXPECT_EQ(Cursor(), std::pair(4, 6));
}

TEST_F(RoadTest, ScanTraceThenReady)
{
    const struct {
        Rows rows;
        std::string tokens;
    } traces[] = {
        {{"x<^2 >+1"}, ";x;^;2;^;+;1;"},
        // the line end, the route's last cell, is met again: no closing ';'
        {{" 1", "###", " 2"}, ";(;(;1;);\xBE;(;2;);)"},
    };
    for (const auto &t : traces) {
        Load(t.rows);
        cmd.PRButtonEnterClick();
        EXPECT_EQ(window.trace, "Scan Grid to Stream\n" + t.tokens + '\0');
        EXPECT_EQ(window.status, "  ready");
    }
}

TEST_F(RoadTest, StreamFullIsReportedAtItsCell)
{
    // One-letter names: 4 tokens a cell, so the 2001st cell of the route
    // (column 33, row 20) cannot take the ';' of token 8000.
    Rows rows(60, std::string(72, 'a'));
    Load(rows);
    cmd.PRButtonEnterClick();
    EXPECT_EQ(window.status, Error("out of stream memory"));
    EXPECT_EQ(Cursor(), std::pair(33, 20));
}

struct RoadCase : RoadTest, ::testing::WithParamInterface<Case> {};

TEST_P(RoadCase, Calculates)
{
    RunCase(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Road, RoadCase, ::testing::ValuesIn(LoadCases()),
                         [](const ::testing::TestParamInfo<Case> &i) { return i.param.name; });

}  // namespace
