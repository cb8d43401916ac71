// Any bytes as a worksheet file, chunked or of the old layout, with picture
// and rich-text streams. A file the reader takes (whole or cut short) is
// opened with no cell outside the sheet, saved with its boxes and read again:
// the same cells, modes, font size, sheet size and boxes, and the second save
// gives the same bytes.
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "FuzzChecks.h"
#include "shell/Rtf.h"
#include "shell/WorksheetFile.h"
#include "support/SheetPicture.h"
#include "worksheet/Edit.h"

namespace {

struct TOpened {
    int cols, rows, usedCol, usedRow;
    uint8_t equal, lock, rad;
    int32_t fontSize;
    bool operator==(const TOpened &) const = default;
};

TOpened Opened(const TDrawGrid &grid)
{
    return {grid.ColCount(),    grid.RowCount(),   EditText.UsedColExt, EditText.UsedRowExt,
            EditText.EqualMode, EditText.PageLock, EditText.RadMode,    FontSize};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // A file without its own sheet size keeps this one's, and its boxes must lie on it.
    SheetSetup setup;
    const TReadResult first = ReadWorksheet(data, size, EditText.ColMax, EditText.RowMax);
    if (!first.Ok())
        return 0;
    for (const TFileBox &box : first.Sheet.Boxes)
        if (!box.Text.empty())
            ReadRtf(std::string_view(reinterpret_cast<const char *>(box.Text.data()), box.Text.size()));

    FontSize = 16;
    ApplyLoadedSheet(first.Sheet, EditText);
    const TOpened opened = Opened(setup.grid);
    Check(opened.cols == EditText.ColMax + 1 && opened.rows == EditText.RowMax + 1);
    Check(OutsideSum(setup.grid) == 0);
    Check(opened.usedCol >= 0 && opened.usedCol <= EditText.ColMax);
    Check(opened.usedRow >= 0 && opened.usedRow <= EditText.RowMax);
    const auto cells = std::make_unique<SheetBytes>();
    const std::vector<uint8_t> saved = SaveWorksheet(EditText, FontSize, first.Sheet.Boxes);

    const TReadResult again = ReadWorksheet(saved);
    Check(again.Ok() && again.Warning.empty() && !again.Sheet.OldLayout);
    Check(again.Sheet.Boxes == first.Sheet.Boxes);
    SheetSetup other(108, 48);
    EditText.Cells[100][40].Ch = 'z';
    FontSize = 9;
    ApplyLoadedSheet(again.Sheet, EditText);
    Check(*cells == *std::make_unique<SheetBytes>() && Opened(other.grid) == opened);
    Check(SaveWorksheet(EditText, FontSize, again.Sheet.Boxes) == saved);
    return 0;
}
