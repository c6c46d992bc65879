// The main window's Settings command.

#include "app/MainFrame.h"

#include <wx/utils.h>

void MainFrame::showBusy(bool busy) {
    static const wxCursor arrowWithHourglass(wxCURSOR_ARROWWAIT);
    if (busy)
        wxBeginBusyCursor(&arrowWithHourglass);
    else
        wxEndBusyCursor();
}
