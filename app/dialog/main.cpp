// quorvel: the performance-data collector with its main window.
#include <QApplication>

#include "app/dialog/CollectorApp.h"
#include "platform/DescriptorLimit.h"
#include "platform/HeapArenas.h"

int main(int argc, char** argv) {
    platform::BoundHeapArenas();  // before Qt starts any thread
    platform::RaiseDescriptorLimit();
    QApplication app(argc, argv);
    CCollectorApp collector;
    collector.InitInstance();
    return collector.ExitCode();
}
