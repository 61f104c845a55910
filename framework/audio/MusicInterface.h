#pragma once

#include <cstdint>
#include <string>

namespace Lumo {

// The music player. Songs are addressed by small ids; this base plays
// nothing (the player of the audio-off setting, and the fallback without a
// music library).
class MusicInterface {
public:
    virtual ~MusicInterface();

    virtual void InitSongs(int32_t count);
    virtual bool LoadMusic(int32_t id, const std::string& file);
    virtual void PlayMusic(int32_t id, int32_t offset, bool noLoop);
    virtual void StopMusic(int32_t id);
    virtual void PauseMusic(int32_t id);
    virtual void ResumeMusic(int32_t id);
    virtual void StopAllMusic();
    virtual void UnloadMusic(int32_t id);
    virtual void UnloadAllMusic();
    virtual void PauseAllMusic();
    virtual void ResumeAllMusic();
    virtual void FadeOutThenFadeIn(int32_t id, float outStep, int32_t nextId, float inStep, int32_t nextOffset);
    virtual void FadeIn(int32_t id, int32_t offset, float step, bool noLoop);
    virtual void FadeOut(int32_t id, bool stopWhenSilent, float step);
    virtual void FadeOutAll(bool stopWhenSilent, float step);
    virtual void SetSongVolume(int32_t id, float volume);
    virtual void SetSongMaxVolume(int32_t id, float volume);
    virtual bool IsPlaying(int32_t id);
    virtual void SetVolume(float volume);
    virtual void SetMusicAmplify(int32_t id, float amplify);
    virtual void Update();
};

} // namespace Lumo
