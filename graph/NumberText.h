#pragma once

#include <string>

// Fixed-point text with the given number of decimals (at most 17) and "." as the decimal mark,
// whatever the process locale.
std::string fixedText(double value, int decimals);

// A live value: five decimals below 10, one fewer for every further digit, none from 100000.
std::string valueText(double value);
