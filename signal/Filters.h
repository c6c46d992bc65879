#pragma once

#include <string>
#include <vector>

// The low-pass filters of the inputs have eight settings, 0 ... 7, each an octave above the
// previous one. The device commands take the setting; the configuration stores its frequency.
constexpr int filterSettingCount = 8;

// The frequency in Hz of a setting (clamped to 0 ... 7) for a box clocked at systemFrequency Hz.
int filterFrequency(int systemFrequency, int setting);

// The eight frequencies as decimal texts, for a choice list.
std::vector<std::string> filterFrequencies(int systemFrequency);

// The setting whose frequency is nearest to hz; the lower setting on a tie.
int filterIndex(int systemFrequency, int hz);
