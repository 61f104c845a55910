#include "game/board/play/ProcessSlot.h"
#include "tests/game/board/bonuses/BonusFixture.h"

#include <gtest/gtest.h>

namespace BoardTest {
namespace {

using CBonusBannerTest = BonusFixture;

// Each style lays the letters out from the word's centre, brings them in one
// by one, lets the word stand and leave, and ends with nothing left behind.
TEST_F(CBonusBannerTest, EveryStyleSpellsTheWordAndLeavesNothingBehind)
{
    // Fixed-width font: 8 wide, 10 high; the sample's "vertical" is 40.
    const int32_t y = -5 - 40;
    struct Case {
        int32_t variant;
        int32_t startX, startY;
    };
    for (const Case& c : {Case{CBonusBanner::kRise, -16, 300}, Case{CBonusBanner::kSlide, 400, y},
                          Case{CBonusBanner::kFade, -16, y}}) {
        mBanner.Spawn(c.variant, "BOMB");
        ASSERT_TRUE(mBanner.Showing());
        const std::vector<int32_t> letters = mBanner.LetterHandles();
        ASSERT_EQ(letters.size(), 4u);
        EXPECT_EQ(mBanner.EndX(), 32);
        for (size_t i = 0; i < letters.size(); ++i) {
            const PopupRecord& record = mField.Popup(letters[i]);
            EXPECT_EQ(record.mType, PopupRecord::kMovingImage);
            EXPECT_EQ(record.mHidden, 1);
            EXPECT_EQ(record.mX, c.variant == CBonusBanner::kSlide ? 400 : c.startX + 8 * int32_t(i));
            EXPECT_EQ(record.mY, c.startY);
        }
        // Once the last letter has arrived, every letter stands in its place.
        bool settled = false;
        for (int32_t frame = 0; frame < 5000 && !settled; ++frame) {
            mProcessor.DispatchFinished(1.0f);
            settled = true;
            for (int32_t handle : letters) {
                const PopupRecord& record = mField.Popup(handle);
                settled = settled && record.mHidden == 0 && !record.mMoveTrack &&
                          (c.variant != CBonusBanner::kFade || !record.mColourTrack);
            }
        }
        ASSERT_TRUE(settled) << c.variant;
        for (size_t i = 0; i < letters.size(); ++i) {
            EXPECT_EQ(mField.Popup(letters[i]).mX, -16 + 8 * int32_t(i)) << c.variant;
            EXPECT_EQ(mField.Popup(letters[i]).mY, y) << c.variant;
        }
        ASSERT_TRUE(RunUntilIdle()) << c.variant;
        EXPECT_FALSE(mBanner.Showing());
        EXPECT_EQ(PopupRecordsInUse(), 0);
        EXPECT_EQ(TracksTaken(), 0);
    }
}

TEST_F(CBonusBannerTest, ANewBannerClearsTheOldAndAnEmptyNameStartsNothing)
{
    mBanner.Spawn(CBonusBanner::kRise, "AB");
    Frames(30);
    mBanner.Spawn(CBonusBanner::kFade, "C");
    EXPECT_EQ(PopupRecordsInUse(), 1);
    EXPECT_EQ(SlotsOfKind(kProcessBonusBanner), 1);
    ASSERT_TRUE(RunUntilIdle());
    EXPECT_EQ(PopupRecordsInUse(), 0);

    mBanner.Spawn(CBonusBanner::kSlide, "");
    EXPECT_TRUE(mBanner.Showing());
    EXPECT_EQ(SlotsOfKind(kProcessBonusBanner), 0);
    EXPECT_EQ(TracksTaken(), 0);
}

} // namespace
} // namespace BoardTest
