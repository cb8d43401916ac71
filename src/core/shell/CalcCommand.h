// The calculate command and the small commands around it (Clear with its
// one-second confirmation, Reset, Refresh, the route display) and the 10 ms
// tick. Plain C++: the window implements TCalcWindow and forwards its
// buttons, keys and timer here; tests drive it directly.
#pragma once

#include <cstdint>
#include <string>

class TProgressBar;

// What the command needs of the main window.
class TCalcWindow {
public:
    virtual ~TCalcWindow() = default;
    virtual void SetStatusText(const std::string &text) = 0;
    virtual void AppendStatusText(const std::string &text) = 0;
    virtual std::string StatusText() const = 0;
    virtual void SetStatusColor(uint32_t bgr) = 0;  // 0x0000FF red, 0xFFFFFF white
    virtual void SetClearGlyph(bool armed) = 0;
    virtual void FocusGrid() = 0;
    virtual void ResetGridFont() = 0;          // grid font back to the cell size, black
    virtual void SizeMenuLock(bool lock) = 0;  // the Size menu items
    virtual void EscModeOff() = 0;             // the ESC button, when ESC mode is on
    virtual void SubscriptOff() = 0;
    virtual void SuperscriptOff() = 0;
    virtual void AnsiFontSet() = 0;
    virtual void RestoreBaseCaption() = 0;
    virtual void SetLockGridChecked(bool checked) = 0;
    virtual void DeleteBoxes() = 0;  // every text box and picture of the sheet
    virtual void ShowRoute() = 0;    // draw RouterObj's route over the grid
    virtual TProgressBar *ProgressBar() = 0;
};

constexpr uint32_t StatusRed = 0x0000FF;
constexpr uint32_t StatusWhite = 0xFFFFFF;

class TCalcCommand {
public:
    explicit TCalcCommand(TCalcWindow &window) : window_(window) {}

    void PRButtonEnterClick();
    void PRButtonClearClick();
    void PRButtonResetClick();
    void PRButtonRefreshClick();
    void RouteDisplay();        // Ctrl+F9
    void RearrangeOnlyClick();  // F9
    void Timer1Timer();

    // The window calls PaintStarted at the start of every grid paint, and
    // the painter CellPainted for each cell, with arm set where a root's
    // overline needs the delayed repaint. The paint that the delayed repaint
    // itself causes never arms it again, however late Qt delivers it.
    void PaintStarted();
    void CellPainted(bool arm);

    int32_t ClearCountdown = 0;
    int32_t RepaintCountdown = 0;
    int32_t GridPainted = 0;
    bool DelayedRepaintPending = false;

private:
    void ClearSheet();
    // Every result cell removed, the used extent taken from the rest.
    void RemoveResults();
    bool suppressArm_ = false;
    void ShowErrorStatus();
    TCalcWindow &window_;
};
