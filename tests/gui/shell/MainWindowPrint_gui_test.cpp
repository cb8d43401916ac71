// The print commands reached from the window's File menu: a page printed to
// PDF, and Page Setup's margins kept in the preferences for the next start.
#include <QDialog>
#include <QFile>
#include <QPrinter>

#include "FreshWindow.h"
#include "platform/GridWidget.h"
#include "shell/VMPrinter.h"

namespace {

class WindowPrintTest : public FreshWindowTest {
protected:
    void TearDown() override
    {
        SheetPrinter.ExecDialog = nullptr;
        SheetPrinter.ShowMessage = nullptr;
        SheetPrinter.ReleasePrinter();
        PrintMargins = {};
        FreshWindowTest::TearDown();
    }
    void ToPdf(const QString &file)
    {
        SheetPrinter.ExecDialog = [](QDialog &) { return int(QDialog::Accepted); };
        SheetPrinter.ShowMessage = [this](QWidget *, const QString &text) { messages << text; };
        QPrinter &p = SheetPrinter.Printer();
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(file);
    }
    QStringList messages;
};

TEST_F(WindowPrintTest, PrintFromTheFileMenuWritesOnePage)
{
    Start();
    const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
    ToPdf(pdf);
    QTest::keyClicks(form->Grid(), QStringLiteral("2+3"));
    form->Action(QStringLiteral("MenuFilePrintPage"))->trigger();
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().contains("/Count 1"));
    EXPECT_TRUE(messages.isEmpty()) << messages.join(' ').toStdString();
    EXPECT_EQ(CellFontSize, 14);  // the screen font is back
}

TEST_F(WindowPrintTest, PageSetupMarginsAreStoredAndComeBack)
{
    Start();
    ToPdf(dir.filePath(QStringLiteral("unused.pdf")));
    form->Action(QStringLiteral("PagePreview"))->trigger();  // Page Setup, confirmed as it stands
    std::array<int32_t, 4> stored{};
    ASSERT_TRUE(Preferences.StoredMargins(stored));
    EXPECT_EQ(stored, (std::array<int32_t, 4>{750, 750, 750, 750}));
    Exit();
    PrintMargins = {1, 2, 3, 4};
    Start();
    EXPECT_EQ(PrintMargins, (TPrintMargins{750, 750, 750, 750}));
}

}  // namespace
