#include "boxsim/BoxConfig.h"

#include "boxsim/TextFields.h"

#include <cctype>
#include <utility>

namespace boxsim {

std::optional<InputCounts> parseInputCounts(std::string_view text) {
    InputCounts counts{0, 0, 0, 0};
    bool seen[4] = {false, false, false, false};
    size_t position = 0;
    while (position < text.size()) {
        const size_t nameEnd = text.find_first_of("0123456789", position);
        if (nameEnd == std::string_view::npos || nameEnd == position) {
            return std::nullopt;
        }
        const std::string_view name = text.substr(position, nameEnd - position);
        size_t numberEnd = nameEnd;
        while (numberEnd < text.size() &&
               std::isdigit(static_cast<unsigned char>(text[numberEnd]))) {
            ++numberEnd;
        }
        const std::optional<int64_t> count =
            parseInteger(text.substr(nameEnd, numberEnd - nameEnd));
        if (!count || *count > InputCounts::kMaxSlots) {
            return std::nullopt;
        }
        const std::pair<std::string_view, int InputCounts::*> kinds[] = {
            {"sin", &InputCounts::sinCos},
            {"sq", &InputCounts::htl},
            {"ssi", &InputCounts::ssi},
            {"ana", &InputCounts::analog},
        };
        int kind = 0;
        while (kind < 4 && kinds[kind].first != name) {
            ++kind;
        }
        if (kind == 4 || seen[kind]) {
            return std::nullopt;
        }
        seen[kind] = true;
        counts.*kinds[kind].second = static_cast<int>(*count);
        position = numberEnd;
    }
    if (counts.total() == 0 || counts.slots() > InputCounts::kMaxSlots) {
        return std::nullopt;
    }
    return counts;
}

std::string capabilityText(const InputCounts& inputs, int systemFrequencyHz) {
    return "sin" + std::to_string(inputs.sinCos) + "sq" + std::to_string(inputs.htl) + "ssi" +
           std::to_string(inputs.ssi) + "ana" + std::to_string(inputs.analog) + "sf" +
           std::to_string(systemFrequencyHz / 1000000);
}

bool validBoxName(std::string_view name) {
    if (name.empty() || name.size() > 64 || name.front() == '.') {
        return false;
    }
    for (char c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_' && c != '.') {
            return false;
        }
    }
    return true;
}

bool validSerial(std::string_view serial) {
    if (serial.empty() || serial.size() > 64) {
        return false;
    }
    for (char c : serial) {
        if (c < 0x20 || c > 0x7E || c == ',') {
            return false;
        }
    }
    return true;
}

double BoxConfig::periodsOf(int index) const {
    if (periods.empty()) {
        return 1024.0;
    }
    return index < static_cast<int>(periods.size()) ? periods[index] : periods.back();
}

std::string BoxConfig::misplacedImperfection() const {
    for (const auto& entry : sinCosImperfections) {
        if (!inputs.isSinCos(entry.first)) {
            return "input " + std::to_string(entry.first) + " is not a SinCos input";
        }
    }
    for (const auto& entry : htlImperfections) {
        if (!inputs.isHtl(entry.first)) {
            return "input " + std::to_string(entry.first) + " is not an HTL/TTL input";
        }
    }
    return "";
}

} // namespace boxsim
