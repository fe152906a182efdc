// quorvel: the performance-data collector with its main window.
#include <QApplication>

#include "app/dialog/CollectorApp.h"
#include "platform/DescriptorLimit.h"

int main(int argc, char** argv) {
    platform::RaiseDescriptorLimit();
    QApplication app(argc, argv);
    CCollectorApp collector;
    collector.InitInstance();
    return 0;
}
