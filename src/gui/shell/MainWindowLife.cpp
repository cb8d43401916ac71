// Start-up, the stored preferences, shutdown and the update check of the
// main window.
#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

#include "MainWindow.h"
#include "MenuCommands.h"
#include "StatusLine.h"
#include "UpdateClient.h"
#include "VMPrinter.h"
#include "engine/Errors.h"
#include "engine/NumFormat.h"
#include "engine/Rebuilder.h"
#include "engine/Results.h"
#include "platform/GridWidget.h"
#include "platform/MessageBox.h"
#include "platform/SettingsStore.h"
#include "shell/Preferences.h"
#include "worksheet/CellPainter.h"
#include "worksheet/Keyboard.h"
#include "worksheet/ObjectBoxes.h"

namespace {

// Whether a window at `r` would show a usable part on some screen.
bool OnSomeScreen(const QRect &r)
{
    for (const QScreen *s : QGuiApplication::screens()) {
        const QRect seen = s->availableGeometry().intersected(r);
        if (seen.width() >= 100 && seen.height() >= 50)
            return true;
    }
    return false;
}

}  // namespace

void TForm2::InitForm()
{
    PaintHost.SuspendDraw = &SuspendDraw;
    PaintHost.ShowNestingMarks = &ShowNestingMarks;
    PaintHost.CellPainted = [this](bool arm) { calc_.CellPainted(arm); };
    SetFontSizeProc = setFontSizeOfForm2;
    move(50, 50);
    TB1ButtonAnsiClick();
    TB1ButtonDegClick();
    Timer1->start();

    FontName = "Courier New";
    FontSet = 0;
    ScriptLevel = 0;
    FontSize = 14;
    CellFontSize = FontSize;
    // Places no boxes yet: PlaceBoxes is set only once the box list exists.
    SetFontSize(CellFontSize);

    EditState = esEditing;
    EditText.Clear(sheetGrid_);
    EditText.EscMode = 0;
    TB1ButtonRadClick();
    EditText.MixedFraction = 0;

    UIFixMode = false;
    UIFixPlaces = 2;
    UIFltPlaces = 6;
    UIExpMode = true;
    TB1ButtonExpClick();  // engineering exponents off
    SetFltMode(true);
    SetFixPlaces(2);
    SetFltPlaces(6);
    TB1ButtonFltClick();

    calc_.GridPainted = 0;
    calc_.RepaintCountdown = 0;
    SuspendDraw = false;
    RichEdit1->SetText("  Hello");
    RearrangeOnly = false;
    NewLineFlag = false;
    FunctionsShown = true;
    SymbolsShown = false;
    EditText.Title.clear();
    EditText.FileName.clear();
    BaseCaption = windowTitle().toStdString();
    // The sheet commands keep the box list for the files: it is made with them.
    if (!ObjBoxList)
        ObjBoxList = new TObjBox(grid, &EditText, this);
    InstallMenuCommands(*this);
    F12Armed = false;
    ShowNestingMarks = false;
    EditText.EqualMode = 0;
    PanelCount = 1;

    KeyboardObj.CodeLabel = [this](const std::string &code) { SpeedKeyboard->setText(QString::fromStdString(code)); };
    KeyboardObj.OnLayoutName = StoreKeyboardType;
    KeyboardObj.SetUSDefault();

    TSettingsStore store;
    if (Preferences.Load(store, TSettingsStore::Today())) {
        ApplyPreferences();
        Preferences.SetGridSize(poStarter);
        // Runs while the window works; a newer version shows the upgrade
        // panel when the answer comes.
        StartUpdateCheck(false);
    }

    DisplayBuffer = false;
    EditText.PageLock = 0;
    InstallPrinter();
    InstallBoxes();

    // A message left by the start-up (the update reminder) is shown alone,
    // once; GetErrorText starts the blink.
    if (ErrorPending()) {
        std::string text;
        GetErrorText(text);
        RichEdit1->SetText(text);
        ClearError();
    }
    SyncModeGlyphs();
    grid->setFocus();
}

