#include "MessageBox.h"

#include <QMessageBox>
#include <QTimer>

std::function<void(const QString &text, const QString &title)> MessageBoxHook;

void ShowMessageBox(QWidget *parent, const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    if (MessageBoxHook) {
        MessageBoxHook(box.text(), box.windowTitle());
        QTimer::singleShot(0, &box, &QMessageBox::accept);
    }
    box.exec();
}
