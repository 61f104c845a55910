#pragma once

#include <cstdint>
#include <string>

// Formats number into a data file's name pattern holding exactly one integer
// conversion ("%d" or "%i" with flags "-+ 0#", a width and a precision of at
// most two digits each; "%%" stands for "%"). The pattern is read here and
// never handed to printf. False for any other pattern.
bool FormatFrameNumber(const std::string& pattern, int32_t number, std::string* out);
