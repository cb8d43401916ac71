#include "PPreView.h"

#include <QMainWindow>
#include <QPainter>
#include <QPrinter>
#include <QToolButton>

#include "VMPrinter.h"
#include "platform/GridWidget.h"
#include "worksheet/Edit.h"

TPrintPreView SheetPreview;

namespace {

const char *const msgPreviewCellFailed = "A cell could not be drawn.";

}  // namespace

void TPageImage::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawImage(0, 0, Picture);
}

void StylePreviewButton(QWidget *control)
{
    auto *button = qobject_cast<QToolButton *>(control);
    if (!button)
        return;
    QFont f(QStringLiteral("Arial"));
    f.setPointSize(8);
    button->setFont(f);
    QPalette pal = button->palette();
    pal.setColor(QPalette::ButtonText, pal.color(QPalette::WindowText));
    button->setPalette(pal);
}

bool TPrintPreView::Show(QWidget *form, TEditText &editor, GridWidget &grid)
{
    TVMPrint &sp = SheetPrinter;
    // Measured, like the panel, on the window's outer frame.
    AvailWidth = form->frameGeometry().width() - 16;
    AvailHeight = form->frameGeometry().height() - 62;
    sp.Prepare(form, editor, grid);
    sp.Printer().setPageOrientation(sp.Orientation);
    if (!sp.CalcPageLayout()) {
        sp.OnSetFontSize(sp.SavedFontSize);
        sp.Message(QString::fromUtf8(MsgSheetDoesNotFit));
        return false;
    }
    BuildToolbar(form);

    const TPreviewGeometry g = PreviewPageGeometry(AvailWidth, AvailHeight, sp.AreaAspect);
    ViewAspect = double(AvailHeight - 28) / (AvailWidth - 4);
    ImageRect = g.ImageRect;
    PageImage->setGeometry(g.ImageLeft, g.ImageTop, ImageRect.Right + 1, ImageRect.Bottom + 1);
    PageImage->Picture = QImage(ImageRect.Right + 1, ImageRect.Bottom + 1, QImage::Format_RGB32);
    PageImage->show();
    PageScale = double(sp.PageHeight) / ImageRect.Bottom;
    Render();
    return true;
}

void TPrintPreView::BuildToolbar(QWidget *form)
{
    if (auto *window = qobject_cast<QMainWindow *>(form)) {
        if (QWidget *menu = window->menuWidget(); menu && !menu->isHidden()) {
            SavedMenu = menu;
            menu->hide();
        }
    }
    if (!Panel) {
        Panel = new QWidget(form);
        Panel->hide();
        Panel->setAutoFillBackground(true);
        QPalette pal = Panel->palette();
        pal.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
        Panel->setPalette(pal);
    }
    if (!CoolBar) {
        CoolBar = new QWidget(Panel);
        CoolBar->setAutoFillBackground(true);
        QPalette pal = CoolBar->palette();
        pal.setColor(QPalette::Window, pal.color(QPalette::Button));
        CoolBar->setPalette(pal);
    }
    // A preview shown again over an open one replaces its picture and buttons.
    delete PageImage;
    for (QToolButton *b : {CloseButton.data(), PageButton.data(), SelectionButton.data(), PageSizeButton.data(),
                           NormalSizeButton.data(), HorizButton.data(), VertButton.data(), PrintButton.data()})
        delete b;
    PageImage = new TPageImage(Panel);

    Panel->setGeometry(0, 0, form->frameGeometry().width() - 8, form->frameGeometry().height() - 54);
    CoolBar->setGeometry(0, 0, Panel->width(), 26);
    Panel->raise();
    Panel->show();

    const int barWidth = CoolBar->width();
    struct Item {
        QPointer<QToolButton> *button;
        const char *caption;
        int width;
        int gap;  // from the previous button's right edge
        void (TPrintPreView::*click)();
    };
    const Item items[] = {
        {&CloseButton, "Close", 40, 0, &TPrintPreView::CloseClick},
        {&PageButton, "Page", 40, 0, &TPrintPreView::PageClick},
        {&SelectionButton, "Selection", 56, 4, &TPrintPreView::SelectionClick},
        {&PageSizeButton, "Page Size", 72, 4, &TPrintPreView::PageSizeClick},
        {&NormalSizeButton, "Normal Size", 72, 4, &TPrintPreView::NormalSizeClick},
        {&HorizButton, "Horiz. Centering", 88, 4, &TPrintPreView::HorizCenteringClick},
        {&VertButton, "Verti. Centering", 88, 4, &TPrintPreView::VertCenteringClick},
        {&PrintButton, "Print", 40, 8, &TPrintPreView::PrintClick},
    };
    int right = 2;
    for (const Item &item : items) {
        auto *b = new QToolButton(CoolBar);
        b->setText(QString::fromUtf8(item.caption));
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        StylePreviewButton(b);
        int left;
        if (item.button == &CloseButton) {
            left = barWidth - 40 - 6;
        } else if (item.button == &PageButton) {
            left = 2;
        } else {
            left = right + item.gap;
        }
        if (item.button != &CloseButton)
            right = left + item.width;
        b->setGeometry(left, 1, item.width, 20);
        QObject::connect(b, &QToolButton::clicked, Panel, [this, click = item.click] { (this->*click)(); });
        b->show();
        *item.button = b;
    }
    SelectionButton->setEnabled(SheetPrinter.HasSelection);
    PageSizeButton->setEnabled(false);
    NormalSizeButton->setEnabled(false);
    HorizButton->setEnabled(false);
    VertButton->setEnabled(false);
}

