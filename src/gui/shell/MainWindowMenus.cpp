// The menu bar of the main window and the commands behind its items.
#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "MainWindow.h"
#include "MenuCommands.h"
#include "VelmoraMenus.h"
#include "worksheet/CellPainter.h"
#include "worksheet/UndoEd.h"

namespace {

// Items whose commands are not built yet carry this mark and stay disabled.
const char *const PlaceholderMark = "placeholder";

QKeySequence CtrlAlt(Qt::Key key)
{
    return QKeySequence(Qt::CTRL | Qt::ALT | key);
}

void MarkPlaceholder(QAction *a)
{
    a->setProperty(PlaceholderMark, true);
    a->setEnabled(false);
}

}  // namespace

QAction *TForm2::AddItem(QMenu *menu, const char *name, const QString &caption, std::function<void()> handler,
                         const QKeySequence &shortcut)
{
    QAction *a = menu->addAction(caption);
    a->setObjectName(QLatin1String(name));
    a->setShortcut(shortcut);
    if (handler)
        connect(a, &QAction::triggered, this, [handler] { handler(); });
    else
        MarkPlaceholder(a);
    return a;
}

void TForm2::BuildMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    const auto checkable = [](QAction *a, bool checked) {
        a->setCheckable(true);
        a->setChecked(checked);
    };

    QMenu *file = bar->addMenu(QStringLiteral("&File"));
    AddItem(file, "Open1", QStringLiteral("Open"), nullptr);
    AddItem(file, "Save1", QStringLiteral("Save"), nullptr, CtrlAlt(Qt::Key_S));
    AddItem(file, "SaveAs1", QStringLiteral("Save As"), nullptr);
    file->addSeparator();
    // The page preview exists, but no menu reaches it.
    AddItem(file, "PagePreview1", QStringLiteral("Page Preview"), nullptr)->setVisible(false);
    AddItem(file, "PagePreview", QStringLiteral("Page Setup"), nullptr);
    AddItem(file, "PrinterSetup1", QStringLiteral("Printer Setup"), nullptr);
    AddItem(file, "MenuFilePrintPage", QStringLiteral("Print "), nullptr);
    file->addSeparator();
    AddItem(file, "MenuFileExit", QStringLiteral("Exit"), [this] { MenuFileExitClick(); });

    QMenu *edit = bar->addMenu(QStringLiteral("&Edit"));
    AddItem(
        edit, "undo1", QStringLiteral("Undo"), [this] { undo1Click(); }, CtrlAlt(Qt::Key_Z));
    AddItem(
        edit, "redo1", QStringLiteral("Redo"), [this] { redo1Click(); }, CtrlAlt(Qt::Key_Y));
    edit->addSeparator();
    AddItem(edit, "MEditCut", QStringLiteral("Cut"), nullptr, CtrlAlt(Qt::Key_X));
    AddItem(edit, "MEditCopy", QStringLiteral("Copy"), nullptr, CtrlAlt(Qt::Key_C));
    AddItem(edit, "MEditPaste", QStringLiteral("Paste"), nullptr, CtrlAlt(Qt::Key_V));
    AddItem(edit, "PateToObject1", QStringLiteral("Paste To Box"), nullptr);
    AddItem(edit, "MEditDelete", QStringLiteral("Delete"), nullptr, QKeySequence(Qt::CTRL | Qt::Key_Delete));

    QMenu *view = bar->addMenu(QStringLiteral("&View"));
    checkable(AddItem(view, "MenuViewGrid", QStringLiteral("Grid"), nullptr), false);
    checkable(
        AddItem(view, "Menu_FunctionPanel", QStringLiteral("Functions Panel"), [this] { Menu_FunctionPanelClick(); }),
        true);
    checkable(AddItem(view, "Menu_SymbolsPanel", QStringLiteral("Symbols Panel"), [this] { Menu_SymbolsPanelClick(); }),
              false);

    QMenu *insert = bar->addMenu(QStringLiteral("&Insert"));
    AddItem(insert, "Menu_InsertBitmapFile", QStringLiteral("Image File"), nullptr);
    AddItem(insert, "Menu_InsertTextFile", QStringLiteral("Text File"), nullptr);
    AddItem(insert, "Menu_InsertTextbox", QStringLiteral("New Textbox"), nullptr);
    insert->addSeparator();
    AddItem(insert, "Menu_InsertTextToBitmap1", QStringLiteral("Textbox To Image"), nullptr);
    checkable(AddItem(insert, "Menu_InsertShowTextBox", QStringLiteral("Show TextBox"), nullptr), false);

    QMenu *extras = bar->addMenu(QStringLiteral("E&xtras"));
    checkable(AddItem(extras, "MenuExtrasLockGrid", QStringLiteral("Lock Page"), nullptr), false);
    AddItem(extras, "MenuExtrasUnlockCell", QStringLiteral("Unlock Cell"), nullptr);

    QMenu *options = bar->addMenu(QStringLiteral("&Options"));
    QMenu *size = options->addMenu(QStringLiteral("Size"));
    size->setObjectName(QStringLiteral("MenuOptionsSize"));
    checkable(AddItem(size, "Portrait72x721", QStringLiteral("Portrait 72x72"), nullptr), true);
    checkable(AddItem(size, "Portrait144x1441", QStringLiteral("Portrait 144x144"), nullptr), false);
    checkable(AddItem(size, "Landscape1", QStringLiteral("Landscape 108x48"), nullptr), false);
    AddItem(options, "MenuKeyboard1", QStringLiteral("Keyboard"), [this] { MenuKeyboard1Click(); });
    checkable(AddItem(options, "MenuOptionsDisplayBuffer", QStringLiteral("Display Buffer"),
                      [this] { MenuOptionsDisplayBufferClick(); }),
              false);

    QMenu *help = bar->addMenu(QStringLiteral("&Help"));
    AddItem(help, "CheckForUpdates", QStringLiteral("Check For Updates"), [this] { CheckForUpdatesClick(); });
}

