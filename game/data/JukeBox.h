#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TiXmlElement;

namespace Lumo {
class MusicInterface;
class SoundInstance;
class SoundManager;
} // namespace Lumo

// The game's music and sound tables from "res\jukebox.xml": the music files
// (media), the songs played from them, and the samples loaded into the sound
// manager under consecutive ids. One per process.
class JukeBox {
public:
    static constexpr uint32_t kLoaded = 1;
    static constexpr uint32_t kRequested = 2;
    // The looping sound of the counting text labels.
    static constexpr int32_t kLoopSample = 20;
    static constexpr int32_t kMaxPlaying = 16;

    struct Media {
        std::string name;
        uint32_t flags = 0;
    };
    struct Song {
        int32_t media = 0;
        // A module order or a stream byte position, as the music player reads it.
        int32_t start = 0;
        float maxVolume = 1.0f;
    };

    static JukeBox& Get();

    // Either may be null: then music or samples are left out.
    void SetPlayers(Lumo::MusicInterface* music, Lumo::SoundManager* sounds);
    void LoadFromXml(const TiXmlElement* root);
    void RequestMedia(int32_t media);
    // Loads the requested media that are not loaded yet and unloads the others.
    void CheckLoaded();
    // Unknown song ids are ignored.
    void PlaySong(int32_t song, float fadeSpeed);
    void FadeOutSong(int32_t song, float fadeSpeed);
    void CrossFade(int32_t fromSong, int32_t toSong, float outSpeed, float inSpeed);
    // At most one looping instance of the loop sample plays.
    void StartLoopSample();
    void StopLoopSample();
    // The playing-table entry of the sample, -1 when it has none.
    int32_t FindPlaying(int32_t sample) const;
    // Empties every table; playing instances are released.
    void Clear();

    const std::vector<Media>& GetMedia() const { return mMedia; }
    const std::vector<Song>& GetSongs() const { return mSongs; }
    int32_t PlayingCount() const { return int32_t(mPlaying.size()); }

private:
    struct Playing {
        int32_t sample;
        Lumo::SoundInstance* instance;
    };

    const Song* FindSong(int32_t song) const;

    Lumo::MusicInterface* mMusic = nullptr;
    Lumo::SoundManager* mSounds = nullptr;
    std::vector<Media> mMedia;
    std::vector<Song> mSongs;
    std::vector<Playing> mPlaying;
};
