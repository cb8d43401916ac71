// Printing and the page preview, driven as the menu drives them. The printer
// writes a PDF (A4, 600 dpi, no unprintable edge): pdftotext reads its text
// back and pdftoppm turns pieces of it into pixels. Dialogs and message boxes
// go through the print object's hooks, so nothing waits for a person.
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
        sp.OnBoxPictures = nullptr;
        sp.OnMarginsChanged = nullptr;
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
    void ExpectScreenFont()
    {
        EXPECT_EQ(std::tuple(FontSize, CellFontSize, LineUnit), std::tuple(14, 14, 14));
        EXPECT_EQ(std::tuple(grid->CellWidth(), grid->CellHeight()), std::tuple(14, 17));
    }
};

TEST_F(PrintTest, PrintsTheSheetOnOnePageWithFormulaAndResult)
{
    QuietWindow window;
    TCalcCommand calc(window);
    LoadPicture(EditText, " 1  2  +  3  0  = ");
    setup.grid.SetCol(0), setup.grid.SetRow(0);
    calc.PRButtonEnterClick();
    ASSERT_EQ(window.status, "  ready");

    EXPECT_EQ(Print(), psOk);
    EXPECT_EQ(dialogs, 1);
    EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
    EXPECT_TRUE(RunTool("pdfinfo", {Pdf()}).contains(QRegularExpression("Pages:\\s+1\\n")));
    const QString text = PdfText();
    EXPECT_TRUE(text.startsWith("12+30=") && text.contains("42")) << text.toStdString();

    // The page as the printer gives it; the layout's own tests work the rest out by hand.
    const TVMPrint &sp = SheetPrinter;
    EXPECT_EQ(std::tuple(sp.PageWidth, sp.PageHeight, sp.Dpi, sp.OffsetX, sp.OffsetY, sp.OutRect.Left, sp.OutRect.Top),
              std::tuple(4958, 7017, 600, 0, 0, 643, 1241));
    EXPECT_TRUE(sp.CenterHoriz && sp.CenterVert);
    ExpectScreenFont();
    EXPECT_TRUE(grid->isVisibleTo(form.get()));

    // Grid lines: one grey pixel every 51 across and 63 down from the frame's corner (cells 50 x 62).
    const QImage img = PdfPixels({643 - 5, 1241 - 5, 120, 140});
    for (int i = 0; i < 140; ++i) {
        if (i < 120)
            EXPECT_EQ(img.pixelColor(i, 100) == QColor(0xBF, 0xBF, 0xBF), i >= 5 && (i - 5) % 51 == 0) << i;
        EXPECT_EQ(img.pixelColor(30, i) == QColor(0xBF, 0xBF, 0xBF), i >= 5 && (i - 5) % 63 == 0) << i;
    }
}

TEST_F(PrintTest, HiddenGridLinesDrawNoLines)
{
    grid->SetGridLines(false);
    EXPECT_EQ(Print(), psOk);
    EXPECT_EQ(SheetPrinter.GridLine, 0);
    const TGridRect out = SheetPrinter.OutRect;
    EXPECT_EQ(InkIn(PdfPixels({out.Left, out.Top, 300, 300}), {0, 0, 300, 300}).count, 0);
}

