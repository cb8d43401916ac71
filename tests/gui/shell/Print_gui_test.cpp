// Printing and the page preview, driven as the menu drives them. The printer
// writes a PDF (A4, 4958 x 7017 pixels at 600 dpi, no unprintable edge,
// margins of 450 pixels): pdftotext reads its text back and pdftoppm turns
// pieces of it into pixels. Dialogs and message boxes go through the print
// object's hooks, so nothing waits for a person.
#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFile>
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
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>

#include "platform/GridWidget.h"
#include "shell/CalcCommand.h"
#include "shell/PPreView.h"
#include "shell/VMPrinter.h"
#include "support/Pixels.h"
#include "support/QuietWindow.h"
#include "support/SheetPicture.h"
#include "worksheet/Edit.h"

namespace {

GridWidget *theGrid = nullptr;

QString RunTool(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

int AcceptSelection(QDialog &d)
{
    dynamic_cast<QPrintDialog &>(d).setPrintRange(QAbstractPrintDialog::Selection);
    return QDialog::Accepted;
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
    d.hide();
    return texts.join('|').toStdString();
}

class PrintTest : public ::testing::Test {
protected:
    SheetSetup setup;
    QTemporaryDir dir;
    std::unique_ptr<QMainWindow> form;
    GridWidget *grid = nullptr;
    QStringList messages;
    std::function<int(QDialog &)> onDialog = [](QDialog &) { return int(QDialog::Accepted); };
    int dialogs = 0;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        form = std::make_unique<QMainWindow>();
        form->menuBar()->addMenu(QStringLiteral("File"));
        grid = new GridWidget(setup.grid);
        form->setCentralWidget(grid);
        form->resize(800, 600);
        theGrid = grid;
        SetFontSizeProc = [](int size) { theGrid->ApplyFontSize(size); };
        PrintSetFontSize(14);
        grid->SetGridLines(true);

        TVMPrint &sp = SheetPrinter;
        sp.Orientation = QPageLayout::Portrait;
        sp.PrintSelection = sp.CenterHoriz = sp.CenterVert = false;
        sp.OnDrawCell = PrintDrawCell;
        sp.OnSetFontSize = PrintSetFontSize;
        sp.ExecDialog = [this](QDialog &d) { return ++dialogs, onDialog(d); };
        sp.ShowMessage = [this](QWidget *, const QString &text) { messages << text; };
        PrintMargins = {};
        QPrinter &p = sp.Printer();
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(Pdf());
        p.setResolution(600);
        p.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    }
    void TearDown() override
    {
        // Whatever the command did, the screen has its font back.
        EXPECT_EQ(std::tuple(FontSize, CellFontSize, LineUnit), std::tuple(14, 14, 14));
        EXPECT_EQ(std::tuple(grid->CellWidth(), grid->CellHeight()), std::tuple(14, 17));
        SheetPrinter.ExecDialog = nullptr;
        SheetPrinter.ShowMessage = nullptr;
        SheetPrinter.OnBoxPictures = nullptr;
        SheetPrinter.OnMarginsChanged = nullptr;
        SheetPrinter.ReleasePrinter();
        SetFontSizeProc = nullptr;
        form.reset();
        theGrid = nullptr;
        QApplication::processEvents();
    }

    QString Pdf() const { return dir.filePath(QStringLiteral("sheet.pdf")); }
    int Print() { return SheetPrinter.Print(form.get(), EditText, *grid); }
    static void Put(int col, int row, const char *text)
    {
        for (int i = 0; text[i]; ++i)
            EditText.Cells[col + i][row].Ch = uint8_t(text[i]);
    }
    int Pages() const
    {
        const auto m = QRegularExpression("Pages:\\s+(\\d+)").match(RunTool("pdfinfo", {Pdf()}));
        return m.hasMatch() ? m.captured(1).toInt() : -1;
    }
    // The PDF's text with every blank and line break taken out.
    QString PdfText() const
    {
        QString t = RunTool(QStringLiteral("pdftotext"), {Pdf(), QStringLiteral("-")});
        t.remove(QRegularExpression(QStringLiteral("\\s")));
        return t;
    }
    // Part of the printed page at the printer's own resolution.
    QImage PdfPixels(const QRect &r) const
    {
        const QString base = dir.filePath(QStringLiteral("crop"));
        RunTool(QStringLiteral("pdftoppm"),
                {"-r", "600", "-aa", "no", "-aaVector", "no", "-png", "-singlefile", "-x", QString::number(r.x()), "-y",
                 QString::number(r.y()), "-W", QString::number(r.width()), "-H", QString::number(r.height()), Pdf(),
                 base});
        return QImage(base + ".png").convertToFormat(QImage::Format_RGB32);
    }
    // The first and last inked pixel of a page-wide row and a page-high column
    // through the page's middle: the printed frame's edges.
    QRect Printed() const
    {
        const QImage across = PdfPixels({0, 3508, 4958, 1}), down = PdfPixels({2479, 0, 1, 7017});
        QRect r;
        for (int x = 0; x < across.width(); ++x)
            if (!White(across.pixelColor(x, 0)))
                r = r.united({x, 3508, 1, 1});
        for (int y = 0; y < down.height(); ++y)
            if (!White(down.pixelColor(0, y)))
                r = r.united({2479, y, 1, 1});
        return r;
    }
};

TEST_F(PrintTest, PrintsTheSheetWithResultsGridLinesAndCopies)
{
    QuietWindow window;
    TCalcCommand calc(window);
    LoadPicture(EditText, " 1  2  +  3  0  = ");
    setup.grid.SetCol(0), setup.grid.SetRow(0);
    calc.PRButtonEnterClick();
    ASSERT_EQ(window.status, "  ready");
    onDialog = [](QDialog &d) {
        // One page and no selection: no print range, no page range.
        EXPECT_EQ(Offered(d), "P&roperties|...|Reverse|&Print|Cancel|&Options <<");
        return int(QDialog::Accepted);
    };
    EXPECT_EQ(Print(), psOk);
    EXPECT_EQ(dialogs, 1);
    EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
    EXPECT_EQ(Pages(), 1);
    const QString text = PdfText();
    EXPECT_TRUE(text.startsWith("12+30=") && text.contains("42")) << text.toStdString();
    EXPECT_TRUE(grid->isVisibleTo(form.get()));

    // Grid lines: one grey pixel every 51 across and 63 down from the frame's corner (cells 50 x 62).
    const TGridRect out = SheetPrinter.OutRect;
    const QImage img = PdfPixels({out.Left - 5, out.Top - 5, 120, 140});
    for (int i = 0; i < 140; ++i) {
        if (i < 120)
            EXPECT_EQ(img.pixelColor(i, 100) == QColor(0xBF, 0xBF, 0xBF), i >= 5 && (i - 5) % 51 == 0) << i;
        EXPECT_EQ(img.pixelColor(30, i) == QColor(0xBF, 0xBF, 0xBF), i >= 5 && (i - 5) % 63 == 0) << i;
    }

    // Copies the printer does not make itself are pages of their own.
    SheetPrinter.Printer().setCopyCount(2);
    EXPECT_EQ(Print(), psOk);
    EXPECT_EQ(Pages(), 2);
    EXPECT_EQ(PdfText(), text + text);

    grid->SetGridLines(false);
    SheetPrinter.Printer().setCopyCount(1);
    EXPECT_EQ(Print(), psOk);
    EXPECT_EQ(SheetPrinter.GridLine, 0);
    const TGridRect bare = SheetPrinter.OutRect;  // the middle of the sheet is empty
    EXPECT_EQ(InkIn(PdfPixels({bare.Left + 1500, bare.Top + 1500, 300, 300}), {0, 0, 300, 300}).count, 0);
}

TEST_F(PrintTest, SheetOrSelectionGetsTheLargestFontAndIsCentred)
{
    Put(0, 0, "OUTSIDE");
    Put(10, 20, "INSIDE");
    setup.grid.SetSelection({10, 20, 16, 21});
    // The room of the printed block's shape inside the 4058 x 6117 area; the
    // frame's first line starts one pixel in for a selection.
    struct {
        std::function<int(QDialog &)> dialog;
        const char *text;
        QRect printed;
    } const rows[] = {
        // Room 4058 x 4868: size 8, cells 50 x 62, 72 x 51 + 1 = 3673 by 72 x 63 + 1 = 4537.
        {[](QDialog &) { return int(QDialog::Accepted); }, "OUTSIDEINSIDE", {643, 1241, 3673, 4537}},
        // 7 x 2 cells, room 4058 x 1416: size 90, cells 562 x 702, 3942 by 1407 (size 91 is 1425 high).
        {AcceptSelection, "INSIDE", {510, 2806, 3942, 1407}},
    };
    for (const auto &row : rows) {
        onDialog = row.dialog;
        ASSERT_EQ(Print(), psOk);
        EXPECT_EQ(PdfText(), row.text);
        EXPECT_EQ(Printed(), row.printed) << row.text;
    }
}

TEST_F(PrintTest, SelectionIsOfferedOnlyForABlock)
{
    Put(0, 0, "OUTSIDE");
    Put(10, 20, "INSIDE");
    setup.grid.SetSelection({10, 20, 16, 21});
    onDialog = [](QDialog &d) {
        EXPECT_EQ(dynamic_cast<QPrintDialog &>(d).printRange(), QAbstractPrintDialog::AllPages);
        EXPECT_EQ(Offered(d), "P&roperties|...|Print all|Selection|Reverse|&Print|Cancel|&Options <<");
        return AcceptSelection(d);
    };
    EXPECT_EQ(Print(), psOk);
    EXPECT_TRUE(SheetPrinter.PrintSelection);
    // The next dialog offers the selection as the range again.
    onDialog = [](QDialog &d) {
        EXPECT_EQ(dynamic_cast<QPrintDialog &>(d).printRange(), QAbstractPrintDialog::Selection);
        return int(QDialog::Accepted);
    };
    EXPECT_EQ(Print(), psOk);
    EXPECT_EQ(PdfText(), "INSIDE");

    // A single selected cell never offers the range and prints the whole sheet.
    setup.grid.SetSelection({10, 20, 10, 20});
    onDialog = [](QDialog &d) {
        EXPECT_FALSE(dynamic_cast<QPrintDialog &>(d).testOption(QAbstractPrintDialog::PrintSelection));
        return int(QDialog::Accepted);
    };
    EXPECT_EQ(Print(), psOk);
    EXPECT_FALSE(SheetPrinter.PrintSelection);
    EXPECT_EQ(PdfText(), "OUTSIDEINSIDE");
}

TEST_F(PrintTest, PicturesStackAsOnScreenAndStayInsideTheFrame)
{
    // The list runs newest first: the blue picture lies over the red one, which
    // reaches out of the selection on the upper left.
    QImage red(70, 85, QImage::Format_RGB32), blue(70, 85, QImage::Format_RGB32);
    red.fill(Qt::red), blue.fill(Qt::blue);
    SheetPrinter.OnBoxPictures = [&] {
        return std::vector<TBoxPicture>{{11, 21, 0, 0, 70, 85, blue}, {8, 18, 0, 0, 70, 85, red}};
    };
    setup.grid.SetSelection({10, 20, 14, 24});
    onDialog = AcceptSelection;
    ASSERT_EQ(Print(), psOk);
    const QRect frame = ToQRect(SheetPrinter.Frame()), around = frame.adjusted(-150, -150, 150, 150);
    const QRect cell = ToQRect(SheetPrinter.CellRect(11, 21));
    const QImage img = PdfPixels(around);
    auto at = [&](const QPoint &p) { return img.pixelColor(p - around.topLeft()); };
    EXPECT_TRUE(at(frame.topLeft() + QPoint(5, 5)).red() > 200 && Blue(at(cell.topLeft() + QPoint(5, 5))));
    // The reader of the PDF may colour the clip's own edge.
    const QRect inside = frame.adjusted(0, 0, 1, 1);
    int outside = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            outside += !inside.contains(around.topLeft() + QPoint(x, y)) && !White(img.pixelColor(x, y)) &&
                       img.pixelColor(x, y) != QColor(0xBF, 0xBF, 0xBF);
    EXPECT_EQ(outside, 0);
}

TEST_F(PrintTest, FailuresAreToldAndLeaveNoJob)
{
    Put(0, 0, "ABC");
    QPrinter &printer = SheetPrinter.Printer();
    const auto failingCell = [](QPainter &p, int c, int r, const QRect &rect, const TCellRectFunc &f) {
        if (c == 1 && r == 0)
            throw std::runtime_error("glyph");
        PrintDrawCell(p, c, r, rect, f);
    };
    struct {
        std::function<void()> arrange;
        int status;
        const char *message;
    } const rows[] = {
        // Margins that leave no room: nothing printed, no hang.
        {[] {
             PrintMargins = {5000, 750, 5000, 750};
         },
         psDoesNotFit, MsgSheetDoesNotFit},
        // No half-written file stays.
        {[&] { SheetPrinter.OnDrawCell = failingCell; }, psAborted, MsgPrintAborted},
        {[&] { printer.setOutputFileName(dir.filePath("missing/sheet.pdf")); }, psStartFailed, MsgPrintStartFailed},
    };
    for (const auto &row : rows) {
        messages.clear();
        row.arrange();
        EXPECT_EQ(Print(), row.status) << row.message;
        EXPECT_EQ(messages, QStringList{row.message});
        EXPECT_FALSE(printer.paintingActive() || QFile::exists(Pdf())) << row.message;
        EXPECT_EQ(std::tuple(CellFontSize, LineUnit), std::tuple(14, 14)) << row.message;
        PrintMargins = {};
        SheetPrinter.OnDrawCell = PrintDrawCell;
        printer.setOutputFileName(Pdf());
    }
    // The printer is fine for the next job.
    EXPECT_EQ(Print(), psOk);
    EXPECT_EQ(PdfText(), "ABC");
}

TEST_F(PrintTest, CancelledDialogsChangeNothing)
{
    Put(0, 0, "X");
    onDialog = [](QDialog &) { return int(QDialog::Rejected); };
    SheetPrinter.OnMarginsChanged = [](const TPrintMargins &) { ADD_FAILURE() << "margins stored"; };
    grid->hide();
    EXPECT_EQ(Print(), psOk);
    EXPECT_TRUE(grid->isVisibleTo(form.get()));
    EXPECT_FALSE(SheetPrinter.PrinterSetup(form.get()));
    EXPECT_FALSE(SheetPrinter.PageSetup(form.get(), EditText, *grid));
    EXPECT_EQ(dialogs, 3);
    EXPECT_FALSE(QFile::exists(Pdf()));
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(PrintMargins, TPrintMargins{});
    EXPECT_EQ(SheetPrinter.Orientation, QPageLayout::Portrait);
    EXPECT_EQ(SheetPrinter.Printer().pageLayout().margins(QPageLayout::Inch), QMarginsF());
}

TEST_F(PrintTest, PrinterSetupChoosesThePrinterAndPrintsNothing)
{
    Put(0, 0, "X");
    onDialog = [](QDialog &d) {
        EXPECT_EQ(Offered(d), "P&roperties|...|Reverse|OK|Cancel|&Options <<");
        dynamic_cast<QPrintDialog &>(d).printer()->setPageOrientation(QPageLayout::Landscape);
        return int(QDialog::Accepted);
    };
    EXPECT_TRUE(SheetPrinter.PrinterSetup(form.get()));
    EXPECT_EQ(SheetPrinter.Orientation, QPageLayout::Landscape);
    EXPECT_FALSE(QFile::exists(Pdf()));
}

TEST_F(PrintTest, PageSetupWorksInThousandthsOfAnInch)
{
    // The printer's unprintable edge: a quarter inch across, half an inch down,
    // that is 150 and 300 printer pixels.
    QPrinter &printer = SheetPrinter.Printer();
    const QMarginsF edge(0.25, 0.5, 0.25, 0.5);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, edge, QPageLayout::Inch));
    PrintMargins = {100, 750, 2000, 400};
    std::vector<TPrintMargins> stored;
    SheetPrinter.OnMarginsChanged = [&](const TPrintMargins &m) { stored.push_back(m); };
    onDialog = [edge](QDialog &d) {
        QPrinter *p = dynamic_cast<QPageSetupDialog &>(d).printer();
        QPageLayout l = p->pageLayout();
        // Shown never below the edge, which is the dialog's minimum.
        EXPECT_EQ(l.minimumMargins(), edge);
        EXPECT_EQ(l.margins(QPageLayout::Inch), QMarginsF(0.25, 0.75, 2.0, 0.5));
        // The user picks landscape and margins in millimetres.
        l.setOrientation(QPageLayout::Landscape);
        l.setUnits(QPageLayout::Millimeter);
        l.setMargins(QMarginsF(25.4, 12.7, 19.05, 50.8));
        p->setPageLayout(l);
        return int(QDialog::Accepted);
    };
    EXPECT_TRUE(SheetPrinter.PageSetup(form.get(), EditText, *grid));
    EXPECT_FALSE(QFile::exists(Pdf()));  // measured without a print job
    EXPECT_EQ(std::tuple(SheetPrinter.OffsetX, SheetPrinter.OffsetY), std::tuple(150, 300));
    EXPECT_EQ(PrintMargins, (TPrintMargins{1000, 500, 750, 2000}));
    EXPECT_EQ(stored, std::vector<TPrintMargins>{PrintMargins});
    EXPECT_EQ(SheetPrinter.Orientation, QPageLayout::Landscape);
    // The printer keeps its own edge; the sheet's margins come on top of it.
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_EQ(printer.pageLayout().margins(QPageLayout::Inch), edge);
}

