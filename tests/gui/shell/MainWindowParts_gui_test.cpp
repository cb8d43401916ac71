// Menus, mode buttons, combo boxes, panels and buttons of the main window.
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QScrollBar>
#include <set>
#include <tuple>

#include "FreshWindow.h"
#include "engine/NumFormat.h"
#include "platform/GridWidget.h"
#include "shell/ModeButtons.h"
#include "shell/StatusLine.h"
#include "support/SheetPicture.h"
#include "worksheet/CellPainter.h"
#include "worksheet/ObjectBoxes.h"

namespace {

class PartsTest : public FreshWindowTest {
protected:
    void SetUp() override
    {
        FreshWindowTest::SetUp();
        Start(true);
    }
    // A menu as the user sees it: caption [shortcut] {c checkable, x checked, d disabled, h hidden}.
    static std::string MenuText(QMenu *menu)
    {
        std::string s;
        for (QAction *a : menu->actions()) {
            s += (s.empty() ? "" : " | ") + (a->isSeparator() ? std::string("-") : a->text().toStdString());
            const std::string flags = std::string(a->isCheckable() ? "c" : "") + (a->isChecked() ? "x" : "") +
                                      (a->isEnabled() ? "" : "d") + (a->isVisible() ? "" : "h");
            s += (a->shortcut().isEmpty() ? "" : " [" + a->shortcut().toString().toStdString() + "]") +
                 (flags.empty() || a->isSeparator() ? "" : " {" + flags + "}");
        }
        return s;
    }
    void Click(const char *name) { form->findChild<QAbstractButton *>(QLatin1String(name))->click(); }
    // Types over a combo box's text, then leaves it with Tab.
    static void Type(QComboBox *combo, const char *text)
    {
        QTest::mouseClick(combo->lineEdit(), Qt::LeftButton);
        QTest::keyClick(combo->lineEdit(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(combo->lineEdit(), QLatin1String(text) + QLatin1Char('\t'));
    }
    bool Shown(const char *name) { return form->findChild<QWidget *>(QLatin1String(name))->isVisible(); }
    // '1' for each widget shown, or for each mode button lit.
    std::string Bits(std::initializer_list<const char *> names, bool lit = false)
    {
        std::string s;
        for (const char *n : names) {
            auto *b = form->findChild<TModeButton *>(QLatin1String(n));
            s += (lit ? (icons.insert(b->icon().cacheKey()), b->IsOn()) : Shown(n)) ? '1' : '0';
        }
        return s;
    }
    std::set<qint64> icons;
};

TEST_F(PartsTest, MenusAtStartSizeItemsLockedByAnEditingKeyAndExit)
{
    std::vector<std::string> menus;
    for (QAction *top : form->menuBar()->actions())
        menus.push_back(top->text().remove(QLatin1Char('&')).toStdString() + ": " + MenuText(top->menu()));
    EXPECT_EQ(menus, (std::vector<std::string>{
                         "File: Open | Save [Ctrl+Alt+S] | Save As | - | Page Preview {dh} | Page Setup | "
                         "Printer Setup | Print  | - | Exit",
                         "Edit: Undo [Ctrl+Alt+Z] | Redo [Ctrl+Alt+Y] | - | Cut [Ctrl+Alt+X] | Copy [Ctrl+Alt+C] | "
                         "Paste [Ctrl+Alt+V] | Paste To Box | Delete [Ctrl+Del]",
                         "View: Grid {c} | Functions Panel {cx} | Symbols Panel {c}",
                         "Insert: Image File | Text File | New Textbox | - | Textbox To Image | Show TextBox {c}",
                         "Extras: Lock Page {c} | Unlock Cell", "Options: Size | Keyboard | Display Buffer {c}",
                         "Help: Check For Updates"}));
    // Alt, Ctrl or Shift alone leave the sheet size open; a key that moves locks it.
    const std::string sizes = "Portrait 72x72 {cx} | Portrait 144x144 {c} | Landscape 108x48 {c}";
    const std::string locked = "Portrait 72x72 {cxd} | Portrait 144x144 {cd} | Landscape 108x48 {cd}";
    for (const auto &[key, want] :
         {std::pair{Qt::Key_Alt, sizes}, {Qt::Key_Control, sizes}, {Qt::Key_Shift, sizes}, {Qt::Key_Right, locked}}) {
        QTest::keyClick(form->Grid(), key);
        EXPECT_EQ(MenuText(form->findChild<QMenu *>(QStringLiteral("MenuOptionsSize"))), want) << key;
    }
    Item("MenuFileExit")->trigger();
    EXPECT_EQ(std::tuple(form->isVisible(), boxes.size()), std::tuple(false, size_t(0)));
}

TEST_F(PartsTest, BoxesFollowFontSizeAndScrollingOnceTheyExist)
{
    Item("Menu_InsertTextbox")->trigger(), Item("Menu_InsertTextToBitmap1")->trigger();  // a picture on the sheet
    const TObjBox *box = ObjBoxList->NextBox();
    GridWidget *grid = form->Grid();
    const std::pair<std::function<void()>, const char *> steps[] = {
        {[&] { Type(form->ComboFontSize, "30"); }, "a larger font"},
        {[&] { grid->horizontalScrollBar()->setValue(2); }, "two columns scrolled"},
        {[&] { grid->verticalScrollBar()->setValue(1); }, "a row scrolled"},
    };
    QPoint before = box->Image->pos();
    for (const auto &[change, what] : steps) {
        change();
        const QPoint at = box->Image->pos();  // moved, at its offset from its cell
        EXPECT_EQ(std::pair(at, at != before),
                  std::pair(grid->CellRect(box->Col, box->Row).topLeft() - QPoint(box->DX, box->DY), true))
            << what;
        before = at;
    }
}

TEST_F(PartsTest, DisplayBufferIsOffAtEveryStart)
{
    Item("MenuOptionsDisplayBuffer")->trigger();
    const bool on = Item("MenuOptionsDisplayBuffer")->isChecked() && DisplayBuffer;
    Exit(), Start();  // the next window of this program
    const bool offAtStart = !Item("MenuOptionsDisplayBuffer")->isChecked() && !DisplayBuffer;
    Item("MenuOptionsDisplayBuffer")->trigger();  // one click turns it on
    EXPECT_EQ(std::tuple(on, offAtStart, Item("MenuOptionsDisplayBuffer")->isChecked(), DisplayBuffer),
              std::tuple(true, true, true, true));
}

TEST_F(PartsTest, ModeButtonsAndComboBoxesShowTheirValueAndStoreIt)
{
    const std::tuple<const char *, int, const char *> steps[] = {
        {"TB1ButtonDeg", prRadMode, "100010 0"},     {"TB1ButtonRad", prRadMode, "010010 1"},
        {"TB1ButtonExp", prExpMode, "011010 1"},     {"TB1ButtonExp", prExpMode, "010010 0"},
        {"TB1ButtonFix", prFixMode, "010100 1"},     {"TB1ButtonFlt", prFixMode, "010010 0"},
        {"TB1ButtonEqual", prEqualMode, "010011 1"}, {"TB1ButtonEqual", prEqualMode, "010010 0"},
    };  // the buttons lit, then the record the button stores
    const auto modes = {"TB1ButtonDeg", "TB1ButtonRad", "TB1ButtonExp",
                        "TB1ButtonFix", "TB1ButtonFlt", "TB1ButtonEqual"};
    for (const auto &[button, record, want] : steps) {
        Click(button);
        EXPECT_EQ(Bits(modes, true) + " " + char('0' + Preferences.Records[record].Flag()), want) << button;
    }
    EXPECT_EQ(std::tuple(ExpMode, FltMode, EditText.RadMode, EditText.EqualMode, icons.size()),
              std::tuple(false, true, 1, 0, size_t(12)));  // two icons per button: new ones would fill the cache
    std::vector<QImage> seen;  // every glyph differs from its "on" glyph and from the other buttons'
    for (int g = 0; g <= 2 * int(TGlyph::DelLock) + 1; ++g) {
        seen.push_back(DrawGlyph(TGlyph(g / 2), g % 2).toImage());
        EXPECT_EQ(std::count(seen.begin(), seen.end(), seen.back()), 1) << g;
    }
    form->ComboFontSize->showPopup();  // on the size of the start
    EXPECT_EQ(form->ComboFontSize->view()->currentIndex().data().toString(), QStringLiteral("14"));
    form->ComboFontSize->hidePopup();
    const std::tuple<bool, const char *, const char *> rows[] = {
        {true, "7", "8|  8|8"},      {true, "10", "10|  10|10"}, {true, "600", "512|512|512"},
        {true, "20", "20|  20|20"},  {true, "abc", "20|abc|20"}, {false, "1", "1|  1|1"},
        {false, "20", "15|  15|15"}, {false, "-4", "0|  0|0"}};  // used, shown, stored
    for (const auto &[font, typed, want] : rows) {
        QComboBox *combo = font ? form->ComboFontSize : form->ComboPlaces;
        Type(combo, typed);
        EXPECT_EQ(std::to_string(font ? FontSize : FltPlaces) + "|" + combo->currentText().toStdString() + "|" +
                      std::to_string(Preferences.Records[font ? prFontSize : prFloatPlaces].Integer()),
                  want);
    }
    Click("TB1ButtonFix");  // in Fix mode the combo shows and sets the Fix places
    EXPECT_EQ(form->ComboPlaces->currentText(), QStringLiteral("  2"));
    Type(form->ComboPlaces, "4");
    EXPECT_EQ(std::tuple(FixPlaces, FltPlaces, Preferences.Records[prFixPlaces].Integer()), std::tuple(4, 0, 4));
}

TEST_F(PartsTest, PanelsCountWhatIsShownAndFitTheSmallestWindow)
{
    const std::pair<std::function<void()>, const char *> steps[] = {
        {[&] { Item("Menu_SymbolsPanel")->trigger(); }, "11100 2"},
        {[&] { Item("Menu_FunctionPanel")->trigger(); }, "10100 1"},
        {[&] { Item("Menu_SymbolsPanel")->trigger(); }, "00000 0"},  // the last one hides the column
        {[&] { Click("SpeedKeyboard"); }, "10001 1"},
        {[&] { Item("MenuKeyboard1")->trigger(); }, "10001 1"},  // already shown: counted once
        {[&] { form->ShowUpgradePanel(), form->ShowUpgradePanel(); }, "10011 2"},
        {[&] { Click("ButtonUpgradeOk"); }, "10001 1"},
        {[&] { Click("SpeedKeyboarOK"); }, "00000 0"},
        {[&] { form->resize(640, 480), Item("Menu_FunctionPanel")->trigger(); }, "11000 1"},  // then all in the
        {[&] { form->NewVersion = "01.40.00", form->ShowUpgradePanel(); }, "11010 2"},        // smallest window
        {[&] { Item("Menu_SymbolsPanel")->trigger(); }, "11110 3"},
        {[&] { Click("SpeedKeyboard"); }, "11111 4"},
    };
    for (const auto &[act, want] : steps) {
        act();
        EXPECT_EQ(Bits({"PanelRight", "PanelFunctions", "PanelSymbol2", "PanelUpgrade", "PanelKeyboard"}) + " " +
                      std::to_string(form->PanelCount),
                  want);
    }
    EXPECT_EQ(std::tuple(Item("Menu_FunctionPanel")->isChecked(), Preferences.Records[prShowSymbol].Flag()),
              std::tuple(true, true));
    QApplication::processEvents();  // nothing overlaps, every panel scrolls into view, every label fits
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
    for (QWidget *panel : apart[1]) {
        column->ensureWidgetVisible(panel, 0, 0);
        EXPECT_TRUE(rect(column->viewport()).contains(rect(panel))) << panel->objectName().toStdString();
    }
    for (QLabel *l : column->findChildren<QLabel *>())
        EXPECT_LE(l->sizeHint().width(), l->width()) << l->objectName().toStdString();
}

TEST_F(PartsTest, KeyboardPanelOpensOnTheActiveLayoutAndLoadsOnlyAChosenRow)
{
    QListWidget *list = form->ListBoxKeyboard;
    auto click = [&](int row, Qt::KeyboardModifiers mods = {}) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, mods, list->visualItemRect(list->item(row)).center());
    };
    const std::tuple<std::function<void()>, int, std::string> steps[] = {
        {[&] { click(1); }, 0, "DE german"},
        {[] {}, 1, "DE german"},                                             // OK alone keeps the layout
        {[&] { click(3), click(3, Qt::ControlModifier); }, 1, "DE german"},  // nothing chosen
        {[&] { QTest::keyClick(list, Qt::Key_Down); }, 1, "IT italian"},
        {[&] { click(3); }, 2, "PT brasilPT"},
    };  // the row the panel opens on, then the button's caption and the record after OK
    for (const auto &[choose, opensOn, want] : steps) {
        Click("SpeedKeyboard");
        EXPECT_EQ(std::pair(list->currentRow(), list->hasFocus()), std::pair(opensOn, true)) << want;
        choose();
        Click("SpeedKeyboarOK");
        EXPECT_EQ(form->SpeedKeyboard->text().toStdString() + " " + Preferences.Records[prKeyboardType].String() +
                      (Shown("PanelKeyboard") ? " shown" : ""),
                  want);
    }
}

TEST_F(PartsTest, FunctionAndBracketButtonsWriteIntoTheSheet)
{
    const int last = EditText.ColMax;
    const std::tuple<int, int, const char *, const char *, bool, std::string, int, int> rows[] = {
        {2, 1, "", "PRButtonLog16", false, "\n       ln on gn 1n 6n (\n", 8, 0},
        {0, 0, "          x", "PRButtonArcSin", false, " an rn cn x\n", 3, 1},  // three letters, then a beep
        {last - 1, 0, "", "PRButtonSin", false, std::string(3 * (last - 1), ' ') + " sn in\n", last, 1},  // what fits
        {0, 0, "", "PRButtonCos", true, "", 0, 1},  // refused like every other edit
        {3, 3, "", "SpeedBr1Open", false, "\n\n         (/\n         (|\n         (\\\n", 4, 0},
        {3, 3, "", "SpeedBr3Close", false, "\n\n         }/\n         }|\n         }\\\n", 4, 0},
        {3, 3, "", "SpeedBr1Close", false, "\n\n         )/\n         )|\n         )\\\n", 4, 0},
        {3, 3, "", "SpeedBr2Open", false, "\n\n         [/\n         [|\n         [\\\n", 4, 0},
        {3, 3, "", "SpeedBr2Close", false, "\n\n         ]/\n         ]|\n         ]\\\n", 4, 0},
        {3, 3, "", "SpeedBr3Open", false, "\n\n         {/\n         {|\n         {\\\n", 4, 0},
    };
    for (const auto &[col, row, before, button, locked, after, endCol, beepsWanted] : rows) {
        EditText.Clear(form->SheetGrid()), LoadPicture(EditText, before), ResetUndo();
        form->SheetGrid().SetCol(col), form->SheetGrid().SetRow(row), beeps = 0, EditText.PageLock = locked;
        Click(button);
        EXPECT_EQ(std::tuple(SheetToPicture(EditText), form->SheetGrid().Col(), beeps, UndoEmpty),
                  std::tuple(after, endCol, beepsWanted, locked))
            << button;
    }
}

// The places list opens on the count in use, whatever set it.
TEST_F(PartsTest, PlacesListOpensOnTheCountInUse)
{
    QComboBox *places = form->ComboPlaces;
    const auto highlighted = [&] {
        places->showPopup();
        const QString item = places->view()->currentIndex().data().toString();
        places->hidePopup();
        return item.toStdString();
    };
    const std::pair<std::function<void()>, const char *> steps[] = {
        {[] {}, "  6"},  // the start: Flt mode, 6 places
        {[&] { Type(places, "4"); }, "  4"},
        {[&] {
             QTest::keyClick(places->lineEdit(), Qt::Key_A, Qt::ControlModifier);
             QTest::keyClicks(places->lineEdit(), "8"), QTest::keyClick(places->lineEdit(), Qt::Key_Return);
         },
         "  8"},  // taken by Enter
        {[&] { Type(places, "20"); }, "15"},
        {[&] { Click("TB1ButtonFix"); }, "  2"},
        {[&] { Type(places, "11"); }, "11"},
        {[&] { Click("TB1ButtonFlt"); }, "15"},
        {[&] { Click("TB1ButtonFix"); }, "11"},
        {[&] { places->setCurrentIndex(3), emit places->activated(3); }, "  3"},  // chosen from the list
        {[&] {
             StoreRun([](TPreferences &p) { p.SetNumber(poFixPlaces, 7), p.SetFlag(poFixMode, true); });
             Start(true);
             places = form->ComboPlaces;
         },
         "  7"},  // stored by a previous run
        {[&] { Click("TB1ButtonFlt"); }, "15"},
    };
    for (const auto &[act, want] : steps) {
        act();
        EXPECT_EQ(highlighted(), want) << want;
    }
}

}  // namespace
