#include "tests/game/support/RecordingMusic.h"

#include <algorithm>
#include <sstream>

namespace GameTest {

namespace {

template <typename... Args>
std::string Line(const char* name, Args... args)
{
    std::ostringstream out;
    out << name;
    ((out << ' ' << args), ...);
    return out.str();
}

} // namespace

void RecordingMusic::InitSongs(int32_t count) { mCalls.push_back(Line("InitSongs", count)); }

bool RecordingMusic::LoadMusic(int32_t id, const std::string& file)
{
    mCalls.push_back(Line("LoadMusic", id, file));
    if (std::find(mRefusedFiles.begin(), mRefusedFiles.end(), file) != mRefusedFiles.end())
        return false;
    mLoaded[id] = file;
    return true;
}

void RecordingMusic::PlayMusic(int32_t id, int32_t offset, bool noLoop)
{
    mCalls.push_back(Line("PlayMusic", id, offset, noLoop));
    mPlaying[id] = true;
}

void RecordingMusic::StopMusic(int32_t id)
{
    mCalls.push_back(Line("StopMusic", id));
    mPlaying[id] = false;
}

void RecordingMusic::PauseMusic(int32_t id) { mCalls.push_back(Line("PauseMusic", id)); }

void RecordingMusic::ResumeMusic(int32_t id) { mCalls.push_back(Line("ResumeMusic", id)); }

void RecordingMusic::StopAllMusic()
{
    mCalls.push_back("StopAllMusic");
    mPlaying.clear();
}

void RecordingMusic::UnloadMusic(int32_t id)
{
    mCalls.push_back(Line("UnloadMusic", id));
    mLoaded.erase(id);
    mPlaying.erase(id);
}

void RecordingMusic::UnloadAllMusic()
{
    mCalls.push_back("UnloadAllMusic");
    mLoaded.clear();
    mPlaying.clear();
}

void RecordingMusic::PauseAllMusic() { mCalls.push_back("PauseAllMusic"); }

void RecordingMusic::ResumeAllMusic() { mCalls.push_back("ResumeAllMusic"); }

void RecordingMusic::FadeOutThenFadeIn(int32_t id, float outStep, int32_t nextId, float inStep, int32_t nextOffset)
{
    mCalls.push_back(Line("FadeOutThenFadeIn", id, outStep, nextId, inStep, nextOffset));
    mPlaying[id] = false;
    mPlaying[nextId] = true;
}

void RecordingMusic::FadeIn(int32_t id, int32_t offset, float step, bool noLoop)
{
    mCalls.push_back(Line("FadeIn", id, offset, step, noLoop));
    mPlaying[id] = true;
}

void RecordingMusic::FadeOut(int32_t id, bool stopWhenSilent, float step)
{
    mCalls.push_back(Line("FadeOut", id, stopWhenSilent, step));
    if (stopWhenSilent)
        mPlaying[id] = false;
}

void RecordingMusic::FadeOutAll(bool stopWhenSilent, float step)
{
    mCalls.push_back(Line("FadeOutAll", stopWhenSilent, step));
    if (stopWhenSilent)
        mPlaying.clear();
}

void RecordingMusic::SetSongVolume(int32_t id, float volume) { mCalls.push_back(Line("SetSongVolume", id, volume)); }

void RecordingMusic::SetSongMaxVolume(int32_t id, float volume)
{
    mCalls.push_back(Line("SetSongMaxVolume", id, volume));
}

bool RecordingMusic::IsPlaying(int32_t id)
{
    auto found = mPlaying.find(id);
    return found != mPlaying.end() && found->second;
}

void RecordingMusic::SetVolume(float volume) { mCalls.push_back(Line("SetVolume", volume)); }

void RecordingMusic::SetMusicAmplify(int32_t id, float amplify)
{
    mCalls.push_back(Line("SetMusicAmplify", id, amplify));
}

void RecordingMusic::Update() {}

} // namespace GameTest
