#include "control/SettingsValues.h"
#include "signal/Filters.h"

#include <gtest/gtest.h>

namespace {

// One input of every kind: SinCos 1, HTL/TTL 2, SSI 3, Analog 4.
InputSettings everyKind() {
    InputSettings inputs;
    resizeInputs(inputs, 1, 1, 1, 1);
    return inputs;
}

TEST(SettingsValuesTest, ValuesAreShownInTheFormOfTheirControls) {
    InputSettings inputs = everyKind();
    inputs.rate = 12345; // not one of the listed rates
    inputs.lineWidth = 12;
    inputs.sineInputs[0].filtera = 1000; // not a filter frequency: the box uses 777 Hz
    inputs.sineInputs[0].threshold = -20;
    inputs.ssiInputs[0].numWords = 0;
    inputs.analogInputs[0].filter = filterFrequency(inputs.systemFrequency, 3);
    const SettingsValues values(inputs);

    EXPECT_EQ(values.rate, -1);
    EXPECT_EQ(values.displayTime, "1.000000000000");
    EXPECT_EQ(values.lineWidth, 0);
    EXPECT_EQ(values.sine.at(0).periods, "1024.000000000000");
    EXPECT_EQ(values.sine.at(0).threshold, "-20");
    EXPECT_EQ(values.sine.at(0).filterA, 2);
    EXPECT_EQ(values.analog.at(0).filter, 3);
    EXPECT_EQ(values.ssi.at(0).frequency, "200");
    EXPECT_EQ(values.ssi.at(0).numWords, -1);
    EXPECT_EQ(values.layout.filters, filterFrequencies(inputs.systemFrequency));
}

TEST(SettingsValuesTest, StoringReportsWhetherAnythingChanged) {
    InputSettings inputs = everyKind();
    inputs.ssiInputs[0].numWords = 1;
    inputs.ssiInputs[0].words[0] = {12, true, 0, 12, 0, 0.25, true};
    inputs.sineInputs[0].filter = filterFrequency(inputs.systemFrequency, 2);
    // The default filters of HTL/TTL and analog inputs are not among the frequencies.
    inputs.squareInputs[0].filter = filterFrequency(inputs.systemFrequency, 0);
    inputs.analogInputs[0].filter = filterFrequency(inputs.systemFrequency, 3);
    SettingsValues values(inputs);
    const InputSettings before = inputs;
    EXPECT_FALSE(values.storeToConfig(inputs));

    // Typed as double, kept in single precision.
    values.sine[0].periods = "1000.1";
    EXPECT_TRUE(values.storeToConfig(inputs));
    EXPECT_EQ(inputs.sineInputs[0].periods, 1000.0999755859375);
    EXPECT_FALSE(values.storeToConfig(inputs));

    const auto changes = [&](auto edit) {
        SettingsValues edited(before);
        InputSettings target = before;
        edit(edited);
        return edited.storeToConfig(target);
    };
    EXPECT_TRUE(changes([](SettingsValues& v) { v.rate = 0; }));
    EXPECT_TRUE(changes([](SettingsValues& v) { v.logTime = "2"; }));
    EXPECT_TRUE(changes([](SettingsValues& v) { v.substitute = 5.0f; }));
    EXPECT_TRUE(changes([](SettingsValues& v) { v.square[0].filter = 1; }));
    EXPECT_TRUE(changes([](SettingsValues& v) { v.ssi[0].rows[0].scale = "0.5"; }));
    EXPECT_TRUE(changes([](SettingsValues& v) { v.ssi[0].rows[7].mzero = true; }));
    EXPECT_TRUE(changes([](SettingsValues& v) { v.analog[0].filter = 7; }));
    // Integer texts that are not integers read as 0.
    EXPECT_TRUE(changes([](SettingsValues& v) { v.ssi[0].frequency = "12.5"; }));
    EXPECT_FALSE(changes([](SettingsValues& v) { v.ssi[0].frequency = " 200 "; }));
}

TEST(SettingsValuesTest, UnselectedOrUnlistedChoicesStoreSoundValues) {
    InputSettings inputs = everyKind();
    inputs.rate = 12345;
    inputs.analogInputs[0].filter = 1024; // not a filter frequency: the box uses 777 Hz
    inputs.ssiInputs[0].numWords = 0;
    SettingsValues values(inputs);
    EXPECT_TRUE(values.storeToConfig(inputs));
    // No rate selected: the rate stays instead of becoming 0.
    EXPECT_EQ(inputs.rate, 12345);
    EXPECT_EQ(inputs.analogInputs[0].filter, 777);
    EXPECT_EQ(inputs.ssiInputs[0].numWords, 0);
    EXPECT_FALSE(values.storeToConfig(inputs));
}

TEST(SettingsValuesTest, ValuesForOtherInputsStoreOnlyWhatBothHave) {
    InputSettings inputs = everyKind();
    SettingsValues values(inputs);
    values.analog[0].filter = 5;
    resizeInputs(inputs, 3, 0, 0, 0);
    inputs.systemFrequency = 48000000;
    EXPECT_FALSE(values.fits(inputs));
    values.sine[0].periods = "500";
    EXPECT_TRUE(values.storeToConfig(inputs));
    EXPECT_EQ(inputs.sineInputs[0].periods, 500.0);
    EXPECT_EQ(inputs.sineInputs[1].periods, 1024.0);

    values.loadFromConfig(inputs);
    EXPECT_TRUE(values.fits(inputs));
    EXPECT_EQ(values.sine.size(), 3u);
    EXPECT_TRUE(values.analog.empty());
}

} // namespace
