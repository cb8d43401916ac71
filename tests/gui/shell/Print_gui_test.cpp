// Printing and the page preview, driven as the menu drives them. The printer
// writes a PDF (A4, 4958 x 7017 pixels at 600 dpi, margins of 450 pixels):
// pdftotext reads its text back and pdftoppm turns pieces of it into pixels.
// Dialogs and messages go through the print object's hooks.
#include <QAbstractButton>
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
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>
#include <stdexcept>

#include "platform/GridWidget.h"
#include "shell/PPreView.h"
#include "shell/VMPrinter.h"
#include "support/Pixels.h"
#include "support/SheetPicture.h"
#include "worksheet/Edit.h"

namespace {

using Range = QAbstractPrintDialog::PrintRange;
GridWidget *theGrid = nullptr;
const QColor grey(0xBF, 0xBF, 0xBF);  // grid lines

QString RunTool(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
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
    std::unique_ptr<QMainWindow> form = std::make_unique<QMainWindow>();
    GridWidget *grid = new GridWidget(setup.grid);
    QStringList messages;
    std::function<int(QDialog &)> onDialog = [](QDialog &) { return int(QDialog::Accepted); };
    int dialogs = 0;

    void SetUp() override
    {
        form->menuBar()->addMenu(QStringLiteral("File"));
        form->setCentralWidget(grid);
        form->resize(800, 600);
        theGrid = grid;
        SetFontSizeProc = [](int size) { theGrid->ApplyFontSize(size); };
        PrintSetFontSize(14);
        grid->SetGridLines(true);
        TVMPrint &sp = SheetPrinter;
        sp.Orientation = QPageLayout::Portrait;
        sp.PrintSelection = sp.CenterHoriz = sp.CenterVert = false;
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
        TVMPrint &sp = SheetPrinter;
        sp.ExecDialog = nullptr, sp.ShowMessage = nullptr, sp.OnBoxPictures = nullptr, sp.OnMarginsChanged = nullptr;
        sp.OnDrawCell = PrintDrawCell;
        sp.ReleasePrinter();
        SetFontSizeProc = nullptr;
        form.reset();
        QApplication::processEvents();
    }

    QString Pdf() const { return dir.filePath(QStringLiteral("sheet.pdf")); }
    int Print() { return SheetPrinter.Print(form.get(), EditText, *grid); }
    static void Put(int col, int row, const char *text)
    {
        for (int i = 0; text[i]; ++i)
            EditText.Cells[col + i][row].Ch = uint8_t(text[i]);
    }
    int Pages() const { return RunTool("pdfinfo", {Pdf()}).section("Pages:", 1).section('\n', 0, 0).toInt(); }
    // The PDF's text with every blank and line break taken out.
    QString PdfText() const
    {
        return RunTool(QStringLiteral("pdftotext"), {Pdf(), QStringLiteral("-")}).remove(QRegularExpression("\\s"));
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
    // The printed frame: the first and last inked pixels across and down the page's middle.
    QRect Printed() const
    {
        const QImage across = PdfPixels({0, 3508, 4958, 1}), down = PdfPixels({2479, 0, 1, 7017});
        QRect r;
        for (int i = 0; i < 7017; ++i) {
            if (i < 4958 && !White(across.pixelColor(i, 0)))
                r |= QRect(i, 3508, 1, 1);
            if (!White(down.pixelColor(0, i)))
                r |= QRect(2479, i, 1, 1);
        }
        return r;
    }
};

TEST_F(PrintTest, PrintsTheSheetWithResultsGridLinesAndCopies)
{
    LoadPicture(EditText, " 1  2  +  3  0  =  4* 2*");
    EXPECT_EQ(Print(), psOk);
    EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
    const QString text = PdfText();
    EXPECT_TRUE(Pages() == 1 && text.startsWith("12+30=") && text.contains("42")) << text.toStdString();
    EXPECT_TRUE(grid->isVisibleTo(form.get()));

    // Grid lines: one grey pixel every 51 across and 63 down from the frame's corner (cells 50 x 62).
    const QImage img = PdfPixels({SheetPrinter.OutRect.Left - 5, SheetPrinter.OutRect.Top - 5, 120, 140});
    for (int i = 0; i < 140; ++i)
        EXPECT_EQ(std::pair(img.pixelColor(i % 120, 100) == grey, img.pixelColor(30, i) == grey),
                  std::pair(i % 120 >= 5 && (i % 120 - 5) % 51 == 0, i >= 5 && (i - 5) % 63 == 0))
            << i;
    // Copies the printer does not make itself are pages of their own.
    SheetPrinter.Printer().setCopyCount(2);
    EXPECT_EQ(Print(), psOk);
    EXPECT_TRUE(Pages() == 2 && PdfText() == text + text);
}

TEST_F(PrintTest, SheetOrSelectionGetsTheLargestFontAndIsCentred)
{
    Put(0, 0, "OUTSIDE");
    Put(10, 20, "INSIDE");
    const std::string block = "P&roperties|...|Print all|Selection|Reverse|&Print|Cancel|&Options <<";
    const std::string one = "P&roperties|...|Reverse|&Print|Cancel|&Options <<";  // no print range, no pages
    // Sheet: room 4058 x 4868, size 8, cells 50 x 62: 72 x 51 + 1 = 3673 by 72 x 63 + 1 = 4537.
    const QRect sheet(643, 1241, 3673, 4537);
    // 7 x 2 cells: room 4058 x 1416, size 90, cells 562 x 702: 3942 by 1407 (size 91 is
    // 1425 high); the frame's first line lies one pixel in.
    const QRect cut(510, 2806, 3942, 1407);
    const TGridRect block7x2{10, 20, 16, 21}, oneCell{10, 20, 10, 20};
    const Range all = Range::AllPages, selection = Range::Selection;
    struct {
        TGridRect selected;
        Range shown, chosen;
        std::string offered;
        const char *text;
        QRect printed;
    } const rows[] = {
        {block7x2, all, all, block, "OUTSIDEINSIDE", sheet},
        {block7x2, all, selection, block, "INSIDE", cut},
        {oneCell, all, selection, one, "OUTSIDEINSIDE", sheet},  // a cell is no selection
    };
    for (const auto &row : rows) {
        setup.grid.SetSelection(row.selected);
        onDialog = [&row](QDialog &d) {
            auto &pd = dynamic_cast<QPrintDialog &>(d);
            EXPECT_EQ(std::pair(pd.printRange(), Offered(d)), std::pair(row.shown, row.offered));
            pd.setPrintRange(row.chosen);
            return int(QDialog::Accepted);
        };
        ASSERT_EQ(Print(), psOk);
        EXPECT_EQ(std::pair(PdfText(), Printed()), std::pair(QString(row.text), row.printed)) << row.text;
    }
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
    SheetPrinter.PrintSelection = true;
    ASSERT_EQ(Print(), psOk);
    const QRect frame = ToQRect(SheetPrinter.Frame()), around = frame.adjusted(-150, -150, 150, 150);
    const QPoint blueCorner = ToQRect(SheetPrinter.CellRect(11, 21)).topLeft() - around.topLeft();
    const QImage img = PdfPixels(around);
    EXPECT_TRUE(img.pixelColor(155, 155).red() > 200 && Blue(img.pixelColor(blueCorner + QPoint(5, 5))));
    // Nothing outside the frame but its lines (the reader of the PDF may colour the clip's own edge).
    int outside = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            outside += !frame.adjusted(0, 0, 1, 1).contains(around.topLeft() + QPoint(x, y)) &&
                       !White(img.pixelColor(x, y)) && img.pixelColor(x, y) != grey;
    EXPECT_EQ(outside, 0);
}

TEST_F(PrintTest, FailuresAreToldAndLeaveNoJob)
{
    Put(0, 0, "ABC");
    QPrinter &printer = SheetPrinter.Printer();
    const std::tuple<std::function<void()>, int, const char *> rows[] = {
        {[] {
             PrintMargins = {5000, 750, 5000, 750};
         },
         psDoesNotFit, MsgSheetDoesNotFit},  // and no hang
        {[] { SheetPrinter.OnDrawCell = [](auto &&...) { throw std::runtime_error("glyph"); }; }, psAborted,
         MsgPrintAborted},  // no half-written file stays
        {[&] { printer.setOutputFileName(dir.filePath("missing/sheet.pdf")); }, psStartFailed, MsgPrintStartFailed},
    };
    for (const auto &[arrange, status, message] : rows) {
        messages.clear();
        arrange();
        EXPECT_EQ(Print(), status) << message;
        EXPECT_EQ(messages, QStringList{message});
        EXPECT_FALSE(printer.paintingActive() || QFile::exists(Pdf())) << message;
        EXPECT_EQ(std::tuple(CellFontSize, LineUnit), std::tuple(14, 14)) << message;
        PrintMargins = {};
        SheetPrinter.OnDrawCell = PrintDrawCell;
        printer.setOutputFileName(Pdf());
    }
    // The printer is fine for the next job.
    EXPECT_EQ(Print(), psOk);
    EXPECT_EQ(PdfText(), "ABC");
}

TEST_F(PrintTest, PrinterSetupChoosesAndPrintsNothingCancelledDialogsChangeNothing)
{
    Put(0, 0, "X");
    onDialog = [](QDialog &d) {
        EXPECT_EQ(Offered(d), "P&roperties|...|Reverse|OK|Cancel|&Options <<");
        dynamic_cast<QPrintDialog &>(d).printer()->setPageOrientation(QPageLayout::Landscape);
        return int(QDialog::Accepted);
    };
    EXPECT_TRUE(SheetPrinter.PrinterSetup(form.get()));
    EXPECT_EQ(SheetPrinter.Orientation, QPageLayout::Landscape);

    SheetPrinter.Printer().setPageOrientation(QPageLayout::Portrait);
    onDialog = [](QDialog &) { return int(QDialog::Rejected); };
    SheetPrinter.OnMarginsChanged = [](const TPrintMargins &) { ADD_FAILURE() << "margins stored"; };
    EXPECT_EQ(Print(), psOk);
    EXPECT_FALSE(SheetPrinter.PrinterSetup(form.get()) || SheetPrinter.PageSetup(form.get(), EditText, *grid));
    EXPECT_TRUE(dialogs == 4 && !QFile::exists(Pdf()) && messages.isEmpty() && PrintMargins == TPrintMargins{});
    EXPECT_EQ(SheetPrinter.Orientation, QPageLayout::Landscape);
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
        EXPECT_EQ(std::pair(l.minimumMargins(), l.margins(QPageLayout::Inch)),
                  std::pair(edge, QMarginsF(0.25, 0.75, 2.0, 0.5)));
        // The user picks landscape and margins in millimetres.
        l.setOrientation(QPageLayout::Landscape);
        l.setUnits(QPageLayout::Millimeter);
        l.setMargins(QMarginsF(25.4, 12.7, 19.05, 50.8));
        p->setPageLayout(l);
        return int(QDialog::Accepted);
    };
    EXPECT_TRUE(SheetPrinter.PageSetup(form.get(), EditText, *grid));
    EXPECT_FALSE(QFile::exists(Pdf()));  // measured without a print job
    EXPECT_EQ(stored, (std::vector<TPrintMargins>{{1000, 500, 750, 2000}}));
    // The printer keeps its own edge; the sheet's margins come on top of it.
    EXPECT_EQ(std::tuple(PrintMargins, SheetPrinter.Orientation, printer.pageLayout().margins(QPageLayout::Inch)),
              std::tuple(stored[0], QPageLayout::Landscape, edge));
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

TEST_F(PreviewTest, ShowsThePageAndRendersSelectionOrPageAnewAtThePrinterFont)
{
    PrintMargins = {750, 6000, 750, 6000};  // no room on the page: nothing opens
    EXPECT_FALSE(Show() || pv.Panel);
    EXPECT_EQ(messages, QStringList{MsgSheetDoesNotFit});
    PrintMargins = {};
    grid->SetGridLines(false);  // all ink is text
    Put(0, 0, "HELLO");
    Put(0, 60, "BOTTOM");
    Put(30, 41, "WORLD");
    setup.grid.SetSelection({0, 60, 10, 61});
    std::vector<std::pair<int, int>> font;
    SheetPrinter.OnDrawCell = [&](QPainter &p, int c, int r, const QRect &rect, const TCellRectFunc &f) {
        if (c == 0 && r == 0)
            font.emplace_back(CellFontSize, LineUnit);
        PrintDrawCell(p, c, r, rect, f);
    };
    ASSERT_TRUE(Show());
    // Size 8 on the page, drawn in the bitmap's pixels: at 96 dpi cells 8 wide.
    EXPECT_EQ(font, (std::vector<std::pair<int, int>>{{8, 8}}));
    EXPECT_FALSE(QFile::exists(Pdf()));  // the layout needs no print job
    ASSERT_TRUE(Show());                 // shown twice: still one set of buttons, one page image
    EXPECT_TRUE(form->menuWidget()->isHidden());
    const QList<QWidget *> kids = pv.Panel->findChildren<QWidget *>();
    EXPECT_EQ(std::count_if(kids.begin(), kids.end(), [](QWidget *w) { return dynamic_cast<TPageImage *>(w); }), 1);
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
    EXPECT_TRUE(ink(0, 0) > 5 && ink(0, 60) > 5 && ink(30, 41) > 5);
    // Nothing outside the sheet's place.
    EXPECT_EQ(InkIn(page, {0, 0, page.width(), dest.top()}).count, 0);
    EXPECT_EQ(InkIn(page, {0, dest.bottom() + 2, page.width(), page.height() - dest.bottom() - 2}).count, 0);

    // The block selected now is drawn at the sheet's top-left; the rest is cleared.
    setup.grid.SetSelection({30, 40, 40, 44});
    pv.SelectionButton->click();
    EXPECT_TRUE(SheetPrinter.PrintSelection && pv.PageSizeButton->isEnabled() && pv.NormalSizeButton->isEnabled());
    EXPECT_FALSE(pv.HorizButton->isEnabled() || pv.VertButton->isEnabled());
    EXPECT_TRUE(ink(0, 0) == 0 && ink(0, 1) > 5 && ink(0, 60) == 0 && ink(30, 41) == 0);  // WORLD in row 1
    // Every render starts from a white page.
    pv.PageImage->Picture.fill(Qt::black);
    pv.PageButton->click();
    EXPECT_EQ(InkIn(page, {0, 0, page.width(), dest.top()}).count, 0);
    EXPECT_FALSE(SheetPrinter.PrintSelection || pv.PageSizeButton->isEnabled() || pv.NormalSizeButton->isEnabled());
    EXPECT_TRUE(ink(0, 60) > 5 && ink(30, 41) > 5 && font.back() == std::pair(8, 8));
    // One cell selected now: the button only beeps.
    setup.grid.SetSelection({3, 3, 3, 3});
    SheetSetup::beeps = 0;
    pv.SelectionClick();
    EXPECT_TRUE(SheetSetup::beeps == 1 && !SheetPrinter.PrintSelection);
    // Print from the preview: the preview stays open.
    pv.PrintButton->click();
    EXPECT_TRUE(dialogs == 1 && QFile::exists(Pdf()) && pv.Panel);
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
