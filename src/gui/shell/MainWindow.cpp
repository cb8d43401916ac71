#include "MainWindow.h"
#include "MenuCommands.h"
#include "VMPrinter.h"
#include "VelmoraMenus.h"
#include "worksheet/ObjectBoxes.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "ModeButtons.h"
#include "RouteOverlay.h"
#include "StatusLine.h"
#include "UpdateClient.h"
#include "engine/Errors.h"
#include "engine/NumFormat.h"
#include "engine/Rebuilder.h"
#include "engine/Results.h"
#include "engine/Router.h"
#include "platform/GridWidget.h"
#include "worksheet/CellPainter.h"
#include "worksheet/Edit.h"
#include "worksheet/Keyboard.h"
#include "worksheet/UndoEd.h"

TForm2 *Form2 = nullptr;
std::string BaseCaption;
bool F12Armed = false;
bool ShowNestingMarks = false;
bool UIFixMode = false;
int32_t UIFixPlaces = 2;
int32_t UIFltPlaces = 6;
bool UIExpMode = false;

namespace {

constexpr int StartCols = 72;
constexpr int StartRows = 72;

// The grid of the window: tells the calculate command of every paint, so the
// delayed repaint settles however late Qt delivers the paints it asked for.
class TSheetGridWidget : public GridWidget {
public:
    TSheetGridWidget(TDrawGrid &grid, TCalcCommand &calc) : GridWidget(grid), calc_(calc) {}

protected:
    void paintEvent(QPaintEvent *e) override
    {
        calc_.PaintStarted();
        GridWidget::paintEvent(e);
    }

private:
    TCalcCommand &calc_;
};

}  // namespace

TForm2::TForm2(QWidget *parent) : QMainWindow(parent), sheetGrid_(StartCols, StartRows), calc_(*this)
{
    setWindowTitle(QStringLiteral("Velmora"));
    setMinimumSize(640, 480);
    resize(707, 480);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    QFont f("Arial");
    f.setPixelSize(11);
    setFont(f);

    BuildToolBar();

    grid = new TSheetGridWidget(sheetGrid_, calc_);
    QFont gridFont("Courier New");
    gridFont.setPixelSize(32);
    grid->setFont(gridFont);
    grid->SetCellSize(14, 21);
    grid->viewport()->installEventFilter(this);
    // The grid's signals carry references the handlers change: direct calls.
    connect(
        grid, &GridWidget::keyDown, this, [this](uint16_t &key, TShiftState shift) { GridKeyDown(key, shift); },
        Qt::DirectConnection);
    connect(
        grid, &GridWidget::keyPress, this, [this](char &key) { GridKeyPress(key); }, Qt::DirectConnection);
    connect(
        grid, &GridWidget::cellSelected, this,
        [this](int col, int row, bool &canSelect) { gridSelectCell(col, row, canSelect); }, Qt::DirectConnection);
    connect(grid, &GridWidget::doubleClicked, this, [this] { gridDblClick(); });
    connect(grid, &GridWidget::topLeftChanged, this, [this] { gridTopLeftChanged(); });
    routeOverlay_ = new TRouteOverlay(*grid);

    auto *central = new QWidget;
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(grid, 1);
    PanelRight = BuildRightPanels();
    row->addWidget(PanelRight);
    column->addLayout(row, 1);
    column->addWidget(BuildStatusPanel());
    setCentralWidget(central);
    BuildMenus();

    update_ = new TUpdateClient(this);
    Timer1 = new QTimer(this);
    Timer1->setInterval(10);
    connect(Timer1, &QTimer::timeout, this, [this] { calc_.Timer1Timer(); });

    Form2 = this;
}

TForm2::~TForm2()
{
    // Closing the base widget moves the focus out of its children, and the
    // combo boxes answer that with their signals: no handler of this window
    // may run once its own part is gone.
    for (QObject *child : findChildren<QObject *>())
        disconnect(child, nullptr, this, nullptr);
    RemoveMenuCommands();
    // The boxes live over the grid: they go before it.
    if (ObjBoxList && ObjBoxList->parent() == this) {
        delete ObjBoxList;
        ObjBoxList = nullptr;
        SheetPrinter.OnBoxPictures = nullptr;
    }
    // The grid widget watches sheetGrid_: it goes first, while the grid
    // state still exists.
    grid->viewport()->removeEventFilter(this);
    disconnect(grid, nullptr, this, nullptr);
    delete takeCentralWidget();
    PaintHost = {};
    if (SetFontSizeProc == setFontSizeOfForm2)
        SetFontSizeProc = nullptr;
    // The sheet model and the keyboard outlive the window.
    if (EditText.Grid == &sheetGrid_)
        EditText.Grid = nullptr;
    KeyboardObj.CodeLabel = nullptr;
    if (Form2 == this)
        Form2 = nullptr;
}

