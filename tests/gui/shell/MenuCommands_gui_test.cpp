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
#include "support/SheetPicture.h"

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
    QFile f(chosen = dir.filePath("orbit.rec"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) &&
                f.write(reinterpret_cast<const char *>(bytes.data()), qint64(bytes.size())));
    f.close();

    Item("Open1")->trigger();
    EXPECT_EQ(form->windowTitle().toStdString(), BaseCaption + " : orbit");
    EXPECT_EQ(Checks({"Portrait72x721", "Portrait144x1441", "Landscape1", "MenuExtrasLockGrid"}),
              std::vector<bool>({false, true, false, true}));
    EXPECT_EQ(std::vector<bool>({Item("Portrait144x1441")->isEnabled(), form->TB1ButtonEqual->IsOn(),
                                 form->TB1ButtonRad->IsOn(), Preferences.Records[prEqualMode].Flag()}),
              std::vector<bool>({false, true, false, true}));
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
    LoadPicture(EditText, " a  b");
    // the item, the block selected (a single cell: the cursor), then the sheet
    const std::tuple<const char *, TGridRect, const char *> edits[] = {
        {"MEditCopy", {0, 0, 1, 0}, " a  b\n"},
        {"MEditCut", {0, 0, 1, 0}, ""},
        {"MEditPaste", {5, 0, 5, 0}, "                a  b\n"},
        {"MEditDelete", {5, 0, 6, 0}, ""},
    };
    for (const auto &[item, block, picture] : edits) {
        form->SheetGrid().SetCol(block.Left), form->SheetGrid().SetSelection(block);
        Item(item)->trigger();
        EXPECT_EQ(SheetToPicture(EditText), picture) << item;
    }
    EXPECT_EQ(QApplication::clipboard()->text(), "ab");
    form->undo1Click();  // back before the Delete
    EXPECT_EQ(SheetToPicture(EditText), "                a  b\n");

    form->SheetGrid().SetSelection({2, 2, 3, 2});
    for (const char *item : {"MenuExtrasLockGrid", "MenuExtrasUnlockCell", "MenuViewGrid", "Menu_InsertShowTextBox"})
        Item(item)->trigger();
    EXPECT_EQ(std::tuple(EditText.PageLock, EditText.Attrs[3][2].Protection, form->Grid()->GridLines(),
                         Preferences.Records[prShowGrid].Flag(), EditText.ShowTextBoxes),
              std::tuple(1, 2, true, true, 1));
    EXPECT_EQ(Checks({"MenuExtrasLockGrid", "MenuViewGrid", "Menu_InsertShowTextBox"}), std::vector<bool>(3, true));
    Item("Landscape1")->trigger();  // a new sheet
    EXPECT_EQ(std::tuple(form->SheetGrid().ColCount(), form->SheetGrid().RowCount(), SheetToPicture(EditText),
                         Preferences.Records[prGridSize].String()),
              std::tuple(108, 48, "", GridLandscape));
    EXPECT_EQ(Checks({"Portrait72x721", "Landscape1", "Menu_InsertShowTextBox"}),
              std::vector<bool>({false, true, false}));
}
