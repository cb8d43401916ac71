// Printing and the page preview, driven as the menu drives them. The printer writes an A4 PDF at 600 dpi
// (4958 x 7017 pixels): pdftotext reads its text back, pdftoppm turns pieces of it into pixels.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QToolButton>
#include <array>
#include <gtest/gtest.h>
#include <set>
#include <stdexcept>

#include "platform/GridWidget.h"
#include "shell/PPreView.h"
#include "shell/VMPrinter.h"
#include "support/Pixels.h"
#include "support/SheetPicture.h"
#include "worksheet/Edit.h"

namespace {

GridWidget *theGrid = nullptr;

QString RunTool(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(60000), QString::fromUtf8(p.readAllStandardOutput());
}

// The buttons a dialog offers, its options opened as a user opens them.
std::string Offered(QDialog &d)
{
    d.show();
    for (QPushButton *b : d.findChildren<QPushButton *>())
        if (b->text().startsWith("&Options"))
            b->click();
    QStringList texts;
    for (QAbstractButton *b : d.findChildren<QAbstractButton *>())
        if (b->isVisibleTo(&d) && b->isEnabled() && !b->text().isEmpty())
            texts << b->text();
    return d.hide(), texts.join('|').toStdString();
}

class PrintTest : public ::testing::Test {
protected:
    SheetSetup setup;
    QTemporaryDir dir;
    std::unique_ptr<QMainWindow> form = std::make_unique<QMainWindow>();
    GridWidget *grid = new GridWidget(setup.grid);
    QStringList messages;
    std::function<int(QDialog &)> onDialog = [](QDialog &) { return int(QDialog::Accepted); };
    int dialogs = 0;
    TVMPrint &sp = SheetPrinter;
    QPrinter &printer = SheetPrinter.Printer();

