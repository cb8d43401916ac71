// The editor and the engine under a stream of user steps: typed characters,
// keys with modifiers, cursor moves, structural edits, root ranges, undo and
// redo, sheet sizes and the calculate commands. After every step the used
// extent and the cursor lie inside the grid, and the cells outside the grid
// stay untouched.
#include <cstdint>

#include "FuzzChecks.h"
#include "FuzzInput.h"
#include "engine/Errors.h"
#include "shell/CalcCommand.h"
#include "support/QuietWindow.h"
#include "support/SheetPicture.h"
#include "worksheet/Edit.h"
#include "worksheet/UndoEd.h"
#include "worksheet/VirtualKeys.h"

namespace {

const uint16_t Keys[] = {vkBack,  vkReturn, vkEscape, vkPrior,  vkNext, vkEnd,   vkHome,  vkLeft,   vkUp,
                         vkRight, vkDown,   vkInsert, vkDelete, vkKey1, vkComma, vkMinus, vkPeriod, 'R',
                         'Q',     'I',      'F',      '2',      '3',    '8',     '9',     '0'};
const int Sizes[][2] = {{72, 72}, {144, 144}, {108, 48}};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static bool once = (InitErrorTexts(), InitUndo(), true);
    (void)once;
    FuzzInput in(data, size);
    SheetSetup setup;
    QuietWindow window;
    TCalcCommand cmd{window};
    ResetUndo();
    ClearError();
    TDrawGrid &grid = setup.grid;
    // The cells outside the grid are summed once per sheet size: a step that
    // touched them shows at the next resize or at the end.
    uint64_t outside = OutsideSum(grid);
    int steps = 0;
    while (in.More() && ++steps < 400) {
        switch (in.Below(12)) {
        case 0:
        case 1: {
            char ch = char(in.Byte());
            EditText.KeyPress(TShiftState(in.Below(8)), ch);
            SaveUndo();
            break;
        }
        case 2:
        case 3: {
            uint16_t key = Keys[in.Below(int(std::size(Keys)))];
            EditText.KeyDown(TShiftState(in.Below(8)), key, grid);
            break;
        }
        case 4:
            grid.SetCol(in.Below(grid.ColCount()));
            grid.SetRow(in.Below(grid.RowCount()));
            break;
        case 5: {
            const int op = in.Below(4);
            op == 0   ? (void)EditText.InsertColumn()
            : op == 1 ? EditText.DeleteColumn()
            : op == 2 ? EditText.InsertRow()
                      : EditText.DeleteRow();
            break;
        }
        case 6: {
            const int op = in.Below(3);
            op == 0 ? Undo() : op == 1 ? Redo() : SaveUndo();
            break;
        }
        case 7: {
            const int c = in.Below(grid.ColCount()), r = in.Below(grid.RowCount());
            EditText.SelCol = c, EditText.SelRow = r;
            EditText.Selection = {c, r, c + in.Below(12), r + in.Below(4)};
            EditText.SetRootRange();
            break;
        }
        case 8: {
            const int op = in.Below(4);
            op == 0   ? cmd.PRButtonEnterClick()
            : op == 1 ? cmd.RearrangeOnlyClick()
            : op == 2 ? cmd.PRButtonResetClick()
                      : cmd.PRButtonRefreshClick();
            ClearError();
            break;
        }
        case 9: {
            const auto &s = Sizes[in.Below(3)];
            Check(OutsideSum(grid) == outside);
            grid.SetSize(s[0], s[1]);
            EditText.Reset();
            outside = OutsideSum(grid);
            break;
        }
        case 10: {
            const int op = in.Below(3);
            if (op == 0)
                EditText.InsertFraction(false);
            else if (op == 1)
                EditText.InsertBrackets(uint8_t(in.Byte()), uint8_t(in.Byte()), uint8_t(in.Byte()), grid.Col(),
                                        grid.Row());
            else
                EditText.InsertIntegral(grid.Col(), grid.Row());
            break;
        }
        default:
            EditText.EqualMode = in.Below(2), EditText.RadMode = in.Below(2);
            EditText.ImplicitMult = in.Below(2), EditText.MixedFraction = in.Below(2);
            break;
        }
        CheckInsideGrid(grid);
    }
    Check(OutsideSum(grid) == outside);
    return 0;
}