// Drives what the user would, record by record, in this order.
void TForm2::ApplyPreferences()
{
    const TPrefRecord *r = Preferences.Records;
    ApplySheetPreferences(*this);  // SHOWGRID and GRIDSIZE
    if (r[prShowFunction].Flag() != FunctionsShown)
        Menu_FunctionPanelClick();
    if (r[prShowSymbol].Flag() != SymbolsShown)
        Menu_SymbolsPanelClick();

    const std::string layout = r[prKeyboardType].String();
    if (layout == "US-default")
        KeyboardObj.SetUSDefault();
    else if (layout == "german")
        KeyboardObj.SetGerman();
    else if (layout == "italian")
        KeyboardObj.SetItalian();
    else if (layout == "brasilPT")
        KeyboardObj.SetBrazil();

    SetFontSize(r[prFontSize].Integer());

    // Places outside 0..15 are shown and used as the nearest count; the
    // record keeps what the user stored.
    UIFixPlaces = Preferences.FixPlaces();
    UIFltPlaces = Preferences.FltPlaces();
    SetFixPlaces(UIFixPlaces);
    SetFltPlaces(UIFltPlaces);
    SetPlacesText(UIFixMode ? UIFixPlaces : UIFltPlaces);

    if (r[prFixMode].Flag())
        TB1ButtonFixClick();
    else
        TB1ButtonFltClick();
    if (r[prExpMode].Flag() != UIExpMode)
        TB1ButtonExpClick();
    if (r[prRadMode].Flag())
        TB1ButtonRadClick();
    else
        TB1ButtonDegClick();
    if (r[prEqualMode].Flag() != (EditText.EqualMode != 0))
        TB1ButtonEqualClick();

    // A position that would put the window off every screen is not taken.
    const QRect bounds(r[prFormPosition].X(), r[prFormPosition].Y(), r[prFormSize].X(), r[prFormSize].Y());
    if (OnSomeScreen(bounds))
        move(bounds.topLeft());
    resize(bounds.size());
    // PRTMARGIN replaces the print margins only when the user set them.
    std::array<int32_t, 4> margins;
    if (Preferences.StoredMargins(margins))
        PrintMargins = {margins[0], margins[1], margins[2], margins[3]};
}

// ---------------------------------------------------------------------------
// Shutdown

void TForm2::closeEvent(QCloseEvent *event)
{
    FormDestroy();
    QMainWindow::closeEvent(event);
}

// Stores the window's bounds and every record. A store that cannot be
// written falls back to the file; when that fails too the run still ends.
void TForm2::FormDestroy()
{
    if (destroyed_)
        return;
    destroyed_ = true;
    Preferences.SetFormBounds(poFormSize, uint16_t(width()), uint16_t(height()));
    Preferences.SetFormBounds(poFormPosition, uint16_t(x()), uint16_t(y()));
    TSettingsStore store;
    if (!Preferences.Save(store))
        qWarning("Velmora: the preferences could not be stored");
}

// ---------------------------------------------------------------------------
// Update check

void TForm2::StartUpdateCheck(bool manual)
{
    const int32_t starter = Preferences.Records[prStarter].Integer();
    if (!update_->Start(TSettingsStore::UpdateServer(), starter))
        return;  // one check at a time
    QAction *item = Action(QStringLiteral("CheckForUpdates"));
    item->setEnabled(false);
    connect(
        update_, &TUpdateClient::Finished, this,
        [this, manual, item](TUpdateVerdict verdict, const QString &version) {
            item->setEnabled(true);
            UpdateCheckDone(manual, verdict, version);
        },
        Qt::SingleShotConnection);
}

void TForm2::UpdateCheckDone(bool manual, TUpdateVerdict verdict, const QString &version)
{
    const QString title = QString::fromLatin1(UpdateTitle);
    if (verdict == TUpdateVerdict::Failed) {
        if (manual)
            ShowMessageBox(this, QString::fromStdString(NoConnectionText), title);
        return;
    }
    TSettingsStore store;
    if (store.Open()) {
        store.WriteDate(CheckDateName, TSettingsStore::Today());
        store.Close();
    }
    NewVersion = version.toLatin1().toStdString();
    if (verdict == TUpdateVerdict::Newer)
        ShowUpgradePanel();
    else if (manual)
        ShowMessageBox(this, QString::fromStdString(UpToDateText), title);
}
