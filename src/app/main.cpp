#include <QApplication>
#include <QMainWindow>

#include "DrawGrid.h"
#include "GridWidget.h"

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Velmora");
    TDrawGrid grid(72, 72);
    QMainWindow window;
    window.setWindowTitle("Velmora");
    window.setCentralWidget(new GridWidget(grid));
    window.resize(900, 700);
    window.show();
    return QApplication::exec();
}
