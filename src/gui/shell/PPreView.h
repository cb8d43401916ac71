// The page preview: a grey panel laid over the main window with a tool bar and
// a white picture of the printed page, laid out by the print object against
// the current printer and rendered off-screen by the same code that prints.
#pragma once

#include <QImage>
#include <QPointer>
#include <QWidget>

#include "shell/PrintLayout.h"

class GridWidget;
class QToolButton;
class TEditText;

// The page picture on the panel.
class TPageImage : public QWidget {
public:
    explicit TPageImage(QWidget *parent) : QWidget(parent) {}
    QImage Picture;

protected:
    void paintEvent(QPaintEvent *) override;
};

class TPrintPreView {
public:
    QPointer<QWidget> SavedMenu;
    QPointer<QWidget> Panel;
    QPointer<QWidget> CoolBar;
    QPointer<QToolButton> CloseButton;
    QPointer<QToolButton> PageButton;
    QPointer<QToolButton> SelectionButton;
    QPointer<QToolButton> PageSizeButton;
    QPointer<QToolButton> NormalSizeButton;
    QPointer<QToolButton> HorizButton;
    QPointer<QToolButton> VertButton;
    QPointer<QToolButton> PrintButton;
    int32_t AvailWidth = 0;
    int32_t AvailHeight = 0;
    QPointer<TPageImage> PageImage;
    double ViewAspect = 1.0;
    TGridRect ImageRect;
    TGridRect AreaImg;
    TGridRect DestRect;
    int32_t ScreenFontHeight = 0;
    TGridRect BitmapRect;
    double PageScale = 1.0;

    // Opens the preview over form; false (with a message) when the sheet does
    // not fit on the page.
    bool Show(QWidget *form, TEditText &editor, GridWidget &grid);
    void BuildToolbar(QWidget *form);
    void Render();

    void CloseClick();
    void PageClick();
    void SelectionClick();
    void PageSizeClick();
    void NormalSizeClick();
    void HorizCenteringClick();
    void VertCenteringClick();
    void PrintClick();
};

extern TPrintPreView SheetPreview;

// Tool-bar buttons: "Arial" 8 in the window's text colour.
void StylePreviewButton(QWidget *control);
