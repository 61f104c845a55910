#include "game/data/FloatTable.h"

#include "tests/game/support/GameFixture.h"

#include <cstring>
#include <limits>

namespace {

class FloatTableTest : public GameTest::GameFixture {
protected:
    static std::string Bytes(std::initializer_list<float> values)
    {
        std::string bytes;
        for (float value : values) {
            char word[4];
            std::memcpy(word, &value, 4);
            bytes.append(word, 4);
        }
        return bytes;
    }
};

// Exactly the values the file holds: no repeat of the last one at the end.
TEST_F(FloatTableTest, AppendsTheWholeValuesOfTheFile)
{
    SharedFloatTable() = {7.0f};
    WriteFile("res\\curve.bin", Bytes({1.0f, 2.0f}) + "xy");
    EXPECT_EQ(LoadFloatTable("res\\curve.bin"), 2);
    EXPECT_EQ(SharedFloatTable(), (std::vector<float>{7.0f, 1.0f, 2.0f}));
}

TEST_F(FloatTableTest, StoresValuesThatAreNotFiniteAsZero)
{
    SharedFloatTable().clear();
    WriteFile("odd.bin", Bytes({std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                                -0.5f}));
    EXPECT_EQ(LoadFloatTable("odd.bin"), 3);
    EXPECT_EQ(SharedFloatTable(), (std::vector<float>{0.0f, 0.0f, -0.5f}));
}

TEST_F(FloatTableTest, MissingAndEmptyFilesAppendNothing)
{
    SharedFloatTable() = {3.0f};
    WriteFile("empty.bin", "");
    EXPECT_EQ(LoadFloatTable("empty.bin"), 0);
    EXPECT_EQ(LoadFloatTable("missing.bin"), 0);
    EXPECT_EQ(SharedFloatTable(), (std::vector<float>{3.0f}));
}

TEST_F(FloatTableTest, StopsAtTheTableLimit)
{
    SharedFloatTable().clear();
    WriteFile("long.bin", std::string(size_t(kMaxFloatTable + 1) * 4, '\0'));
    EXPECT_EQ(LoadFloatTable("long.bin"), kMaxFloatTable);
    EXPECT_EQ(SharedFloatTable().size(), size_t(kMaxFloatTable));
    // A device that never ends is no table at all.
    EXPECT_EQ(LoadFloatTable("/dev/zero"), 0);
}

// Only the disk is read, never an archive entry of the same name.
TEST_F(FloatTableTest, IgnoresTheArchive)
{
    SharedFloatTable().clear();
    AddArchiveFile("packed.bin", Bytes({5.0f}));
    MountArchive();
    EXPECT_EQ(LoadFloatTable("packed.bin"), 0);
}

} // namespace
