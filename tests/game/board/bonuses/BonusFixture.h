#pragma once

#include "game/board/bonuses/CBonusBanner.h"
#include "game/board/bonuses/BonusEffectLinks.h"
#include "game/board/bonuses/CBonusBase.h"
#include "game/board/bonuses/CBonusTime.h"
#include "game/board/levels/CEnergyMeter.h"
#include "game/board/bonuses/CFieldBonuses.h"
#include "tests/game/board/play/ProcessorFixture.h"

#include <string>
#include <vector>

namespace BoardTest {

// A level's energy with the panel's bar, recorded.
struct RecordingEnergy : CEnergyMeter {
    int32_t Energy() const override { return mEnergy; }
    void SetEnergy(int32_t energy) override { mEnergy = energy; }
    void ShowEnergy(int32_t percent, bool, float) override { mPercent = percent; }
    void SetChanged() override {}

    int32_t mEnergy = 500;
    int32_t mPercent = -1;
};

// The processor fixture with the sample bonus file, the banner, the time
// bonus and the bonuses on the field wired together.
class BonusFixture : public ProcessorFixture {
protected:
    BonusFixture();
    ~BonusFixture() override;

    // Frames until no process but the processor's own is left; false when
    // some process is still running after limit frames.
    bool RunUntilIdle(int32_t limit = 20000);
    bool Idle() const;
    // What is in use now counts as the start: processes and tracks.
    void TakeBaseline();
    // Tracks taken from the store beyond those in use at the start.
    int32_t TracksTaken() const;
    int32_t PopupRecordsInUse();
    int32_t SlotsOfKind(int32_t kind) const;
    // Puts a bonus of the id on the block at (column, row) and lets it come on.
    BonusRecord* PlaceVisibleBonus(int32_t id, int32_t column, int32_t row);
    // The links of a field-changing bonus effect over this fixture.
    BonusEffectLinks EffectLinks(CBonusLevel& level, CFieldActivity& activity, CImageAtlas* atlas = nullptr);

    CBonusBase mBase;
    CBonusBanner mBanner{mProcessor, mField, mImages, mTracks};
    CBonusTime mTime{mProcessor, mTracks};
    RecordingEnergy mEnergy;
    CFieldBonuses mBonuses;
    int32_t mIdleProcesses = 0;
    size_t mTracksAtStart = 0;
};

} // namespace BoardTest
