// Start-up with and without stored preferences, exit and the next start.
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QPlainTextEdit>
#include <QToolButton>
#include <sys/stat.h>

#include "FreshWindow.h"
#include "engine/NumFormat.h"
#include "platform/GridWidget.h"
#include "shell/ModeButtons.h"
#include "shell/StatusLine.h"
#include "worksheet/Keyboard.h"

namespace {

using LifeTest = FreshWindowTest;

// The window as a user sees it: title, status, columns, combos, modes lit, panels, keyboard, bounds.
std::string Seen(TForm2 &f)
{
    auto on = [&](const char *name) { return f.findChild<TModeButton *>(QLatin1String(name))->IsOn() ? "1" : "0"; };
    auto text = [&](const char *name) { return f.findChild<QComboBox *>(QLatin1String(name))->currentText(); };
    auto shown = [&](const char *name) { return f.findChild<QWidget *>(QLatin1String(name))->isVisible() ? "1" : "0"; };
    return f.windowTitle().toStdString() + "|" + f.StatusText() + "|" + std::to_string(f.SheetGrid().ColCount()) + "|" +
           (text("ComboFontSize") + text("ComboPlaces")).toStdString() + "|" + on("TB1ButtonDeg") + on("TB1ButtonRad") +
           on("TB1ButtonExp") + on("TB1ButtonFix") + on("TB1ButtonFlt") + on("TB1ButtonEqual") + "|" +
           shown("PanelRight") + shown("PanelFunctions") + shown("PanelSymbol2") + shown("PanelUpgrade") +
           shown("PanelKeyboard") + "|" + f.SpeedKeyboard->text().toStdString() + "|" + std::to_string(f.x()) + "," +
           std::to_string(f.y()) + " " + std::to_string(f.width()) + "x" + std::to_string(f.height());
}

std::string FallbackFile()
{
    QFile file(TSettingsStore::FallbackPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "missing";
}

TEST_F(LifeTest, ExitStoresEverythingAndTheNextStartRestoresIt)
{
    Start();
    form->Menu_SymbolsPanelClick(), form->Menu_FunctionPanelClick();
    form->TB1ButtonFixClick(), form->TB1ButtonDegClick(), form->TB1ButtonExpClick(), form->TB1ButtonEqualClick();
    form->SetFontSize(20), KeyboardObj.SetGerman(), form->move(120, 90), form->resize(800, 600);
    const std::string first = Preferences.FallbackBytes();
    Exit(), Preferences.SetDefaults(), Start();
    EXPECT_EQ(Seen(*form), "Velmora|  Hello|72|  20  2|101101|10100|DE|120,90 800x600");
    TPreferences expected;  // what was stored, counted as the second start
    expected.LoadFallback(first), expected.SetGridSize(poStarter);
    expected.SetFormBounds(poFormSize, 800, 600), expected.SetFormBounds(poFormPosition, 120, 90);
    EXPECT_EQ(std::tuple(Preferences.FallbackBytes(), Preferences.Records[prStarter].Integer(), FallbackFile()),
              std::tuple(expected.FallbackBytes(), 2, "missing"));
}

TEST_F(LifeTest, StoredValuesOutsideWhatTheWindowShows)
{
    StoreRun([](TPreferences &p) {
        p.SetNumber(poFontSize, 600), p.SetNumber(poFltPlaces, 20);
        p.SetFormBounds(poFormPosition, 5000, 5000);  // off every screen
        p.SetFormBounds(poFormSize, 100, 100);        // under the minimum size
    });
    WriteDate(TSettingsStore::Today() - 31);  // the update reminder goes to the status line
    Start();
    EXPECT_EQ(Seen(*form), "Velmora|" + ErrorTexts[110] + "|72|512  15|010010|11000|US|50,50 640x480");
    EXPECT_EQ(std::tuple(FontSize, FltPlaces, UIFltPlaces, Preferences.Records[prFloatPlaces].Integer()),
              std::tuple(512, 15, 15, 20));  // 15 places used and shown; the record keeps what the user stored
    // The reminder blinks on the window's timer: white at first, red, then white again.
    auto base = [&] { return form->StatusLine()->View()->palette().color(QPalette::Base); };
    EXPECT_EQ(base(), QColor(Qt::white));
    EXPECT_TRUE(QTest::qWaitFor([&] { return base() == QColor(Qt::red); }, 10000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return base() == QColor(Qt::white); }, 10000));
}

TEST_F(LifeTest, TheStoredSheetSizeIsTheSheetOfTheNextStart)
{
    const std::tuple<TPrefOption, const char *, std::string> rows[] = {
        {poPortrait144, "Portrait144x1441", "144 x 144"},
        {poLandscape, "Landscape1", "108 x 48"},
        {poPortrait72, "Portrait72x721", "72 x 72"},
    };  // the size stored, then the item checked and the sheet at the start
    for (const auto &[size, item, sheet] : rows) {
        StoreRun([size](TPreferences &p) { p.SetGridSize(size); });
        Start();
        EXPECT_EQ(std::to_string(form->SheetGrid().ColCount()) + " x " + std::to_string(form->SheetGrid().RowCount()) +
                      (Item(item)->isChecked() ? "" : " unchecked"),
                  sheet);
    }
}

// A store that cannot be written (a file where its folder should be, a lock
// folder, a lock held by a running program) falls back to our file at once.
TEST_F(LifeTest, AStoreThatCannotBeWrittenFallsBackToTheFileAndBackAndAPipeIsNoFile)
{
    const QString lockPath = dir.filePath(QStringLiteral("Velmora.ini.lock"));
    QLockFile held(lockPath);
    const std::pair<std::function<void()>, std::function<void()>> blocks[] = {
        {[&] { SetPaths(dir.filePath(QStringLiteral("blocker/Velmora.ini"))); },
         [&] { SetPaths(dir.filePath(QStringLiteral("Velmora.ini"))); }},
        {[&] { QDir().mkdir(lockPath); }, [&] { QDir().rmdir(lockPath); }},
        {[&] { held.tryLock(0); }, [&] { held.unlock(); }},
    };
    ASSERT_TRUE(QFile(dir.filePath(QStringLiteral("blocker"))).open(QIODevice::WriteOnly));
    const std::string fallback = TSettingsStore::FallbackPath().toStdString();
    ASSERT_EQ(mkfifo(fallback.c_str(), 0600), 0);
    Start();  // with nothing stored the file is asked for: a pipe there is passed over, and left alone at exit
    EXPECT_EQ((Exit(), Preferences.Records[prStarter].Integer()), 1);
    EXPECT_TRUE(QFileInfo(fallback.c_str()).exists() && QFile::remove(fallback.c_str()));
    int starts = 1;
    for (const auto &[block, unblock] : blocks) {
        block(), Start(), form->TB1ButtonDegClick();
        const bool quick = [&](QDeadlineTimer limit) { return Exit(), !limit.hasExpired(); }(QDeadlineTimer(5000));
        EXPECT_EQ(std::pair(FallbackFile(), quick), std::pair(Preferences.FallbackBytes(), true));
        Preferences.SetDefaults(), Start();  // from the file: applied and counted
        EXPECT_EQ(std::pair(int(EditText.RadMode), Preferences.Records[prStarter].Integer()), std::pair(0, ++starts));
        unblock(), Exit(), Preferences.SetDefaults();  // a writable store again: the values go there, our file goes
        EXPECT_EQ(FallbackFile(), "missing");
    }
}

}  // namespace
