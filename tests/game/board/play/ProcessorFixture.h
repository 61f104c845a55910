#pragma once

#include "game/board/field/CGameField.h"
#include "game/board/levels/CLevelFlow.h"
#include "game/board/play/CBall.h"
#include "game/board/play/CBoardHost.h"
#include "game/board/play/CGameProcessor.h"
#include "game/data/pictures/CSceneObjBase.h"
#include "tests/game/board/field/SampleField.h"

#include <string>
#include <vector>

namespace BoardTest {

// A level that records what the processor asks of it.
struct RecordingLevel : CLevelFlow {
    int32_t GameMode() const override { return mGameMode; }
    int32_t ScoringMode() const override { return mScoringMode; }
    int32_t Points() const override { return mPoints; }
    void SetPoints(int32_t points) override { mPoints = points; }
    void UpdateProgressBar() override { mCalls.push_back("progress"); }
    void SetChanged() override { mCalls.push_back("changed"); }
    int32_t ApplyCombo() override
    {
        mCalls.push_back("combo");
        return mComboLevel;
    }
    int32_t ComboValue(int32_t level) const override { return level * 100; }
    bool GetHazardFlags(int32_t* flags) override
    {
        *flags = mHazards;
        return true;
    }
    void OnFieldSettled() override { mCalls.push_back("settled"); }
    void HandleState() override { mCalls.push_back("state"); }
    void StartIntro(int32_t variant) override { mCalls.push_back("intro " + std::to_string(variant)); }
    void StartOutro(int32_t variant) override { mCalls.push_back("outro " + std::to_string(variant)); }
    void StartFinalOutro() override { mCalls.push_back("final outro"); }
    void PickSuperbonusPiece() override { mCalls.push_back("pick piece"); }

    int32_t Count(const std::string& call) const;

    int32_t mGameMode = 1;
    int32_t mScoringMode = 0;
    int32_t mPoints = 0;
    int32_t mComboLevel = 0;
    int32_t mHazards = 0;
    std::vector<std::string> mCalls;
};

// A board widget and panel that record what the processor asks of them.
struct RecordingHost : CBoardHost {
    void PutToRest() override { mCalls.push_back("rest"); }
    void ResumePlay() override { mCalls.push_back("resume"); }
    bool PointerCell(int32_t* column, int32_t* row) const override
    {
        *column = mPointerColumn;
        *row = mPointerRow;
        return mPointerOver;
    }
    void CenterOnField() override { mCalls.push_back("centre"); }
    void BallSetDown() override { mCalls.push_back("set down"); }
    void LogInstanceStats(const char* prefix) override { mCalls.push_back(std::string("stats ") + prefix); }
    void SetCompletion(int32_t percent) override { mCompletion = percent; }
    void SetHazardTrack(int32_t hazard, CAnimTrack* track) override { mHazards[size_t(hazard)] = track; }
    void UndoFinished() override { mCalls.push_back("undo done"); }
    CAnimTrack* PanelPieceTrack(bool show) const override { return mPieceTracks[show ? 1 : 0]; }
    void SetPanelPieceDisplay(int32_t display) override { mPieceDisplays.push_back(display); }
    std::string ComboName(int32_t index) const override { return "combo" + std::to_string(index); }

    bool mPointerOver = false;
    int32_t mPointerColumn = 0;
    int32_t mPointerRow = 0;
    int32_t mCompletion = -1;
    CAnimTrack* mHazards[2] = {};
    // The panel's piece fades, out then in; the piece displays in the order set.
    CAnimTrack* mPieceTracks[2] = {};
    std::vector<int32_t> mPieceDisplays;
    std::vector<std::string> mCalls;
};

// The sample content's tables, field, ball and configuration, with the
// processor wired to recording stand-ins for the level and the board.
class ProcessorFixture : public SampleField {
protected:
    ProcessorFixture();
    ~ProcessorFixture() override;

    const TiXmlElement* Parse(const std::string& xml);
    // Runs the processor's step n times.
    void Frames(int32_t n, float dt = 1.0f);
    // Frames until a track of the speed has run once.
    static int32_t FramesFor(float speed);
    // Rules for colouring new blocks from four colours.
    void SetRules();
    // The cells of the picture, each with a block of its colour.
    void Fill(const std::vector<std::string>& rows);
    // Frames until only the combo window's slot is left and no block moves; false after a limit.
    bool RunUntilIdle();
    // Every cell holds one block that knows its cell and has the cell's
    // colour, nothing moves or leaves, and the step's stores are empty.
    void ExpectFieldConsistent();

    CSceneObjBase mSceneObjects{mImages, mAnims, mTracks};
    CBall mBall{mField, mImages, mAnims, mSceneObjects};
    RecordingLevel mLevel;
    RecordingHost mHost;
    CGameProcessor mProcessor;
};

} // namespace BoardTest