QAction *TForm2::Action(const QString &objectName) const
{
    return findChild<QAction *>(objectName);
}

void TForm2::WireAction(const QString &objectName, std::function<void()> handler)
{
    QAction *a = Action(objectName);
    if (!a)
        return;
    a->setProperty(PlaceholderMark, false);
    connect(a, &QAction::triggered, this, [handler] { handler(); });
    a->setEnabled(true);
    SizeMenuLock(sizeItemsLocked_);
}

void TForm2::SizeMenuLock(bool lock)
{
    sizeItemsLocked_ = lock;
    for (const char *name : {"Portrait72x721", "Portrait144x1441", "Landscape1"}) {
        QAction *a = Action(QLatin1String(name));
        a->setEnabled(!lock && !a->property(PlaceholderMark).toBool());
    }
}

void TForm2::MenuFileExitClick()
{
    close();
}

void TForm2::UndoStep(bool empty, void (*step)())
{
    if (empty || !step)
        return;
    EditText.Reset();
    step();
    sheetGrid_.Repaint();
    // Reset turned Show TextBox off: the item and the highlight follow.
    if (MenuCommands)
        MenuCommands->SyncShowTextBox();
}

void TForm2::undo1Click()
{
    UndoStep(UndoEmpty, UndoProc);
}

void TForm2::redo1Click()
{
    UndoStep(RedoEmpty, RedoProc);
}

// Qt always paints the grid through a back buffer: the item keeps the
// setting that the painter and printing read.
void TForm2::MenuOptionsDisplayBufferClick()
{
    DisplayBuffer = !DisplayBuffer;
    Action(QStringLiteral("MenuOptionsDisplayBuffer"))->setChecked(DisplayBuffer);
}

void TForm2::CheckForUpdatesClick()
{
    StartUpdateCheck(true);
}