void TForm2::BuildToolBar()
{
    ToolBar2 = new QToolBar(QStringLiteral("ToolBar2"), this);
    ToolBar2->setObjectName(QStringLiteral("ToolBar2"));
    ToolBar2->setMovable(false);
    ToolBar2->setFloatable(false);
    ToolBar2->setIconSize(QSize(24, 20));
    ToolBar2->setFixedHeight(28);
    addToolBar(Qt::TopToolBarArea, ToolBar2);

    auto add = [this](TModeButton *&button, const char *name, TGlyph glyph, const QString &hint,
                      void (TForm2::*handler)()) {
        button = new TModeButton(glyph, hint, ToolBar2);
        button->setObjectName(QLatin1String(name));
        button->setFixedWidth(30);
        connect(button, &QToolButton::clicked, this, [this, handler] {
            (this->*handler)();
            grid->setFocus();
        });
        return ToolBar2->addWidget(button);
    };
    add(TB1ButtonAnsi, "TB1ButtonAnsi", TGlyph::Ansi, QStringLiteral("Text font"), &TForm2::TB1ButtonAnsiClick);
    add(TB1ButtonSymbol, "TB1ButtonSymbol", TGlyph::Symbol, QStringLiteral("Symbol font"),
        &TForm2::TB1ButtonSymbolClick);
    ToolBar2->addSeparator();
    add(TB1ButtonSuper, "TB1ButtonSuper", TGlyph::Super, QStringLiteral("Superscript"), &TForm2::TB1ButtonSuperClick);
    add(TB1ButtonSub, "TB1ButtonSub", TGlyph::Sub, QStringLiteral("Subscript"), &TForm2::TB1ButtonSubClick);
    // Never shown: mixed fractions stay off.
    add(TB1ButtonDelLock, "TB1ButtonDelLock", TGlyph::DelLock, QString(), &TForm2::TB1ButtonDelLockClick)
        ->setVisible(false);
    ToolBar2->addSeparator();
    add(TB1ButtonESC, "TB1ButtonESC", TGlyph::Esc, QStringLiteral("Function name"), &TForm2::TB1ButtonESCClick);
    ToolBar2->addSeparator();
    add(TB1ButtonDeg, "TB1ButtonDeg", TGlyph::Deg, QStringLiteral("Degrees"), &TForm2::TB1ButtonDegClick);
    add(TB1ButtonRad, "TB1ButtonRad", TGlyph::Rad, QStringLiteral("Radians"), &TForm2::TB1ButtonRadClick);
    ToolBar2->addSeparator();
    add(TB1ButtonExp, "TB1ButtonExp", TGlyph::Exp, QStringLiteral("Engineering exponents"), &TForm2::TB1ButtonExpClick);
    add(TB1ButtonFix, "TB1ButtonFix", TGlyph::Fix, QStringLiteral("Fixed decimals"), &TForm2::TB1ButtonFixClick);
    add(TB1ButtonFlt, "TB1ButtonFlt", TGlyph::Flt, QStringLiteral("Significant digits"), &TForm2::TB1ButtonFltClick);

    auto combo = [this](const char *name, const QStringList &items, int width) {
        auto *c = new QComboBox(ToolBar2);
        c->setObjectName(QLatin1String(name));
        c->setEditable(true);
        c->setInsertPolicy(QComboBox::NoInsert);
        // A number is taken as typed: completing "7" from the list to "72" would change it.
        c->setCompleter(nullptr);
        c->addItems(items);
        c->setFixedWidth(width);
        ToolBar2->addWidget(c);
        return c;
    };
    QStringList places;
    for (int i = 0; i <= MaxPlaces; ++i)
        places << (i < 10 ? QStringLiteral("  ") : QString()) + QString::number(i);
    ComboPlaces = combo("ComboPlaces", places, 50);
    ToolBar2->addSeparator();
    add(TB1ButtonEqual, "TB1ButtonEqual", TGlyph::Equal, QStringLiteral("Several results"),
        &TForm2::TB1ButtonEqualClick);
    ToolBar2->addSeparator();
    QStringList sizes;
    for (int n : {12, 14, 16, 18,  20,  22,  24,  28,  30,  36,  40,  44,  48,  56,  60,  64,  68,  72, 76,
                  80, 88, 96, 104, 112, 120, 128, 136, 148, 158, 168, 180, 192, 204, 216, 228, 240, 254})
        sizes << QString::number(n);
    ComboFontSize = combo("ComboFontSize", sizes, 60);

    // Choosing an item and leaving the box take its number.
    connect(ComboFontSize, &QComboBox::activated, this, [this] { ComboFontSizeClick(); });
    connect(ComboFontSize->lineEdit(), &QLineEdit::editingFinished, this, [this] { ComboFontSizeClick(); });
    connect(ComboPlaces, &QComboBox::activated, this, [this] { ComboPlacesClick(); });
    connect(ComboPlaces->lineEdit(), &QLineEdit::editingFinished, this, [this] { ComboPlacesExit(); });
}

