// The right-hand panel column: the function panel with the calculate
// command's buttons and the function names, the symbols panel with the tall
// brackets, the upgrade panel and the keyboard panel.
#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "MainWindow.h"
#include "ModeButtons.h"
#include "platform/GridWidget.h"
#include "shell/Preferences.h"
#include "worksheet/Keyboard.h"

namespace {

const int PanelWidth = 144;
const int ColumnWidth = PanelWidth + 2;

QToolButton *TextButton(const char *name, const QString &text, const QSize &size, QWidget *parent)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setText(text);
    b->setFixedSize(size);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

// A centred label of a panel; its font shrinks until the text fits the
// panel's width, so that a long text is never cut.
QLabel *Label(const char *name, const QString &text, QFont font, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setAlignment(Qt::AlignHCenter);
    l->setFont(font);
    const int room = PanelWidth - 4;  // the upgrade panel's margins
    while (l->sizeHint().width() > room && font.pixelSize() > 6) {
        font.setPixelSize(font.pixelSize() - 1);
        l->setFont(font);
    }
    return l;
}

QWidget *Panel(const char *name, int height, QWidget *parent)
{
    auto *p = new QWidget(parent);
    p->setObjectName(QLatin1String(name));
    p->setFixedSize(PanelWidth, height);
    return p;
}

// The product picture of the upgrade panel: a small worksheet.
QPixmap ProductPicture()
{
    QPixmap pm(60, 40);
    pm.fill(Qt::white);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 0, 0x80), 1));
    p.drawRect(0, 0, 59, 39);
    QFont f("Arial");
    f.setPixelSize(12);
    p.setFont(f);
    p.drawText(QRect(4, 4, 20, 14), Qt::AlignCenter, QStringLiteral("a"));
    p.drawLine(6, 20, 22, 20);
    p.drawText(QRect(4, 21, 20, 14), Qt::AlignCenter, QStringLiteral("b"));
    p.setPen(Qt::blue);
    p.drawText(QRect(24, 12, 34, 16), Qt::AlignCenter, QStringLiteral("= 0.5"));
    return pm;
}

// A green tick for the buttons that close a panel.
QIcon OkGlyph()
{
    QPixmap pm(20, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 0x80, 0), 2.5));
    p.drawPolyline(QPolygonF({QPointF(3, 8), QPointF(8, 13), QPointF(17, 3)}));
    return QIcon(pm);
}

struct TFunctionButton {
    const char *name;
    const char *caption;
    const char *text;  // written into the sheet
};

const TFunctionButton FunctionButtons[] = {
    {"PRButtonSin", "sin", "sin("},
    {"PRButtonCos", "cos", "cos("},
    {"PRButtonTan", "tan", "tan("},
    {"PRButtonArcSin", "arcsin", "arcsin("},
    {"PRButtonArcCos", "arccos", "arccos("},
    {"PRButtonArcTan", "arctan", "arctan("},
    {"PRButtonDeg", "deg", "deg("},
    {"PRButtonRad", "rad", "rad("},
    {"PRButtonCot", "cot", "cot("},
    {"PRButtonExp", "exp", "exp("},
    {"PRButtonLn", "ln", "ln("},
    {"PRButtonLog", "log", "log("},
    {"PRButtonLog2", "log2", "log2("},
    {"PRButtonLog8", "log8", "log8("},
    {"PRButtonLog16", "log16", "log16("},
};

struct TBracketButton {
    const char *name;
    const char *caption;
    uint8_t top, middle, bottom;  // symbol-font glyphs
};

const TBracketButton BracketButtons[] = {
    {"SpeedBr3Open", "{", 236, 237, 238},  {"SpeedBr2Open", "[", 233, 234, 235},  {"SpeedBr1Open", "(", 230, 231, 232},
    {"SpeedBr1Close", ")", 246, 247, 248}, {"SpeedBr2Close", "]", 249, 250, 251}, {"SpeedBr3Close", "}", 252, 253, 254},
};

// The rows of the keyboard panel's list.
const struct {
    const char *name;  // the layout's own name
    const char *caption;
    void (TKeyboard::*load)();
} KeyboardLayouts[] = {
    {"US default", "US-default", &TKeyboard::SetUSDefault},
    {"German", "German", &TKeyboard::SetGerman},
    {"Italian", "Italian", &TKeyboard::SetItalian},
    {"BRAZIL", "Portoguese (Brazil)", &TKeyboard::SetBrazil},
};

}  // namespace

