// The main window: menus, the tool bar with the mode buttons and combo
// boxes, the sheet's grid, the right-hand panel column (functions, symbols,
// upgrade, keyboard) and the status line at the foot. The window routes keys,
// clicks and menu choices to the sheet model and the commands.
//
// Its methods are spread over files by subject: MainWindow.cpp (layout and
// the calculate command's window side), MainWindowLife.cpp (start-up,
// stored preferences, shutdown, update check), MainWindowMenus.cpp (menus),
// KeyRouting.cpp (grid keys and events), ModeButtons.cpp (mode buttons and
// combo boxes), FunctionPanel.cpp (the panels).
#pragma once

#include <QMainWindow>
#include <cstdint>
#include <functional>
#include <string>

#include "shell/CalcCommand.h"
#include "worksheet/DrawGrid.h"
#include "worksheet/Edit.h"
#include "worksheet/VirtualKeys.h"

class GridWidget;
class TStatusLine;
class TModeButton;
class TRouteOverlay;
class TUpdateClient;
class QAction;
class QComboBox;
class QLabel;
class QListWidget;
class QMenu;
class QTimer;
class QToolBar;
class QToolButton;
class QWidget;
enum class TUpdateVerdict;

class TForm2;

// Globals of the window's unit.
extern TForm2 *Form2;
extern std::string BaseCaption;  // the caption at start
extern bool F12Armed;            // Ctrl+Shift+F12 was the previous key
extern bool ShowNestingMarks;    // the painter's overlay of the structure bits
// The tool bar's copies of the number-format settings.
extern bool UIFixMode;
extern int32_t UIFixPlaces;
extern int32_t UIFltPlaces;
extern bool UIExpMode;

class TForm2 : public QMainWindow, public TCalcWindow {
    Q_OBJECT
public:
    explicit TForm2(QWidget *parent = nullptr);
    ~TForm2() override;

    // Start values, then the stored preferences; once, after construction
    // and before the event loop.
    void InitForm();
    void ApplyPreferences();
    // The print commands of the File menu and the printer's callbacks (MainWindowPrint.cpp).
    void InstallPrinter();
    // The box list, the Insert menu and the boxes' pictures on the page (MainWindowBoxes.cpp).
    void InstallBoxes();

    TDrawGrid &SheetGrid() { return sheetGrid_; }
    GridWidget *Grid() const { return grid; }
    TStatusLine *StatusLine() const { return RichEdit1; }
    TRouteOverlay *RouteOverlay() const { return routeOverlay_; }
    TCalcCommand &Calc() { return calc_; }
    TUpdateClient *UpdateClient() const { return update_; }
    bool SizeItemsLocked() const { return sizeItemsLocked_; }

    // --- menus (MainWindowMenus.cpp)
    // A menu item by its object name ("Open1", "MEditCut", ...).
    QAction *Action(const QString &objectName) const;
    // Gives a placed item its command and enables it; items whose commands
    // are not built yet stay disabled until then.
    void WireAction(const QString &objectName, std::function<void()> handler);
    void undo1Click();
    void redo1Click();
    void MenuFileExitClick();
    void MenuOptionsDisplayBufferClick();
    void CheckForUpdatesClick();

    // --- key routing and grid events (KeyRouting.cpp)
    void GridKeyDown(uint16_t &key, TShiftState shift);
    void GridKeyPress(char &key);
    void gridSelectCell(int col, int row, bool &canSelect);
    void gridDblClick();
    void gridTopLeftChanged();
    void MoveUpLeft();
    void MoveDownLeft();
    void MoveUpRight();

    TShiftState LastShift = 0;
    int32_t LastKey = 0;

    // --- mode buttons and combo boxes (ModeButtons.cpp)
    void TB1ButtonAnsiClick();
    void TB1ButtonSymbolClick();
    void TB1ButtonSuperClick();
    void TB1ButtonSubClick();
    void TB1ButtonESCClick();
    void TB1ButtonDegClick();
    void TB1ButtonRadClick();
    void TB1ButtonExpClick();
    void TB1ButtonFixClick();
    void TB1ButtonFltClick();
    void TB1ButtonEqualClick();
    void TB1ButtonDelLockClick();
    void ComboFontSizeClick();
    void ComboPlacesClick();
    void ComboPlacesExit();
    void SyncModeGlyphs();
    // The one way the sheet's font size changes.
    void SetFontSize(int size);

