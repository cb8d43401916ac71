#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "support/SheetSteps.h"
#include "worksheet/Edit.h"
#include "worksheet/UndoEd.h"

namespace {

struct UndoRing : ::testing::Test {
    Sheet setup;
    UndoRing() { ResetUndo(); }
    ~UndoRing() override { ResetUndo(); }
    // What Edit/Undo and Edit/Redo do: clear the sheet, then restore.
    static void Edit(bool undo)
    {
        ASSERT_FALSE(undo ? UndoEmpty : RedoEmpty);
        EditText.Reset();
        undo ? UndoProc() : RedoProc();
    }
};

void Int32(std::vector<uint8_t> &v, std::initializer_list<int32_t> values)
{
    for (int32_t x : values)
        for (int i = 0; i < 4; ++i)
            v.push_back(uint8_t(uint32_t(x) >> (8 * i)));
}

}  // namespace

// Clear and Open reset the ring: neither Undo nor Redo has anything left.
TEST_F(UndoRing, BoundAtStartAndEmptiedByReset)
{
    EXPECT_TRUE(SaveUndoProc == &SaveUndo && UndoProc == &Undo && RedoProc == &Redo);
    EditText.Cells[0][0].Ch = 'a', SaveUndo(), EditText.Cells[1][0].Ch = 'b', SaveUndo(), Edit(true);
    ResetUndo();
    EXPECT_EQ(std::tuple(UndoIndex, RedoLimit, UndoOldest, UndoEmpty, RedoEmpty), std::tuple(2, 2, 0, true, true));
    for (const TMemoryStream &s : UndoStreams)
        EXPECT_EQ(s.Size(), 0u);
}

TEST(MemoryStream, ReadsStopAtTheEndAndSeeksStayInside)
{
    TMemoryStream s;
    s.WriteBuffer("abcdef", 6);
    char b[5] = {};
    s.Seek(10);
    EXPECT_EQ(s.Position(), 6u);
    EXPECT_TRUE(s.ReadBuffer(b, 0));
    s.Seek(2);
    EXPECT_TRUE(s.ReadBuffer(b, 4));
    EXPECT_EQ(std::pair(s.Position(), std::string(b)), std::pair(size_t(6), std::string("cdef")));
    s.Seek(3);
    EXPECT_FALSE(s.ReadBuffer(b, 4));
    EXPECT_EQ(s.Position(), 3u);
}

TEST_F(UndoRing, SnapshotBytesAreExact)
{
    LoadPicture(EditText, " x*\n\n         ^2 ");  // result x at (0,0), raised 2 at (3,2)
    EditText.Attrs[3][2].Nesting = 0x06;
    EditText.Attrs[70][71].Protection = 2;       // an unlocked but empty cell counts
    EditText.Cells[1][5].SetFlags(cfAboveLine);  // flags alone make a cell non-empty
    Cursor(5, 7), SaveUndo();

    // Used extent (LoadPicture grew it to (3, 2)), cursor; records of column, row, 8 bytes of cell and 8 of
    // attributes; the end mark, then 20 zero bytes.
    std::vector<uint8_t> want;
    Int32(want,
          {3, 2,  5,  7, 0, 0, 'x' | 0x40 << 24, 0,  0, 0, 1, 5, 0x08 << 16, 0, 0, 0, 3, 2, '2' | 0x01 << 16, 0, 0,
           6, 70, 71, 0, 0, 0, 2 << 16,          -1, 0, 0, 0, 0, 0});
    const TMemoryStream &s = UndoStreams[2];
    EXPECT_EQ(std::vector<uint8_t>(s.Memory(), s.Memory() + s.Size()), want);
    EXPECT_EQ(std::tuple(UndoIndex, RedoLimit, UndoEmpty, RedoEmpty), std::tuple(3, 3, false, true));
    SaveUndo(), Edit(true);  // back to the snapshot above
    EXPECT_EQ(
        std::tuple(EditText.UsedRowExt, int(EditText.Attrs[3][2].Nesting), int(EditText.Attrs[70][71].Protection)),
        std::tuple(2, 6, 2));
}

TEST_F(UndoRing, RingReachesBack98StatesAndANewSnapshotEndsRedo)
{
    for (int n = 1; n <= 150; ++n)  // cell (1, 0) keeps state 0 from looking empty
        EditText.Cells[0][0].Ch = uint8_t(n), EditText.Cells[1][0].Ch = 1, Cursor(0, n % 72), SaveUndo();
    std::string seen, want;
    for (int n = 149; n >= 52; --n) {
        want += std::to_string(n) + "," + std::to_string(n % 72) + (n == 52 ? "e" : "") + " ";
        Edit(true), seen += std::to_string(EditText.Cells[0][0].Ch) + "," + std::to_string(Cursor().second) +
                            (UndoEmpty ? "e" : "") + " ";
    }
    EXPECT_EQ(seen, want);
    const int index = UndoIndex;
    Undo();  // the window makes no further request; a stray call changes nothing
    EXPECT_EQ(std::tuple(UndoIndex, EditText.Cells[0][0].Ch), std::tuple(index, 52));
    for (int k = 1; k <= 98; ++k)
        Edit(false);
    EXPECT_EQ(std::tuple(EditText.Cells[0][0].Ch, RedoEmpty), std::tuple(150, true));
    for (int k = 1; k <= 3; ++k)
        Edit(true);
    EditText.Cells[0][0].Ch = 'x', SaveUndo();
    EXPECT_EQ(std::pair(UndoEmpty, RedoEmpty), std::pair(false, true));
    const int newest = UndoIndex;
    Redo();  // a stray call must not walk into the abandoned states
    EXPECT_EQ(std::tuple(EditText.Cells[0][0].Ch, UndoIndex), std::tuple('x', newest));
    Edit(true);
    EXPECT_EQ(EditText.Cells[0][0].Ch, 147);
}

TEST_F(UndoRing, RecordsOutsideTheGridAreNeverWritten)
{
    SaveUndo(), SaveUndo();
    // Slot 2: a bad used extent, records beyond the 72 x 72 grid, no terminator.
    std::vector<uint8_t> b;
    Int32(b, {500, -3, 9, 900});
    const int32_t at[][2] = {{100, 5}, {5, 100}, {-7, 5}, {144, 144}, {3, 3}};  // 'a' .. 'e'
    for (int i = 0; i < 5; ++i) {
        Int32(b, {at[i][0], at[i][1]});
        b.push_back(uint8_t('a' + i)), b.resize(b.size() + 15, 0);
    }
    b.resize(b.size() + 10, 0xff);  // a torn record
    UndoStreams[2] = TMemoryStream(), UndoStreams[2].WriteBuffer(b.data(), b.size());

    Edit(true);
    EXPECT_EQ(SheetToPicture(EditText, -1, SheetLast), "\n\n\n          e\n");
    EXPECT_EQ(EditText.Cells[100][5].Ch + EditText.Cells[5][100].Ch + EditText.Cells[144][144].Ch, 0);
    EXPECT_EQ(Pos(EditText.UsedColExt, EditText.UsedRowExt), Pos(71, 0));
    EXPECT_EQ(Cursor(), Pos(9, 71));
}