// The panels stand in a column that scrolls when the window is too low for
// all of them; the scroll bar then widens the column rather than cover it.
QWidget *TForm2::BuildRightPanels()
{
    auto *right = new QScrollArea;
    right->setObjectName(QStringLiteral("PanelRight"));
    right->setFrameShape(QFrame::NoFrame);
    right->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    right->setWidgetResizable(true);
    right->setFixedWidth(ColumnWidth);
    QScrollBar *bar = right->verticalScrollBar();
    connect(bar, &QScrollBar::rangeChanged, right, [right, bar](int, int max) {
        right->setFixedWidth(ColumnWidth + (max > 0 ? bar->sizeHint().width() : 0));
    });
    auto *inner = new QWidget;
    auto *column = new QVBoxLayout(inner);
    column->setContentsMargins(1, 2, 1, 2);
    column->setSpacing(2);
    PanelFunctions = BuildFunctionPanel(inner);
    PanelSymbol2 = BuildSymbolPanel(inner);
    PanelUpgrade = BuildUpgradePanel(inner);
    PanelKeyboard = BuildKeyboardPanel(inner);
    for (QWidget *w : {PanelFunctions, PanelSymbol2, PanelUpgrade, PanelKeyboard})
        column->addWidget(w);
    column->addStretch();
    right->setWidget(inner);
    PanelSymbol2->setVisible(false);
    PanelUpgrade->setVisible(false);
    PanelKeyboard->setVisible(false);
    return right;
}

QWidget *TForm2::BuildFunctionPanel(QWidget *parent)
{
    QWidget *panelWidget = Panel("PanelFunctions", 182, parent);
    auto *panel = new QVBoxLayout(panelWidget);
    panel->setContentsMargins(0, 0, 0, 0);
    panel->setSpacing(2);

    auto *toolBar3 = new QHBoxLayout;
    toolBar3->setSpacing(0);
    PRButtonClear = new TModeButton(TGlyph::Clear, QStringLiteral("Clear the sheet (F5, then Enter)"), panelWidget);
    PRButtonClear->setObjectName(QStringLiteral("PRButtonClear"));
    PRButtonClear->setFixedSize(48, 24);
    PRButtonClear->setAutoRaise(false);
    PRButtonReset = TextButton("PRButtonReset", QStringLiteral("Reset"), QSize(48, 24), panelWidget);
    PRButtonReset->setToolTip(QStringLiteral("Remove the results (F6)"));
    PRButtonRefresh = TextButton("PRButtonRefresh", QStringLiteral("Refresh"), QSize(48, 24), panelWidget);
    PRButtonRefresh->setToolTip(QStringLiteral("Redraw the sheet (F7)"));
    toolBar3->addWidget(PRButtonClear);
    toolBar3->addWidget(PRButtonReset);
    toolBar3->addWidget(PRButtonRefresh);
    toolBar3->addStretch();
    panel->addLayout(toolBar3);

    PRButtonEnter = TextButton("PRButtonEnter", QStringLiteral("Enter"), QSize(142, 40), panelWidget);
    PRButtonEnter->setToolTip(QStringLiteral("Calculate (F8, Ctrl+Enter)"));
    QFont big("Arial");
    big.setPixelSize(16);
    big.setBold(true);
    PRButtonEnter->setFont(big);
    panel->addWidget(PRButtonEnter);
    auto *label1 = new QLabel(panelWidget);
    label1->setFixedHeight(8);
    panel->addWidget(label1);

    auto *rows = new QGridLayout;
    rows->setSpacing(0);
    for (int i = 0; i < int(std::size(FunctionButtons)); ++i) {
        const TFunctionButton &f = FunctionButtons[i];
        QToolButton *b = TextButton(f.name, QLatin1String(f.caption), QSize(48, 20), panelWidget);
        const std::string text = f.text;
        connect(b, &QToolButton::clicked, this, [this, text] { WritePanelFunction(text); });
        rows->addWidget(b, i / 3, i % 3);
    }
    panel->addLayout(rows);
    panel->addStretch();

    connect(PRButtonClear, &QToolButton::clicked, this, [this] { calc_.PRButtonClearClick(); });
    connect(PRButtonReset, &QToolButton::clicked, this, [this] { calc_.PRButtonResetClick(); });
    connect(PRButtonRefresh, &QToolButton::clicked, this, [this] { calc_.PRButtonRefreshClick(); });
    connect(PRButtonEnter, &QToolButton::clicked, this, [this] {
        calc_.PRButtonEnterClick();
        SyncModeGlyphs();
    });
    return panelWidget;
}