    void SetUp() override
    {
        form->menuBar()->addMenu(QStringLiteral("File"));
        form->setCentralWidget(grid), form->resize(800, 600);
        theGrid = grid, SetFontSizeProc = [](int size) { theGrid->ApplyFontSize(size); };
        PrintSetFontSize(14), grid->SetGridLines(true);
        sp.Orientation = QPageLayout::Portrait, PrintMargins = {};
        sp.PrintSelection = sp.CenterHoriz = sp.CenterVert = false;
        sp.ExecDialog = [this](QDialog &d) { return ++dialogs, onDialog(d); };
        sp.ShowMessage = [this](QWidget *, const QString &text) { messages << text; };
        printer.setOutputFileName(Pdf()), printer.setResolution(600);
        printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    }
    void TearDown() override
    {
        // Whatever the command did, the screen has its font back.
        EXPECT_EQ(std::tuple(FontSize, CellFontSize, LineUnit, grid->CellWidth(), grid->CellHeight()),
                  std::tuple(14, 14, 14, 14, 17));
        sp.ExecDialog = nullptr, sp.ShowMessage = nullptr, sp.OnBoxPictures = nullptr, sp.OnMarginsChanged = nullptr;
        sp.OnDrawCell = PrintDrawCell, SetFontSizeProc = nullptr, sp.ReleasePrinter(), form.reset();
        QApplication::processEvents();
    }
    QString Pdf() const { return dir.filePath(QStringLiteral("sheet.pdf")); }
    int Print() { return sp.Print(form.get(), EditText, *grid); }
    static void Put(int col, int row, const char *text)
    {
        for (int i = 0; text[i]; ++i)
            EditText.Cells[col + i][row].Ch = uint8_t(text[i]);
    }
    // The PDF's text with every blank and line break taken out.
    QString PdfText() const { return RunTool("pdftotext", {Pdf(), "-"}).remove(QRegularExpression("\\s")); }
    // Part of the printed page at the printer's own resolution.
    QImage PdfPixels(const QRect &r) const
    {
        const QString base = dir.filePath(QStringLiteral("crop"));
        const QString at = QString::asprintf(" -x %d -y %d -W %d -H %d", r.x(), r.y(), r.width(), r.height());
        RunTool("pdftoppm", ("-r 600 -aa no -aaVector no -png -singlefile" + at).split(' ') << Pdf() << base);
        return QImage(base + ".png").convertToFormat(QImage::Format_RGB32);
    }
    // The printed frame: the first and last inked pixels across and down the page's middle.
    QRect Printed() const
    {
        const QImage across = PdfPixels({0, 3508, 4958, 1}).transformed(QTransform().rotate(90));
        const Ink x = InkIn(across, across.rect()), y = InkIn(PdfPixels({2479, 0, 1, 7017}), {0, 0, 1, 7017});
        return QRect(QPoint(x.top, y.top), QPoint(x.bottom, y.bottom));
    }
};

TEST_F(PrintTest, SheetOrSelectionGetsTheLargestFontAndIsCentredWithGridLinesPicturesAndCopies)
{
    LoadPicture(EditText, " 1  2  +  3  0  =  4* 2*"), Put(10, 20, "INSIDE");
    // Newest first: the blue picture lies over the red one, which reaches into the selection from outside.
    QImage red(70, 85, QImage::Format_RGB32), blue(70, 85, QImage::Format_RGB32);
    red.fill(Qt::red), blue.fill(Qt::blue);
    const std::vector<TBoxPicture> pictures{{11, 21, 0, 0, 70, 85, blue}, {8, 18, 0, 0, 70, 85, red}};
    sp.OnBoxPictures = [&] { return pictures; };
    const std::string block = "P&roperties|...|Print all|Selection|Reverse|&Print|Cancel|&Options <<";
    const std::string one = "P&roperties|...|Reverse|&Print|Cancel|&Options <<";  // no print range, no pages
    // 7 x 2 cells at size 90, cells 562 x 702: 3942 by 1407 (size 91 is 1425 high, the room 1416); the pictures,
    // scaled with the cells, cross the frame's edges on the lines Printed() reads.
    const QRect sheet(642, 1240, 3673, 4537), cut(508, 2805, 3942, 1407);
    const std::tuple<TGridRect, QPrintDialog::PrintRange, std::string, const char *, QRect, int> rows[] = {
        {{10, 20, 16, 21}, QPrintDialog::AllPages, block, "12+30=42INSIDE", sheet, 1},
        {{10, 20, 16, 21}, QPrintDialog::Selection, block, "INSIDEINSIDE", cut, 2},    // copies as pages of their own
        {{10, 20, 10, 20}, QPrintDialog::Selection, one, "12+30=42INSIDE", sheet, 1},  // a cell is no selection
    };
    for (const auto &[selected, chosen, offered, text, printed, copies] : rows) {
        setup.grid.SetSelection(selected), printer.setCopyCount(copies);
        onDialog = [&](QDialog &d) {
            auto &pd = dynamic_cast<QPrintDialog &>(d);
            EXPECT_EQ(std::pair(pd.printRange(), Offered(d)), std::pair(QPrintDialog::AllPages, offered));
            return pd.setPrintRange(chosen), int(QDialog::Accepted);
        };
        ASSERT_EQ(Print(), psOk);
        EXPECT_EQ(std::tuple(PdfText(), Printed(), messages), std::tuple(QString(text), printed, QStringList()));
        const QImage corner = PdfPixels({ToQRect(sp.CellRect(11, 21)).topLeft() - QPoint(5, 5), QSize(11, 11)});
        EXPECT_TRUE(corner.pixelColor(0, 0).red() > 200 && Blue(corner.pixelColor(10, 10)));
    }
    // A grey line at every cell's edge, across an empty row and down an empty column.
    const QRect frame = ToQRect(sp.Frame()).adjusted(-5, -5, 5, 5);
    const QPoint empty = ToQRect(sp.CellRect(30, 3)).center();
    for (const QImage &line : {PdfPixels({frame.left(), empty.y(), frame.width(), 1}),
                               PdfPixels({empty.x(), frame.top(), 1, frame.height()})})
        EXPECT_EQ(std::count(line.constBits(), line.constBits() + line.sizeInBytes(), 0xBF), 73 * 3);
}

// The whole printed page at the printer's resolution: one printed pixel is one pixel here.
struct PrintedPage {
    QSize size;
    QRect ink;    // every pixel that is not white
    QRect frame;  // the grid's grey
};

TEST_F(PrintTest, CentredPrintLiesInTheMiddleOfThePaperAndNothingInsideTheMargins)
{
    using enum QPageLayout::Orientation;
    // Two pixels a point: the PDF's paper (whole points) and the 0.75 inch margins are whole pixels.
    const int dpi = 144, margin = MarginPixels(dpi, 750);
    // The printer keeps uneven edges of its own; the sheet's margins count from the paper's edge all the same.
    auto layout = [](QPageLayout::Orientation o) {
        return QPageLayout(QPageSize(QPageSize::A4), o, QMarginsF(0.3, 0.5, 0.1, 0.2), QPageLayout::Inch);
    };
    auto render = [&] {
        const QString base = dir.filePath(QStringLiteral("page"));
        RunTool("pdftoppm", QString("-r %1 -aa no -aaVector no -png -singlefile").arg(dpi).split(' ') << Pdf() << base);
        const QImage img = QImage(base + ".png").convertToFormat(QImage::Format_RGB32);
        PrintedPage page{img.size(), {}, {}};
        for (int y = 0; y < img.height(); ++y) {
            const QRgb *line = reinterpret_cast<const QRgb *>(img.constScanLine(y));
            for (int x = 0; x < img.width(); ++x) {
                const QRgb c = line[x] & 0xFFFFFF;
                if (c != 0xFFFFFF)
                    page.ink |= QRect(x, y, 1, 1);
                if (c == 0xBFBFBF)
                    page.frame |= QRect(x, y, 1, 1);
            }
        }
        return page;
    };
    // Paper edges: left, top, right, bottom.
    auto gaps = [](const QSize &paper, const QRect &r) {
        return std::array{r.left(), r.top(), paper.width() - 1 - r.right(), paper.height() - 1 - r.bottom()};
    };
    struct Row {
        const char *what;
        QPageLayout::Orientation orientation;
        TGridRect selected;
        bool fitsHeight;  // the page's height, not its width, bounds the font
        int spill;        // a cell paints this far beyond its rectangle
    };
    const Row rows[] = {
        {"sheet, portrait", Portrait, {0, 0, 0, 0}, false, 0},
        {"sheet, landscape", Landscape, {0, 0, 0, 0}, true, 0},
        {"selection fitted to the height, portrait", Portrait, {20, 10, 28, 50}, true, 0},
        {"selection fitted to the height, landscape", Landscape, {5, 30, 25, 50}, true, 0},
        {"selection fitted to the width, portrait", Portrait, {2, 60, 42, 64}, false, 0},
        {"cells painting over their edges", Portrait, {0, 0, 0, 0}, false, 400},
    };
    printer.setResolution(dpi);
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        setup.grid.SetSelection(row.selected), sp.Orientation = row.orientation;
        printer.setPageLayout(layout(row.orientation));
        const TGridRect s = row.selected;
        const bool block = s.Right > s.Left;
        const TGridRect range = block ? s : TGridRect{0, 0, 71, 71};
        for (int c : {range.Left, range.Right})
            for (int r : {range.Top, range.Bottom})
                Put(c, r, "W");
        // Pictures reaching out of the printed range over its top-left and bottom-right corners.
        QImage red(70, 85, QImage::Format_RGB32);
        red.fill(Qt::red);
        sp.OnBoxPictures = [&] {
            return std::vector<TBoxPicture>{{range.Left, range.Top, 30, 40, 70, 85, red},
                                            {range.Right, range.Bottom, 0, 0, 70, 85, red}};
        };
        sp.OnDrawCell = [&](QPainter &p, int c, int r, const QRect &rect, const TCellRectFunc &cellRect) {
            PrintDrawCell(p, c, r, rect, cellRect);
            if (row.spill && (c == range.Left || c == range.Right) && (r == range.Top || r == range.Bottom))
                p.fillRect(rect.adjusted(-row.spill, -row.spill, row.spill, row.spill), Qt::black);
        };
        onDialog = [&](QDialog &d) {
            dynamic_cast<QPrintDialog &>(d).setPrintRange(block ? QPrintDialog::Selection : QPrintDialog::AllPages);
            return int(QDialog::Accepted);
        };
        ASSERT_EQ(Print(), psOk);
        const PrintedPage page = render();
        const auto [left, top, right, bottom] = gaps(page.size, page.frame);
        const TGridRect f = sp.Frame();
        // The frame lands where the layout put it, measured from the paper's corner, and in the middle.
        const QRect &pf = page.frame;
        EXPECT_EQ((std::array{pf.left(), pf.top(), pf.right(), pf.bottom()}),
                  (std::array{f.Left, f.Top, f.Right, f.Bottom}));
        EXPECT_LE(std::abs(left - right), 1) << left << " " << right;
        EXPECT_LE(std::abs(top - bottom), 1) << top << " " << bottom;
        // The font is bounded by the height or by the width: there the room left over is the smaller.
        EXPECT_EQ(std::min(top, bottom) - margin < std::min(left, right) - margin, row.fitsHeight);
        for (int gap : gaps(page.size, page.ink))
            EXPECT_GE(gap, margin);
        if (row.spill) {  // all the room inside the margins is inked, not a pixel more
            EXPECT_EQ(gaps(page.size, page.ink), (std::array{margin, margin, margin, margin}));
        }
    }
}

