#include "CalcCommand.h"

#include <algorithm>
#include <cstring>

#include "engine/CalcThread.h"
#include "engine/Errors.h"
#include "engine/Lists.h"
#include "engine/Parser.h"
#include "engine/Rebuilder.h"
#include "engine/Results.h"
#include "engine/Router.h"
#include "engine/Scanner.h"
#include "worksheet/Edit.h"
#include "worksheet/UndoEd.h"

void TCalcCommand::PRButtonEnterClick()
{
    const uint8_t state = EditState;
    if (state == esClearArmed) {
        ClearSheet();
    } else if (state == esEditing) {
        window_.SetStatusText("");
        ClearError();
        // Last run's results go before the route notes the used rows: a
        // result that wrapped into an empty row would join two formulas.
        if (EditText.EqualMode)
            RemoveResults();
        bool ok = RouterObj.BuildRoute();
        if (ok)
            ok = ScannerObj.Scan();
        if (ok) {
            std::string trace = "Scan Grid to Stream\n";
            for (int i = 0; i <= MaxTokens; ++i) {
                const TCell &t = ScannerObj.Tokens[i];
                trace += char(t.Code() & 0xFF);
                if (t.AllZero())
                    break;
            }
            window_.AppendStatusText(trace);
            if (ScriptLevel > 0)
                window_.SubscriptOff();
            else if (ScriptLevel < 0)
                window_.SuperscriptOff();
            window_.AnsiFontSet();
            if (!ErrorPending() && ParserObj.Parse(ExpressionTree)) {
                if (!ErrorPending())
                    Calculator.Calculate(window_.ProgressBar());
                EditText.SaveCursor();
                if (EditText.EqualMode)
                    PRButtonResetClick();
                if (!ErrorPending())
                    DisplayResults();
                if (!ErrorPending())
                    EditText.RestoreCursor();
            }
        }
        if (ErrorPending())
            ShowErrorStatus();
        else
            window_.SetStatusText("  ready");
        EditState = esEditing;
    }
    RearrangeOnly = false;
}

void TCalcCommand::ShowErrorStatus()
{
    std::string text;
    GetErrorText(text);
    window_.SetStatusText("  ERROR : " + text + "\r");
    Beep();
}

void TCalcCommand::ClearSheet()
{
    EditState = esEditing;
    ClearCountdown = 0;
    window_.SetClearGlyph(false);
    window_.DeleteBoxes();
    EditText.Reset();
    window_.ResetGridFont();
    window_.FocusGrid();
    EditText.RepaintGrid();
    window_.SizeMenuLock(false);
    if (EditText.EscMode)
        window_.EscModeOff();
    window_.RestoreBaseCaption();
    ResetUndo();
    EditText.PageLock = 0;
    window_.SetLockGridChecked(false);
    EditText.FileName.clear();
}

void TCalcCommand::PRButtonClearClick()
{
    if (EditState == esClearArmed) {
        EditState = esEditing;
        window_.SetClearGlyph(false);
        window_.FocusGrid();
        ClearCountdown = 0;
    } else {
        EditState = esClearArmed;
        ClearCountdown = 100;
        window_.SetClearGlyph(true);
    }
}

void TCalcCommand::PRButtonResetClick()
{
    RemoveResults();
    EditText.RepaintGrid();
    EditText.Home();
}

void TCalcCommand::RemoveResults()
{
    int maxCol = 0, maxRow = 0;
    // The route's line-end mark is the route's own (it clears the mark on
    // every cell and sets it again where a line ends): a cell holding only
    // that mark is empty, so a calculation never moves the extent the next
    // one starts from.
    TCell lineEndCell;
    lineEndCell.SetFlags(cfLineEnd);
    uint64_t lineEndOnly;
    std::memcpy(&lineEndOnly, &lineEndCell, sizeof lineEndOnly);
    for (int c = 0; c <= EditText.ColMax; ++c)
        for (int r = 0; r <= EditText.RowMax; ++r) {
            TCell &cell = EditText.Cells[c][r];
            // Most cells are empty: one look at the whole record each.
            uint64_t bits;
            std::memcpy(&bits, &cell, sizeof bits);
            if ((bits & ~lineEndOnly) == 0)
                continue;
            if (!cell.Has(cfResult)) {
                maxCol = std::max(maxCol, c);
                maxRow = std::max(maxRow, r);
                continue;
            }
            if (cell.Code() == scRootSign) {
                // Row numbers come from bytes: keep them inside the sheet.
                const TAttrCell &a = EditText.Attrs[c][r];
                const int top = std::min<int>(a.RootTop, EditText.RowMax);
                const int bottom = std::min<int>(a.RootBottom, EditText.RowMax);
                for (int y = top; y <= bottom; ++y)
                    EditText.Attrs[c][y].Zero();
            }
            cell.Zero();
            EditText.Attrs[c][r].Zero();
        }
    EditText.UsedColExt = maxCol;
    EditText.UsedRowExt = maxRow;
}

void TCalcCommand::PRButtonRefreshClick()
{
    GridPainted = 0;
    RepaintCountdown = 0;
    DelayedRepaintPending = false;
    EditText.RepaintGrid();
}

void TCalcCommand::RouteDisplay()
{
    if (RouterObj.BuildRoute()) {
        window_.ShowRoute();
    } else if (ErrorPending()) {
        ShowErrorStatus();
    }
}

void TCalcCommand::RearrangeOnlyClick()
{
    RearrangeOnly = true;
    PRButtonEnterClick();
}

void TCalcCommand::PaintStarted()
{
    suppressArm_ = DelayedRepaintPending;
    DelayedRepaintPending = false;
}

void TCalcCommand::CellPainted(bool arm)
{
    GridPainted = 1;
    if (arm && !suppressArm_ && RepaintCountdown == 0)
        RepaintCountdown = 10;
}

void TCalcCommand::Timer1Timer()
{
    if (ClearCountdown != 0) {
        --ClearCountdown;
        if (ClearCountdown == 0)
            PRButtonClearClick();
    }
    if (GridPainted > 0) {
        if (RepaintCountdown > 0)
            --RepaintCountdown;
        if (RepaintCountdown == 5) {
            DelayedRepaintPending = true;
            EditText.RepaintGrid();
        }
    }
    if (ErrorBlink > 0) {
        if (ErrorBlink == 30 || ErrorBlink == 10)
            window_.SetStatusColor(StatusRed);
        else if (ErrorBlink == 20 || ErrorBlink == 1)
            window_.SetStatusColor(StatusWhite);
        --ErrorBlink;
    }
}