    TModeButton *TB1ButtonAnsi = nullptr;
    TModeButton *TB1ButtonSymbol = nullptr;
    TModeButton *TB1ButtonSuper = nullptr;
    TModeButton *TB1ButtonSub = nullptr;
    TModeButton *TB1ButtonDelLock = nullptr;
    TModeButton *TB1ButtonESC = nullptr;
    TModeButton *TB1ButtonDeg = nullptr;
    TModeButton *TB1ButtonRad = nullptr;
    TModeButton *TB1ButtonExp = nullptr;
    TModeButton *TB1ButtonFix = nullptr;
    TModeButton *TB1ButtonFlt = nullptr;
    TModeButton *TB1ButtonEqual = nullptr;
    QComboBox *ComboFontSize = nullptr;
    QComboBox *ComboPlaces = nullptr;

    // --- panels (FunctionPanel.cpp)
    void ShowRightPanel(uint8_t mode);
    void ShowUpgradePanel();
    void ButtonUpgradeOkClick();
    void Menu_FunctionPanelClick();
    void Menu_SymbolsPanelClick();
    void MenuKeyboard1Click();
    void SpeedKeyboarOKClick();
    void WritePanelFunction(const std::string &name);
    void InsertPanelBracket(uint8_t top, uint8_t middle, uint8_t bottom);

    bool FunctionsShown = true;
    bool SymbolsShown = false;
    std::string NewVersion;
    int32_t PanelCount = 1;

    TModeButton *PRButtonClear = nullptr;
    QToolButton *PRButtonReset = nullptr;
    QToolButton *PRButtonRefresh = nullptr;
    QToolButton *PRButtonEnter = nullptr;
    QWidget *PanelRight = nullptr;
    QWidget *PanelFunctions = nullptr;
    QWidget *PanelSymbol2 = nullptr;
    QWidget *PanelUpgrade = nullptr;
    QWidget *PanelKeyboard = nullptr;
    QListWidget *ListBoxKeyboard = nullptr;
    QToolButton *SpeedKeyboarOK = nullptr;
    QToolButton *ButtonUpgradeOk = nullptr;
    QLabel *LabelVersion = nullptr;
    QLabel *LabelNewVersion = nullptr;

    QToolButton *SpeedKeyboard = nullptr;
    QTimer *Timer1 = nullptr;

    // Called where the sheet's text boxes follow the grid (font size,
    // scrolling); set once the box list exists.
    std::function<void()> PlaceBoxes;

    // --- TCalcWindow
    void SetStatusText(const std::string &text) override;
    void AppendStatusText(const std::string &text) override;
    std::string StatusText() const override;
    void SetStatusColor(uint32_t bgr) override;
    void SetClearGlyph(bool armed) override;
    void FocusGrid() override;
    void ResetGridFont() override;
    void SizeMenuLock(bool lock) override;
    void EscModeOff() override;
    void SubscriptOff() override;
    void SuperscriptOff() override;
    void AnsiFontSet() override;
    void RestoreBaseCaption() override;
    void SetLockGridChecked(bool checked) override;
    void DeleteBoxes() override;
    void ShowRoute() override;
    TProgressBar *ProgressBar() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void BuildMenus();
    QAction *AddItem(QMenu *menu, const char *name, const QString &caption, std::function<void()> handler,
                     const QKeySequence &shortcut = {});
    void BuildToolBar();
    QWidget *BuildRightPanels();
    QWidget *BuildFunctionPanel(QWidget *parent);
    QWidget *BuildSymbolPanel(QWidget *parent);
    QWidget *BuildUpgradePanel(QWidget *parent);
    QWidget *BuildKeyboardPanel(QWidget *parent);
    QWidget *BuildStatusPanel();
    void SetGridFontName(const char *name);
    void TogglePanel(QWidget *panel, bool &shown, const char *item, int option);
    void UndoStep(bool empty, void (*step)());
    void SetPlacesText(int32_t places);
    void SetRadMode(bool rad);
    void SetFixMode(bool fix);
    void FormDestroy();
    void StartUpdateCheck(bool manual);
    void UpdateCheckDone(bool manual, TUpdateVerdict verdict, const QString &version);
    static void setFontSizeOfForm2(int size);

    TDrawGrid sheetGrid_;
    TCalcCommand calc_;
    GridWidget *grid = nullptr;
    TStatusLine *RichEdit1 = nullptr;
    TRouteOverlay *routeOverlay_ = nullptr;
    TUpdateClient *update_ = nullptr;
    QToolBar *ToolBar2 = nullptr;
    bool sizeItemsLocked_ = false;
    bool destroyed_ = false;
};
