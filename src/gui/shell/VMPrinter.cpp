#include "VMPrinter.h"

#include <cmath>

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QGroupBox>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

#include "platform/GridWidget.h"
#include "worksheet/Edit.h"

const char *const MsgSheetDoesNotFit = "The sheet does not fit on the page inside the margins.";
const char *const MsgPrintStartFailed = "The print job could not be started.";
const char *const MsgPrintAborted = "A cell could not be drawn. The print job was aborted.";
const char *const MsgPrintFinishFailed = "The print job could not be finished.";

TVMPrint SheetPrinter;
TPrintMargins PrintMargins;

namespace {

const QColor gridLineColour(0xBF, 0xBF, 0xBF);

// The platform's print dialog, offering only what a job uses. The sheet is one
// page: of the print range only All and, where asked for, Selection stay (the
// dialog shows its page ranges and page sets whatever its options say).
class TSheetPrintDialog : public QPrintDialog {
public:
    TSheetPrintDialog(QPrinter *printer, QWidget *parent, PrintDialogOptions options) : QPrintDialog(printer, parent)
    {
        setOptions(options);
    }
    void setVisible(bool visible) override
    {
        QPrintDialog::setVisible(visible);
        auto *range = findChild<QGroupBox *>(QStringLiteral("gbPrintRange"));
        if (!visible || !range)
            return;
        const bool selection = testOption(PrintSelection);
        range->setVisible(selection);
        for (QWidget *w : range->findChildren<QWidget *>())
            w->setVisible(w->objectName() == u"printAll" || (selection && w->objectName() == u"printSelection"));
    }
};

// The printer must go before the application object it belongs to.
void ReleaseSheetPrinter()
{
    SheetPrinter.ReleasePrinter();
}

}  // namespace

QRect ToQRect(const TGridRect &r)
{
    return {r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top};
}

TVMPrint::TVMPrint()
{
    OnDrawCell = PrintDrawCell;
    OnSetFontSize = PrintSetFontSize;
}

TVMPrint::~TVMPrint() = default;

QPrinter &TVMPrint::Printer()
{
    if (!printer_) {
        static bool registered = false;
        if (!registered) {
            qAddPostRoutine(ReleaseSheetPrinter);
            registered = true;
        }
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer_->setPageOrientation(Orientation);
    }
    return *printer_;
}

TPageGeometry TVMPrint::PageGeometry()
{
    QPrinter &p = Printer();
    const int dpi = p.resolution();
    const QPageLayout layout = p.pageLayout();
    const QRect full = layout.fullRectPixels(dpi), paint = layout.paintRectPixels(dpi);
    return {full.width(), full.height(), paint.left() - full.left(), paint.top() - full.top(), dpi};
}

int TVMPrint::Exec(QDialog &dialog)
{
    return ExecDialog ? ExecDialog(dialog) : dialog.exec();
}

void TVMPrint::Message(const QString &text)
{
    if (ShowMessage)
        ShowMessage(Form, text);
    else
        QMessageBox::warning(Form, QStringLiteral("Velmora"), text);
}

void TVMPrint::Prepare(QWidget *form, TEditText &editor, GridWidget &grid)
{
    Form = form;
    Editor = &editor;
    Grid = &grid;
    TSheetView view;
    view.ColCount = grid.Grid().ColCount();
    view.RowCount = grid.Grid().RowCount();
    view.DefaultColWidth = grid.CellWidth();
    view.DefaultRowHeight = grid.CellHeight();
    view.VertLines = grid.GridLines();
    view.Selection = grid.Grid().Selection();
    PrepareSheet(view);
}

bool TVMPrint::CalcPageLayout(bool fitSelection)
{
    const int dpi = Printer().logicalDpiY();
    return TPrintLayout::CalcPageLayout(
        PageGeometry(), PrintMargins, [dpi](int32_t size) { return FontPixelHeight(size, dpi); }, fitSelection);
}

bool TVMPrint::PrintSheet(QPainter &canvas)
{
    const TGridRect range = Range(), frame = Frame();
    if (GridLine) {
        const int colStep = CellWidth + GridLine, rowStep = CellHeight + GridLine;
        // One device pixel wide, each line leaving out its end point.
        for (int c = range.Left; c <= range.Right + 1; ++c) {
            const int x = (c - range.Left) * colStep + frame.Left;
            canvas.fillRect(QRect(x, frame.Top, 1, frame.Bottom - frame.Top), gridLineColour);
        }
        for (int r = range.Top; r <= range.Bottom + 1; ++r) {
            const int y = (r - range.Top) * rowStep + frame.Top;
            canvas.fillRect(QRect(frame.Left, y, frame.Right - frame.Left, 1), gridLineColour);
        }
    }

    const TCellRectFunc cellRect = [this](int c, int r) { return ToQRect(CellRect(c, r)); };
    for (int r = range.Top; r <= range.Bottom; ++r)
        for (int c = range.Left; c <= range.Right; ++c) {
            try {
                OnDrawCell(canvas, c, r, ToQRect(CellRect(c, r)), cellRect);
            } catch (...) {
                return false;
            }
        }

    if (!OnBoxPictures)
        return true;
    canvas.save();
    canvas.setClipRect(ToQRect(frame), Qt::IntersectClip);
    canvas.setCompositionMode(QPainter::CompositionMode_Source);
    // The list runs from the newest box to the oldest; the newest lies on top.
    const std::vector<TBoxPicture> boxes = OnBoxPictures();
    for (auto it = boxes.rbegin(); it != boxes.rend(); ++it) {
        const TBoxPicture &box = *it;
        if (box.Image.isNull())
            continue;
        const TGridRect dest = PictureRect(box.Col, box.Row, box.DX, box.DY, box.Width, box.Height);
        canvas.drawImage(ToQRect(dest), box.Image, ToQRect({0, 0, box.Width - 1, box.Height - 1}));
    }
    canvas.restore();
    return true;
}

