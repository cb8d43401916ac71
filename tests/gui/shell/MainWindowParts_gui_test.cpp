// Menus, mode buttons, combo boxes, the panels and the repaint after a key
// of the main window.
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPaintEvent>
#include <QScrollArea>
#include <QToolButton>
#include <set>
#include <tuple>

#include "FreshWindow.h"
#include "engine/NumFormat.h"
#include "platform/GridWidget.h"
#include "shell/ModeButtons.h"
#include "shell/StatusLine.h"
#include "support/SheetPicture.h"
#include "worksheet/CellPainter.h"

namespace {

class PartsTest : public FreshWindowTest {
protected:
    void SetUp() override
    {
        FreshWindowTest::SetUp();
        Start();
        form->activateWindow();  // keys and focus as a user meets them
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    // A menu as the user sees it: caption, shortcut, then flags: c checkable,
    // x checked, d disabled, h hidden; "-" a separator.
    static std::string MenuText(QMenu *menu)
    {
        std::string s;
        for (QAction *a : menu->actions()) {
            s += (s.empty() ? "" : " | ") + (a->isSeparator() ? std::string("-") : a->text().toStdString());
            if (a->isSeparator())
                continue;
            if (!a->shortcut().isEmpty())
                s += " [" + a->shortcut().toString().toStdString() + "]";
            std::string flags = std::string(a->isCheckable() ? "c" : "") + (a->isChecked() ? "x" : "") +
                                (a->isEnabled() ? "" : "d") + (a->isVisible() ? "" : "h");
            if (!flags.empty())
                s += " {" + flags + "}";
        }
        return s;
    }
    void Click(const char *name)
    {
        auto *b = form->findChild<QAbstractButton *>(QLatin1String(name));
        ASSERT_TRUE(b) << name;
        b->click();
    }
    // Types over a combo box's text, then leaves it with Tab.
    static void Type(QComboBox *combo, const char *text)
    {
        QTest::mouseClick(combo->lineEdit(), Qt::LeftButton);
        QTest::keyClick(combo->lineEdit(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(combo->lineEdit(), QLatin1String(text));
        QTest::keyClick(combo->lineEdit(), Qt::Key_Tab);
    }
    bool Shown(const char *name) { return form->findChild<QWidget *>(QLatin1String(name))->isVisible(); }
};

TEST_F(PartsTest, EveryMenuItemAtStart)
{
    std::vector<std::string> menus;
    for (QAction *top : form->menuBar()->actions())
        menus.push_back(top->text().remove(QLatin1Char('&')).toStdString() + ": " + MenuText(top->menu()));
    const std::vector<std::string> want = {
        "File: Open | Save [Ctrl+Alt+S] | Save As | - | Page Preview {dh} | Page Setup | Printer Setup | Print  | - | "
        "Exit",
        "Edit: Undo [Ctrl+Alt+Z] | Redo [Ctrl+Alt+Y] | - | Cut [Ctrl+Alt+X] | Copy [Ctrl+Alt+C] | "
        "Paste [Ctrl+Alt+V] | Paste To Box | Delete [Ctrl+Del]",
        "View: Grid {c} | Functions Panel {cx} | Symbols Panel {c}",
        "Insert: Image File | Text File | New Textbox | - | Textbox To Image | Show TextBox {c}",
        "Extras: Lock Page {c} | Unlock Cell",
        "Options: Size | Keyboard | Display Buffer {c}",
        "Help: Check For Updates",
    };
    EXPECT_EQ(menus, want);
    QMenu *size = form->findChild<QMenu *>(QStringLiteral("MenuOptionsSize"));
    EXPECT_EQ(MenuText(size), "Portrait 72x72 {cx} | Portrait 144x144 {c} | Landscape 108x48 {c}");
}

TEST_F(PartsTest, DisplayBufferAndExit)
{
    Item("MenuOptionsDisplayBuffer")->trigger();
    EXPECT_EQ(std::tuple(DisplayBuffer, Item("MenuOptionsDisplayBuffer")->isChecked()), std::tuple(true, true));
    Item("MenuOptionsDisplayBuffer")->trigger();
    EXPECT_FALSE(DisplayBuffer);
    Item("MenuFileExit")->trigger();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(PartsTest, ModeButtonsShowTheirModeAndStoreIt)
{
    const struct {
        const char *button;
        const char *lit;  // lit buttons of deg rad exp fix flt equal
        int option;       // record index, -1 none
        bool stored;
    } steps[] = {
        {"TB1ButtonDeg", "100010", prRadMode, false},    {"TB1ButtonRad", "010010", prRadMode, true},
        {"TB1ButtonExp", "011010", prExpMode, true},     {"TB1ButtonExp", "010010", prExpMode, false},
        {"TB1ButtonFix", "010100", prFixMode, true},     {"TB1ButtonFlt", "010010", prFixMode, false},
        {"TB1ButtonEqual", "010011", prEqualMode, true}, {"TB1ButtonEqual", "010010", prEqualMode, false},
    };
    const char *order[] = {"TB1ButtonDeg", "TB1ButtonRad", "TB1ButtonExp",
                           "TB1ButtonFix", "TB1ButtonFlt", "TB1ButtonEqual"};
    std::set<qint64> icons;  // the same two per button again and again: new ones would fill the pixmap cache
    for (const auto &s : steps) {
        Click(s.button);
        std::string lit;
        for (const char *b : order) {
            auto *button = form->findChild<TModeButton *>(QLatin1String(b));
            lit += button->IsOn() ? '1' : '0';
            icons.insert(button->icon().cacheKey());
        }
        EXPECT_EQ(lit, s.lit) << s.button;
        EXPECT_EQ(Preferences.Records[s.option].Flag(), s.stored) << s.button;
    }
    EXPECT_EQ(std::tuple(ExpMode, FltMode, EditText.RadMode, EditText.EqualMode, icons.size()),
              std::tuple(false, true, 1, 0, size_t(12)));
    // Every glyph differs from its "on" glyph and from the other buttons'.
    std::vector<QImage> seen;
    for (int g = 0; g <= int(TGlyph::DelLock); ++g)
        for (bool on : {false, true}) {
            const QImage img = DrawGlyph(TGlyph(g), on).toImage();
            for (const QImage &other : seen)
                EXPECT_NE(img, other) << g << on;
            seen.push_back(img);
        }
}

TEST_F(PartsTest, ComboNumbersAreTakenAsTypedThenClamped)
{
    form->ComboFontSize->showPopup();  // on the size of the start
    EXPECT_EQ(form->ComboFontSize->view()->currentIndex().data().toString(), QStringLiteral("14"));
    form->ComboFontSize->hidePopup();
    const std::tuple<QComboBox *, const char *, int, const char *> rows[] = {
        {form->ComboFontSize, "7", 8, "  8"},     {form->ComboFontSize, "10", 10, "  10"},
        {form->ComboFontSize, "600", 512, "512"}, {form->ComboFontSize, "20", 20, "  20"},
        {form->ComboFontSize, "abc", 20, "abc"},  {form->ComboPlaces, "1", 1, "  1"},
        {form->ComboPlaces, "20", 15, "  15"},    {form->ComboPlaces, "-4", 0, "  0"}};
    for (const auto &[combo, typed, want, shown] : rows) {
        Type(combo, typed);
        const bool font = combo == form->ComboFontSize;
        EXPECT_EQ(std::tuple(font ? FontSize : FltPlaces, combo->currentText().toStdString(),
                             Preferences.Records[font ? prFontSize : prFloatPlaces].Integer()),
                  std::tuple(want, std::string(shown), want))
            << typed;
    }
    // In Fix mode the combo shows and sets the Fix places.
    Click("TB1ButtonFix");
    EXPECT_EQ(form->ComboPlaces->currentText(), QStringLiteral("  2"));
    Type(form->ComboPlaces, "4");
    EXPECT_EQ(std::tuple(FixPlaces, FltPlaces, Preferences.Records[prFixPlaces].Integer()), std::tuple(4, 0, 4));
}

TEST_F(PartsTest, PanelsCountWhatIsShown)
{
    auto state = [&] {
        std::string s;  // the letter after "Panel" of each shown one
        for (const char *name : {"PanelRight", "PanelFunctions", "PanelSymbol2", "PanelUpgrade", "PanelKeyboard"})
            s += Shown(name) ? name[5] : '-';
        return s + std::to_string(form->PanelCount);
    };
    const std::pair<std::function<void()>, const char *> steps[] = {
        {[&] { Item("Menu_SymbolsPanel")->trigger(); }, "RFS--2"},
        {[&] { Item("Menu_FunctionPanel")->trigger(); }, "R-S--1"},
        {[&] { Item("Menu_SymbolsPanel")->trigger(); }, "-----0"},  // the last one hides the column
        {[&] { Click("SpeedKeyboard"); }, "R---K1"},
        {[&] { Item("MenuKeyboard1")->trigger(); }, "R---K1"},  // already shown: counted once
        {[&] { form->ShowUpgradePanel(); }, "R--UK2"},
        {[&] { form->ShowUpgradePanel(); }, "R--UK2"},
        {[&] { Click("ButtonUpgradeOk"); }, "R---K1"},
        {[&] { Click("SpeedKeyboarOK"); }, "-----0"},
        {[&] { Item("Menu_FunctionPanel")->trigger(); }, "RF---1"},
    };
    for (const auto &[act, want] : steps) {
        act();
        EXPECT_EQ(state(), want);
    }
    EXPECT_EQ(std::tuple(Item("Menu_FunctionPanel")->isChecked(), Item("Menu_SymbolsPanel")->isChecked(),
                         Preferences.Records[prShowFunction].Flag(), Preferences.Records[prShowSymbol].Flag()),
              std::tuple(true, false, true, false));
}

TEST_F(PartsTest, KeyboardPanelOpensOnTheActiveLayoutAndLoadsOnlyAChosenRow)
{
    QListWidget *list = form->ListBoxKeyboard;
    auto click = [&](int row, Qt::KeyboardModifiers mods = {}) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, mods, list->visualItemRect(list->item(row)).center());
    };
    const std::tuple<std::function<void()>, int, const char *, const char *> steps[] = {
        {[&] { click(1); }, 0, "DE", "german"},
        {[] {}, 1, "DE", "german"},                                             // OK alone keeps the layout
        {[&] { click(3), click(3, Qt::ControlModifier); }, 1, "DE", "german"},  // nothing chosen
        {[&] { QTest::keyClick(list, Qt::Key_Down); }, 1, "IT", "italian"},
        {[&] { click(3); }, 2, "PT", "brasilPT"},
    };
    for (const auto &[choose, opensOn, code, stored] : steps) {
        Click("SpeedKeyboard");
        EXPECT_EQ(std::pair(list->currentRow(), list->hasFocus()), std::pair(opensOn, true)) << code;
        choose();
        Click("SpeedKeyboarOK");
        EXPECT_EQ(std::tuple(form->SpeedKeyboard->text().toStdString(), Preferences.Records[prKeyboardType].String(),
                             Shown("PanelKeyboard")),
                  std::tuple(std::string(code), std::string(stored), false))
            << code;
    }
}

TEST_F(PartsTest, PanelsFitTheSmallestWindow)
{
    form->resize(640, 480);
    Item("Menu_SymbolsPanel")->trigger();
    form->NewVersion = "01.40.00";
    form->ShowUpgradePanel();
    Click("SpeedKeyboard");
    QApplication::processEvents();
    ASSERT_EQ(form->size(), QSize(640, 480));
    auto rect = [&](const QWidget *w) { return QRect(w->mapTo(form.get(), QPoint()), w->size()); };
    const std::vector<std::vector<QWidget *>> apart = {
        {form->Grid(), form->StatusLine(), form->SpeedKeyboard, form->PanelRight},
        {form->PanelFunctions, form->PanelSymbol2, form->PanelUpgrade, form->PanelKeyboard}};
    for (const auto &group : apart)
        for (QWidget *a : group)
            for (QWidget *b : group)
                EXPECT_TRUE(a == b || !rect(a).intersects(rect(b)))
                    << a->objectName().toStdString() << " " << b->objectName().toStdString();
    auto *column = qobject_cast<QScrollArea *>(form->PanelRight);
    ASSERT_TRUE(column);
    for (QWidget *panel : apart[1]) {  // each can be scrolled into full view
        column->ensureWidgetVisible(panel, 0, 0);
        EXPECT_TRUE(rect(column->viewport()).contains(rect(panel))) << panel->objectName().toStdString();
    }
    EXPECT_EQ(std::tuple(form->LabelVersion->text(), form->LabelNewVersion->text()),
              std::tuple(QStringLiteral("Version  01.33.00"), QStringLiteral("01.40.00")));
    for (QLabel *l : column->findChildren<QLabel *>())
        EXPECT_LE(l->sizeHint().width(), l->width()) << l->objectName().toStdString();
}

TEST_F(PartsTest, OnlyAKeyThatEditsOrMovesLocksTheSheetSize)
{
    const std::pair<Qt::Key, const char *> keys[] = {
        {Qt::Key_Alt, "111"}, {Qt::Key_Control, "111"}, {Qt::Key_Shift, "111"}, {Qt::Key_Right, "000"}};
    for (const auto &[key, enabled] : keys) {
        QTest::keyClick(form->Grid(), key);
        std::string got;
        for (const char *item : {"Portrait72x721", "Portrait144x1441", "Landscape1"})
            got += Item(item)->isEnabled() ? '1' : '0';
        EXPECT_EQ(got, enabled) << key;
    }
}

TEST_F(PartsTest, FunctionButtonsWriteTheirNames)
{
    const int last = EditText.ColMax;
    const struct {
        int col, row;
        const char *before, *button;
        bool locked;
        std::string after;
        int endCol, beeps;
        bool undoEmpty;
    } rows[] = {
        {2, 1, "", "PRButtonLog16", false, "\n       ln on gn 1n 6n (\n", 8, 0, false},
        {0, 0, "          x", "PRButtonArcSin", false, " an rn cn x\n", 3, 1, false},  // three letters, then a beep
        {last - 1, 0, "", "PRButtonSin", false, std::string(3 * (last - 1), ' ') + " sn in\n", last, 1,
         false},                                          // what fits, then a beep
        {0, 0, "", "PRButtonCos", true, "", 0, 1, true},  // refused like every other edit
    };
    for (const auto &r : rows) {
        EditText.Clear(form->SheetGrid());
        LoadPicture(EditText, r.before);
        ResetUndo();
        form->SheetGrid().SetCol(r.col);
        form->SheetGrid().SetRow(r.row);
        beeps = 0;
        EditText.PageLock = r.locked;
        Click(r.button);
        EXPECT_EQ(std::tuple(SheetToPicture(EditText), form->SheetGrid().Col(), beeps, UndoEmpty),
                  std::tuple(r.after, r.endCol, r.beeps, r.undoEmpty))
            << r.button;
    }
    EditText.PageLock = 0;
}

TEST_F(PartsTest, BracketButtonsInsertTallBrackets)
{
    const std::tuple<const char *, uint8_t> buttons[] = {{"SpeedBr1Open", 230}, {"SpeedBr1Close", 246},
                                                         {"SpeedBr2Open", 233}, {"SpeedBr2Close", 249},
                                                         {"SpeedBr3Open", 236}, {"SpeedBr3Close", 252}};
    for (const auto &[name, top] : buttons) {
        EditText.Clear(form->SheetGrid());
        ResetUndo();
        form->SheetGrid().SetCol(3);
        form->SheetGrid().SetRow(3);
        Click(name);
        EXPECT_EQ(std::tuple(EditText.Cells[3][2].Ch, UndoEmpty), std::tuple(top, false)) << name;
    }
}

struct PaintSpy : QObject {
    QRegion painted;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent *>(e)->region();
        return false;
    }
};

TEST_F(PartsTest, AKeyRepaintsItsRowsAndUndoTheView)
{
    GridWidget *grid = form->Grid();
    for (int c = 0; c <= EditText.ColMax; ++c)
        for (int r = 0; r <= EditText.RowMax; ++r)
            EditText.Cells[c][r].Ch = uint8_t('a' + (c + r) % 26);
    form->SheetGrid().Repaint();
    form->SheetGrid().SetCol(4);
    form->SheetGrid().SetRow(8);
    grid->setFocus();
    PaintSpy spy;
    auto painted = [&] {
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
        return std::exchange(spy.painted, QRegion());
    };
    painted();
    grid->viewport()->installEventFilter(&spy);
    const QRect view = grid->viewport()->rect();
    const int step = grid->CellHeight() + grid->GridLineWidth();
    QTest::keyClick(grid, Qt::Key_Z);
    EXPECT_EQ(std::pair(EditText.Cells[4][8].Ch, painted()),
              std::pair(uint8_t('z'), QRegion(0, 7 * step, view.width(), 3 * step)));
    form->undo1Click();  // back to the empty sheet before the one snapshot
    EXPECT_EQ(std::pair(EditText.Cells[4][8].Ch, painted()), std::pair(uint8_t(0), QRegion(view)));
}

}  // namespace
