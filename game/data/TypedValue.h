#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>

// One value of a small set of types with its type tag, readable as an int or
// a double whatever it holds.
struct TypedValue {
    enum Type : int32_t {
        kInt8 = 1,
        kInt16 = 2,
        kInt32 = 3,
        kFloat = 4,
        kDouble = 5,
        kText = 6,
        kBool = 7,
        kUInt8 = 9,
        kUInt16 = 10,
        kUInt32 = 11,
    };

    std::string mText;
    uint8_t mSlot[8] = {};
    int32_t mType = 0;

    // Stores value in the slot under type (the text goes to mText instead).
    template <typename T>
    void Store(int32_t type, T value)
    {
        static_assert(std::is_trivially_copyable_v<T> && sizeof(T) <= sizeof(mSlot));
        std::memset(mSlot, 0, sizeof(mSlot));
        std::memcpy(mSlot, &value, sizeof(T));
        mType = type;
    }
};

// Integers as their value, floats truncated toward zero (saturated), the
// text as atoi reads it, a bool as 0 or 1; any other tag 0.
int32_t ValueAsInt(const TypedValue& value);
// Integers as their value (tag 11 unsigned), doubles and the text at float
// precision, a bool as 0.0 or 1.0; any other tag 0.0.
double ValueAsDouble(const TypedValue& value);