TEST_F(PrintTest, FailuresAreToldSetupDialogsPrintNothingAndCancelledOnesChangeNothing)
{
    Put(0, 0, "ABC");
    const std::tuple<std::function<void()>, int, const char *> rows[] = {
        {[] { PrintMargins.Left = PrintMargins.Right = 5000; }, psDoesNotFit, MsgSheetDoesNotFit},  // no hang
        {[&] { sp.OnDrawCell = [](auto &&...) { throw std::runtime_error("glyph"); }; }, psAborted, MsgPrintAborted},
        {[&] { printer.setOutputFileName(dir.filePath("missing/sheet.pdf")); }, psStartFailed, MsgPrintStartFailed},
    };
    for (const auto &[arrange, status, message] : rows) {
        messages.clear(), arrange();
        EXPECT_EQ(Print(), status) << message;
        EXPECT_EQ(messages, QStringList{message});
        EXPECT_FALSE(printer.paintingActive() || QFile::exists(Pdf()) || CellFontSize != 14 || LineUnit != 14);
        PrintMargins = {}, sp.OnDrawCell = PrintDrawCell, printer.setOutputFileName(Pdf());
    }
    EXPECT_TRUE(Print() == psOk && PdfText() == "ABC");  // the printer is fine for the next job
    QFile::remove(Pdf()), messages.clear(), dialogs = 0;
    // Printer Setup chooses and prints nothing; Page Setup works in thousandths of an inch over the printer's edge.
    onDialog = [](QDialog &d) {
        EXPECT_EQ(Offered(d), "P&roperties|...|Reverse|OK|Cancel|&Options <<");
        dynamic_cast<QPrintDialog &>(d).printer()->setPageOrientation(QPageLayout::Landscape);
        return int(QDialog::Accepted);
    };
    EXPECT_TRUE(sp.PrinterSetup(form.get()) && sp.Orientation == QPageLayout::Landscape);
    const QMarginsF edge(0.25, 0.5, 0.25, 0.5);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, edge, QPageLayout::Inch));
    PrintMargins = {100, 750, 2000, 400};
    std::vector<TPrintMargins> stored;
    sp.OnMarginsChanged = [&](const TPrintMargins &m) { stored.push_back(m); };
    onDialog = [edge](QDialog &d) {
        QPrinter *p = dynamic_cast<QPageSetupDialog &>(d).printer();
        QPageLayout l = p->pageLayout();  // shown never below the edge, the dialog's minimum
        EXPECT_EQ(std::pair(l.minimumMargins(), l.margins(QPageLayout::Inch)),
                  std::pair(edge, QMarginsF(0.25, 0.75, 2.0, 0.5)));
        l.setUnits(QPageLayout::Millimeter);
        l.setMargins(QMarginsF(25.4, 12.7, 19.05, 50.8));
        return p->setPageLayout(l), int(QDialog::Accepted);
    };
    EXPECT_TRUE(sp.PageSetup(form.get(), EditText, *grid));
    const TPrintMargins chosen{1000, 500, 750, 2000};
    EXPECT_EQ(std::tuple(stored, PrintMargins, sp.Orientation, printer.pageLayout().margins(QPageLayout::Inch)),
              std::tuple(std::vector{chosen}, chosen, QPageLayout::Portrait, edge));
    printer.setPageOrientation(QPageLayout::Landscape);
    onDialog = [](QDialog &) { return int(QDialog::Rejected); };
    EXPECT_TRUE(Print() == psOk && !sp.PrinterSetup(form.get()) && !sp.PageSetup(form.get(), EditText, *grid));
    EXPECT_TRUE(dialogs == 5 && !QFile::exists(Pdf()) && messages.isEmpty() && stored.size() == 1 &&
                PrintMargins == chosen && sp.Orientation == QPageLayout::Portrait);
}

