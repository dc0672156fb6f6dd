// The anchor of startup_bench: a minimal Qt main window with a menu and a label, until it has
// first painted.
#include "bench/startup_watch.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Minimal"));
    window.menuBar()->addMenu(QStringLiteral("Plik"))->addAction(QStringLiteral("Zamknij"));
    window.setCentralWidget(new QLabel(QStringLiteral("Minimal"), &window));
    window.resize(640, 490);
    window.show();
    return QApplication::exec();
}
