#include "app/SaveDialogPath.h"

#include <wx/arrstr.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/msgdlg.h>

namespace {

// The extension of the filter's pattern, "mat" for "*.mat"; empty for a pattern such as "*"
// that names none.
wxString filterExtension(const wxString& wildcard, int filter) {
    const wxArrayString parts = wxSplit(wildcard, '|');
    const std::size_t pattern = 2 * static_cast<std::size_t>(filter) + 1;
    if (filter < 0 || pattern >= parts.size())
        return wxString();
    wxString extension;
    if (!parts[pattern].BeforeFirst(';').StartsWith("*.", &extension) ||
        extension.find_first_of("*?") != wxString::npos)
        return wxString();
    return extension;
}

} // namespace

wxString chooseSavePath(wxFileDialog& dialog) {
    if (dialog.ShowModal() != wxID_OK)
        return wxString();
    wxString path = dialog.GetPath();
    const wxString extension = filterExtension(dialog.GetWildcard(), dialog.GetFilterIndex());
    if (extension.empty() || !wxFileName(path).GetExt().empty())
        return path;
    // "run." takes the extension after its own dot.
    path += (path.EndsWith(".") ? "" : ".") + extension;
    if (dialog.HasFlag(wxFD_OVERWRITE_PROMPT) && wxFileExists(path) &&
        wxMessageBox(wxString::Format("File '%s' already exists, do you really want to "
                                      "overwrite it?",
                                      path),
                     "Confirm", wxYES_NO | wxICON_QUESTION | wxCENTRE, dialog.GetParent()) != wxYES)
        return wxString();
    return path;
}
