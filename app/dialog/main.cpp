// quorvel: the performance-data collector with its main window.
#include <QApplication>

#include "app/dialog/CollectorApp.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    CCollectorApp collector;
    collector.InitInstance();
    return collector.ExitCode();
}
