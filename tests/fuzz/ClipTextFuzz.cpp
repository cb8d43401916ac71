// Foreign clipboard text typed into a sheet, between copies, cuts, pastes of
// the own block, deletes, fraction lines, page locks and sheet sizes. After
// every step the used extent and the cursor lie inside the grid, and the
// cells outside the grid stay untouched.
#include <cstdint>
#include <iterator>

#include "FuzzChecks.h"
#include "FuzzInput.h"
#include "support/MemoryClipboard.h"
#include "support/SheetPicture.h"
#include "worksheet/ClipBoard.h"
#include "worksheet/Edit.h"

namespace {

const int Sizes[][2] = {{72, 72}, {144, 144}, {108, 48}, {3, 2}, {145, 1}};

// A block anywhere near the grid, edges included.
TGridRect Block(FuzzInput &in, const TDrawGrid &grid)
{
    const int left = in.Below(grid.ColCount() + 2) - 1, top = in.Below(grid.RowCount() + 2) - 1;
    return {left, top, left + in.Below(20) - 2, top + in.Below(8) - 1};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    SheetSetup setup(in.Below(4) == 0 ? 6 : 72, in.Below(4) == 0 ? 3 : 72);
    TDrawGrid &grid = setup.grid;
    MemoryClipboard board;
    TSheetCommands commands{board};
    ClipBuffer.Clear();
    ClipBuffer.Text.clear();
    // The cells outside the grid are summed once per sheet size: a step that
    // touched them shows at the next resize or at the end.
    uint64_t outside = OutsideSum(grid);
    int steps = 0;
    while (in.More() && ++steps < 200) {
        switch (in.Below(10)) {
        case 0:
        case 1:
        case 2:
            board.SetText(in.Text(size_t(in.Below(96))));
            commands.Paste(grid.Col(), grid.Row());
            break;
        case 3:
            grid.SetCol(in.Below(grid.ColCount()));
            grid.SetRow(in.Below(grid.RowCount()));
            break;
        case 4:
            commands.Copy(Block(in, grid));
            break;
        case 5:
            in.Below(2) ? commands.Cut(Block(in, grid)) : commands.Delete(Block(in, grid));
            break;
        case 6:
            commands.Paste(in.Below(grid.ColCount() + 4) - 2, in.Below(grid.RowCount() + 4) - 2);
            break;
        case 7:
            if (in.Below(2))
                EditText.InsertFraction(false);
            else
                EditText.InsertBrackets(in.Byte(), in.Byte(), in.Byte(), grid.Col(), grid.Row());
            break;
        case 8:
            in.Below(2) ? commands.LockPage(in.Below(2)) : commands.UnlockCells(Block(in, grid));
            break;
        default: {
            const auto &s = Sizes[in.Below(int(std::size(Sizes)))];
            Check(OutsideSum(grid) == outside);
            commands.SetSheetSize(s[0], s[1]);
            outside = OutsideSum(grid);
            break;
        }
        }
        CheckInsideGrid(grid);
    }
    Check(OutsideSum(grid) == outside);
    return 0;
}
