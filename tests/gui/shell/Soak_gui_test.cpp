// Random steps on one sheet in the real window, from a fixed seed: typing, keys, block commands, saves and
// opens. Nothing may crash, the sheet stays inside its grid, a saved sheet opens as it was, and no box appears.
#include <QFile>
#include <QTimer>
#include <random>

#include "FreshWindow.h"
#include "platform/GridWidget.h"
#include "shell/MenuCommands.h"
#include "shell/VelmoraMenus.h"
#include "support/SheetPicture.h"

namespace {

using SoakTest = FreshWindowTest;

TEST_F(SoakTest, RandomStepsOnOneSheet)
{
    std::mt19937 rng{getenv("SOAK_SEED") ? unsigned(atoi(getenv("SOAK_SEED"))) : 20261207u};  // another when hunting
    auto pick = [&](size_t n) { return int(rng() % n); };
    Start(), form->Timer1->stop();
    MenuCommands->FileDialog = [&](const TFileDialogRequest &) { return dir.filePath("soak.rec"); };
    TDrawGrid &sheet = form->SheetGrid();
    const QStringList typed = QString("1 x + - * / = ( ) ^ _ . sin( 2+3= y=x^2 1/3").split(' '),
                      keys = QString("Left Right Up Down Return Backspace Del Ins Esc F5 F6 F7 F8 F9 Ctrl+/ Ctrl+9 "
                                     "Ctrl+[ Shift+Return")
                                 .split(' '),
                      items = QString("undo1 redo1 MEditCopy MEditCut MEditDelete MEditPaste Portrait144x1441 "
                                      "Landscape1")
                                  .split(' ');
    int roundTrips = 0;
    for (int step = 0; step < 1500; ++step) {
        if (const int r = pick(100); r < 45)
            QTest::keyClicks(form->Grid(), typed[pick(typed.size())]);
        else if (r < 76)
            QTest::keySequence(form->Grid(), QKeySequence(keys[pick(keys.size())]));
        else if (r < 86) {
            const int left = pick(size_t(sheet.ColCount())), top = pick(size_t(sheet.RowCount()));
            sheet.SetSelection({left, top, std::min(sheet.ColCount() - 1, left + pick(12)),
                                std::min(sheet.RowCount() - 1, top + pick(6))});
            Item(qPrintable(items[pick(items.size())]))->trigger();
        } else if (r < 98) {
            sheet.SetCol(pick(24)), sheet.SetRow(pick(16));  // near the top left, so that formulas grow
        } else {  // saved under a new name, then opened: the sheet comes back byte for byte
            auto before = (QFile::remove(dir.filePath("soak.rec")), std::make_unique<SheetBytes>());
            Item("SaveAs1")->trigger(), Item("Open1")->trigger(), ++roundTrips;
            ASSERT_TRUE(*before == SheetBytes()) << step;
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete), form->Grid()->setFocus();
        ASSERT_TRUE(EditText.UsedColExt <= EditText.ColMax && EditText.UsedRowExt <= EditText.RowMax) << step;
        for (int i = 0; step % 50 == 0 && i < SheetCells * SheetCells; ++i)  // nothing outside the grid
            ASSERT_TRUE((i / SheetCells <= EditText.ColMax && i % SheetCells <= EditText.RowMax) ||
                        (EditText.Cells[i / SheetCells][i % SheetCells] == TCell{} &&
                         EditText.Attrs[i / SheetCells][i % SheetCells].AllZero()))
                << step << ": " << i;
    }
    EXPECT_EQ(std::pair(boxes, roundTrips > 10), std::pair(std::vector<std::string>(), true));
}

}  // namespace
