#include "printing/CurrentPrinter.h"

#include <QCoreApplication>
#include <QPageSize>
#include <QPrinter>

namespace Printing {
namespace {

QPrinter *printerInstance = nullptr;
bool running = false;

void deletePrinter()
{
    // Before the application object goes: the print system may need it to let the printer go.
    delete printerInstance;
    printerInstance = nullptr;
}

} // namespace

QPrinter &currentPrinter()
{
    if (!printerInstance) {
        // The default constructor takes the system's default printer; letters are A4.
        printerInstance = new QPrinter(QPrinter::HighResolution);
        printerInstance->setPageSize(QPageSize(QPageSize::A4));
        qAddPostRoutine(deletePrinter);
    }
    return *printerInstance;
}

bool isBusy()
{
    return running;
}

BusyScope::BusyScope()
{
    if (!running)
        owner = running = true;
}

BusyScope::~BusyScope()
{
    if (owner)
        running = false;
}

} // namespace Printing
