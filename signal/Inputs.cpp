#include "signal/Inputs.h"

#include <algorithm>

namespace {

template <class T> int sizeOf(const std::vector<T>& array) {
    return static_cast<int>(array.size());
}

const char* kindName(InputKind kind) {
    switch (kind) {
    case InputKind::SinCos:
        return "SinCos";
    case InputKind::HtlTtl:
        return "HTL/TTL";
    case InputKind::Ssi:
        return "SSI";
    case InputKind::Analog:
        return "Analog";
    }
    return "";
}

std::string ssiWordName(const SSIInputWordDetails& word, int number) {
    std::string name = "Word " + std::to_string(number);
    switch (word.type) {
    case SSIInputWordDetails::Position:
        name += " (position ";
        if (word.numBitsMultiTurn > 0)
            name += "mt:" + std::to_string(word.numBitsMultiTurn) + " ";
        name += "st:" + std::to_string(word.numBitsSingleTurn) + ")";
        break;
    case SSIInputWordDetails::Velocity:
        name += " (velocity)";
        break;
    case SSIInputWordDetails::Raw:
        name += " (raw)";
        break;
    default:
        break;
    }
    return name;
}

} // namespace

int inputCount(const InputSettings& inputs) {
    return sizeOf(inputs.sineInputs) + sizeOf(inputs.squareInputs) + sizeOf(inputs.ssiInputs) +
           sizeOf(inputs.analogInputs);
}

std::optional<InputLocation> locateInput(const InputSettings& inputs, int input) {
    if (input < 0)
        return std::nullopt;
    int index = input;
    const int counts[] = {sizeOf(inputs.sineInputs), sizeOf(inputs.squareInputs),
                          sizeOf(inputs.ssiInputs), sizeOf(inputs.analogInputs)};
    const InputKind kinds[] = {InputKind::SinCos, InputKind::HtlTtl, InputKind::Ssi,
                               InputKind::Analog};
    for (int k = 0; k < 4; ++k) {
        if (index < counts[k])
            return InputLocation{kinds[k], index};
        index -= counts[k];
    }
    return std::nullopt;
}

std::string inputKindName(const InputSettings& inputs, int input) {
    const auto location = locateInput(inputs, input);
    return location ? kindName(location->kind) : "";
}

std::vector<std::string> inputNames(const InputSettings& inputs) {
    std::vector<std::string> names;
    const int count = inputCount(inputs);
    for (int input = 0; input < count; ++input)
        names.push_back("Input " + std::to_string(input + 1) + " (" + inputKindName(inputs, input) +
                        ")");
    return names;
}

std::vector<std::string> signalNames(const InputSettings& inputs, int input) {
    const auto location = locateInput(inputs, input);
    if (!location)
        return {};
    switch (location->kind) {
    case InputKind::SinCos:
        return {"Encoder Position", "Encoder Velocity", "Analog A", "Analog B", "R"};
    case InputKind::HtlTtl:
        return {"Encoder Position", "Encoder Velocity", "A", "B", "R"};
    case InputKind::Analog:
        return {"Analog Value"};
    case InputKind::Ssi:
        break;
    }
    // A word count from a file may exceed the eight stored words; only stored words get names.
    const SSIInput& ssi = inputs.ssiInputs[static_cast<size_t>(location->index)];
    const int words = std::clamp(ssi.numWords, 0, SSIInput::wordCount);
    std::vector<std::string> names;
    for (int w = 0; w < words; ++w)
        names.push_back(ssiWordName(ssi.words[w], w));
    return names;
}

std::vector<std::string> ssiWordTypeNames() {
    return {"position", "velocity", "raw"};
}
