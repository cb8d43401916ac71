// The window's items run the menu commands, and File/Open's effects on the window.
#include <QClipboard>

#include "FreshWindow.h"
#include "gui/worksheet/BoxFixture.h"
#include "platform/GridWidget.h"
#include "shell/MenuCommands.h"
#include "shell/ModeButtons.h"
#include "shell/VelmoraMenus.h"
#include "shell/WorksheetFile.h"
#include "support/SheetPicture.h"

class MenuCommandsTest : public FreshWindowTest {
protected:
    QString chosen;
    void SetUp() override
    {
        FreshWindowTest::SetUp();
        Start();
        MenuCommands->FileDialog = [this](const TFileDialogRequest &) { return chosen; };
    }
    // Per item '1' checked or '0', then '-' when disabled.
    std::string Checks(std::initializer_list<const char *> names)
    {
        std::string s;
        for (const char *n : names)
            s += std::string(Item(n)->isChecked() ? "1" : "0") + (Item(n)->isEnabled() ? "" : "-");
        return s;
    }
};

TEST_F(MenuCommandsTest, OpenSetsCaptionSizeItemsModesLockAndFontSizeAndSaveAsRenames)
{
    auto sheet = std::make_unique<TEditText>();
    sheet->ColMax = sheet->RowMax = 143, sheet->Cells[3][4].Ch = 'q', sheet->UsedColExt = 3, sheet->UsedRowExt = 4;
    sheet->EqualMode = 1, sheet->PageLock = 1, sheet->RadMode = 0;
    WriteFile(chosen = dir.filePath("orbit.rec"), SaveWorksheet(*sheet, 20, {})), Item("Open1")->trigger();
    EXPECT_EQ(std::tuple(form->windowTitle().toStdString(),
                         Checks({"Portrait72x721", "Portrait144x1441", "Landscape1", "MenuExtrasLockGrid"}),
                         form->TB1ButtonEqual->IsOn(), form->TB1ButtonRad->IsOn(),
                         Preferences.Records[prEqualMode].Flag(), form->SheetGrid().ColCount(), EditText.Cells[3][4].Ch,
                         FontSize),
              std::tuple(BaseCaption + " : orbit", "0-1-0-1", true, false, true, 144, uint8_t('q'), 20));
    chosen = dir.filePath("copy.rec"), Item("SaveAs1")->trigger();
    const std::string copy = (QFile::remove(chosen), form->windowTitle().toStdString());
    Item("Save1")->trigger();  // the file has a name: saved without asking
    EXPECT_EQ(std::tuple(copy, QFile::exists(chosen), boxes.size()), std::tuple(BaseCaption + " : copy", true, 0u));
}

TEST_F(MenuCommandsTest, EditExtrasViewAndSizeItemsRunTheirCommands)
{
    LoadPicture(EditText, " a  b");  // the edit items on the block selected (a single cell: the cursor)
    const std::tuple<const char *, TGridRect, const char *> edits[] = {
        {"MEditCopy", {0, 0, 1, 0}, " a  b\n"},
        {"MEditCut", {0, 0, 1, 0}, ""},
        {"MEditPaste", {5, 0, 5, 0}, "                a  b\n"},
        {"MEditDelete", {5, 0, 6, 0}, ""},
        {"undo1", {5, 0, 5, 0}, "                a  b\n"}};
    for (const auto &[item, block, picture] : edits) {
        form->SheetGrid().SetCol(block.Left), form->SheetGrid().SetSelection(block), Item(item)->trigger();
        EXPECT_EQ(SheetToPicture(EditText), picture) << item;
    }
    form->SheetGrid().SetSelection({2, 2, 3, 2});
    for (const char *item : {"MenuExtrasLockGrid", "MenuExtrasUnlockCell", "MenuViewGrid", "Menu_InsertShowTextBox"})
        Item(item)->trigger();
    EXPECT_EQ(std::tuple(QApplication::clipboard()->text(), EditText.PageLock, EditText.Attrs[3][2].Protection,
                         form->Grid()->GridLines(), Preferences.Records[prShowGrid].Flag(), EditText.ShowTextBoxes,
                         Checks({"MenuExtrasLockGrid", "MenuViewGrid", "Menu_InsertShowTextBox"})),
              std::tuple("ab", 1, 2, true, true, 1, "111"));
    Item("Landscape1")->trigger();  // a new sheet
    EXPECT_EQ(std::tuple(form->SheetGrid().ColCount(), form->SheetGrid().RowCount(), SheetToPicture(EditText),
                         Preferences.Records[prGridSize].String(),
                         Checks({"Portrait72x721", "Landscape1", "Menu_InsertShowTextBox"})),
              std::tuple(108, 48, "", GridLandscape, "010"));
}
