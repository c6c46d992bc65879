#pragma once

#include <wx/colour.h>
#include <wx/string.h>

#include <string>

// The engine's texts are 8-bit Latin-1 (the degree sign is the byte 0xB0); the toolkit's are
// Unicode.
inline wxString toWx(const std::string& text) {
    return wxString(text.c_str(), wxConvISO8859_1, text.size());
}

inline std::string fromWx(const wxString& text) {
    const wxCharBuffer bytes = text.mb_str(wxConvISO8859_1);
    return bytes.data() ? std::string(bytes.data(), bytes.length()) : std::string();
}

// The engine keeps colours as 0xRRGGBB.
inline wxColour colourOf(int rgb) {
    return wxColour(static_cast<unsigned char>(rgb >> 16), static_cast<unsigned char>(rgb >> 8),
                    static_cast<unsigned char>(rgb));
}

inline int rgbOf(const wxColour& colour) {
    return colour.Red() * 65536 + colour.Green() * 256 + colour.Blue();
}
