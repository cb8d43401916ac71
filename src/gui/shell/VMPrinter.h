// Printing: the sheet, or the selected block of it, on one page at the largest
// font that fits inside the margins, drawn by the ordinary cell painter into
// printer rectangles, with the grid lines and the pictures of the boxes. The
// page preview renders through the same object.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <QImage>
#include <QPageLayout>
#include <QRect>
#include <QString>

#include "shell/PrintLayout.h"
#include "worksheet/CellPainter.h"

class GridWidget;
class QDialog;
class QPainter;
class QPrinter;
class QWidget;
class TEditText;

// The picture of one box on the sheet, as its box list reports it.
struct TBoxPicture {
    int Col = 0;  // anchor cell
    int Row = 0;
    int DX = 0;  // the box's offset back from the anchor cell's corner, screen pixels
    int DY = 0;
    int Width = 0;  // the box's size on screen
    int Height = 0;
    QImage Image;
};

enum TPrintStatus : int { psOk = 0, psDoesNotFit = 1, psStartFailed = 2, psAborted = 3, psFinishFailed = 4 };

// Messages of the print commands.
extern const char *const MsgSheetDoesNotFit;
extern const char *const MsgPrintStartFailed;
extern const char *const MsgPrintAborted;
extern const char *const MsgPrintFinishFailed;

// A rectangle given by its edges (right and bottom as the painter counts them).
QRect ToQRect(const TGridRect &r);

class TVMPrint : public TPrintLayout {
public:
    TVMPrint();
    ~TVMPrint();

    QPageLayout::Orientation Orientation = QPageLayout::Portrait;
    QWidget *Form = nullptr;
    TEditText *Editor = nullptr;
    GridWidget *Grid = nullptr;

    // Draws one cell on the print target; PrintDrawCell unless replaced.
    std::function<void(QPainter &, int col, int row, const QRect &, const TCellRectFunc &)> OnDrawCell;
    // Sets the sheet's font size (back to the screen's after a job); PrintSetFontSize unless replaced.
    std::function<void(int size)> OnSetFontSize;
    // The pictures of the boxes on Editor, in list order; none when unset.
    std::function<std::vector<TBoxPicture>()> OnBoxPictures;
    // Page Setup was confirmed with these margins (to be kept in the preferences).
    std::function<void(const TPrintMargins &)> OnMarginsChanged;

    // Test hooks: how a dialog is run (QDialog::exec unless replaced) and how
    // a failure is told (a message box unless replaced).
    std::function<int(QDialog &)> ExecDialog;
    std::function<void(QWidget *parent, const QString &text)> ShowMessage;

    // The printer of every job; made on first use.
    QPrinter &Printer();
    void ReleasePrinter();
    // The printer's page in its pixels, read from its page layout: no job.
    TPageGeometry PageGeometry();

    void Prepare(QWidget *form, TEditText &editor, GridWidget &grid);
    // Page layout against the printer; false (and nothing fitted) when the
    // sheet does not fit inside the margins.
    bool CalcPageLayout(bool fitSelection = false);
    // Lines, cells and pictures onto canvas; false when a cell failed to draw.
    bool PrintSheet(QPainter &canvas);

    int Print(QWidget *form, TEditText &editor, GridWidget &grid);
    bool PrinterSetup(QWidget *form);
    bool PageSetup(QWidget *form, TEditText &editor, GridWidget &grid);

    int Exec(QDialog &dialog);
    void Message(const QString &text);

private:
    int PrintJob();
    // One page of the job: the sheet placed on the paper inside the margins.
    bool PrintPage(QPainter &painter);
    std::unique_ptr<QPrinter> printer_;
};

extern TVMPrint SheetPrinter;
extern TPrintMargins PrintMargins;
