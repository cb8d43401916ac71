// The print commands of the File menu: print, printer and page set-up, and
// the page preview that no menu item reaches.
#include "MainWindow.h"
#include "PPreView.h"
#include "VMPrinter.h"
#include "shell/Preferences.h"
#include "worksheet/Edit.h"

void TForm2::InstallPrinter()
{
    SheetPrinter.OnMarginsChanged = [](const TPrintMargins &m) {
        Preferences.SetMargins(poPrtMargin, {m.Left, m.Top, m.Right, m.Bottom});
    };
    WireAction(QStringLiteral("MenuFilePrintPage"), [this] { SheetPrinter.Print(this, EditText, *grid); });
    WireAction(QStringLiteral("PrinterSetup1"), [this] { SheetPrinter.PrinterSetup(this); });
    WireAction(QStringLiteral("PagePreview"), [this] { SheetPrinter.PageSetup(this, EditText, *grid); });
    WireAction(QStringLiteral("PagePreview1"), [this] { SheetPreview.Show(this, EditText, *grid); });
}
