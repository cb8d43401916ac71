#include "MenuCommands.h"

#include <QAction>
#include <memory>

#include "MainWindow.h"
#include "VelmoraMenus.h"
#include "platform/GridWidget.h"
#include "shell/Preferences.h"
#include "worksheet/ObjectBoxes.h"
#include "worksheet/UndoEd.h"

TVelmoraMenus *MenuCommands = nullptr;

namespace {

std::unique_ptr<TObjBoxFiles> boxFiles;
std::unique_ptr<TVelmoraMenus> menuCommands;

struct TSizeItems {
    QAction *Size144, *Size72, *Landscape;
};

TSizeItems SizeItems(TForm2 &form)
{
    return {form.Action(QStringLiteral("Portrait144x1441")), form.Action(QStringLiteral("Portrait72x721")),
            form.Action(QStringLiteral("Landscape1"))};
}

void SetCaption(TForm2 &form)
{
    form.setWindowTitle(QString::fromStdString(BaseCaption + " : " + EditText.Title));
}

void SetSheetSize(TForm2 &form, TPrefOption option)
{
    const TSizeItems s = SizeItems(form);
    if (option == poPortrait72)
        MenuCommands->SetPortrait72x72(s.Size144, s.Size72, s.Landscape);
    else if (option == poPortrait144)
        MenuCommands->SetPortrait144x144(s.Size144, s.Size72, s.Landscape);
    else
        MenuCommands->SetLandscape(s.Size144, s.Size72, s.Landscape);
}

void Open(TForm2 &form)
{
    if (MenuCommands->OpenFile()) {
        SetCaption(form);
        form.SheetGrid().Repaint();
        const TSizeItems s = SizeItems(form);
        const int cols = form.SheetGrid().ColCount();
        s.Size72->setChecked(cols == 72);
        s.Size144->setChecked(cols == 144);
        s.Landscape->setChecked(cols == 108);
        form.SizeMenuLock(true);
        Preferences.SetFlag(poEqualMode, EditText.EqualMode != 0);
        EditText.RadMode ? form.TB1ButtonRadClick() : form.TB1ButtonDegClick();
        form.SetLockGridChecked(EditText.PageLock != 0);
    }
    form.SetFontSize(FontSize);
}

void SaveAs(TForm2 &form)
{
    if (MenuCommands->SaveFileAs())
        SetCaption(form);
}

}  // namespace

void InstallMenuCommands(TForm2 &form)
{
    boxFiles = std::make_unique<TObjBoxFiles>(ObjBoxList);
    menuCommands = std::make_unique<TVelmoraMenus>(*form.Grid(), *boxFiles, &form);
    MenuCommands = menuCommands.get();
    MenuCommands->ShowTextBoxItem = form.Action(QStringLiteral("Menu_InsertShowTextBox"));
    TForm2 *f = &form;
    const auto sel = [f] { return f->SheetGrid().Selection(); };
    // A snapshot before the command, so that even a ring emptied by opening
    // a file can go back, and after it, as after every change of the sheet.
    const auto withUndo = [](auto command) {
        return [command] {
            SaveUndoProc();
            command();
            SaveUndoProc();
        };
    };

    form.WireAction(QStringLiteral("Open1"), [f] { Open(*f); });
    form.WireAction(QStringLiteral("Save1"), [f] {
        if (EditText.FileName.empty())
            SaveAs(*f);
        else
            MenuCommands->SaveFile();
    });
    form.WireAction(QStringLiteral("SaveAs1"), [f] { SaveAs(*f); });
    form.WireAction(QStringLiteral("MEditCut"), withUndo([sel] { MenuCommands->Cut(sel()); }));
    form.WireAction(QStringLiteral("MEditCopy"), [sel] { MenuCommands->Copy(sel()); });
    form.WireAction(QStringLiteral("MEditPaste"),
                    withUndo([f] { MenuCommands->Paste(f->SheetGrid().Col(), f->SheetGrid().Row()); }));
    form.WireAction(QStringLiteral("PateToObject1"), [] { MenuCommands->PasteToObject(); });
    form.WireAction(QStringLiteral("MEditDelete"), withUndo([sel] { MenuCommands->Delete(sel()); }));
    form.WireAction(QStringLiteral("MenuViewGrid"), [f] {
        MenuCommands->ToggleGrid(f->Action(QStringLiteral("MenuViewGrid")));
        if (f->PlaceBoxes)
            f->PlaceBoxes();
    });
    form.WireAction(QStringLiteral("Menu_InsertShowTextBox"),
                    [f] { MenuCommands->ToggleShowTextBox(f->Action(QStringLiteral("Menu_InsertShowTextBox"))); });
    form.WireAction(QStringLiteral("MenuExtrasLockGrid"), [f] {
        MenuCommands->LockPage(!EditText.PageLock);
        f->SetLockGridChecked(EditText.PageLock != 0);
    });
    form.WireAction(QStringLiteral("MenuExtrasUnlockCell"), [sel] { MenuCommands->UnlockCells(sel()); });
    for (TPrefOption option : {poPortrait72, poPortrait144, poLandscape}) {
        const char *name = option == poPortrait72    ? "Portrait72x721"
                           : option == poPortrait144 ? "Portrait144x1441"
                                                     : "Landscape1";
        form.WireAction(QLatin1String(name), [f, option] {
            SetSheetSize(*f, option);
            Preferences.SetGridSize(option);
        });
    }
}

void RemoveMenuCommands()
{
    MenuCommands = nullptr;
    menuCommands.reset();
    boxFiles.reset();
}

void ApplySheetPreferences(TForm2 &form)
{
    const TPrefRecord *r = Preferences.Records;
    if (r[prShowGrid].Flag() != form.Grid()->GridLines()) {
        MenuCommands->ToggleGrid(form.Action(QStringLiteral("MenuViewGrid")));
        if (form.PlaceBoxes)
            form.PlaceBoxes();
    }
    const std::string size = r[prGridSize].String();
    if (size == GridPortrait72)
        SetSheetSize(form, poPortrait72);
    else if (size == GridPortrait144)
        SetSheetSize(form, poPortrait144);
    else if (size == GridLandscape)
        SetSheetSize(form, poLandscape);
}
