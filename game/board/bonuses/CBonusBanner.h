#pragma once

#include "game/data/pictures/CImageStrip.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class CAnimTrack;
class CGameField;
class CGameProcessor;
class CImageTable;
class CTrackBase;

// Spells a fired bonus's name across the screen letter by letter: each letter
// drawn into a cell of its own strip, put on the field's popup list and
// moved, coloured, zoomed and faded by tracks run as banner processes.
class CBonusBanner {
public:
    // The three styles: letters fly up from below, fly in from the centre, or fade in where they stand.
    static constexpr int32_t kRise = 1;
    static constexpr int32_t kSlide = 2;
    static constexpr int32_t kFade = 5;

    CBonusBanner(CGameProcessor& processor, CGameField& field, CImageTable& images, CTrackBase& tracks);
    ~CBonusBanner();
    CBonusBanner(const CBonusBanner&) = delete;
    CBonusBanner& operator=(const CBonusBanner&) = delete;

    // Takes the banner's tracks and registers its process kind.
    void Reset();
    // A banner showing is cleared first.
    void Spawn(int32_t variant, const std::string& name);
    // The follow-up of a banner track.
    void Update(CAnimTrack& track, int32_t slot);
    // Takes every letter off the screen and stops every banner track.
    void Clear();

    bool Showing() const { return mShowing != 0; }
    int32_t Variant() const { return mVariant; }
    int32_t EndX() const { return mEndX; }
    // The popup-list handles of the letters, in reading order.
    std::vector<int32_t> LetterHandles() const;

private:
    struct Letter {
        int32_t mPopup = -2;
        int32_t mCell = -2;
        int32_t mStartX = 0;
        int32_t mStartY = 0;
        int32_t mDeltaX = 0;
        int32_t mDeltaY = 0;
        CAnimTrack* mEntry = nullptr;
    };
    // The four effect tracks by role.
    enum Effect : size_t { kFadeTrack, kZoomTrack, kMoveTrack, kWordFlyTrack, kEffectCount };

    void ReleaseNextLetter();
    void OnWordStayEnd();
    void OnEffectTrackEnd(CAnimTrack& track);
    void SettleLetter(Letter& letter);
    void StartTimer(CAnimTrack*& track, float speed);
    void RunTrack(CAnimTrack*& track, int32_t definition);
    void StopTrack(CAnimTrack* track);
    // Every letter moves with track, scaled by (dx, dy), from where it stands.
    void MoveLetters(CAnimTrack* track, int32_t dx, int32_t dy);

    CGameProcessor& mProcessor;
    CGameField& mField;
    CImageTable& mImages;
    CTrackBase& mTracks;

    int32_t mVariant = 0;
    int32_t mStage = 0;
    int32_t mEndX = 0;
    CImageStrip mStrip;
    std::vector<Letter> mLetters;
    int32_t mReleased = 0;
    CAnimTrack* mLetterTimer = nullptr;
    CAnimTrack* mWordStay = nullptr;
    std::array<CAnimTrack*, kEffectCount> mEffects{};
    uint8_t mShowing = 0;
};
