#include "device/Capabilities.h"

#include <algorithm>
#include <cctype>
#include <climits>

namespace {

bool isDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// A reply's numbers are small counts and a clock in MHz; a longer run of digits saturates
// instead of overflowing.
long long readNumber(const std::string& text, std::size_t& at) {
    long long value = 0;
    while (at < text.size() && isDigit(text[at])) {
        value = std::min<long long>(value * 10 + (text[at] - '0'), INT_MAX);
        ++at;
    }
    return value;
}

// A box has at most 40 frame slots, so no real box reports more inputs of one kind; a corrupt
// reply must not make the program allocate thousands of inputs.
constexpr long long maxInputsOfAKind = 40;

} // namespace

Capabilities parseCapabilities(const std::string& reply) {
    Capabilities capabilities;
    std::size_t at = 0;
    while (at < reply.size()) {
        const std::size_t nameStart = at;
        while (at < reply.size() && !isDigit(reply[at]))
            ++at;
        const std::string name = reply.substr(nameStart, at - nameStart);
        const long long number = readNumber(reply, at);
        const int count = static_cast<int>(std::min(number, maxInputsOfAKind));
        if (name == "sin")
            capabilities.sineInputs = count;
        else if (name == "sq")
            capabilities.squareInputs = count;
        else if (name == "ssi")
            capabilities.ssiInputs = count;
        else if (name == "ana")
            capabilities.analogInputs = count;
        else if (name == "sf")
            capabilities.systemFrequency =
                static_cast<int>(std::min<long long>(number * 1000000, INT_MAX));
    }
    return capabilities;
}

bool applyCapabilities(InputSettings& inputs, const Capabilities& capabilities) {
    const bool reported = capabilities.reportsInputs();
    if (reported)
        resizeInputs(inputs, capabilities.sineInputs, capabilities.squareInputs,
                     capabilities.ssiInputs, capabilities.analogInputs);
    else
        resizeInputs(inputs, 1, 0, 0, 0);
    inputs.systemFrequency = capabilities.systemFrequency;
    return reported;
}