QWidget *TForm2::BuildStatusPanel()
{
    auto *panel = new QWidget;
    panel->setFixedHeight(26);
    auto *layout = new QHBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    RichEdit1 = new TStatusLine(panel);
    layout->addWidget(RichEdit1, 1);
    // Shows the keyboard layout's code; opens the keyboard panel.
    SpeedKeyboard = new QToolButton(panel);
    SpeedKeyboard->setObjectName(QStringLiteral("SpeedKeyboard"));
    connect(SpeedKeyboard, &QToolButton::clicked, this, [this] { MenuKeyboard1Click(); });
    SpeedKeyboard->setAutoRaise(true);
    SpeedKeyboard->setFocusPolicy(Qt::NoFocus);
    SpeedKeyboard->setFixedSize(40, 26);
    layout->addWidget(SpeedKeyboard);
    return panel;
}

// ---------------------------------------------------------------------------
// What the calculate command needs of the window

void TForm2::SetStatusText(const std::string &text)
{
    RichEdit1->SetText(text);
}

void TForm2::AppendStatusText(const std::string &text)
{
    RichEdit1->Append(text);
}

std::string TForm2::StatusText() const
{
    return RichEdit1->Text();
}

void TForm2::SetStatusColor(uint32_t bgr)
{
    RichEdit1->SetColor(bgr);
}

void TForm2::SetClearGlyph(bool armed)
{
    PRButtonClear->SetOn(armed);
}

void TForm2::FocusGrid()
{
    grid->setEnabled(true);
    grid->setFocus();
}

void TForm2::ResetGridFont()
{
    QFont f = grid->font();
    f.setPointSize(CellFontSize);
    grid->setFont(f);
    QPalette pal = grid->palette();
    pal.setColor(QPalette::Text, Qt::black);
    grid->setPalette(pal);
}

void TForm2::EscModeOff()
{
    if (EditText.EscMode)
        TB1ButtonESCClick();
}

void TForm2::SubscriptOff()
{
    if (ScriptLevel > 0)
        TB1ButtonSubClick();
}

void TForm2::SuperscriptOff()
{
    if (ScriptLevel < 0)
        TB1ButtonSuperClick();
}

void TForm2::AnsiFontSet()
{
    TB1ButtonAnsiClick();
}

void TForm2::RestoreBaseCaption()
{
    setWindowTitle(QString::fromStdString(BaseCaption));
}

void TForm2::SetLockGridChecked(bool checked)
{
    Action(QStringLiteral("MenuExtrasLockGrid"))->setChecked(checked);
}

// Clear: the boxes go, and Show TextBox with them, as the sheet is reset.
void TForm2::DeleteBoxes()
{
    if (ObjBoxList)
        ObjBoxList->DeleteBoxesOf(&EditText);
    EditText.ShowTextBoxes = 0;
    if (MenuCommands)
        MenuCommands->SyncShowTextBox();
}

void TForm2::ShowRoute()
{
    RouterObj.ShowRoute();
    routeOverlay_->ShowRoute();
}

TProgressBar *TForm2::ProgressBar()
{
    return RichEdit1->Progress();
}

bool TForm2::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == grid->viewport() && event->type() == QEvent::MouseButtonPress)
        routeOverlay_->HideRoute();
    return QMainWindow::eventFilter(watched, event);
}
