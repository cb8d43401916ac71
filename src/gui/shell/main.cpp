#include <QApplication>

#include "MainWindow.h"
#include "worksheet/Edit.h"

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    BeepHook = [] { QApplication::beep(); };
    TForm2 form;
    form.InitForm();
    form.show();
    return QApplication::exec();
}
