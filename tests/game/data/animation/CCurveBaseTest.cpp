#include "game/data/animation/CAnimTrack.h"
#include "game/data/animation/CCurveBase.h"

#include "tests/game/support/GameFixture.h"

#include <cmath>
#include <cstring>

namespace {

class CCurveBaseTest : public GameTest::GameFixture {
protected:
    int Load(CCurveBase& curves, const char* xml)
    {
        TiXmlDocument document;
        document.Parse(xml);
        return curves.LoadCurve(document.RootElement());
    }
};

TEST_F(CCurveBaseTest, ReadsTheCurveFileAndKeepsTheFirstOfAName)
{
    WriteFile("res\\curves.xml", "<root>"
                                 "<arc><x src=\"0 1 0\"/><y src=\"5, 6, 7, 8\"/></arc>"
                                 "<arc><x src=\"9 9\"/><y src=\"9 9\"/></arc>"
                                 "<fade><x src=\"1 0\"/><y src=\"1 0\"/><z src=\"1 0\"/><w src=\"1 0\"/></fade>"
                                 "</root>");
    CCurveBase curves;
    const CCurve* arc = curves.FindCurve("arc");
    ASSERT_NE(arc, nullptr);
    EXPECT_EQ(arc->PointCount(), 3);
    float point[2];
    SampleCurve2D(arc, point, 0.5f);
    EXPECT_EQ(point[0], 1.0f);
    EXPECT_EQ(point[1], 6.0f);
    // Registered, but not as a 2-channel curve.
    EXPECT_EQ(curves.FindCurve("fade"), nullptr);
    EXPECT_NE(curves.FindCurveOfChannels("fade", 4), nullptr);
    EXPECT_EQ(curves.FindCurve("none"), nullptr);
}

TEST_F(CCurveBaseTest, ChannelRules)
{
    struct Case {
        const char* xml;
        int channels;
    };
    const Case cases[] = {
        {"<c1><x src=\"0 1 2 3 4\"/><y src=\"0 1 2 3\"/></c1>", 2},
        {"<c2><x src=\"0 1\"/></c2>", 1},
        {"<c3><x src=\"0 1\"/><y src=\"0 1\"/><z src=\"0 1\"/></c3>", 3},
        {"<c4><x src=\"0 1\"/><y/></c4>", 0},
        {"<c5><w src=\"0 1\"/></c5>", 0},
        {"<c6><x src=\" \"/></c6>", 0},
        {"<c7/>", 0},
        {"<c8 name=\"\"><x src=\"1 2\"/></c8>", 1},
    };
    CCurveBase curves;
    for (const Case& c : cases)
        EXPECT_EQ(Load(curves, c.xml), c.channels) << c.xml;
    EXPECT_EQ(curves.FindCurve("c1")->PointCount(), 4);
    EXPECT_EQ(curves.FindCurveOfChannels("c4", 2), nullptr);
    EXPECT_NE(curves.FindCurveOfChannels("c8", 1), nullptr);
    // A name registered already answers with its channel count and reads nothing.
    EXPECT_EQ(Load(curves, "<c3><x src=\"5 5\"/></c3>"), 3);
    EXPECT_TRUE(LogHas("ERROR: curve c4 has no channel y"));
}

TEST_F(CCurveBaseTest, ChannelFromAFloatFileOnDisk)
{
    const float values[3] = {0.0f, 2.0f, 4.0f};
    WriteFile("res\\ramp.bin", std::string(reinterpret_cast<const char*>(values), sizeof(values)));
    CCurveBase curves;
    ASSERT_EQ(Load(curves, "<ramp name=\"r\"><x file=\"res\\ramp.bin\"/></ramp>"), 1);
    const CCurve* ramp = curves.FindCurveOfChannels("r", 1);
    ASSERT_NE(ramp, nullptr);
    EXPECT_EQ(ramp->PointCount(), 3);
    EXPECT_EQ(SampleCurve1D(ramp, 1.0f), 4.0f);
}

TEST_F(CCurveBaseTest, SamplesPassThroughThePointsWithCubicSegments)
{
    CCurve line{1, 0, {0.0f, 1.0f}};
    CCurve peak{1, 0, {0.0f, 1.0f, 0.0f}};
    CCurve single{1, 0, {3.0f}};
    struct Case {
        const CCurve* curve;
        float t;
        float value;
    };
    const Case cases[] = {
        {&line, 0.0f, 0.0f},     {&line, 0.5f, 0.5f},    {&line, 1.0f, 1.0f},
        {&peak, 0.5f, 1.0f},     {&peak, 0.25f, 0.5625f}, {&peak, 1.0f, 0.0f},
        // Times outside 0 ... 1 are held at the ends.
        {&peak, -3.0f, 0.0f},    {&line, 250.0f, 1.0f},  {&line, std::nanf(""), 0.0f},
        {&single, 0.7f, 3.0f},   {nullptr, 0.5f, 0.0f},
    };
    for (const Case& c : cases)
        EXPECT_FLOAT_EQ(SampleCurve1D(c.curve, c.t), c.value) << c.t;

    // Channels the curve lacks read 0.
    float out[4] = {9, 9, 9, 9};
    SampleCurve4D(&peak, out, 0.5f);
    EXPECT_EQ(out[0], 1.0f);
    EXPECT_EQ(out[3], 0.0f);
}

TEST(TruncateToIntTest, IntegerSamplesTruncateAndSaturate)
{
    CCurve path{2, 0, {0.0f, 0.0f, -5.0f, 9.0f}};
    CAnimTrack track;
    track.mCurve = &path;
    track.mTime = 0.5f;
    int32_t x = 0, y = 0;
    SampleCurve2DInt(track, &x, &y);
    EXPECT_EQ(x, -2);
    EXPECT_EQ(y, 4);

    EXPECT_EQ(TruncateToInt(2.7f), 2);
    EXPECT_EQ(TruncateToInt(-2.7f), -2);
    EXPECT_EQ(TruncateToInt(1e20f), INT32_MAX);
    EXPECT_EQ(TruncateToInt(-1e20f), INT32_MIN);
    EXPECT_EQ(TruncateToInt(std::nanf("")), 0);
}

} // namespace
