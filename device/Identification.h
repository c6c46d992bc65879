#pragma once

#include <string>

// The answer of a box to "*IDN?": vendor, model, serial number and hardware version, separated
// by commas.
struct Identification {
    bool compatible = false;
    // The fourth field, empty when the reply ended before it.
    std::string hardwareVersion;
};

Identification checkIdentification(const std::string& reply);

// The message shown before the program ends because the box is not one it can drive.
std::string incompatibleBoxMessage(const std::string& hardwareVersion);