TEST_F(PrintTest, PreviewOpensAgainAfterCloseDrawsAtThePrintersFontAndRefusesWhatItCannotShow)
{
    TPrintPreView &pv = SheetPreview;
    Put(0, 0, "HELLO"), setup.grid.SetSelection({0, 0, 4, 1}), form->show();
    std::set<std::pair<int, int>> drawn;  // the font size and line unit of every render, at the first cell
    sp.OnDrawCell = [&](QPainter &p, int c, int r, const QRect &rect, const TCellRectFunc &f) {
        if (c == 0 && r == 0)
            drawn.emplace(CellFontSize, LineUnit);
        PrintDrawCell(p, c, r, rect, f);
    };
    // Shown three times; the second time at once after Close, before the closed panel has gone.
    for (const bool closedPanelGoes : {false, true, true}) {
        ASSERT_TRUE(pv.Show(form.get(), EditText, *grid));
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_TRUE(pv.Panel && pv.Panel->isVisible() && pv.PageImage->isVisible() && pv.CloseButton &&
                    pv.CloseButton->isVisible() && form->menuWidget()->isHidden());
        pv.CloseButton->click();
        EXPECT_TRUE(!pv.Panel && !pv.PageImage && !pv.CoolBar && !pv.CloseButton && form->menuWidget()->isVisible());
        if (closedPanelGoes)
            QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    ASSERT_TRUE(pv.Show(form.get(), EditText, *grid));
    setup.grid.SetSelection({3, 3, 3, 3}), SheetSetup::beeps = 0;
    pv.SelectionButton->click();  // one cell selected now: the button only beeps
    EXPECT_EQ(std::tuple(SheetSetup::beeps, sp.PrintSelection, pv.PageSizeButton->isEnabled()),
              std::tuple(1, false, false));
    pv.PageButton->click(), pv.CloseButton->click();
    // Size 8 on the A4 page, drawn in the bitmap's pixels: cells 8 wide where the screen's are 14.
    EXPECT_EQ(drawn, (std::set{std::pair(8, 8)}));
    PrintMargins.Left = PrintMargins.Right = 5000;  // no room on the page: a message, no preview
    const bool shown = pv.Show(form.get(), EditText, *grid);
    EXPECT_EQ(std::tuple(shown, bool(pv.Panel), messages.join('|').toStdString()),
              std::tuple(false, false, std::string(MsgSheetDoesNotFit)));
}

TEST_F(PrintTest, PreviewShowsThePageOrTheSelectionPrintsAndCloses)
{
    TPrintPreView &pv = SheetPreview;
    Put(0, 0, "HELLO"), Put(0, 60, "BOTTOM"), Put(30, 41, "WORLD");
    grid->SetGridLines(false), setup.grid.SetSelection({0, 60, 10, 61}), form->show();  // all ink is text
    ASSERT_TRUE(pv.Show(form.get(), EditText, *grid));
    EXPECT_TRUE(form->menuWidget()->isHidden() && !QFile::exists(Pdf()));  // the layout needs no print job
    QStringList buttons;
    for (QToolButton *b : pv.CoolBar->findChildren<QToolButton *>())
        buttons << b->text() + (b->isEnabled() ? "" : " (off)");
    EXPECT_EQ(buttons.join('|').toStdString(), "Close|Page|Selection|Page Size (off)|Normal Size (off)|"
                                               "Horiz. Centering (off)|Verti. Centering (off)|Print");
    const QImage &page = pv.PageImage->Picture;
    const QRect dest = ToQRect(pv.DestRect);
    auto ink = [&](int col, int r) {
        const int left = dest.left() + dest.width() * col / 72, top = dest.top() + dest.height() * r / 72 + 1;
        return InkIn(page, {left, top, dest.width() / 4, dest.height() / 72 - 1}).count;
    };
    auto above = [&] { return InkIn(page, {0, 0, page.width(), dest.top()}).count; };  // above the sheet's place
    EXPECT_TRUE(ink(0, 0) > 5 && ink(0, 60) > 5 && ink(30, 41) > 5 && above() == 0);
    // The block selected now is drawn at the sheet's top-left; the rest is cleared.
    setup.grid.SetSelection({30, 40, 40, 44});
    pv.SelectionButton->click();
    EXPECT_TRUE(pv.PageSizeButton->isEnabled() && pv.NormalSizeButton->isEnabled() && !pv.HorizButton->isEnabled() &&
                sp.PrintSelection && ink(0, 0) == 0 && ink(0, 1) > 5 && ink(0, 60) == 0 && ink(30, 41) == 0);
    pv.PageImage->Picture.fill(Qt::black);  // every render starts from a white page
    pv.PageButton->click();
    EXPECT_TRUE(!sp.PrintSelection && !pv.PageSizeButton->isEnabled() && above() == 0 && ink(30, 41) > 5);
    pv.PrintButton->click();  // the preview stays open
    EXPECT_TRUE(dialogs == 1 && QFile::exists(Pdf()) && pv.Panel);
    pv.CloseButton->click();
    EXPECT_TRUE(!pv.Panel && !pv.PageImage && !pv.CoolBar && form->menuWidget()->isVisible() && grid->isVisible());
}

}  // namespace
