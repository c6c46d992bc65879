#include "app/ImageFiles.h"

#include <wx/log.h>

#include <climits>
#include <unistd.h>

namespace {

bool readable(const std::string& path) {
    return ::access(path.c_str(), R_OK) == 0;
}

std::string executableDirectory() {
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return ".";
    const std::string executable(path, static_cast<std::size_t>(n));
    return executable.substr(0, executable.rfind('/'));
}

} // namespace

std::string imageFile(const std::string& name) {
    const std::string local = "Images/" + name;
    if (readable(local))
        return local;
    // Beside the program in a build tree; in the data folder of an installed program
    // (PREFIX/bin/orva2usb, PREFIX/share/orva2usb/Images).
    for (const char* folder : {"/Images/", "/../share/orva2usb/Images/"}) {
        const std::string path = executableDirectory() + folder + name;
        if (readable(path))
            return path;
    }
    return local;
}

wxBitmap loadBitmap(const std::string& name) {
    const wxLogNull quiet;
    wxBitmap image;
    image.LoadFile(imageFile(name), wxBITMAP_TYPE_PNG);
    return image;
}

wxIcon programIcon() {
    const wxLogNull quiet;
    wxIcon icon;
    icon.LoadFile(imageFile("TorvenIcon4848.ico"), wxBITMAP_TYPE_ICO);
    return icon;
}
