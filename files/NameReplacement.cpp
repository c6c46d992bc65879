#include "files/NameReplacement.h"

#include <algorithm>

void fixGraphName(std::string& caption, int& counter) {
    if (caption.empty())
        caption = "no_caption" + std::to_string(counter++);
}

void fixChannelName(std::string& caption, int& counter) {
    std::replace(caption.begin(), caption.end(), ' ', '_');
    fixGraphName(caption, counter);
}

std::string diagnosticVariableName(const DiagnosticRecord& record) {
    constexpr std::size_t longestName = 31;
    std::string name =
        record.graph + (record.view == "signal quality" ? "_quality" : "_" + record.view);
    std::replace(name.begin(), name.end(), ' ', '_');
    return name.substr(0, longestName);
}