// ---------------------------------------------------------------------------
// Page preview

class PreviewTest : public PrintTest {
protected:
    TPrintPreView &pv = SheetPreview;
    void TearDown() override
    {
        if (pv.Panel)
            pv.CloseClick();
        QApplication::processEvents();
        PrintTest::TearDown();
    }
    bool Show() { return pv.Show(form.get(), EditText, *grid); }
};

TEST_F(PreviewTest, ShowsThePageWithItsToolBar)
{
    PrintMargins = {750, 6000, 750, 6000};  // no room on the page: nothing opens
    EXPECT_FALSE(Show());
    EXPECT_FALSE(pv.Panel);
    EXPECT_EQ(messages, QStringList{MsgSheetDoesNotFit});
    PrintMargins = {};

    grid->SetGridLines(false);  // all ink is text
    Put(0, 0, "HELLO");
    ASSERT_TRUE(Show());
    ASSERT_TRUE(Show());  // shown twice: still one set of buttons, one page image
    EXPECT_TRUE(form->menuWidget()->isHidden());
    const QList<QWidget *> kids = pv.Panel->findChildren<QWidget *>();
    EXPECT_EQ(std::count_if(kids.begin(), kids.end(), [](QWidget *w) { return dynamic_cast<TPageImage *>(w); }), 1);
    QStringList buttons;
    for (QToolButton *b : pv.CoolBar->findChildren<QToolButton *>())
        buttons << b->text() + (b->isEnabled() ? "" : " (off)");
    buttons.sort();
    EXPECT_EQ(buttons, QStringList({"Close", "Horiz. Centering (off)", "Normal Size (off)", "Page", "Page Size (off)",
                                    "Print", "Selection (off)", "Verti. Centering (off)"}));

    // The text in the first row, nothing outside the sheet's place.
    const QImage &page = pv.PageImage->Picture;
    const QRect dest = ToQRect(pv.DestRect);
    EXPECT_EQ(dest.topLeft(), QPoint(pv.AreaImg.Left, pv.AreaImg.Top));
    EXPECT_GT(InkIn(page, {dest.left(), dest.top(), dest.width() / 4, 8}).count, 5);
    EXPECT_EQ(InkIn(page, {0, 0, page.width(), dest.top()}).count, 0);
    EXPECT_EQ(InkIn(page, {0, dest.bottom() + 2, page.width(), page.height() - dest.bottom() - 2}).count, 0);
}

