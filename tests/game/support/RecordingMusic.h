#pragma once

#include "framework/audio/MusicInterface.h"

#include <map>
#include <string>
#include <vector>

namespace GameTest {

// A music player that plays nothing: every call is kept as one line of text
// ("FadeIn 0 0 0.01 1"), songs load when their file name is not refused, and
// a song plays from PlayMusic or FadeIn until it is stopped or faded out.
class RecordingMusic final : public Lumo::MusicInterface {
public:
    void InitSongs(int32_t count) override;
    bool LoadMusic(int32_t id, const std::string& file) override;
    void PlayMusic(int32_t id, int32_t offset, bool noLoop) override;
    void StopMusic(int32_t id) override;
    void PauseMusic(int32_t id) override;
    void ResumeMusic(int32_t id) override;
    void StopAllMusic() override;
    void UnloadMusic(int32_t id) override;
    void UnloadAllMusic() override;
    void PauseAllMusic() override;
    void ResumeAllMusic() override;
    void FadeOutThenFadeIn(int32_t id, float outStep, int32_t nextId, float inStep, int32_t nextOffset) override;
    void FadeIn(int32_t id, int32_t offset, float step, bool noLoop) override;
    void FadeOut(int32_t id, bool stopWhenSilent, float step) override;
    void FadeOutAll(bool stopWhenSilent, float step) override;
    void SetSongVolume(int32_t id, float volume) override;
    void SetSongMaxVolume(int32_t id, float volume) override;
    bool IsPlaying(int32_t id) override;
    void SetVolume(float volume) override;
    void SetMusicAmplify(int32_t id, float amplify) override;
    void Update() override;

    std::vector<std::string> mCalls;
    // LoadMusic fails for these file names.
    std::vector<std::string> mRefusedFiles;
    std::map<int32_t, std::string> mLoaded;
    std::map<int32_t, bool> mPlaying;
};

} // namespace GameTest
