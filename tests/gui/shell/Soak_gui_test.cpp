// Random steps on one sheet in the real window, from a fixed seed: typing,
// moves, structure keys, panel buttons, calculations, undo and redo, block
// commands, foreign clipboard text, saves and opens. Nothing may crash, the
// sheet stays inside its grid, a saved sheet opens as it was, and no message
// box appears.
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <cstring>
#include <random>

#include "FreshWindow.h"
#include "platform/GridWidget.h"
#include "shell/MenuCommands.h"
#include "shell/VelmoraMenus.h"
#include "support/SheetPicture.h"

namespace {

using SoakTest = FreshWindowTest;
using KeyMods = std::pair<Qt::Key, Qt::KeyboardModifiers>;

// Whether a cell outside the grid is not empty.
bool OutsideGrid()
{
    static const TCell emptyCell{};
    static const TAttrCell emptyAttr{};
    for (int c = 0; c < SheetCells; ++c)
        for (int r = 0; r < SheetCells; ++r)
            if ((c > EditText.ColMax || r > EditText.RowMax) &&
                (std::memcmp(&EditText.Cells[c][r], &emptyCell, sizeof emptyCell) != 0 ||
                 std::memcmp(&EditText.Attrs[c][r], &emptyAttr, sizeof emptyAttr) != 0))
                return true;
    return false;
}

TEST_F(SoakTest, RandomStepsOnOneSheet)
{
    // SOAK_SEED runs another sequence when looking for faults.
    std::mt19937 rng{qEnvironmentVariableIsSet("SOAK_SEED") ? unsigned(qEnvironmentVariableIntValue("SOAK_SEED"))
                                                            : 20261207u};
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    Start();
    form->Timer1->stop();
    QString chosen;
    MenuCommands->FileDialog = [&](const TFileDialogRequest &) { return chosen; };
    std::vector<QToolButton *> panelButtons;
    for (QWidget *panel : {form->PanelFunctions, form->PanelSymbol2})
        for (QToolButton *b : panel->findChildren<QToolButton *>())
            panelButtons.push_back(b);
    GridWidget *grid = form->Grid();
    TDrawGrid &sheet = form->SheetGrid();
    auto type = [&](const char *text) { QTest::keyClicks(grid, QString::fromLatin1(text)); };

    static const std::string typed = "0123456789+-*/=().,xy ^_zabnst!<>|;:[]{}'";
    static const char *const words[] = {"sin(", "sqrt(", "x=2", "y=x^2", "1/3", "2+3=", "x^2^+1=", "z/(x-y)="};
    static const KeyMods keys[] = {{Qt::Key_Left, {}},
                                   {Qt::Key_Right, {}},
                                   {Qt::Key_Up, {}},
                                   {Qt::Key_Down, {}},
                                   {Qt::Key_Return, {}},
                                   {Qt::Key_Return, Qt::ShiftModifier},
                                   {Qt::Key_Backspace, {}},
                                   {Qt::Key_Delete, {}},
                                   {Qt::Key_Insert, {}},
                                   {Qt::Key_Insert, Qt::ShiftModifier},
                                   {Qt::Key_Escape, {}},
                                   {Qt::Key_Slash, Qt::ControlModifier},
                                   {Qt::Key_9, Qt::ControlModifier},
                                   {Qt::Key_BracketLeft, Qt::ControlModifier},
                                   {Qt::Key_Period, Qt::ControlModifier},
                                   {Qt::Key_F5, {}},
                                   {Qt::Key_F6, {}},
                                   {Qt::Key_F7, {}},
                                   {Qt::Key_F8, {}},
                                   {Qt::Key_F8, {}},
                                   {Qt::Key_Return, Qt::ControlModifier},
                                   {Qt::Key_F9, {}},
                                   {Qt::Key_F9, Qt::ControlModifier}};
    static const char *const items[] = {"undo1",       "undo1",      "redo1",         "MEditCopy",        "MEditCut",
                                        "MEditDelete", "MEditPaste", "PateToObject1", "Portrait144x1441", "Landscape1"};
    static const char *const foreign[] = {"12+3=\r\n4*5=", "\t x\x7f\x01y\r\r\n", "é€Ωž", ""};
    int results = 0, roundTrips = 0;
    for (int step = 0; step < 5000; ++step) {
        SCOPED_TRACE(step);
        const int r = pick(100);
        if (r < 40) {
            type(std::string(1, typed[size_t(pick(int(typed.size())))]).c_str());
        } else if (r < 46) {
            type(words[pick(int(std::size(words)))]);
        } else if (r < 48) {
            // Starting over: a formula on an emptied sheet, calculated.
            sheet.SetSelection({0, 0, EditText.ColMax, EditText.RowMax});
            Item("MEditDelete")->trigger();
            form->EscModeOff(), form->SuperscriptOff(), form->SubscriptOff(), form->AnsiFontSet();
            sheet.SetCol(0), sheet.SetRow(1);
            type(words[5 + pick(3)]);
            QTest::keyClick(grid, Qt::Key_F8);
        } else if (r < 70) {
            const auto &[k, m] = keys[pick(int(std::size(keys)))];
            QTest::keyClick(grid, k, m);
        } else if (r < 72) {
            panelButtons[size_t(pick(int(panelButtons.size())))]->click();
        } else if (r < 86) {
            const int cols = sheet.ColCount(), rows = sheet.RowCount(), left = pick(cols), top = pick(rows);
            sheet.SetSelection({left, top, std::min(cols - 1, left + pick(12)), std::min(rows - 1, top + pick(6))});
            if (pick(5) == 0)
                QApplication::clipboard()->setText(QString::fromUtf8(foreign[pick(int(std::size(foreign)))]));
            Item(items[pick(int(std::size(items)))])->trigger();
        } else if (r < 97) {
            // Near the top left most of the time, so that formulas grow.
            const bool far = pick(4) == 0;
            sheet.SetCol(far ? pick(sheet.ColCount()) : pick(24));
            sheet.SetRow(far ? pick(sheet.RowCount()) : pick(16));
        } else {
            // Save (under the sheet's name or a new one), then open it: the sheet comes back byte for byte.
            chosen = dir.filePath(pick(2) ? "soak.rec" : "other.rec");
            const bool saveAs = EditText.FileName.empty() || pick(2);
            const QString path = saveAs ? chosen : QString::fromStdString(EditText.FileName);
            QFile::remove(path);
            auto before = std::make_unique<SheetBytes>();
            Item(saveAs ? "SaveAs1" : "Save1")->trigger();
            ASSERT_TRUE(QFile::exists(path) && EditText.FileName == path.toStdString());
            chosen = path;
            Item("Open1")->trigger();
            ASSERT_TRUE(*before == SheetBytes());
            ++roundTrips;
        }
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        grid->setFocus();
        if (step % 10 == 0) {
            results += std::any_of(&EditText.Cells[0][0], &EditText.Cells[SheetLast][SheetCells],
                                   [](const TCell &c) { return c.Has(cfResult); });
            ASSERT_TRUE(EditText.UsedColExt <= EditText.ColMax && EditText.UsedRowExt <= EditText.RowMax);
            ASSERT_FALSE(OutsideGrid());
        }
    }
    EXPECT_EQ(boxes, std::vector<std::string>());
    EXPECT_TRUE(results > 50 && roundTrips > 50) << results << " " << roundTrips;
}

}  // namespace
