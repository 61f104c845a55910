#pragma once

#include <cstdint>

class CAnimBase;
class CAnimTrack;
class CBonusBase;
class CFieldBonuses;
class CGameField;
class CGameProcessor;
class CTrackBase;
struct CFieldBlock;

// The shell: the field darkens, and while it acts every lit block the ball
// lands on opens in two animated steps; then the field lightens again.
class CBonusShell {
public:
    enum Phase : int32_t { kFadeToBlack = 0, kActing = 1, kUnfade = 2 };
    // A block's shell state.
    enum BlockState : int32_t { kClosed = 0, kOpening = 1, kOpen = 2, kDone = 3 };

    CBonusShell(CGameProcessor& processor, CGameField& field, CBonusBase& base, CTrackBase& tracks, CAnimBase& anims,
                CFieldBonuses& bonuses);
    ~CBonusShell();
    CBonusShell(const CBonusShell&) = delete;
    CBonusShell& operator=(const CBonusShell&) = delete;

    // Takes the shell track, registers the two process kinds and the field bonuses' shell hooks.
    void Init();
    bool Activate(int32_t phase);
    // Opens a closed block that no opening runs on.
    void UpdateFrame(CFieldBlock& block);
    void Finish();

    bool Active() const;
    int32_t Phase() const { return mPhase; }
    const CAnimTrack* Track() const { return mTrack; }
    // Blocks opened to the end during this shell.
    int32_t OpenedCount() const { return mOpened; }

private:
    void OnShellTrack();
    void OnBlockTrack(int32_t slot);
    void RunShellTrack(int32_t definition);

    CGameProcessor& mProcessor;
    CGameField& mField;
    CBonusBase& mBase;
    CTrackBase& mTracks;
    CAnimBase& mAnims;
    CFieldBonuses& mBonuses;
    CAnimTrack* mTrack = nullptr;
    int32_t mPhase = kFadeToBlack;
    int32_t mOpened = 0;
};