QWidget *TForm2::BuildSymbolPanel(QWidget *parent)
{
    QWidget *panel = Panel("PanelSymbol2", 38, parent);
    auto *toolBar10 = new QHBoxLayout(panel);
    toolBar10->setContentsMargins(0, 4, 0, 4);
    toolBar10->setSpacing(0);
    QFont tall("Arial");
    tall.setPixelSize(24);
    for (const TBracketButton &br : BracketButtons) {
        QToolButton *b = TextButton(br.name, QLatin1String(br.caption), QSize(24, 28), panel);
        b->setFont(tall);
        connect(b, &QToolButton::clicked, this, [this, br] { InsertPanelBracket(br.top, br.middle, br.bottom); });
        toolBar10->addWidget(b);
    }
    toolBar10->addStretch();
    return panel;
}

QWidget *TForm2::BuildUpgradePanel(QWidget *parent)
{
    QWidget *panel = Panel("PanelUpgrade", 163, parent);
    auto *column = new QVBoxLayout(panel);
    column->setContentsMargins(2, 2, 2, 2);
    column->setSpacing(1);
    const QFont plain = font();
    QFont bold = plain;
    bold.setBold(true);
    QFont title = bold;
    title.setPixelSize(16);
    QLabel *image = Label("ImageVelmora1", QString(), plain, panel);
    image->setPixmap(ProductPicture());
    QLabel *name = Label("Label2", QStringLiteral("Velmora"), title, panel);
    name->setStyleSheet(QStringLiteral("color: red"));
    LabelVersion = Label("LabelVersion", QStringLiteral("Version"), plain, panel);
    LabelNewVersion = Label("LabelNewVersion", QString(), plain, panel);
    QLabel *home = Label("LabelHomePage", QStringLiteral("www.tarnwick.example"), bold, panel);
    home->setStyleSheet(QStringLiteral("color: red"));
    ButtonUpgradeOk = TextButton("ButtonUpgradeOk", QString(), QSize(40, 22), panel);
    ButtonUpgradeOk->setIcon(OkGlyph());
    connect(ButtonUpgradeOk, &QToolButton::clicked, this, [this] { ButtonUpgradeOkClick(); });
    column->addWidget(image);
    column->addWidget(name);
    column->addWidget(LabelVersion);
    column->addWidget(Label("LabelNewVersionText1", QStringLiteral("An upgrade to version"), plain, panel));
    column->addWidget(LabelNewVersion);
    column->addWidget(Label("LabelNewVersionText2", QStringLiteral("is available on"), plain, panel));
    column->addWidget(home);
    column->addWidget(ButtonUpgradeOk, 0, Qt::AlignHCenter);
    return panel;
}

QWidget *TForm2::BuildKeyboardPanel(QWidget *parent)
{
    QWidget *panel = Panel("PanelKeyboard", 108, parent);
    auto *column = new QVBoxLayout(panel);
    column->setContentsMargins(2, 2, 2, 2);
    column->setSpacing(2);
    ListBoxKeyboard = new QListWidget(panel);
    ListBoxKeyboard->setObjectName(QStringLiteral("ListBoxKeyboard"));
    for (const auto &layout : KeyboardLayouts)
        ListBoxKeyboard->addItem(QLatin1String(layout.caption));
    SpeedKeyboarOK = TextButton("SpeedKeyboarOK", QString(), QSize(40, 22), panel);
    SpeedKeyboarOK->setIcon(OkGlyph());
    connect(SpeedKeyboarOK, &QToolButton::clicked, this, [this] { SpeedKeyboarOKClick(); });
    connect(ListBoxKeyboard, &QListWidget::itemActivated, this, [this] { SpeedKeyboarOKClick(); });
    column->addWidget(ListBoxKeyboard);
    column->addWidget(SpeedKeyboarOK, 0, Qt::AlignHCenter);
    return panel;
}

