#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// The small files the player keeps ("users.dat", "scores.dat"): looked for in
// the user data folder first and then in the working folder, read through the
// archive layer, and written whole to a temporary file that is renamed into
// place, so that a crash leaves the old file or the new one.
class PlayerFile {
public:
    // At most limit + 1 bytes, so that the caller can tell an oversized file;
    // nothing when neither place has the file.
    static std::optional<std::string> Read(const std::string& name, size_t limit);
    // The data folder first, then the working folder; false when neither could be written.
    static bool Write(const std::string& name, const std::string& bytes);

    // Little-endian 32-bit integers, the byte order of both files.
    static void PutInt32(std::string& bytes, int32_t value);
    static int32_t GetInt32(const char* bytes);
    // Whether a fixed name field holds a terminated name with nothing but zeros after it.
    static bool IsCleanName(const char* field, size_t size);
};
