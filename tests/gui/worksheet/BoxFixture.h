// A grid on screen with a box list over it, mouse events sent as a user makes
// them, and the box messages recorded instead of shown.
#pragma once

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>
#include <QTextEdit>

#include "platform/GridWidget.h"
#include "platform/MessageBox.h"
#include "support/SheetPicture.h"
#include "worksheet/Edit.h"
#include "worksheet/ObjectBoxes.h"
#include "worksheet/TextBoxes.h"

// Writes the bytes to the file at path and gives the path back.
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
        grid.resize(600, 400);
        grid.ApplyFontSize(14);  // cells of 14 x 17
        grid.show();
        grid.activateWindow();
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
    // A plain picture of one colour, as the worksheet file would make it.
    TObjBox *Picture(int left, int top, int w = 60, int h = 40, QColor c = Qt::red)
    {
        QImage img(w, h, QImage::Format_RGB32);
        img.fill(c);
        QLabel *label;
        head.NewPictureBox(label);
        head.SetPicture(label, img);
        TObjBox *box = head.NextBox();
        box->Image->move(left, top);
        box->Left = left, box->Top = top;
        AnchorBox(*box, head.Metrics());
        return box;
    }

    // The widget that receives a control's mouse.
    static QWidget *MouseTarget(QWidget *w)
    {
        auto *edit = qobject_cast<QTextEdit *>(w);
        return edit ? edit->viewport() : w;
    }
    // A mouse event at a screen position; the control may have moved under it.
    static void Send(QWidget *w, QEvent::Type type, QPoint global, Qt::MouseButtons held,
                     Qt::MouseButton button = Qt::LeftButton)
    {
        w = MouseTarget(w);
        QMouseEvent e(type, w->mapFromGlobal(global), global, type == QEvent::MouseMove ? Qt::NoButton : button, held,
                      Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }
    static void Mouse(QWidget *w, QEvent::Type type, QPoint local, Qt::MouseButtons held,
                      Qt::MouseButton button = Qt::LeftButton)
    {
        Send(w, type, MouseTarget(w)->mapToGlobal(local), held, button);
    }
    // Press at `from`, move by `by` in two steps, release; in the control's pixels at the press.
    static void Drag(QWidget *w, QPoint from, QPoint by)
    {
        const QPoint at = MouseTarget(w)->mapToGlobal(from);
        Send(w, QEvent::MouseButtonPress, at, Qt::LeftButton);
        Send(w, QEvent::MouseMove, at + by / 2, Qt::LeftButton);
        Send(w, QEvent::MouseMove, at + by, Qt::LeftButton);
        Send(w, QEvent::MouseButtonRelease, at + by, Qt::NoButton);
    }
    static void DoubleClick(QWidget *w, QPoint at)
    {
        Mouse(w, QEvent::MouseButtonPress, at, Qt::LeftButton);
        Mouse(w, QEvent::MouseButtonRelease, at, Qt::NoButton);
        Mouse(w, QEvent::MouseButtonDblClick, at, Qt::LeftButton);
        Mouse(w, QEvent::MouseButtonRelease, at, Qt::NoButton);
    }
    // A click on the grid's cell area, as a user leaves a text box.
    void ClickGrid(QPoint at = {5, 380})
    {
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QApplication::processEvents();
    }
};
