#include "control/SettingsValues.h"

#include "graph/NumberText.h"
#include "signal/Filters.h"
#include "signal/Inputs.h"
#include "signal/SampleRates.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

// Decimals of the texts of fractional values: enough to show a single-precision value exactly
// enough to read it back unchanged.
constexpr int textDecimals = 12;

std::string decimalText(double value) {
    return fixedText(value, textDecimals);
}

// The position of a text in a choice list; -1 when it is not there.
int positionOf(const std::vector<std::string>& list, const std::string& text) {
    const auto found = std::find(list.begin(), list.end(), text);
    return found == list.end() ? -1 : static_cast<int>(found - list.begin());
}

// A text that is a whole integer, blanks around it allowed; 0 for anything else.
int integerValue(const std::string& text) {
    const char* start = text.c_str();
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(start, &end, 10);
    if (end == start || errno == ERANGE || value < INT_MIN || value > INT_MAX)
        return 0;
    while (*end == ' ')
        ++end;
    return *end == '\0' ? static_cast<int>(value) : 0;
}

// The integer of the selected entry of a choice list; `unselected` when nothing is selected.
int chosenInteger(const std::vector<std::string>& list, int position, int unselected) {
    if (position < 0 || static_cast<std::size_t>(position) >= list.size())
        return unselected;
    return integerValue(list[static_cast<std::size_t>(position)]);
}

// Stores a value and notes whether it differs from the one it replaces.
template <typename T> void store(T& field, T value, bool& changed) {
    if (!(field == value))
        changed = true;
    field = value;
}

// A number read from a text in single precision; beyond its range (a text like "1e99"), the
// infinity of that sign, since the plain conversion would be undefined.
float singleValue(const std::string& text) {
    const double value = leadingNumber(text);
    const float infinity = std::numeric_limits<float>::infinity();
    if (std::fabs(value) > std::numeric_limits<float>::max())
        return value > 0.0 ? infinity : -infinity;
    return static_cast<float>(value);
}

// Periods are kept in single precision, as the box computes with them.
double periodsValue(const std::string& text) {
    return static_cast<double>(singleValue(text));
}

SsiWordRow wordRow(const SSIInputWordDetails& word) {
    SsiWordRow row;
    row.bitsTotal = word.numBits;
    row.sign = word.sign;
    row.type =
        word.type >= 0 && word.type < static_cast<int>(ssiWordTypeNames().size()) ? word.type : -1;
    row.bitsSingle = word.numBitsSingleTurn;
    row.bitsMulti = word.numBitsMultiTurn;
    row.scale = decimalText(word.scaleFactor);
    row.mzero = word.man_zero;
    return row;
}

void storeWord(const SsiWordRow& row, SSIInputWordDetails& word, bool& changed) {
    store(word.numBits, row.bitsTotal, changed);
    store(word.sign, row.sign, changed);
    store(word.type, row.type, changed);
    store(word.numBitsSingleTurn, row.bitsSingle, changed);
    store(word.numBitsMultiTurn, row.bitsMulti, changed);
    store(word.scaleFactor, leadingNumber(row.scale), changed);
    store(word.man_zero, row.mzero, changed);
}

} // namespace

SettingsLayout settingsLayout(const InputSettings& inputs) {
    return {inputs.sineInputs.size(), inputs.squareInputs.size(), inputs.ssiInputs.size(),
            inputs.analogInputs.size(), filterFrequencies(inputs.systemFrequency)};
}

const std::vector<std::string>& SettingsValues::rateChoices() {
    static const std::vector<std::string> rates = [] {
        std::vector<std::string> texts;
        for (const int rate : sampleRates())
            texts.push_back(std::to_string(rate));
        return texts;
    }();
    return rates;
}

const std::vector<std::string>& SettingsValues::lineWidthChoices() {
    static const std::vector<std::string> widths = {"1", "2", "3", "4", "5", "6", "7", "8", "9"};
    return widths;
}

const std::vector<std::string>& SettingsValues::wordTypeChoices() {
    static const std::vector<std::string> types = ssiWordTypeNames();
    return types;
}

const std::vector<std::string>& SettingsValues::wordCountChoices() {
    static const std::vector<std::string> counts = {"1", "2", "3", "4", "5", "6", "7", "8"};
    return counts;
}

