#include "game/data/animation/FrameName.h"

#include <cctype>
#include <cstdlib>

namespace {

struct Conversion {
    bool mLeft = false;
    bool mPlus = false;
    bool mSpace = false;
    bool mZero = false;
    int mWidth = 0;
    int mPrecision = -1;
};

// Up to two digits at pattern[i]; advances i.
int ReadSmallNumber(const std::string& pattern, size_t& i)
{
    int value = 0;
    for (int digits = 0; digits < 2 && i < pattern.size() && std::isdigit(static_cast<unsigned char>(pattern[i]));
         ++digits)
        value = value * 10 + (pattern[i++] - '0');
    return value;
}

std::string FormatNumber(const Conversion& c, int32_t number)
{
    std::string digits = std::to_string(std::llabs(int64_t(number)));
    if (c.mPrecision >= 0 && int(digits.size()) < c.mPrecision)
        digits.insert(0, size_t(c.mPrecision) - digits.size(), '0');
    if (c.mPrecision == 0 && number == 0)
        digits.clear();
    const std::string sign = number < 0 ? "-" : c.mPlus ? "+" : c.mSpace ? " " : "";
    const int pad = c.mWidth - int(sign.size() + digits.size());
    if (pad <= 0)
        return sign + digits;
    if (c.mLeft)
        return sign + digits + std::string(size_t(pad), ' ');
    if (c.mZero && c.mPrecision < 0)
        return sign + std::string(size_t(pad), '0') + digits;
    return std::string(size_t(pad), ' ') + sign + digits;
}

} // namespace

bool FormatFrameNumber(const std::string& pattern, int32_t number, std::string* out)
{
    out->clear();
    int conversions = 0;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') {
            out->push_back(pattern[i]);
            continue;
        }
        if (++i < pattern.size() && pattern[i] == '%') {
            out->push_back('%');
            continue;
        }
        Conversion c;
        for (; i < pattern.size(); ++i) {
            const char flag = pattern[i];
            if (flag == '-')
                c.mLeft = true;
            else if (flag == '+')
                c.mPlus = true;
            else if (flag == ' ')
                c.mSpace = true;
            else if (flag == '0')
                c.mZero = true;
            else if (flag != '#')
                break;
        }
        c.mWidth = ReadSmallNumber(pattern, i);
        if (i < pattern.size() && pattern[i] == '.') {
            ++i;
            c.mPrecision = ReadSmallNumber(pattern, i);
        }
        if (i >= pattern.size() || (pattern[i] != 'd' && pattern[i] != 'i') || ++conversions > 1)
            return false;
        *out += FormatNumber(c, number);
    }
    return conversions == 1;
}
