#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Small readers for the texts of command lines and options. They accept the whole text or
// nothing: a number followed by anything else is not a number.
namespace boxsim {

std::vector<std::string_view> splitText(std::string_view text, char separator);

std::optional<int64_t> parseInteger(std::string_view text);
std::optional<double> parseReal(std::string_view text);

} // namespace boxsim
