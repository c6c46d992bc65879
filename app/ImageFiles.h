#pragma once

#include <wx/bitmap.h>
#include <wx/icon.h>

#include <string>

// The path of a run-time image ("AutoZoom.png", ...): "Images/<name>" in the working directory
// when it is there, else in the "Images" folder beside the executable, so the program also runs
// from any other directory.
std::string imageFile(const std::string& name);

// A PNG image, loaded quietly: a missing or broken file gives an invalid bitmap instead of one
// error box per image.
wxBitmap loadBitmap(const std::string& name);

// The icon of the program's windows; invalid when its file is missing.
wxIcon programIcon();