TEST_F(PreviewTest, SelectionAndPageRenderAnew)
{
    grid->SetGridLines(false);  // all ink is text
    Put(0, 0, "HELLO");
    Put(0, 60, "BOTTOM");
    Put(30, 41, "WORLD");
    setup.grid.SetSelection({0, 60, 10, 61});
    ASSERT_TRUE(Show());
    EXPECT_FALSE(QFile::exists(Pdf()));  // the layout needs no print job
    ASSERT_TRUE(pv.SelectionButton->isEnabled());
    const QImage &page = pv.PageImage->Picture;
    const QRect dest = ToQRect(pv.DestRect);
    auto ink = [&](int col, int r) {
        return InkIn(page, {dest.left() + dest.width() * col / 72, dest.top() + dest.height() * r / 72 + 1,
                            dest.width() / 4, dest.height() / 72 - 1})
            .count;
    };
    EXPECT_TRUE(ink(0, 0) > 5 && ink(0, 60) > 5 && ink(30, 41) > 5);

    // The block selected now is drawn at the sheet's top-left; the rest is cleared.
    setup.grid.SetSelection({30, 40, 40, 44});
    pv.SelectionButton->click();
    EXPECT_TRUE(SheetPrinter.PrintSelection);
    EXPECT_TRUE(pv.PageSizeButton->isEnabled() && pv.NormalSizeButton->isEnabled());
    EXPECT_FALSE(pv.HorizButton->isEnabled() || pv.VertButton->isEnabled());
    EXPECT_TRUE(ink(0, 0) == 0 && ink(0, 1) > 5 && ink(0, 60) == 0 && ink(30, 41) == 0);  // WORLD in row 1

    // Every render starts from a white page.
    pv.PageImage->Picture.fill(Qt::black);
    pv.PageButton->click();
    EXPECT_EQ(InkIn(page, {0, 0, page.width(), dest.top()}).count, 0);
    EXPECT_FALSE(SheetPrinter.PrintSelection);
    EXPECT_FALSE(pv.PageSizeButton->isEnabled() || pv.NormalSizeButton->isEnabled());
    EXPECT_TRUE(ink(0, 60) > 5 && ink(30, 41) > 5);

    // One cell selected now: the button only beeps.
    setup.grid.SetSelection({3, 3, 3, 3});
    SheetSetup::beeps = 0;
    pv.SelectionClick();
    EXPECT_EQ(SheetSetup::beeps, 1);
    EXPECT_FALSE(SheetPrinter.PrintSelection);

    // Print from the preview: the preview stays open.
    pv.PrintButton->click();
    EXPECT_EQ(dialogs, 1);
    EXPECT_TRUE(QFile::exists(Pdf()));
    EXPECT_TRUE(pv.Panel);
}

