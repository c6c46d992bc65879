#pragma once

#include "config/Config.h"

#include <array>
#include <string>
#include <vector>

// The settings dialog's own copy of the input settings, in the form its controls use: texts,
// positions in choice lists (-1 for no selection), integers and flags. The dialog shows and
// edits this copy; only storeToConfig() writes it into the configuration.

// What the word rules leave of one control of an SSI word row: enabled or not, and for a spin
// control its range.
struct ControlState {
    bool enabled = true;
    int min = 0;
    int max = 32;
};

struct SsiWordRow {
    int bitsTotal = 0;
    bool sign = false;
    int type = SSIInputWordDetails::Position; // position in the word type list
    int bitsSingle = 0;
    int bitsMulti = 0;
    std::string scale;
    bool mzero = false;

    ControlState totalControl;
    ControlState signControl;
    ControlState typeControl;
    ControlState singleControl;
    ControlState multiControl;
    ControlState scaleControl;
    ControlState mzeroControl;
};

struct SinePage {
    std::string periods;
    std::string threshold; // mV
    int filter = 0;        // positions in the filter list
    int filterA = 0;
    int filterB = 0;
};

struct SquarePage {
    std::string periods;
    int filter = 0;
};

struct SsiPage {
    std::string frequency;    // kHz
    std::string monoflopTime; // µs
    std::string cableLength;  // m
    bool gray = false;
    int numWords = -1; // position in the number-of-words list: words in use - 1
    std::array<SsiWordRow, SSIInput::wordCount> rows;
};

struct AnalogPage {
    int filter = 0;
};

// The pages the dialog needs for a configuration: one per input, and the filter frequencies its
// choices offer.
struct SettingsLayout {
    std::size_t sine = 0;
    std::size_t square = 0;
    std::size_t ssi = 0;
    std::size_t analog = 0;
    std::vector<std::string> filters;

    bool operator==(const SettingsLayout& other) const {
        return sine == other.sine && square == other.square && ssi == other.ssi &&
               analog == other.analog && filters == other.filters;
    }
    bool operator!=(const SettingsLayout& other) const { return !(*this == other); }
};

SettingsLayout settingsLayout(const InputSettings& inputs);

class SettingsValues {
public:
    // The choice lists of the dialog.
    static const std::vector<std::string>& rateChoices();      // samples per second
    static const std::vector<std::string>& lineWidthChoices(); // pixels
    static const std::vector<std::string>& wordTypeChoices();
    static const std::vector<std::string>& wordCountChoices();

    explicit SettingsValues(const InputSettings& inputs) { loadFromConfig(inputs); }

    // Takes every value from the configuration, with pages for its inputs.
    void loadFromConfig(const InputSettings& inputs);
    // Writes every value into the configuration; whether any stored value differs from before.
    // A rate that is not selected leaves the stored rate as it is.
    bool storeToConfig(InputSettings& inputs) const;
    // Whether the pages are the ones the configuration needs.
    bool fits(const InputSettings& inputs) const { return layout == settingsLayout(inputs); }

    // The rules of the SSI data composition, applied to every word row of every SSI page after
    // the user changed bits single, bits multi, or (neither flag) any other value of a row, the
    // number of words or the sample rate.
    void updateWordRows(bool singleChanged, bool multiChanged);
    // The rules once, when the values have not been through them since they came from the
    // configuration: the controls show rows that follow the rules from the first showing on.
    void applyPendingWordRules();

    SettingsLayout layout;
    int rate = -1;           // positions in the choice lists
    std::string displayTime; // s
    std::string logTime;     // s
    int lineWidth = 0;
    float substitute = 0.0f; // value written for every lost frame
    std::vector<SinePage> sine;
    std::vector<SquarePage> square;
    std::vector<SsiPage> ssi;
    std::vector<AnalogPage> analog;

private:
    bool wordRulesPending_ = true;
};
