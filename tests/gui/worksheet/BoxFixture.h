// A grid on screen with a box list over it, mouse events as a user makes them, messages recorded.
#pragma once

#include "platform/GridWidget.h"
#include "platform/MessageBox.h"
#include "support/SheetPicture.h"
#include "worksheet/Edit.h"
#include "worksheet/ObjectBoxes.h"
#include "worksheet/TextBoxes.h"
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>

inline QString WriteFile(const QString &path, const std::vector<uint8_t> &bytes)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(reinterpret_cast<const char *>(bytes.data()), qint64(bytes.size()));
    return path;
}

class BoxTest : public ::testing::Test {
protected:
    SheetSetup setup{72, 72};
    GridWidget grid{setup.grid};
    TObjBox head{&grid, &EditText};
    std::vector<std::pair<QString, QString>> messages;
    void SetUp() override
    {
        MessageBoxHook = [this](const QString &text, const QString &title) { messages.emplace_back(text, title); };
        grid.resize(600, 400), grid.ApplyFontSize(14);  // cells of 14 x 17
        grid.show(), grid.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&grid));
    }
    void TearDown() override
    {
        MessageBoxHook = nullptr;
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::vector<TObjBox *> Boxes()
    {
        std::vector<TObjBox *> v;
        for (TObjBox *b = head.NextBox(); b; b = b->NextBox())
            v.push_back(b);
        return v;
    }
    // A plain picture of one colour, as the worksheet file makes it.
    TObjBox *Picture(int left, int top, int w = 60, int h = 40, QColor c = Qt::red)
    {
        QImage img(w, h, QImage::Format_RGB32);
        img.fill(c);
        TBoxGeometry g{0, 0, 0, 0, left, top, 0, 0, w, h};
        AnchorBox(g, head.Metrics());
        return head.AddPictureBox(img, g);
    }
    // Press at the first point, moves to the others, release at the last: in the control's pixels at the press.
    static void Drag(QWidget *w, const std::vector<QPoint> &path, Qt::MouseButton button = Qt::LeftButton)
    {
        if (auto *edit = qobject_cast<QTextEdit *>(w))
            w = edit->viewport();
        const QPoint origin = w->mapToGlobal(QPoint());
        for (size_t i = 0; i <= path.size(); ++i) {
            const bool up = i == path.size();
            const auto type = up ? QEvent::MouseButtonRelease : i ? QEvent::MouseMove : QEvent::MouseButtonPress;
            const QPoint at = origin + path[i - up];
            QMouseEvent e(type, w->mapFromGlobal(at), at, i && !up ? Qt::NoButton : button, up ? Qt::NoButton : button,
                          Qt::NoModifier);
            QApplication::sendEvent(w, &e);
        }
    }
    void ClickGrid(QPoint at = {5, 380})
    {
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QApplication::processEvents();
    }
};
