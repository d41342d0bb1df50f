#pragma once

class QPrinter;

namespace Printing {

// The printer every print of the program goes to: the system's default printer at first, then
// the one chosen in the printer set-up dialog ("Configurer" in the preview, "Configurer
// l'impression" in the editor). Created on first use; needs the application object.
QPrinter &currentPrinter();

// True while a letter is being printed or paginated. Both let the windows repaint between
// pages; the commands that start them check this so that neither runs twice at once.
bool isBusy();

// Marks a print or a pagination as running for its lifetime. started() is false when another one
// was already running; the caller must then give up.
class BusyScope
{
public:
    BusyScope();
    ~BusyScope();
    BusyScope(const BusyScope &) = delete;
    BusyScope &operator=(const BusyScope &) = delete;
    bool started() const { return owner; }

private:
    bool owner = false;
};

} // namespace Printing
