#include "game/data/animation/CIndexAllocator.h"

#include "tests/game/support/GameFixture.h"

namespace {

class CIndexAllocatorTest : public GameTest::GameFixture {};

TEST_F(CIndexAllocatorTest, ReleasedIdsComeBackLastFirst)
{
    CIndexAllocator ids;
    EXPECT_EQ(ids.Allocate(), 0);
    EXPECT_EQ(ids.Allocate(), 1);
    EXPECT_EQ(ids.Allocate(), 2);
    ids.Release(1);
    ids.Release(0);
    EXPECT_EQ(ids.Allocate(), 0);
    EXPECT_EQ(ids.Allocate(), 1);
    EXPECT_EQ(ids.Allocate(), 3);
}

// One id never goes to two owners: repeated or unknown releases are refused.
TEST_F(CIndexAllocatorTest, RefusesReleasesOfIdsNotHandedOut)
{
    CIndexAllocator ids;
    ids.Allocate();
    ids.Allocate();
    ids.Release(1);
    ids.Release(1);
    ids.Release(-2);
    ids.Release(5);
    EXPECT_EQ(ids.Allocate(), 1);
    EXPECT_EQ(ids.Allocate(), 2);
    EXPECT_TRUE(LogHas("ERROR: index -2 released twice or never taken"));
}

} // namespace
