// The right-hand panel column: the function panel with the calculate
// command's buttons.
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

#include "MainWindow.h"
#include "ModeButtons.h"

namespace {

QToolButton *TextButton(const QString &text, const QSize &size, QWidget *parent)
{
    auto *b = new QToolButton(parent);
    b->setText(text);
    b->setFixedSize(size);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

}  // namespace

QWidget *TForm2::BuildFunctionPanel()
{
    auto *right = new QWidget;
    right->setFixedWidth(146);
    auto *column = new QVBoxLayout(right);
    column->setContentsMargins(2, 2, 2, 2);
    column->setSpacing(0);

    PanelFunctions = new QWidget(right);
    auto *panel = new QVBoxLayout(PanelFunctions);
    panel->setContentsMargins(0, 0, 0, 0);
    panel->setSpacing(2);

    auto *toolBar3 = new QHBoxLayout;
    toolBar3->setSpacing(0);
    PRButtonClear = new TModeButton(TGlyph::Clear, QStringLiteral("Clear the sheet (F5, then Enter)"), PanelFunctions);
    PRButtonClear->setFixedSize(48, 24);
    PRButtonClear->setAutoRaise(false);
    PRButtonReset = TextButton(QStringLiteral("Reset"), QSize(48, 24), PanelFunctions);
    PRButtonReset->setToolTip(QStringLiteral("Remove the results (F6)"));
    PRButtonRefresh = TextButton(QStringLiteral("Refresh"), QSize(48, 24), PanelFunctions);
    PRButtonRefresh->setToolTip(QStringLiteral("Redraw the sheet (F7)"));
    toolBar3->addWidget(PRButtonClear);
    toolBar3->addWidget(PRButtonReset);
    toolBar3->addWidget(PRButtonRefresh);
    toolBar3->addStretch();
    panel->addLayout(toolBar3);

    PRButtonEnter = TextButton(QStringLiteral("Enter"), QSize(142, 40), PanelFunctions);
    PRButtonEnter->setToolTip(QStringLiteral("Calculate (F8, Ctrl+Enter)"));
    QFont big("Arial");
    big.setPixelSize(16);
    big.setBold(true);
    PRButtonEnter->setFont(big);
    panel->addWidget(PRButtonEnter);
    auto *label1 = new QLabel(PanelFunctions);
    label1->setFixedHeight(8);
    panel->addWidget(label1);
    // The rows of function buttons go here.

    column->addWidget(PanelFunctions);
    column->addStretch();

    connect(PRButtonClear, &QToolButton::clicked, this, [this] { calc_.PRButtonClearClick(); });
    connect(PRButtonReset, &QToolButton::clicked, this, [this] { calc_.PRButtonResetClick(); });
    connect(PRButtonRefresh, &QToolButton::clicked, this, [this] { calc_.PRButtonRefreshClick(); });
    connect(PRButtonEnter, &QToolButton::clicked, this, [this] {
        calc_.PRButtonEnterClick();
        SyncModeGlyphs();
    });
    return right;
}
