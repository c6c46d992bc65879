// The rules of the SSI data composition: which values a word row may hold and which of its
// controls the user may change, given the number of words in use and the row's type and sign.

#include "control/SettingsValues.h"

#include "graph/NumberText.h"

#include <algorithm>

namespace {

constexpr int maxWordBits = 32;

void setRange(ControlState& control, int min, int max) {
    control.min = min;
    control.max = max;
}

void disable(ControlState& control, int min, int max) {
    control.enabled = false;
    setRange(control, min, max);
}

void clearUnusedRow(SsiWordRow& row) {
    row.bitsTotal = 0;
    disable(row.totalControl, 0, 0);
    row.sign = false;
    row.signControl.enabled = false;
    row.type = SSIInputWordDetails::Position;
    row.typeControl.enabled = false;
    row.bitsSingle = 0;
    disable(row.singleControl, 0, 0);
    row.bitsMulti = 0;
    disable(row.multiControl, 0, 0);
    row.scale.clear();
    row.scaleControl.enabled = false;
    row.mzero = false;
    row.mzeroControl.enabled = false;
}

// A row taken into use starts as an unsigned one-bit position word with scale 1.
void startRow(SsiWordRow& row) {
    row.bitsTotal = 1;
    row.sign = false;
    row.type = SSIInputWordDetails::Position;
    row.bitsSingle = 1;
    setRange(row.singleControl, 1, 1);
    row.bitsMulti = 0;
    setRange(row.multiControl, 0, 0);
    row.scale = fixedText(1.0, 12);
    row.mzero = false;
}

void applyRowRules(SsiWordRow& row, bool singleChanged, bool multiChanged) {
    if (row.bitsTotal == 0)
        startRow(row);
    // A word in use has at least one bit; 0 would take it out of use behind the count's back.
    row.totalControl.enabled = true;
    setRange(row.totalControl, 1, maxWordBits);
    row.bitsTotal = std::clamp(row.bitsTotal, 1, maxWordBits);
    row.typeControl.enabled = true;
    const int total = row.bitsTotal;
    const bool position = row.type == SSIInputWordDetails::Position;

    // Multi-turn bits exist only in unsigned position words; they fill what the single-turn
    // bits leave of the word.
    if (!position || row.sign) {
        row.bitsMulti = 0;
        row.multiControl.enabled = false;
    } else {
        if (singleChanged && !multiChanged)
            row.bitsMulti = total - row.bitsSingle;
        else if (!singleChanged && !multiChanged && total < row.bitsSingle + row.bitsMulti)
            row.bitsMulti = std::max(total - row.bitsSingle, 0);
        // The range follows the word in every case, so that the control never cuts the value.
        setRange(row.multiControl, 0, total - 1);
        row.multiControl.enabled = true;
    }

    // Single-turn bits: all of a signed position word, the rest of an unsigned one.
    if (!position) {
        row.bitsSingle = 0;
        disable(row.singleControl, 0, 0);
    } else {
        if (row.sign) {
            setRange(row.singleControl, 1, total);
            row.bitsSingle = total;
        } else if (!singleChanged) {
            setRange(row.singleControl, 1, total);
            row.bitsSingle = total - row.bitsMulti;
        }
        if (!row.singleControl.enabled) {
            row.singleControl.enabled = true;
            setRange(row.singleControl, 1, total);
        }
    }

    // A multi-turn position is never signed, nor is a single bit.
    row.signControl.enabled = !(position && row.bitsMulti != 0);
    if (total <= 1)
        row.signControl.enabled = false;
    if (!row.signControl.enabled)
        row.sign = false;

    // A velocity has no position to zero.
    row.mzeroControl.enabled = row.type != SSIInputWordDetails::Velocity;
    if (!row.mzeroControl.enabled)
        row.mzero = false;

    row.scaleControl.enabled = true;

    // What a spin control would make of a value outside its range.
    row.bitsSingle = std::clamp(row.bitsSingle, row.singleControl.min, row.singleControl.max);
    row.bitsMulti = std::clamp(row.bitsMulti, row.multiControl.min, row.multiControl.max);
}

} // namespace

void SettingsValues::updateWordRows(bool singleChanged, bool multiChanged) {
    for (SsiPage& page : ssi) {
        const int wordsInUse = page.numWords + 1;
        for (int r = 0; r < SSIInput::wordCount; ++r) {
            SsiWordRow& row = page.rows[static_cast<std::size_t>(r)];
            if (r < wordsInUse)
                applyRowRules(row, singleChanged, multiChanged);
            else
                clearUnusedRow(row);
        }
    }
    wordRulesPending_ = false;
}
