// Start-up with and without stored preferences, exit and the next start.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QToolButton>
#include <sys/stat.h>
#include <tuple>

#include "FreshWindow.h"
#include "engine/NumFormat.h"
#include "platform/GridWidget.h"
#include "shell/ModeButtons.h"
#include "worksheet/Keyboard.h"

namespace {

using LifeTest = FreshWindowTest;

// The window's state as a user sees it, read from the widgets by name.
std::string Seen(TForm2 &f)
{
    auto on = [&](const char *name) { return f.findChild<TModeButton *>(QLatin1String(name))->IsOn() ? "1" : "0"; };
    auto text = [&](const char *name) { return f.findChild<QComboBox *>(QLatin1String(name))->currentText(); };
    auto shown = [&](const char *name) { return f.findChild<QWidget *>(QLatin1String(name))->isVisible() ? "1" : "0"; };
    std::string s = f.windowTitle().toStdString() + "|" + f.StatusText() + "|";
    s += std::to_string(f.SheetGrid().ColCount()) + "x" + std::to_string(f.SheetGrid().RowCount()) + "|";
    s += "size[" + text("ComboFontSize").toStdString() + "] places[" + text("ComboPlaces").toStdString() + "]|";
    s += std::string("deg") + on("TB1ButtonDeg") + " rad" + on("TB1ButtonRad") + " exp" + on("TB1ButtonExp") + " fix" +
         on("TB1ButtonFix") + " flt" + on("TB1ButtonFlt") + " equal" + on("TB1ButtonEqual") + "|";
    s += std::string("panels ") + shown("PanelRight") + shown("PanelFunctions") + shown("PanelSymbol2") +
         shown("PanelUpgrade") + shown("PanelKeyboard") + "|";
    s += f.findChild<QToolButton *>(QStringLiteral("SpeedKeyboard"))->text().toStdString() + "|";
    s += std::to_string(f.x()) + "," + std::to_string(f.y());
    return s;
}

TEST_F(LifeTest, ExitStoresEverythingAndTheNextStartRestoresIt)
{
    Start();
    form->Menu_SymbolsPanelClick();
    form->Menu_FunctionPanelClick();
    form->TB1ButtonFixClick();
    form->TB1ButtonDegClick();
    form->TB1ButtonExpClick();
    form->TB1ButtonEqualClick();
    form->SetFontSize(20);
    KeyboardObj.SetGerman();
    form->move(120, 90);
    form->resize(800, 600);
    const std::string first = Preferences.FallbackBytes();
    Exit();
    EXPECT_FALSE(QFile::exists(TSettingsStore::FallbackPath()));

    Preferences.SetDefaults();
    Start();
    EXPECT_EQ(Seen(*form), "Velmora|  Hello|72x72|size[  20] places[  2]|deg1 rad0 exp1 fix1 flt0 equal1|"
                           "panels 10100|DE|120,90");
    EXPECT_EQ(form->size(), QSize(800, 600));
    EXPECT_EQ(Preferences.Records[prStarter].Integer(), 2);
    TPreferences expected;
    expected.LoadFallback(first);
    expected.SetFormBounds(poFormSize, 800, 600);
    expected.SetFormBounds(poFormPosition, 120, 90);
    expected.SetGridSize(poStarter);
    EXPECT_EQ(Preferences.FallbackBytes(), expected.FallbackBytes());
}

TEST_F(LifeTest, StoredValuesOutsideWhatTheWindowShows)
{
    StoreRun([](TPreferences &p) {
        p.SetNumber(poFontSize, 600);
        p.SetNumber(poFltPlaces, 20);
        p.SetFormBounds(poFormPosition, 5000, 5000);  // off every screen
        p.SetFormBounds(poFormSize, 100, 100);        // under the minimum size
    });
    WriteDate(TSettingsStore::Today() - 31);  // the update reminder goes to the status line
    Start();
    EXPECT_EQ(std::tuple(FontSize, form->ComboFontSize->currentText(), Preferences.Records[prFontSize].Integer()),
              std::tuple(512, QStringLiteral("512"), 512));
    // 15 places used and shown; the record keeps what the user stored.
    EXPECT_EQ(std::tuple(FltPlaces, UIFltPlaces, form->ComboPlaces->currentText(),
                         Preferences.Records[prFloatPlaces].Integer()),
              std::tuple(15, 15, QStringLiteral("  15"), 20));
    EXPECT_EQ(std::tuple(form->pos(), form->size()), std::tuple(QPoint(50, 50), QSize(640, 480)));
    EXPECT_EQ(form->StatusText(), ErrorTexts[110]);
}

TEST_F(LifeTest, UnwritableStoreFallsBackToTheFileAndBack)
{
    QFile blocker(dir.filePath(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    SetPaths(dir.filePath(QStringLiteral("blocker/Velmora.ini")));
    Start();
    form->TB1ButtonDegClick();
    Exit();
    QFile file(TSettingsStore::FallbackPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    file.close();
    EXPECT_EQ(bytes.toStdString(), Preferences.FallbackBytes());

    Preferences.SetDefaults();
    Start();  // from the file: applied and counted
    EXPECT_EQ(std::tuple(EditText.RadMode, Preferences.Records[prStarter].Integer()), std::tuple(0, 2));
    // A writable store again: the values go there and our file goes.
    SetPaths(dir.filePath(QStringLiteral("Velmora.ini")));
    Exit();
    EXPECT_FALSE(QFile::exists(TSettingsStore::FallbackPath()));
    Preferences.SetDefaults();
    Start();
    EXPECT_EQ(std::tuple(EditText.RadMode, Preferences.Records[prStarter].Integer()), std::tuple(0, 3));
}

TEST_F(LifeTest, AStoreLockedForGoodFallsBackToTheFileAtOnce)
{
    const QString lockPath = dir.filePath(QStringLiteral("Velmora.ini.lock"));
    QLockFile held(lockPath);  // a lock of a running program that keeps it
    for (bool folder : {true, false}) {
        ASSERT_TRUE(folder ? QDir().mkdir(lockPath) : held.tryLock(0));
        Start();
        form->TB1ButtonDegClick();
        QElapsedTimer clock;
        clock.start();
        Exit();
        EXPECT_LT(clock.elapsed(), 5000) << folder;
        QFile file(TSettingsStore::FallbackPath());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << folder;
        EXPECT_EQ(file.readAll().toStdString(), Preferences.FallbackBytes()) << folder;
        file.remove();
        if (folder)
            QDir().rmdir(lockPath);
        else
            held.unlock();
    }
}

TEST_F(LifeTest, APipeInPlaceOfTheFallbackFileIsPassedOver)
{
    ASSERT_EQ(mkfifo(TSettingsStore::FallbackPath().toLocal8Bit().constData(), 0600), 0);
    Start();  // with nothing stored, the file is asked for
    EXPECT_EQ(Preferences.Records[prStarter].Integer(), 1);
    Exit();  // stored in the store; the pipe is no file of ours and stays
    EXPECT_TRUE(QFileInfo(TSettingsStore::FallbackPath()).exists());
}

}  // namespace
