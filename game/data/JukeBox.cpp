#include "game/data/JukeBox.h"

#include "framework/audio/MusicInterface.h"
#include "framework/audio/SoundManager.h"
#include "framework/core/AppLog.h"
#include "game/data/XmlLoading.h"

#include <tinyxml.h>

#include <cstdint>


JukeBox& JukeBox::Get()
{
    static JukeBox jukeBox;
    return jukeBox;
}

void JukeBox::SetPlayers(Lumo::MusicInterface* music, Lumo::SoundManager* sounds)
{
    mMusic = music;
    mSounds = sounds;
}

void JukeBox::LoadFromXml(const TiXmlElement* root)
{
    mMedia.clear();
    mSongs.clear();
    if (!root)
        return;
    for (const TiXmlElement* media = root->FirstChildElement("media"); media;
         media = media->NextSiblingElement("media")) {
        const float maxVolume = XmlRangedAttribute(media, "maxvolume", 1.0f, 0.0f, 1.0f);
        for (const TiXmlElement* song = media->FirstChildElement("song"); song;
             song = song->NextSiblingElement("song")) {
            mSongs.push_back({int32_t(mMedia.size()), XmlRangedAttribute(song, "start", 0, 0, INT32_MAX), maxVolume});
        }
        mMedia.push_back({XmlTextAttribute(media, "src"), 0});
    }
    if (mMusic)
        mMusic->InitSongs(int32_t(mMedia.size()));
    if (!mSounds)
        return;
    uint32_t id = 0;
    for (const TiXmlElement* sample = root->FirstChildElement("sample"); sample;
         sample = sample->NextSiblingElement("sample"), ++id) {
        const std::string name = XmlTextAttribute(sample, "src");
        if (id < Lumo::SoundManager::kMaxSounds && mSounds->LoadSound(id, name))
            mSounds->SetBaseVolume(id, XmlRangedAttribute(sample, "volume", 1.0f, 0.0f, 1.0f));
        else
            Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile,
                                                "ERROR: JukeBox_LoadFromXml - can't load sound %s", name.c_str());
    }
}

void JukeBox::RequestMedia(int32_t media)
{
    if (media >= 0 && media < int32_t(mMedia.size()))
        mMedia[size_t(media)].flags |= kRequested;
}

void JukeBox::CheckLoaded()
{
    for (size_t i = 0; i < mMedia.size(); ++i) {
        Media& media = mMedia[i];
        if (media.flags & kLoaded)
            continue;
        if (media.flags & kRequested) {
            if (!mMusic || !mMusic->LoadMusic(int32_t(i), media.name))
                Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, "Error: music %s not loaded",
                                                    media.name.c_str());
            media.flags |= kLoaded;
        } else if (mMusic) {
            mMusic->UnloadMusic(int32_t(i));
        }
    }
}

const JukeBox::Song* JukeBox::FindSong(int32_t song) const
{
    if (!mMusic || song < 0 || song >= int32_t(mSongs.size()))
        return nullptr;
    return &mSongs[size_t(song)];
}

void JukeBox::PlaySong(int32_t song, float fadeSpeed)
{
    const Song* entry = FindSong(song);
    if (!entry)
        return;
    if (mMusic->IsPlaying(entry->media))
        mMusic->StopMusic(entry->media);
    mMusic->SetSongMaxVolume(entry->media, entry->maxVolume);
    mMusic->FadeIn(entry->media, entry->start, fadeSpeed, false);
}

void JukeBox::FadeOutSong(int32_t song, float fadeSpeed)
{
    if (const Song* entry = FindSong(song))
        mMusic->FadeOut(entry->media, true, fadeSpeed);
}

void JukeBox::CrossFade(int32_t fromSong, int32_t toSong, float outSpeed, float inSpeed)
{
    const Song* from = FindSong(fromSong);
    const Song* to = FindSong(toSong);
    if (from && to)
        mMusic->FadeOutThenFadeIn(from->media, outSpeed, to->media, inSpeed, to->start);
}

void JukeBox::StartLoopSample()
{
    if (!mSounds || FindPlaying(kLoopSample) >= 0 || int32_t(mPlaying.size()) >= kMaxPlaying)
        return;
    if (Lumo::SoundInstance* instance = mSounds->GetSoundInstance(kLoopSample)) {
        mPlaying.push_back({kLoopSample, instance});
        instance->Play(true);
    }
}

void JukeBox::StopLoopSample()
{
    const int32_t entry = mSounds ? FindPlaying(kLoopSample) : -1;
    if (entry < 0)
        return;
    Lumo::SoundInstance* instance = mPlaying[size_t(entry)].instance;
    mPlaying[size_t(entry)] = mPlaying.back();
    mPlaying.pop_back();
    instance->Release();
}

int32_t JukeBox::FindPlaying(int32_t sample) const
{
    for (size_t i = 0; i < mPlaying.size(); ++i) {
        if (mPlaying[i].sample == sample)
            return int32_t(i);
    }
    return -1;
}

void JukeBox::Clear()
{
    for (const Playing& playing : mPlaying)
        playing.instance->Release();
    mPlaying.clear();
    mMedia.clear();
    mSongs.clear();
}