void TPrintPreView::Render()
{
    if (!PageImage)
        return;
    TVMPrint &sp = SheetPrinter;
    const int dpi = PageImage->logicalDpiY();
    ScreenFontHeight = FontPixelHeight(sp.FontSize, dpi);
    ViewAspect = double(AvailHeight - 28) / (AvailWidth - 4);
    sp.CellSizeFromHeight(ScreenFontHeight);
    BitmapRect = {0, 0, (sp.CellWidth + sp.GridLine) * sp.ColCount + sp.GridLine,
                  (sp.CellHeight + sp.GridLine) * sp.RowCount + sp.GridLine};
    QImage tmp(BitmapRect.Right + 1, BitmapRect.Bottom + 1, QImage::Format_RGB32);
    const int dotsPerMeter = qRound(dpi / 0.0254);
    tmp.setDotsPerMeterX(dotsPerMeter);
    tmp.setDotsPerMeterY(dotsPerMeter);
    tmp.fill(Qt::white);

    sp.OutRect = BitmapRect;
    HorizButton->setEnabled(false);
    VertButton->setEnabled(false);
    sp.Printer().setPageOrientation(sp.Orientation);
    sp.Scale = double(BitmapRect.Bottom) / sp.SheetHeight;
    // The painter draws at the printer's font size, in the bitmap's pixels.
    CellFontSize = sp.FontSize;
    LineUnit = sp.CellWidth;
    QPainter painter(&tmp);
    const bool drawn = sp.PrintSheet(painter);
    painter.end();

    AreaImg = {int32_t(sp.AreaRect.Left / PageScale), int32_t(sp.AreaRect.Top / PageScale),
               int32_t(sp.AreaRect.Right / PageScale), int32_t(sp.AreaRect.Bottom / PageScale)};
    DestRect = PreviewDestRect(AreaImg, BitmapRect);
    QImage &page = PageImage->Picture;
    page.fill(Qt::white);
    QPainter out(&page);
    // Averaged down, so that one-pixel grid lines stay even at any scale.
    const QRect dest = ToQRect(DestRect);
    if (!dest.isEmpty())
        out.drawImage(
            dest.topLeft(),
            tmp.copy(ToQRect(BitmapRect)).scaled(dest.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    out.end();
    PageImage->update();
    sp.OnSetFontSize(sp.SavedFontSize);
    if (!drawn)
        sp.Message(QString::fromUtf8(msgPreviewCellFailed));
}

void TPrintPreView::CloseClick()
{
    // The click that closes is still running on a button of the panel: the
    // panel goes once the event loop is back.
    if (Panel) {
        Panel->hide();
        Panel->deleteLater();
    }
    Panel = nullptr;
    if (SavedMenu)
        SavedMenu->show();
    SavedMenu = nullptr;
    if (SheetPrinter.Grid)
        SheetPrinter.Grid->setVisible(true);
    PageImage = nullptr;
    CoolBar = nullptr;
    CloseButton = nullptr;
    PageButton = nullptr;
    SelectionButton = nullptr;
    PageSizeButton = nullptr;
    NormalSizeButton = nullptr;
    HorizButton = nullptr;
    VertButton = nullptr;
    PrintButton = nullptr;
}

void TPrintPreView::PageClick()
{
    SheetPrinter.PrintSelection = false;
    PageSizeButton->setEnabled(false);
    NormalSizeButton->setEnabled(false);
    Render();
}

void TPrintPreView::SelectionClick()
{
    TVMPrint &sp = SheetPrinter;
    const TGridRect s = sp.Grid ? sp.Grid->Grid().Selection() : TGridRect{};
    if (s.Top >= s.Bottom && s.Left >= s.Right) {
        Beep();
        return;
    }
    // The block selected now, which may differ from the one when the preview opened.
    sp.HasSelection = true;
    sp.Selection = s;
    sp.PrintSelection = true;
    PageSizeButton->setEnabled(true);
    NormalSizeButton->setEnabled(true);
    Render();
}

void TPrintPreView::PageSizeClick()
{
    Render();
}

void TPrintPreView::NormalSizeClick()
{
    Render();
}

void TPrintPreView::HorizCenteringClick()
{
    SheetPrinter.CenterHoriz = !SheetPrinter.CenterHoriz;
    Render();
}

void TPrintPreView::VertCenteringClick()
{
    SheetPrinter.CenterVert = !SheetPrinter.CenterVert;
    Render();
}

void TPrintPreView::PrintClick()
{
    TVMPrint &sp = SheetPrinter;
    if (sp.Editor && sp.Grid)
        sp.Print(sp.Form, *sp.Editor, *sp.Grid);
}
