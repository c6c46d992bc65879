#include "device/Identification.h"

#include <vector>

namespace {

// Empty fields between two commas count as fields.
std::vector<std::string> splitFields(const std::string& text) {
    std::vector<std::string> fields(1);
    for (const char c : text) {
        if (c == ',')
            fields.emplace_back();
        else
            fields.back() += c;
    }
    return fields;
}

} // namespace

Identification checkIdentification(const std::string& reply) {
    const std::vector<std::string> fields = splitFields(reply);
    Identification result;
    if (fields.size() < 2 || fields[0] != "TorvenKellmar" || fields[1] != "ORVA 2 USB")
        return result;
    if (fields.size() < 4)
        return result;
    result.hardwareVersion = fields[3];
    result.compatible = fields[3] == "V2.0";
    return result;
}

std::string incompatibleBoxMessage(const std::string& hardwareVersion) {
    return "Error: The ORVA_USB software version v1.3.5 is not compatible with ORVA2USB hardware "
           "(" +
           hardwareVersion + ") which is currently connected.";
}
