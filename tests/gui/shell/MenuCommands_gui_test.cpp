// The window's items run the menu commands, and File/Open's effects on the window.
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <tuple>

#include "FreshWindow.h"
#include "platform/GridWidget.h"
#include "shell/MenuCommands.h"
#include "shell/ModeButtons.h"
#include "shell/VelmoraMenus.h"
#include "shell/WorksheetFile.h"

namespace {

class MenuCommandsTest : public FreshWindowTest {
protected:
    QString chosen;
    void StartWired()
    {
        Start();
        MenuCommands->FileDialog = [this](const TFileDialogRequest &) { return chosen; };
    }
    std::vector<bool> Checks(std::initializer_list<const char *> names)
    {
        std::vector<bool> v;
        for (const char *n : names)
            v.push_back(Item(n)->isChecked());
        return v;
    }
};

}  // namespace

TEST_F(MenuCommandsTest, OpenSetsCaptionSizeItemsModesLockAndFontSize)
{
    StartWired();
    auto sheet = std::make_unique<TEditText>();
    sheet->ColMax = sheet->RowMax = 143;
    sheet->Cells[3][4].Ch = 'q';
    sheet->UsedColExt = 3, sheet->UsedRowExt = 4;
    sheet->EqualMode = 1, sheet->PageLock = 1, sheet->RadMode = 0;
    const std::vector<uint8_t> bytes = SaveWorksheet(*sheet, 20, {});
    chosen = dir.filePath("orbit.rec");
    QFile f(chosen);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(reinterpret_cast<const char *>(bytes.data()), qint64(bytes.size()));
    f.close();

    Item("Open1")->trigger();
    EXPECT_EQ(form->windowTitle().toStdString(), BaseCaption + " : orbit");
    EXPECT_EQ(Checks({"Portrait72x721", "Portrait144x1441", "Landscape1", "MenuExtrasLockGrid"}),
              std::vector<bool>({false, true, false, true}));
    EXPECT_FALSE(Item("Portrait144x1441")->isEnabled());
    EXPECT_EQ(std::vector<bool>({form->TB1ButtonEqual->IsOn(), form->TB1ButtonRad->IsOn(),
                                 Preferences.Records[prEqualMode].Flag(), Preferences.Records[prRadMode].Flag()}),
              std::vector<bool>({true, false, true, false}));
    EXPECT_EQ(std::vector<int>({form->SheetGrid().ColCount(), EditText.Cells[3][4].Ch, FontSize}),
              std::vector<int>({144, 'q', 20}));

    chosen = dir.filePath("copy.rec");
    Item("SaveAs1")->trigger();
    EXPECT_EQ(form->windowTitle().toStdString(), BaseCaption + " : copy");
    QFile::remove(chosen);
    Item("Save1")->trigger();  // the file has a name: saved without asking
    EXPECT_TRUE(QFile::exists(chosen));
    EXPECT_TRUE(boxes.empty());
    // A Save As that fails part way keeps the caption.
    MenuCommands->WriteHook = [](QIODevice &file, const char *data, qint64 size) { return file.write(data, size - 1); };
    chosen = dir.filePath("second.rec");
    Item("SaveAs1")->trigger();
    EXPECT_EQ(std::tuple(form->windowTitle().toStdString(), QFile::exists(chosen), boxes.size()),
              std::tuple(BaseCaption + " : copy", false, 1u));
}

TEST_F(MenuCommandsTest, EditExtrasViewAndSizeItemsRunTheirCommands)
{
    StartWired();
    int col;
    EditText.PutChar('a', 0, 0, col), EditText.PutChar('b', 1, 0, col);
    form->SheetGrid().SetSelection({0, 0, 1, 0});
    Item("MEditCopy")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "ab");
    Item("MEditCut")->trigger();
    EXPECT_EQ(EditText.Cells[0][0].Ch + EditText.Cells[1][0].Ch, 0);
    form->SheetGrid().SetCol(5);
    Item("MEditPaste")->trigger();
    EXPECT_EQ(std::pair(EditText.Cells[5][0].Ch, EditText.Cells[6][0].Ch), std::pair(uint8_t('a'), uint8_t('b')));
    form->SheetGrid().SetSelection({5, 0, 6, 0});
    Item("MEditDelete")->trigger();
    EXPECT_EQ(EditText.Cells[5][0].Ch, 0);
    form->undo1Click();  // back before the Delete
    EXPECT_EQ(EditText.Cells[5][0].Ch, 'a');

    Item("MenuExtrasLockGrid")->trigger();
    EXPECT_TRUE(EditText.PageLock && Item("MenuExtrasLockGrid")->isChecked());
    form->SheetGrid().SetSelection({2, 2, 3, 2});
    Item("MenuExtrasUnlockCell")->trigger();
    EXPECT_EQ(EditText.Attrs[3][2].Protection, 2);
    Item("MenuViewGrid")->trigger();
    EXPECT_TRUE(form->Grid()->GridLines() && Item("MenuViewGrid")->isChecked() &&
                Preferences.Records[prShowGrid].Flag());
    Item("Menu_InsertShowTextBox")->trigger();
    EXPECT_TRUE(EditText.ShowTextBoxes && Item("Menu_InsertShowTextBox")->isChecked());
    Item("Landscape1")->trigger();
    EXPECT_EQ(std::vector<int>({form->SheetGrid().ColCount(), form->SheetGrid().RowCount(), EditText.Cells[5][0].Ch}),
              std::vector<int>({108, 48, 0}));
    EXPECT_EQ(Checks({"Portrait72x721", "Landscape1", "Menu_InsertShowTextBox"}),
              std::vector<bool>({false, true, false}));
    EXPECT_EQ(Preferences.Records[prGridSize].String(), GridLandscape);

    Preferences.Records[prShowGrid].SetFlag(false);
    Preferences.SetGridSize(poPortrait144);
    ApplySheetPreferences(*form);
    EXPECT_EQ(std::vector<bool>({form->Grid()->GridLines(), form->SheetGrid().ColCount() == 144}),
              std::vector<bool>({false, true}));
}
