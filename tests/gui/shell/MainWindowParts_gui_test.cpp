// Menus, mode buttons, combo boxes and the panels of the main window.
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>
#include <tuple>

#include "FreshWindow.h"
#include "engine/NumFormat.h"
#include "shell/ModeButtons.h"
#include "support/SheetPicture.h"
#include "worksheet/CellPainter.h"
#include "worksheet/Keyboard.h"

namespace {

class PartsTest : public FreshWindowTest {
protected:
    void SetUp() override
    {
        FreshWindowTest::SetUp();
        Start();
    }
    // A menu as the user sees it: caption, shortcut, then flags: c checkable,
    // x checked, d disabled, h hidden; "-" a separator.
    static std::string MenuText(QMenu *menu)
    {
        std::string s;
        for (QAction *a : menu->actions()) {
            if (!s.empty())
                s += " | ";
            if (a->isSeparator()) {
                s += "-";
                continue;
            }
            s += a->text().toStdString();
            if (!a->shortcut().isEmpty())
                s += " [" + a->shortcut().toString().toStdString() + "]";
            std::string flags = std::string(a->isCheckable() ? "c" : "") + (a->isChecked() ? "x" : "") +
                                (a->isEnabled() ? "" : "d") + (a->isVisible() ? "" : "h");
            if (!flags.empty())
                s += " {" + flags + "}";
        }
        return s;
    }
    // Clicks a button of the window by its object name.
    void Click(const char *name)
    {
        auto *b = form->findChild<QAbstractButton *>(QLatin1String(name));
        ASSERT_TRUE(b) << name;
        b->click();
    }
    void ComboTyped(QComboBox *combo, const char *text)
    {
        combo->lineEdit()->setText(QLatin1String(text));
        emit combo->lineEdit()->editingFinished();
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
    // Opening a file locks the size items; Clear unlocks them.
    form->SizeMenuLock(true);
    EXPECT_EQ(std::tuple(Item("Portrait144x1441")->isEnabled(), Item("Landscape1")->isEnabled()),
              std::tuple(false, false));
    form->SizeMenuLock(false);
    EXPECT_EQ(std::tuple(Item("Portrait144x1441")->isEnabled(), Item("Landscape1")->isEnabled()),
              std::tuple(true, true));
}

TEST_F(PartsTest, BoxesFollowFontSizeAndScrollingOnceTheyExist)
{
    int placed = 0;
    form->PlaceBoxes = [&] { ++placed; };
    form->SetFontSize(30);
    form->gridTopLeftChanged();
    EXPECT_EQ(placed, 2);
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
    for (const auto &s : steps) {
        Click(s.button);
        std::string lit;
        for (const char *b : order)
            lit += form->findChild<TModeButton *>(QLatin1String(b))->IsOn() ? '1' : '0';
        EXPECT_EQ(lit, s.lit) << s.button;
        EXPECT_EQ(Preferences.Records[s.option].Flag(), s.stored) << s.button;
    }
    EXPECT_EQ(std::tuple(ExpMode, FltMode, EditText.RadMode, EditText.EqualMode), std::tuple(false, true, 1, 0));
    // The mixed-fraction button is never shown; its glyph follows the swap.
    auto *delLock = form->findChild<TModeButton *>(QStringLiteral("TB1ButtonDelLock"));
    EXPECT_FALSE(delLock->isVisible());
    const qint64 offIcon = delLock->icon().cacheKey();
    form->TB1ButtonDelLockClick();
    EXPECT_EQ(std::tuple(EditText.MixedFraction, EditText.ImplicitMult, delLock->IsOn()), std::tuple(1, 0, true));
    const qint64 onIcon = delLock->icon().cacheKey();
    form->TB1ButtonDelLockClick();
    EXPECT_EQ(std::tuple(EditText.MixedFraction, EditText.ImplicitMult, delLock->IsOn()), std::tuple(0, 1, false));
    // The same two icons again and again: new ones would fill the pixmap cache.
    EXPECT_EQ(delLock->icon().cacheKey(), offIcon);
    form->TB1ButtonDelLockClick();
    EXPECT_EQ(std::pair(delLock->icon().cacheKey() == onIcon, onIcon == offIcon), std::pair(true, false));
    form->TB1ButtonDelLockClick();
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

TEST_F(PartsTest, ComboBoxesClampAndStore)
{
    const std::tuple<const char *, int, const char *> sizes[] = {
        {"7", 8, "  8"}, {"600", 512, "512"}, {"  20", 20, "  20"}, {"abc", 20, "abc"}};
    for (const auto &[typed, size, shown] : sizes) {
        ComboTyped(form->ComboFontSize, typed);
        EXPECT_EQ(std::tuple(FontSize, form->ComboFontSize->currentText().toStdString(),
                             Preferences.Records[prFontSize].Integer()),
                  std::tuple(size, std::string(shown), size))
            << typed;
    }
    form->ComboFontSize->setCurrentIndex(form->ComboFontSize->findText(QStringLiteral("36")));
    emit form->ComboFontSize->activated(0);
    EXPECT_EQ(FontSize, 36);

    const std::tuple<const char *, int, const char *> places[] = {
        {"20", 15, "  15"}, {"-4", 0, "  0"}, {" 9", 9, "  9"}, {"x", 9, "x"}};
    for (const auto &[typed, n, shown] : places) {
        ComboTyped(form->ComboPlaces, typed);
        EXPECT_EQ(std::tuple(FltPlaces, UIFltPlaces, form->ComboPlaces->currentText().toStdString(),
                             Preferences.Records[prFloatPlaces].Integer()),
                  std::tuple(n, n, std::string(shown), n))
            << typed;
    }
    // In Fix mode the combo shows and sets the Fix places.
    Click("TB1ButtonFix");
    EXPECT_EQ(form->ComboPlaces->currentText(), QStringLiteral("  2"));
    ComboTyped(form->ComboPlaces, "4");
    EXPECT_EQ(std::tuple(FixPlaces, FltPlaces, Preferences.Records[prFixPlaces].Integer()), std::tuple(4, 9, 4));
}

TEST_F(PartsTest, PanelsCountWhatIsShown)
{
    auto state = [&] {
        return std::string(Shown("PanelRight") ? "R" : "-") + (Shown("PanelFunctions") ? "F" : "-") +
               (Shown("PanelSymbol2") ? "S" : "-") + (Shown("PanelUpgrade") ? "U" : "-") +
               (Shown("PanelKeyboard") ? "K" : "-") + std::to_string(form->PanelCount);
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
    form->NewVersion = "01.40.00";
    form->ShowUpgradePanel();
    EXPECT_EQ(std::tuple(form->LabelVersion->text(), form->LabelNewVersion->text()),
              std::tuple(QStringLiteral("Version  01.33.00"), QStringLiteral("01.40.00")));
}

TEST_F(PartsTest, KeyboardPanelLoadsTheChosenLayout)
{
    QStringList items;
    for (int i = 0; i < form->ListBoxKeyboard->count(); ++i)
        items << form->ListBoxKeyboard->item(i)->text();
    EXPECT_EQ(items.join(QLatin1Char('|')), QStringLiteral("US-default|German|Italian|Portoguese (Brazil)"));
    const std::tuple<int, const char *, const char *> cases[] = {{3, "PT", "brasilPT"},
                                                                 {1, "DE", "german"},
                                                                 {-1, "DE", "german"},
                                                                 {2, "IT", "italian"},
                                                                 {0, "US", "US-default"}};
    for (const auto &[row, code, stored] : cases) {
        form->MenuKeyboard1Click();
        form->ListBoxKeyboard->setCurrentRow(row);
        Click("SpeedKeyboarOK");
        EXPECT_EQ(std::tuple(form->SpeedKeyboard->text().toStdString(), Preferences.Records[prKeyboardType].String(),
                             Shown("PanelKeyboard")),
                  std::tuple(std::string(code), std::string(stored), false))
            << row;
    }
}

TEST_F(PartsTest, FunctionButtonsWriteTheirNames)
{
    auto at = [&](int col, int row, const char *picture) {
        EditText.Clear(form->SheetGrid());
        LoadPicture(EditText, picture);
        ResetUndo();
        form->SheetGrid().SetCol(col);
        form->SheetGrid().SetRow(row);
        beeps = 0;
    };
    at(2, 1, "");
    Click("PRButtonLog16");
    EXPECT_EQ(std::tuple(SheetToPicture(EditText), form->SheetGrid().Col(), beeps, UndoEmpty),
              std::tuple(std::string("\n       ln on gn 1n 6n (\n"), 8, 0, false));
    EXPECT_EQ(std::tuple(EditText.Cells[2][1].Flags(), EditText.Cells[7][1].Flags()),
              std::tuple(uint32_t(cfFunctionName | cfBold), uint32_t(0)));
    // An occupied cell three columns on: three letters, then a beep.
    at(0, 0, "          x");
    Click("PRButtonArcSin");
    EXPECT_EQ(std::tuple(SheetToPicture(EditText), form->SheetGrid().Col(), beeps),
              std::tuple(std::string(" an rn cn x\n"), 3, 1));
    // The last column: what fits is written, then a beep.
    at(EditText.ColMax - 1, 0, "");
    Click("PRButtonSin");
    EXPECT_EQ(std::tuple(EditText.Cells[EditText.ColMax][0].Ch, form->SheetGrid().Col(), beeps),
              std::tuple(uint8_t('i'), EditText.ColMax, 1));
    // A locked page refuses its locked cells like every other edit.
    at(0, 0, "");
    EditText.PageLock = 1;
    Click("PRButtonCos");
    EXPECT_EQ(std::tuple(SheetToPicture(EditText), beeps, UndoEmpty), std::tuple(std::string(), 1, true));
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

}  // namespace
