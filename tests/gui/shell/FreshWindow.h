// A main window started as the program starts it, with settings and the
// preference file in a temporary folder of the test's own.
#pragma once

#include <QAction>
#include <QComboBox>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "engine/Errors.h"
#include "platform/MessageBox.h"
#include "platform/SettingsStore.h"
#include "shell/MainWindow.h"
#include "shell/Preferences.h"
#include "worksheet/UndoEd.h"

class FreshWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        savedPaths = TSettingsStore::TestPaths();
        SetPaths(dir.filePath(QStringLiteral("Velmora.ini")));
        Preferences.SetDefaults(), ResetUndo(), ClearError();
        ErrorBlink = 0, beeps = 0, boxes.clear();
        BeepHook = [] { ++beeps; };
        MessageBoxHook = [](const QString &text, const QString &title) {
            boxes.push_back(title.toStdString() + "|" + text.toStdString());
        };
    }
    void TearDown() override
    {
        form.reset();
        MessageBoxHook = nullptr, BeepHook = nullptr;
        ResetUndo(), ClearError();
        TSettingsStore::SetTestPaths(savedPaths.first, savedPaths.second);
    }
    void SetPaths(const QString &settingsFile) { TSettingsStore::SetTestPaths(settingsFile, dir.path()); }
    // A start of the program: a new window, its start-up, shown; active when keys and focus matter.
    void Start(bool active = false)
    {
        form.reset(), form = std::make_unique<TForm2>();  // the old window goes first
        form->InitForm(), form->show();
        ASSERT_TRUE(!active || (form->activateWindow(), QTest::qWaitForWindowActive(form.get())));
    }
    // The end of a run: the window closes and stores its preferences.
    void Exit() { form->close(), form.reset(); }
    // Preferences as a previous run left them: changed, stored, and back at their defaults in memory.
    template <class F>
    void StoreRun(F change)
    {
        change(Preferences);
        TSettingsStore store;
        ASSERT_TRUE(Preferences.Save(store));
        Preferences.SetDefaults();
    }
    static void WriteDate(double days)
    {
        TSettingsStore s;
        ASSERT_TRUE(s.Open() && (s.WriteDate(CheckDateName, days), s.Close()));
    }
    QAction *Item(const char *name) { return form->Action(QLatin1String(name)); }

    QTemporaryDir dir;
    std::pair<QString, QString> savedPaths;
    std::unique_ptr<TForm2> form;
    static inline int beeps = 0;
    static inline std::vector<std::string> boxes;
};