TEST_F(PrintTest, SelectionPrintsOnlyItsCells)
{
    Put(0, 0, "OUTSIDE");
    Put(10, 20, "INSIDE");
    setup.grid.SetSelection({10, 20, 16, 21});
    onDialog = [](QDialog &d) {
        auto &pd = dynamic_cast<QPrintDialog &>(d);
        EXPECT_TRUE(pd.testOption(QAbstractPrintDialog::PrintSelection));
        EXPECT_EQ(pd.printRange(), QAbstractPrintDialog::AllPages);
        pd.setPrintRange(QAbstractPrintDialog::Selection);
        return int(QDialog::Accepted);
    };
    EXPECT_EQ(Print(), psOk);
    EXPECT_TRUE(SheetPrinter.PrintSelection);
    EXPECT_EQ(PdfText(), "INSIDE");

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

TEST_F(PrintTest, PictureOutsideTheSelectionIsClippedToTheFrame)
{
    // Anchored two cells left of and above the selection, 5 cells wide and high:
    // only its lower right part lies inside the frame.
    QImage red(70, 85, QImage::Format_RGB32);
    red.fill(Qt::red);
    SheetPrinter.OnBoxPictures = [&] { return std::vector<TBoxPicture>{{8, 18, 0, 0, 70, 85, red}}; };
    setup.grid.SetSelection({10, 20, 14, 24});
    onDialog = [](QDialog &d) {
        dynamic_cast<QPrintDialog &>(d).setPrintRange(QAbstractPrintDialog::Selection);
        return int(QDialog::Accepted);
    };
    ASSERT_EQ(Print(), psOk);
    const TGridRect f = SheetPrinter.Frame();
    const QRect around(f.Left - 150, f.Top - 150, f.Right - f.Left + 300, f.Bottom - f.Top + 300);
    const QImage img = PdfPixels(around);
    int inside = 0, outside = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixelColor(x, y).red() > 200 && img.pixelColor(x, y).green() < 60) {
                const int px = x + around.x(), py = y + around.y();
                (px >= f.Left && px < f.Right && py >= f.Top && py < f.Bottom ? inside : outside)++;
            }
    EXPECT_EQ(outside, 0);
    // The picture is 51 x 70 / 15 = 238 pixels wide and (85 - 1) x 4535 / 1297
    // = 293 high, starting 2 x 51 left of the frame and 2 x 63 above it.
    EXPECT_EQ(inside, (238 - 102) * (293 - 126));
}

TEST_F(PrintTest, FailuresAreToldAndLeaveNoJob)
{
    Put(0, 0, "ABC");
    QPrinter &printer = SheetPrinter.Printer();

    // Margins that leave no room: a message, nothing printed, no hang.
    PrintMargins = {5000, 750, 5000, 750};
    EXPECT_EQ(Print(), psDoesNotFit);
    EXPECT_EQ(messages, QStringList{MsgSheetDoesNotFit});
    EXPECT_FALSE(QFile::exists(Pdf()));
    ExpectScreenFont();
    PrintMargins = {};

    // A cell that fails to draw aborts the job: no half-written file stays.
    messages.clear();
    SheetPrinter.OnDrawCell = [](QPainter &p, int c, int r, const QRect &rect, const TCellRectFunc &f) {
        if (c == 1 && r == 0)
            throw std::runtime_error("glyph");
        PrintDrawCell(p, c, r, rect, f);
    };
    EXPECT_EQ(Print(), psAborted);
    EXPECT_EQ(messages, QStringList{MsgPrintAborted});
    EXPECT_FALSE(printer.paintingActive());
    EXPECT_FALSE(QFile::exists(Pdf()));
    ExpectScreenFont();
    SheetPrinter.OnDrawCell = PrintDrawCell;

    // A job that cannot start.
    messages.clear();
    printer.setOutputFileName(dir.filePath("missing/sheet.pdf"));
    EXPECT_EQ(Print(), psStartFailed);
    EXPECT_EQ(messages, QStringList{MsgPrintStartFailed});
    ExpectScreenFont();

    // The printer is fine for the next job.
    messages.clear();
    printer.setOutputFileName(Pdf());
    EXPECT_EQ(Print(), psOk);
    EXPECT_EQ(PdfText(), "ABC");
}

TEST_F(PrintTest, CancelledDialogsChangeNothing)
{
    Put(0, 0, "X");
    onDialog = [](QDialog &) { return int(QDialog::Rejected); };
    SheetPrinter.OnMarginsChanged = [](const TPrintMargins &) { ADD_FAILURE() << "margins stored"; };
    SheetPrinter.Printer().setPageOrientation(QPageLayout::Portrait);

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
    ExpectScreenFont();
}

