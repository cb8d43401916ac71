// Random steps on one sheet in the real window, from a fixed seed: typing,
// moves, structure keys, calculations, undo, block commands, saves and opens.
// Nothing may crash, the sheet stays inside its grid, a saved sheet opens as
// it was, and no message box appears.
#include <QApplication>
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
    // SOAK_SEED runs another sequence when looking for faults.
    const char *seed = getenv("SOAK_SEED");
    std::mt19937 rng{seed ? unsigned(atoi(seed)) : 20261207u};
    auto pick = [&](size_t n) { return int(rng() % n); };
    Start();
    form->Timer1->stop();
    QString chosen;
    MenuCommands->FileDialog = [&](const TFileDialogRequest &) { return chosen; };
    GridWidget *grid = form->Grid();
    TDrawGrid &sheet = form->SheetGrid();
    static const char *const typed[] = {"1", "x", "+", "-", "*",    "/",    "=",     "(",
                                        ")", "^", "_", ".", "sin(", "2+3=", "y=x^2", "1/3"};
    static const Qt::Key keys[] = {Qt::Key_Left,      Qt::Key_Right,  Qt::Key_Up,     Qt::Key_Down,   Qt::Key_Return,
                                   Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Insert, Qt::Key_Escape, Qt::Key_F5,
                                   Qt::Key_F6,        Qt::Key_F7,     Qt::Key_F8,     Qt::Key_F9};
    static const std::pair<Qt::Key, Qt::KeyboardModifiers> structure[] = {{Qt::Key_Slash, Qt::ControlModifier},
                                                                          {Qt::Key_9, Qt::ControlModifier},
                                                                          {Qt::Key_BracketLeft, Qt::ControlModifier},
                                                                          {Qt::Key_Return, Qt::ShiftModifier}};
    static const char *const items[] = {"undo1",       "redo1",      "MEditCopy",        "MEditCut",
                                        "MEditDelete", "MEditPaste", "Portrait144x1441", "Landscape1"};
    int roundTrips = 0;
    for (int step = 0; step < 1500; ++step) {
        SCOPED_TRACE(step);
        const int r = pick(100);
        if (r < 45) {
            QTest::keyClicks(grid, QString::fromLatin1(typed[pick(std::size(typed))]));
        } else if (r < 70) {
            QTest::keyClick(grid, keys[pick(std::size(keys))]);
        } else if (r < 76) {
            const auto &[key, mods] = structure[pick(4)];
            QTest::keyClick(grid, key, mods);
        } else if (r < 86) {
            const int left = pick(size_t(sheet.ColCount())), top = pick(size_t(sheet.RowCount()));
            sheet.SetSelection({left, top, std::min(sheet.ColCount() - 1, left + pick(12)),
                                std::min(sheet.RowCount() - 1, top + pick(6))});
            Item(items[pick(std::size(items))])->trigger();
        } else if (r < 98) {
            sheet.SetCol(pick(24)), sheet.SetRow(pick(16));  // near the top left, so that formulas grow
        } else {
            // Save under a new name, then open it: the sheet comes back byte for byte.
            chosen = dir.filePath("soak.rec");
            QFile::remove(chosen);
            auto before = std::make_unique<SheetBytes>();
            Item("SaveAs1")->trigger();
            Item("Open1")->trigger();
            ASSERT_TRUE(*before == SheetBytes());
            ++roundTrips;
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        grid->setFocus();
        ASSERT_TRUE(EditText.UsedColExt <= EditText.ColMax && EditText.UsedRowExt <= EditText.RowMax);
        for (int c = 0; step % 50 == 0 && c < SheetCells; ++c)  // nothing outside the grid
            for (int r = 0; r < SheetCells; ++r)
                ASSERT_TRUE((c <= EditText.ColMax && r <= EditText.RowMax) ||
                            (EditText.Cells[c][r].Ch == 0 && EditText.Cells[c][r].Flags() == 0 &&
                             EditText.Attrs[c][r].AllZero()))
                    << c << "," << r;
    }
    EXPECT_EQ(boxes, std::vector<std::string>());
    EXPECT_GT(roundTrips, 10);
}

}  // namespace
