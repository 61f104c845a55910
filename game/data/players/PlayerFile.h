#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// One of the small files the player keeps ("users.dat", "scores.dat"). It
// lives in the user data folder and nowhere else: read from there through the
// archive layer, and written there whole to a temporary file that is renamed
// into place, so that a crash leaves the old file or the new one. A file of
// which not everything could be kept is moved aside before the next write.
class PlayerFile {
public:
    explicit PlayerFile(const char* name) : mName(name) {}

    const char* Name() const { return mName; }
    // At most limit + 1 bytes, so that the caller can tell an oversized file;
    // nothing when there is no such file or it cannot be read. A file that
    // could not be read, or not to its end, is logged and marked damaged.
    std::optional<std::string> Read(size_t limit);
    // What was read is not all kept: the file goes aside, as a numbered
    // ".damaged" copy, before the next write replaces it; while no copy can
    // be kept, no write replaces it.
    void MarkDamaged() { mDamaged = true; }
    // False, and logged, when the file could not be written or was not
    // written over for want of a copy.
    bool Write(const std::string& bytes);

    // Little-endian 32-bit integers, the byte order of both files.
    static void PutInt32(std::string& bytes, int32_t value);
    static int32_t GetInt32(const char* bytes);
    // Whether a fixed name field holds a terminated name with nothing but zeros after it.
    static bool IsCleanName(const char* field, size_t size);

private:
    // The user data folder's file, as the disk names it.
    std::string Path() const;
    // Logs why the file could not be read and keeps it from the next write.
    void NotRead(const char* cause);

    const char* mName;
    bool mDamaged = false;
};