bool TVMPrint::PrintPage(QPainter &painter)
{
    painter.save();
    // The printer's painter starts at its own page margins; the layout counts
    // from the paper's edge.
    painter.translate(-OffsetX, -OffsetY);
    // Whatever a cell paints beyond its rectangle stays out of the margins.
    painter.setClipRect(QRect(AreaRect.Left, AreaRect.Top, AreaWidth, AreaHeight));
    const bool drawn = PrintSheet(painter);
    painter.restore();
    return drawn;
}

int TVMPrint::PrintJob()
{
    QPrinter &printer = Printer();
    if (!CalcPageLayout(true)) {
        OnSetFontSize(SavedFontSize);
        Message(QString::fromUtf8(MsgSheetDoesNotFit));
        return psDoesNotFit;
    }
    CenterHoriz = true;
    CenterVert = true;
    CenterHorizontally();
    CenterVertically();

    QPainter painter;
    if (!painter.begin(&printer)) {
        OnSetFontSize(SavedFontSize);
        Message(QString::fromUtf8(MsgPrintStartFailed));
        return psStartFailed;
    }
    // Copies the printing system does not make itself are printed here, a page each.
    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(printer.copyCount(), 1);
    bool drawn = true;
    for (int copy = 0; copy < copies && drawn; ++copy)
        drawn = (copy == 0 || printer.newPage()) && PrintPage(painter);
    const bool aborted = !drawn && printer.abort();
    const bool ended = painter.end();
    OnSetFontSize(SavedFontSize);
    if (!drawn) {
        // A file that cannot be aborted still holds half a sheet: it goes.
        if (!aborted && printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
            QFile::remove(printer.outputFileName());
        Message(QString::fromUtf8(MsgPrintAborted));
        return psAborted;
    }
    if (!ended) {
        Message(QString::fromUtf8(MsgPrintFinishFailed));
        return psFinishFailed;
    }
    return psOk;
}

int TVMPrint::Print(QWidget *form, TEditText &editor, GridWidget &grid)
{
    Prepare(form, editor, grid);
    QPrinter &printer = Printer();
    QAbstractPrintDialog::PrintDialogOptions options =
        QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize;
    if (HasSelection)
        options |= QAbstractPrintDialog::PrintSelection;
    TSheetPrintDialog dialog(&printer, form, options);
    dialog.setPrintRange(HasSelection && PrintSelection ? QAbstractPrintDialog::Selection
                                                        : QAbstractPrintDialog::AllPages);
    printer.setPageOrientation(Orientation);

    int status = psOk;
    if (Exec(dialog) == QDialog::Accepted) {
        Orientation = printer.pageLayout().orientation();
        PrintSelection = HasSelection && dialog.printRange() == QAbstractPrintDialog::Selection;
        status = PrintJob();
    }
    grid.setVisible(true);
    return status;
}

bool TVMPrint::PrinterSetup(QWidget *form)
{
    QPrinter &printer = Printer();
    // Printer and settings only: the button confirms, it prints nothing.
    TSheetPrintDialog dialog(&printer, form,
                             QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    dialog.setWindowTitle(QStringLiteral("Printer Setup"));
    if (auto *buttons = dialog.findChild<QDialogButtonBox *>())
        buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    if (Exec(dialog) != QDialog::Accepted)
        return false;
    Orientation = printer.pageLayout().orientation();
    return true;
}

bool TVMPrint::PageSetup(QWidget *form, TEditText &editor, GridWidget &grid)
{
    SavedFontSize = ::FontSize;
    Prepare(form, editor, grid);
    // Only the printer's unprintable edge is needed here.
    const TPageGeometry page = PageGeometry();
    OffsetX = page.OffsetX;
    OffsetY = page.OffsetY;
    Dpi = page.Dpi;
    grid.setVisible(true);

    QPrinter &printer = Printer();
    const QPageLayout device = printer.pageLayout();
    // The dialog works on the printer's page layout: it shows the margins of
    // the sheet, in inches, never below the unprintable edge.
    const double minX = PixelsToThousandths(OffsetX, Dpi) / 1000.0;
    const double minY = PixelsToThousandths(OffsetY, Dpi) / 1000.0;
    const QMarginsF margins(std::max(minX, PrintMargins.Left / 1000.0), std::max(minY, PrintMargins.Top / 1000.0),
                            std::max(minX, PrintMargins.Right / 1000.0), std::max(minY, PrintMargins.Bottom / 1000.0));
    printer.setPageLayout(QPageLayout(device.pageSize(), device.orientation(), margins, QPageLayout::Inch,
                                      QMarginsF(minX, minY, minX, minY)));

    QPageSetupDialog dialog(&printer, form);
    const bool confirmed = Exec(dialog) == QDialog::Accepted;
    const QPageLayout chosen = printer.pageLayout();
    // The printer keeps its own edge: the sheet's margins are added by the layout.
    QPageLayout restored(chosen.pageSize(), chosen.orientation(), device.margins(device.units()), device.units(),
                         device.minimumMargins());
    printer.setPageLayout(confirmed ? restored : device);
    if (!confirmed)
        return false;

    Orientation = chosen.orientation();
    const QMarginsF m = chosen.margins(QPageLayout::Inch);
    auto thousandths = [](double inch) { return int32_t(std::lround(inch * 1000.0)); };
    PrintMargins = {thousandths(m.left()), thousandths(m.top()), thousandths(m.right()), thousandths(m.bottom())};
    if (OnMarginsChanged)
        OnMarginsChanged(PrintMargins);
    return true;
}

void TVMPrint::ReleasePrinter()
{
    printer_.reset();
}