TEST_F(PreviewTest, EveryRenderDrawsAtThePrinterFontInTheBitmapsUnit)
{
    std::vector<std::pair<int, int>> seen;
    SheetPrinter.OnDrawCell = [&](QPainter &p, int c, int r, const QRect &rect, const TCellRectFunc &f) {
        if (c == 0 && r == 0)
            seen.emplace_back(CellFontSize, LineUnit);
        PrintDrawCell(p, c, r, rect, f);
    };
    ASSERT_TRUE(Show());
    pv.PageButton->click();
    // Size 8 on the page; at 96 dpi that is 11 pixels high, cells 8 wide.
    EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{8, 8}, {8, 8}}));
    EXPECT_EQ(std::tuple(pv.ScreenFontHeight, SheetPrinter.CellWidth, SheetPrinter.CellHeight), std::tuple(11, 8, 10));
    EXPECT_EQ(std::tuple(pv.BitmapRect.Right, pv.BitmapRect.Bottom), std::tuple(649, 793));
}

TEST_F(PreviewTest, CloseAndOpenAgainWhileTheTimerRuns)
{
    form->show();
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks, grid->viewport()->repaint(); });
    timer.start(10);
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(Show());
        QPointer<QWidget> panel = pv.Panel.data();
        QTest::qWait(30);
        QTest::mouseClick(pv.CloseButton.data(), Qt::LeftButton);
        EXPECT_FALSE(pv.Panel || pv.PageImage || pv.CoolBar || pv.CloseButton || pv.PageButton || pv.SelectionButton);
        EXPECT_TRUE(form->menuWidget()->isVisible() && grid->isVisible());
        QTRY_VERIFY(!panel);  // gone once the click was done
        QTest::qWait(20);
    }
    EXPECT_GT(ticks, 5);
}

}  // namespace