TEST_F(PrintTest, PageSetupWorksInThousandthsOfAnInch)
{
    // The printer's unprintable edge: a quarter inch across, half an inch down,
    // that is 150 and 300 printer pixels.
    QPrinter &printer = SheetPrinter.Printer();
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0.25, 0.5, 0.25, 0.5),
                                      QPageLayout::Inch));
    PrintMargins = {100, 750, 2000, 400};
    std::vector<TPrintMargins> stored;
    SheetPrinter.OnMarginsChanged = [&](const TPrintMargins &m) { stored.push_back(m); };
    onDialog = [](QDialog &d) {
        QPrinter *p = dynamic_cast<QPageSetupDialog &>(d).printer();
        QPageLayout l = p->pageLayout();
        // Shown never below the edge, which is the dialog's minimum.
        EXPECT_EQ(l.minimumMargins(), QMarginsF(0.25, 0.5, 0.25, 0.5));
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
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0], PrintMargins);
    EXPECT_EQ(SheetPrinter.Orientation, QPageLayout::Landscape);
    // The printer keeps its own edge; the sheet's margins come on top of it.
    const QPageLayout after = printer.pageLayout();
    EXPECT_EQ(after.orientation(), QPageLayout::Landscape);
    EXPECT_EQ(after.margins(QPageLayout::Inch), QMarginsF(0.25, 0.5, 0.25, 0.5));
    ExpectScreenFont();
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
    QRect Dest() const { return ToQRect(pv.DestRect); }
};

