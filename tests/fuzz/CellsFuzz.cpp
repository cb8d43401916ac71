// Raw bytes in both cell layers, as a damaged file would leave them, then
// the calculate command. A second calculation after Reset reads the sheet
// exactly like the first: the same status and the same cells.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "FuzzChecks.h"
#include "FuzzInput.h"
#include "engine/Errors.h"
#include "shell/CalcCommand.h"
#include "support/QuietWindow.h"
#include "support/SheetPicture.h"
#include "worksheet/Edit.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static bool once = (InitErrorTexts(), true);
    (void)once;
    FuzzInput in(data, size);
    SheetSetup setup(24, 16);
    QuietWindow window;
    TCalcCommand cmd{window};
    ClearError();
    EditText.EqualMode = in.Below(2);
    EditText.RadMode = in.Below(2);
    // Cells in reading order: a run of bytes per cell, both layers.
    for (int c = 0; c < 24 && in.More(); ++c)
        for (int r = 0; r < 16 && in.More(); ++r) {
            uint8_t raw[16];
            for (uint8_t &b : raw)
                b = in.Byte();
            std::memcpy(&EditText.Cells[c][r], raw, 8);
            std::memcpy(&EditText.Attrs[c][r], raw + 8, 8);
            EditText.NoteUsed(c, r);
        }
    cmd.PRButtonResetClick();
    cmd.PRButtonEnterClick();
    const std::string first = window.status, sheet = SheetToPicture(EditText);
    cmd.PRButtonResetClick();
    ClearError();
    window.status.clear();
    cmd.PRButtonEnterClick();
    Check(window.status == first && SheetToPicture(EditText) == sheet);
    ClearError();
    return 0;
}
