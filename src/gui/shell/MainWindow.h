// The main window: the sheet's grid, the tool bar with the mode buttons, the
// function panel on the right and the status line at the foot. The window
// routes keys and clicks to the sheet model and the calculate command.
//
// Its methods are spread over the files of src/app by subject:
// MainWindow.cpp (layout, start values, undo, the calculate command's window
// side), KeyRouting.cpp (grid keys and grid events), ModeButtons.cpp (mode
// buttons), FunctionPanel.cpp (the right-hand panel).
#pragma once

#include <QMainWindow>
#include <cstdint>
#include <string>

#include "shell/CalcCommand.h"
#include "worksheet/DrawGrid.h"
#include "worksheet/Edit.h"
#include "worksheet/VirtualKeys.h"

class GridWidget;
class TStatusLine;
class TModeButton;
class TRouteOverlay;
class QAction;
class QTimer;
class QToolBar;
class QToolButton;
class QPushButton;
class QWidget;

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

    // Start values; once, after construction and before the event loop.
    void InitForm();

    TDrawGrid &SheetGrid() { return sheetGrid_; }
    GridWidget *Grid() const { return grid; }
    TStatusLine *StatusLine() const { return RichEdit1; }
    TRouteOverlay *RouteOverlay() const { return routeOverlay_; }
    TCalcCommand &Calc() { return calc_; }
    bool SizeItemsLocked() const { return sizeItemsLocked_; }

    // --- commands (MainWindow.cpp)
    void SetFontSize(int size);
    void undo1Click();
    void redo1Click();

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

    // --- mode buttons (ModeButtons.cpp)
    void TB1ButtonAnsiClick();
    void TB1ButtonSymbolClick();
    void TB1ButtonSuperClick();
    void TB1ButtonSubClick();
    void TB1ButtonESCClick();
    void SyncModeGlyphs();

    TModeButton *TB1ButtonAnsi = nullptr;
    TModeButton *TB1ButtonSymbol = nullptr;
    TModeButton *TB1ButtonSuper = nullptr;
    TModeButton *TB1ButtonSub = nullptr;
    TModeButton *TB1ButtonESC = nullptr;

    // --- function panel (FunctionPanel.cpp)
    TModeButton *PRButtonClear = nullptr;
    QToolButton *PRButtonReset = nullptr;
    QToolButton *PRButtonRefresh = nullptr;
    QToolButton *PRButtonEnter = nullptr;

    QToolButton *SpeedKeyboard = nullptr;
    QAction *undo1 = nullptr;
    QAction *redo1 = nullptr;
    QTimer *Timer1 = nullptr;

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

private:
    void BuildToolBar();
    QWidget *BuildFunctionPanel();
    QWidget *BuildStatusPanel();
    void SetGridFontName(const char *name);
    static void setFontSizeOfForm2(int size);

    TDrawGrid sheetGrid_;
    TCalcCommand calc_;
    GridWidget *grid = nullptr;
    TStatusLine *RichEdit1 = nullptr;
    TRouteOverlay *routeOverlay_ = nullptr;
    QToolBar *ToolBar2 = nullptr;
    QWidget *PanelRight = nullptr;
    QWidget *PanelFunctions = nullptr;
    bool sizeItemsLocked_ = false;
    bool lockGridChecked_ = false;
};
