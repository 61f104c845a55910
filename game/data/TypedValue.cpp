#include "game/data/TypedValue.h"

#include "game/data/NumberLists.h"
#include "game/data/animation/CCurve.h"


namespace {

template <typename T>
T Slot(const TypedValue& value)
{
    T result;
    std::memcpy(&result, value.mSlot, sizeof(T));
    return result;
}

int32_t TruncateDouble(double value)
{
    if (!(value == value))
        return 0;
    if (value >= 2147483647.0)
        return INT32_MAX;
    if (value <= -2147483648.0)
        return INT32_MIN;
    return int32_t(value);
}

} // namespace

int32_t ValueAsInt(const TypedValue& value)
{
    switch (value.mType) {
    case TypedValue::kInt8:
        return Slot<int8_t>(value);
    case TypedValue::kInt16:
        return Slot<int16_t>(value);
    case TypedValue::kInt32:
    case TypedValue::kUInt32:
        return Slot<int32_t>(value);
    case TypedValue::kUInt8:
        return Slot<uint8_t>(value);
    case TypedValue::kUInt16:
        return Slot<uint16_t>(value);
    case TypedValue::kFloat:
        return TruncateToInt(Slot<float>(value));
    case TypedValue::kDouble:
        return TruncateDouble(Slot<double>(value));
    case TypedValue::kText:
        return TextToInt(value.mText.c_str());
    case TypedValue::kBool:
        return Slot<uint8_t>(value) != 0 ? 1 : 0;
    default:
        return 0;
    }
}

double ValueAsDouble(const TypedValue& value)
{
    switch (value.mType) {
    case TypedValue::kInt8:
        return Slot<int8_t>(value);
    case TypedValue::kInt16:
        return Slot<int16_t>(value);
    case TypedValue::kInt32:
        return Slot<int32_t>(value);
    case TypedValue::kUInt8:
        return Slot<uint8_t>(value);
    case TypedValue::kUInt16:
        return Slot<uint16_t>(value);
    case TypedValue::kUInt32:
        return Slot<uint32_t>(value);
    case TypedValue::kFloat:
        return Slot<float>(value);
    case TypedValue::kDouble:
        return double(float(Slot<double>(value)));
    case TypedValue::kText:
        return double(TextToFloat(value.mText.c_str()));
    case TypedValue::kBool:
        return Slot<uint8_t>(value) != 0 ? 1.0 : 0.0;
    default:
        return 0.0;
    }
}