void SettingsValues::loadFromConfig(const InputSettings& inputs) {
    layout = settingsLayout(inputs);
    // A frequency that is not one of the eight shows the setting the box is given for it, the
    // nearest one, rather than one the box does not use.
    const auto filterPosition = [&inputs](int hz) {
        return filterIndex(inputs.systemFrequency, hz);
    };
    rate = positionOf(rateChoices(), std::to_string(inputs.rate));
    displayTime = decimalText(inputs.displayTime);
    logTime = decimalText(inputs.logTime);
    lineWidth = std::max(positionOf(lineWidthChoices(), std::to_string(inputs.lineWidth)), 0);
    substitute = inputs.failure_add_value;

    sine.clear();
    for (const SineInput& input : inputs.sineInputs)
        sine.push_back({decimalText(input.periods), std::to_string(input.threshold),
                        filterPosition(input.filter), filterPosition(input.filtera),
                        filterPosition(input.filterb)});
    square.clear();
    for (const SquareInput& input : inputs.squareInputs)
        square.push_back({decimalText(input.periods), filterPosition(input.filter)});
    ssi.clear();
    for (const SSIInput& input : inputs.ssiInputs) {
        SsiPage page;
        page.frequency = std::to_string(input.frequency);
        page.monoflopTime = std::to_string(input.monoflopTime);
        page.cableLength = std::to_string(input.cableLength);
        page.gray = input.gray;
        // A count outside 1 ... 8 shows no selection rather than a position the list lacks.
        page.numWords =
            input.numWords >= 1 && input.numWords <= SSIInput::wordCount ? input.numWords - 1 : -1;
        for (int w = 0; w < SSIInput::wordCount; ++w)
            page.rows[static_cast<std::size_t>(w)] = wordRow(input.words[w]);
        ssi.push_back(page);
    }
    analog.clear();
    for (const AnalogInput& input : inputs.analogInputs)
        analog.push_back({filterPosition(input.filter)});
    wordRulesPending_ = true;
}

bool SettingsValues::storeToConfig(InputSettings& inputs) const {
    bool changed = false;
    store(inputs.rate, chosenInteger(rateChoices(), rate, inputs.rate), changed);
    store(inputs.displayTime, singleValue(displayTime), changed);
    store(inputs.logTime, singleValue(logTime), changed);
    store(inputs.lineWidth, chosenInteger(lineWidthChoices(), lineWidth, inputs.lineWidth),
          changed);
    store(inputs.failure_add_value, substitute, changed);

    // The pages match the arrays (see fits()); should they not, only the inputs both have are
    // stored, never past either end.
    const auto filter = [this](int position, int old) {
        return chosenInteger(layout.filters, position, old);
    };
    for (std::size_t i = 0; i < sine.size() && i < inputs.sineInputs.size(); ++i) {
        SineInput& input = inputs.sineInputs[i];
        store(input.periods, periodsValue(sine[i].periods), changed);
        store(input.threshold, integerValue(sine[i].threshold), changed);
        store(input.filter, filter(sine[i].filter, input.filter), changed);
        store(input.filtera, filter(sine[i].filterA, input.filtera), changed);
        store(input.filterb, filter(sine[i].filterB, input.filterb), changed);
    }
    for (std::size_t i = 0; i < square.size() && i < inputs.squareInputs.size(); ++i) {
        SquareInput& input = inputs.squareInputs[i];
        store(input.periods, periodsValue(square[i].periods), changed);
        store(input.filter, filter(square[i].filter, input.filter), changed);
    }
    for (std::size_t i = 0; i < ssi.size() && i < inputs.ssiInputs.size(); ++i) {
        SSIInput& input = inputs.ssiInputs[i];
        const SsiPage& page = ssi[i];
        store(input.frequency, integerValue(page.frequency), changed);
        store(input.monoflopTime, integerValue(page.monoflopTime), changed);
        store(input.cableLength, integerValue(page.cableLength), changed);
        store(input.gray, page.gray, changed);
        store(input.numWords, page.numWords + 1, changed);
        for (int w = 0; w < SSIInput::wordCount; ++w)
            storeWord(page.rows[static_cast<std::size_t>(w)], input.words[w], changed);
    }
    for (std::size_t i = 0; i < analog.size() && i < inputs.analogInputs.size(); ++i)
        store(inputs.analogInputs[i].filter,
              filter(analog[i].filter, inputs.analogInputs[i].filter), changed);
    return changed;
}

void SettingsValues::applyPendingWordRules() {
    if (wordRulesPending_)
        updateWordRows(false, false);
}
