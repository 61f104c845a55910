#pragma once

#include "framework/audio/BASS_INSTANCE.h"
#include "framework/audio/BassMusicSong.h"
#include "framework/audio/MusicInterface.h"
#include "platform/windows/WindowTypes.h"

#include <memory>
#include <vector>

namespace Lumo {

// Plays the songs through the music library: modules from memory (read
// through the archive layer), WAV, Ogg Vorbis and MP3 files as streams from
// disk. Ids outside the song table are ignored.
class BassMusicInterface : public MusicInterface {
public:
    // The library's player, or the silent base player (logged) when the music
    // library is missing or incomplete.
    static std::unique_ptr<MusicInterface> Create(Platform::HWND window);
    ~BassMusicInterface() override;

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

private:
    // The binding is already acquired (LoadBassDLL).
    explicit BassMusicInterface(Platform::HWND window);

    // The song of a valid id; null otherwise.
    BassMusicSong* Song(int32_t id);
    bool FindInFadeList(int32_t id, int32_t* index) const;
    void AddToFadeList(int32_t id);
    void RemoveFromFadeList(int32_t id);
    void ApplyVolume(const BassMusicSong& song);
    void StartChannel(BassMusicSong& song, int32_t offset, bool noLoop);
    void BassPlayModuleAt(const BassMusicSong& song, int32_t offset, Platform::DWORD loopFlags);
    void BassPlayStream(const BassMusicSong& song, int32_t offset, Platform::DWORD loopFlags);
    void BassResumeChannel(const BassMusicSong& song);
    void BassMusicSetAttribute0(const BassMusicSong& song, Platform::DWORD value);

    BASS_INSTANCE& mBass;
    std::vector<BassMusicSong> mSongs;
    std::vector<int32_t> mFadeList;
    int32_t mSongCount = 0;
    int32_t mFadeCount = 0;
    int32_t mVolumeScale = 40;
};

} // namespace Lumo
