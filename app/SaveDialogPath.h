#pragma once

#include <wx/string.h>

class wxFileDialog;

// Shows a save dialog; the chosen path, or empty when the user cancelled. The file chooser of
// GTK adds no extension to a name typed without one, so the extension of the selected filter is
// added. The dialog asked only about replacing the typed name; replacing the completed one is
// asked here, as the toolkit asks.
wxString chooseSavePath(wxFileDialog& dialog);