// ---------------------------------------------------------------------------
// Showing and hiding the panels

void TForm2::ShowRightPanel(uint8_t mode)
{
    if (mode == 0)
        --PanelCount;
    else if (mode == 1)
        ++PanelCount;
    PanelRight->setVisible(PanelCount != 0);
}

// Shows or hides a panel that the View menu toggles, keeping its check mark,
// the panel count and its preference in step.
void TForm2::TogglePanel(QWidget *panel, bool &shown, const char *item, int option)
{
    shown = !shown;
    if (shown)
        ShowRightPanel(1);
    panel->setVisible(shown);
    Action(QLatin1String(item))->setChecked(shown);
    if (!shown)
        ShowRightPanel(0);
    Preferences.SetFlag(option, shown);
}

void TForm2::Menu_FunctionPanelClick()
{
    TogglePanel(PanelFunctions, FunctionsShown, "Menu_FunctionPanel", poShowFunction);
}

void TForm2::Menu_SymbolsPanelClick()
{
    TogglePanel(PanelSymbol2, SymbolsShown, "Menu_SymbolsPanel", poShowSymbol);
}

void TForm2::ShowUpgradePanel()
{
    if (PanelUpgrade->isHidden())
        ShowRightPanel(1);
    LabelVersion->setText(QStringLiteral("Version  ") + QString::fromStdString(VersionString));
    LabelNewVersion->setText(QString::fromLatin1(NewVersion.data(), qsizetype(NewVersion.size())));
    PanelUpgrade->setVisible(true);
}

void TForm2::ButtonUpgradeOkClick()
{
    PanelUpgrade->setVisible(false);
    ShowRightPanel(0);
    grid->setFocus();
}

void TForm2::MenuKeyboard1Click()
{
    if (PanelKeyboard->isHidden())
        ShowRightPanel(1);
    PanelKeyboard->setVisible(true);
    for (int row = 0; row < int(std::size(KeyboardLayouts)); ++row)
        if (KeyboardObj.LayoutName == KeyboardLayouts[row].name)
            ListBoxKeyboard->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    ListBoxKeyboard->setFocus();
}

void TForm2::SpeedKeyboarOKClick()
{
    // The chosen row is the selected one: the list makes its first row
    // current, unselected, as it takes the focus.
    const QList<QListWidgetItem *> chosen = ListBoxKeyboard->selectedItems();
    if (!chosen.isEmpty())
        (KeyboardObj.*KeyboardLayouts[ListBoxKeyboard->row(chosen.front())].load)();
    // The OK of a hidden panel (a double click arriving late) counts nothing.
    if (PanelKeyboard->isHidden())
        return;
    PanelKeyboard->setVisible(false);
    ShowRightPanel(0);
    grid->setFocus();
}

// ---------------------------------------------------------------------------
// Writing into the sheet

// Writes a function name at the cursor, its letters bold and marked as a
// function name, the '(' plain. An occupied or locked cell ends the name with
// a beep; so does the last column when letters are left over.
void TForm2::WritePanelFunction(const std::string &name)
{
    bool written = false;
    for (size_t i = 0; i < name.size(); ++i) {
        const int c = sheetGrid_.Col(), r = sheetGrid_.Row();
        if (!EditText.CellAt(c, r).Empty() || EditText.CellLocked(c, r)) {
            Beep();
            break;
        }
        const bool last = i + 1 == name.size();
        TCell &cell = EditText.Cells[c][r];
        cell.Ch = uint8_t(name[i]);
        cell.SetFlags(last ? 0 : cfFunctionName | cfBold);
        EditText.NoteUsed(c, r);
        sheetGrid_.InvalidateCell(c, r);
        written = true;
        if (c >= EditText.ColMax) {
            if (!last)
                Beep();
            break;
        }
        sheetGrid_.SetCol(c + 1);
    }
    if (written && SaveUndoProc)
        SaveUndoProc();
    grid->setFocus();
}

void TForm2::InsertPanelBracket(uint8_t top, uint8_t middle, uint8_t bottom)
{
    if (EditText.InsertBrackets(top, middle, bottom, sheetGrid_.Col(), sheetGrid_.Row()) && SaveUndoProc)
        SaveUndoProc();
    grid->setFocus();
}
