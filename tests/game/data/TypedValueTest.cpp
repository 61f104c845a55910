#include "game/data/TypedValue.h"

#include <gtest/gtest.h>

namespace {

TEST(TypedValueTest, ReadsEveryTypeAsIntAndDouble)
{
    struct Case {
        const char* name;
        TypedValue value;
        int32_t asInt;
        double asDouble;
    };
    auto make = [](int32_t type, auto raw) {
        TypedValue value;
        value.Store(type, raw);
        return value;
    };
    TypedValue text;
    text.mType = TypedValue::kText;
    text.mText = "12abc";
    TypedValue empty;
    empty.mType = 8;

    const Case cases[] = {
        {"float", make(TypedValue::kFloat, -2.7f), -2, double(-2.7f)},
        {"double", make(TypedValue::kDouble, 0.1), 0, double(0.1f)},
        {"unsigned 32", make(TypedValue::kUInt32, 0xFFFFFFFFu), -1, 4294967295.0},
        {"text", text, 12, 12.0},
        {"tag 8", empty, 0, 0.0},
        {"signed 8", make(TypedValue::kInt8, int8_t(-5)), -5, -5.0},
        {"signed 16", make(TypedValue::kInt16, int16_t(-300)), -300, -300.0},
        {"unsigned 8", make(TypedValue::kUInt8, uint8_t(250)), 250, 250.0},
        {"unsigned 16", make(TypedValue::kUInt16, uint16_t(65535)), 65535, 65535.0},
        {"signed 32", make(TypedValue::kInt32, int32_t(-70000)), -70000, -70000.0},
        {"bool", make(TypedValue::kBool, uint8_t(2)), 1, 1.0},
        {"huge double", make(TypedValue::kDouble, 1e12), INT32_MAX, double(1e12f)},
        {"tag 12", make(12, int32_t(3)), 0, 0.0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ValueAsInt(c.value), c.asInt) << c.name;
        EXPECT_EQ(ValueAsDouble(c.value), c.asDouble) << c.name;
    }
}

} // namespace