TEST_F(PreviewTest, ShowsThePageWithItsToolBar)
{
    // Not shown, the window's frame is its own size.
    grid->SetGridLines(false);  // all ink is text
    Put(0, 0, "HELLO");
    ASSERT_TRUE(Show());
    ASSERT_TRUE(Show());  // shown twice: still one set of buttons, one page image
    ASSERT_TRUE(pv.Panel);
    EXPECT_EQ(pv.CoolBar->findChildren<QToolButton *>().size(), 8);
    const QList<QWidget *> kids = pv.Panel->findChildren<QWidget *>();
    EXPECT_EQ(std::count_if(kids.begin(), kids.end(), [](QWidget *w) { return dynamic_cast<TPageImage *>(w); }), 1);
    EXPECT_TRUE(form->menuWidget()->isHidden());
    EXPECT_EQ(pv.Panel->geometry(), QRect(0, 0, 792, 546));
    EXPECT_EQ(pv.CoolBar->geometry(), QRect(0, 0, 792, 26));

    // Caption, position, size and whether enabled.
    const std::pair<QToolButton *, const char *> buttons[] = {
        {pv.CloseButton, "Close 746,1 40x20 on"},
        {pv.PageButton, "Page 2,1 40x20 on"},
        {pv.SelectionButton, "Selection 46,1 56x20 off"},
        {pv.PageSizeButton, "Page Size 106,1 72x20 off"},
        {pv.NormalSizeButton, "Normal Size 182,1 72x20 off"},
        {pv.HorizButton, "Horiz. Centering 258,1 88x20 off"},
        {pv.VertButton, "Verti. Centering 350,1 88x20 off"},
        {pv.PrintButton, "Print 446,1 40x20 on"},
    };
    for (auto [b, want] : buttons) {
        ASSERT_TRUE(b) << want;
        const QRect g = b->geometry();
        const QString shown = QString("%1 %2,%3 %4x%5 %6").arg(b->text()).arg(g.x()).arg(g.y()).arg(g.width());
        EXPECT_EQ(shown.arg(g.height()).arg(b->isEnabled() ? "on" : "off").toStdString(), want);
        EXPECT_EQ(std::pair(b->font().family(), b->font().pointSize()), std::pair(QString("Arial"), 8));
    }

    // A4's area (4058 x 6117) is taller than the room (784 x 510): the page
    // image is 510 high, 338 wide, centred.
    EXPECT_EQ(std::tuple(pv.ImageRect.Right, pv.ImageRect.Bottom), std::tuple(338, 510));
    EXPECT_EQ(pv.PageImage->geometry(), QRect(227, 30, 339, 511));
    const QImage &page = pv.PageImage->Picture;
    ASSERT_EQ(page.size(), QSize(339, 511));
    // The text in the first row, nothing outside the sheet's place.
    const QRect dest = Dest();
    EXPECT_EQ(dest.topLeft(), QPoint(pv.AreaImg.Left, pv.AreaImg.Top));
    EXPECT_GT(InkIn(page, {dest.left(), dest.top(), dest.width() / 4, 8}).count, 5);
    EXPECT_EQ(InkIn(page, {0, 0, page.width(), dest.top()}).count, 0);
    EXPECT_EQ(InkIn(page, {0, dest.bottom() + 2, page.width(), page.height() - dest.bottom() - 2}).count, 0);
    ExpectScreenFont();
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
    const QRect dest = Dest();
    auto row = [&](int col, int r) {
        return QRect(dest.left() + dest.width() * col / 72, dest.top() + dest.height() * r / 72 + 1, dest.width() / 4,
                     dest.height() / 72 - 1);
    };
    EXPECT_GT(InkIn(page, row(0, 0)).count, 5);
    EXPECT_GT(InkIn(page, row(0, 60)).count, 5);
    EXPECT_GT(InkIn(page, row(30, 41)).count, 5);

    // The block selected now is drawn at the sheet's top-left; the rest is cleared.
    setup.grid.SetSelection({30, 40, 40, 44});
    pv.SelectionButton->click();
    EXPECT_TRUE(SheetPrinter.PrintSelection);
    EXPECT_TRUE(pv.PageSizeButton->isEnabled() && pv.NormalSizeButton->isEnabled());
    EXPECT_FALSE(pv.HorizButton->isEnabled() || pv.VertButton->isEnabled());
    EXPECT_EQ(InkIn(page, row(0, 0)).count, 0);
    EXPECT_GT(InkIn(page, row(0, 1)).count, 5);  // WORLD
    EXPECT_EQ(InkIn(page, row(0, 60)).count, 0);
    EXPECT_EQ(InkIn(page, row(30, 41)).count, 0);
    ExpectScreenFont();

    // Every render starts from a white page.
    pv.PageImage->Picture.fill(Qt::black);
    pv.PageButton->click();
    EXPECT_EQ(InkIn(page, {0, 0, page.width(), dest.top()}).count, 0);
    EXPECT_FALSE(SheetPrinter.PrintSelection);
    EXPECT_FALSE(pv.PageSizeButton->isEnabled() || pv.NormalSizeButton->isEnabled());
    EXPECT_GT(InkIn(page, row(0, 60)).count, 5);
    EXPECT_GT(InkIn(page, row(30, 41)).count, 5);

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
    ExpectScreenFont();
}

TEST_F(PreviewTest, CloseAndOpenAgainWhileTheTimerRuns)
{
    form->show();
    int ticks = 0;
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        ++ticks;
        grid->viewport()->repaint();
    });
    timer.start();
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(Show());
        QPointer<QWidget> panel = pv.Panel.data();
        QPointer<QToolButton> close = pv.CloseButton.data();
        QTest::qWait(30);
        QTest::mouseClick(close, Qt::LeftButton);
        EXPECT_FALSE(pv.Panel);
        EXPECT_FALSE(pv.PageImage || pv.CoolBar || pv.CloseButton || pv.PageButton || pv.SelectionButton);
        EXPECT_TRUE(form->menuWidget()->isVisible());
        EXPECT_TRUE(grid->isVisible());
        QTRY_VERIFY(!panel);  // gone once the click was done
        QTest::qWait(20);
    }
    EXPECT_GT(ticks, 5);
    ExpectScreenFont();
}

TEST_F(PreviewTest, NoRoomOnThePageOpensNothing)
{
    PrintMargins = {750, 6000, 750, 6000};
    EXPECT_FALSE(Show());
    EXPECT_FALSE(pv.Panel);
    EXPECT_EQ(messages, QStringList{MsgSheetDoesNotFit});
    ExpectScreenFont();
}

}  // namespace
