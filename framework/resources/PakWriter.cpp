#include "framework/resources/PakWriter.h"

#include "framework/resources/PakFormat.h"
#include "platform/storage/AtomicFile.h"
#include "platform/storage/Files.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace fs = std::filesystem;

namespace {

void AppendU32(std::string* out, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out->push_back(char(value >> shift));
}

uint64_t FileTimeOf(const fs::path& path, std::error_code& error)
{
    auto written = fs::file_time_type::clock::to_sys(fs::last_write_time(path, error));
    auto sinceEpoch = written.time_since_epoch();
    auto seconds = std::chrono::floor<std::chrono::seconds>(sinceEpoch);
    auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(sinceEpoch - seconds);
    return Platform::FileTimeToU64(Platform::UnixTimeToFileTime(seconds.count(), uint32_t(nanoseconds.count())));
}

bool ReadWhole(const fs::path& path, std::string* bytes)
{
    std::ifstream in(path, std::ios::binary);
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad() && in.is_open();
}

} // namespace

bool PakWriter::Add(const std::string& name, const std::string& data, uint64_t fileTime)
{
    if (name.size() > PakFormat::kMaxNameLength)
        return false;
    mEntries.push_back(Entry{name, data, fileTime});
    return true;
}

bool PakWriter::AddFolder(const std::string& folder, bool realTimes, std::string* error)
{
    std::error_code code;
    fs::recursive_directory_iterator it(folder, code);
    for (; !code && it != fs::recursive_directory_iterator(); it.increment(code)) {
        if (!it->is_regular_file(code))
            continue;
        std::string name = fs::relative(it->path(), folder, code).generic_string();
        std::replace(name.begin(), name.end(), '/', '\\');
        std::string data;
        if (!ReadWhole(it->path(), &data)) {
            *error = "cannot read " + it->path().string();
            return false;
        }
        uint64_t fileTime = realTimes ? FileTimeOf(it->path(), code) : 0;
        if (code)
            break;
        if (!Add(name, data, fileTime)) {
            *error = "name longer than 255 bytes: " + name;
            return false;
        }
    }
    if (code) {
        *error = folder + ": " + code.message();
        return false;
    }
    return true;
}

void PakWriter::SortByKey()
{
    std::sort(mEntries.begin(), mEntries.end(), [](const Entry& a, const Entry& b) {
        std::string keyA = PakFormat::UpperKey(a.name);
        std::string keyB = PakFormat::UpperKey(b.name);
        return keyA != keyB ? keyA < keyB : a.name < b.name;
    });
}

std::string PakWriter::RepeatedName() const
{
    for (size_t i = 1; i < mEntries.size(); ++i)
        if (PakFormat::UpperKey(mEntries[i - 1].name) == PakFormat::UpperKey(mEntries[i].name))
            return mEntries[i].name;
    return "";
}

std::string PakWriter::PlainBytes() const
{
    std::string out;
    AppendU32(&out, PakFormat::kMagic);
    AppendU32(&out, PakFormat::kVersion);
    for (const Entry& entry : mEntries) {
        out.push_back(0);
        out.push_back(char(entry.name.size()));
        out += entry.name;
        AppendU32(&out, uint32_t(entry.data.size()));
        AppendU32(&out, uint32_t(entry.fileTime));
        AppendU32(&out, uint32_t(entry.fileTime >> 32));
    }
    out.push_back(char(PakFormat::kEndFlag));
    for (const Entry& entry : mEntries)
        out += entry.data;
    return out;
}

bool PakWriter::WriteFile(const std::string& path, std::string* error) const
{
    const std::string bytes = Bytes();
    if (bytes.size() > PakFormat::kMaxArchiveSize) {
        *error = "archive larger than 2 GiB";
        return false;
    }
    return Platform::WriteFileAtomically(path, bytes, error, Platform::AtLink::kReplace);
}

std::string PakWriter::Scramble(std::string bytes)
{
    for (char& c : bytes)
        c = char(uint8_t(c) ^ PakFormat::kScrambleKey);
    return bytes;
}
