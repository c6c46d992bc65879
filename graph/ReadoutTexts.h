#pragma once

#include <string>

// What the position and speed readout shows for a value text of a graph: channels captioned
// exactly "x" feed the position, "v" the speed; any other caption is not shown.
enum class ReadoutField { None, Position, Speed };

ReadoutField readoutFieldFor(const std::string& caption);

// "-0.25000": five decimals, always with "." whatever the locale.
std::string positionReadout(double turns);
// "+12.5000 rpm": sign, four decimals, always with ".".
std::string speedReadout(double rpm);
