#include "framework/audio/MusicInterface.h"

namespace Lumo {

MusicInterface::~MusicInterface() = default;

void MusicInterface::InitSongs(int32_t) {}
bool MusicInterface::LoadMusic(int32_t, const std::string&) { return false; }
void MusicInterface::PlayMusic(int32_t, int32_t, bool) {}
void MusicInterface::StopMusic(int32_t) {}
void MusicInterface::PauseMusic(int32_t) {}
void MusicInterface::ResumeMusic(int32_t) {}
void MusicInterface::StopAllMusic() {}
void MusicInterface::UnloadMusic(int32_t) {}
void MusicInterface::UnloadAllMusic() {}
void MusicInterface::PauseAllMusic() {}
void MusicInterface::ResumeAllMusic() {}
void MusicInterface::FadeOutThenFadeIn(int32_t, float, int32_t, float, int32_t) {}
void MusicInterface::FadeIn(int32_t, int32_t, float, bool) {}
void MusicInterface::FadeOut(int32_t, bool, float) {}
void MusicInterface::FadeOutAll(bool, float) {}
void MusicInterface::SetSongVolume(int32_t, float) {}
void MusicInterface::SetSongMaxVolume(int32_t, float) {}
bool MusicInterface::IsPlaying(int32_t) { return false; }
void MusicInterface::SetVolume(float) {}
void MusicInterface::SetMusicAmplify(int32_t, float) {}
void MusicInterface::Update() {}

} // namespace Lumo
