// File/Print from the window to PDF, and Page Setup's margins kept in the preferences for the next start.
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
        SheetPrinter.ExecDialog = nullptr, SheetPrinter.ShowMessage = nullptr;
        SheetPrinter.ReleasePrinter(), PrintMargins = {};
        FreshWindowTest::TearDown();
    }
};

TEST_F(WindowPrintTest, PrintWritesOnePageAndPageSetupMarginsComeBackAtTheNextStart)
{
    Start();
    SheetPrinter.ExecDialog = [](QDialog &) { return int(QDialog::Accepted); };
    SheetPrinter.ShowMessage = [](QWidget *, const QString &text) { boxes.push_back(text.toStdString()); };
    SheetPrinter.Printer().setOutputFileName(dir.filePath(QStringLiteral("sheet.pdf")));
    QTest::keyClicks(form->Grid(), QStringLiteral("2+3"));
    Item("MenuFilePrintPage")->trigger();
    QFile f(dir.filePath(QStringLiteral("sheet.pdf")));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly) && f.readAll().contains("/Count 1") && boxes.empty() && CellFontSize == 14);
    Item("PagePreview")->trigger();  // Page Setup, confirmed as it stands
    std::array<int32_t, 4> stored{};
    EXPECT_TRUE((Preferences.StoredMargins(stored) && stored == std::array<int32_t, 4>{750, 750, 750, 750}));
    Exit(), PrintMargins = {1, 2, 3, 4};
    Start();
    EXPECT_EQ(PrintMargins, (TPrintMargins{750, 750, 750, 750}));
}

}  // namespace
