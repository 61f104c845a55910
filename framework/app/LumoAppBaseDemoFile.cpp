#include "framework/app/LumoAppBase.h"

#include "framework/core/AppLog.h"
#include "framework/core/RandomNumber.h"
#include "platform/storage/AtomicFile.h"
#include "platform/storage/Files.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace Lumo {

using namespace Platform;

namespace {

constexpr uint32_t kDemoMagic = 0x42BEEF78;
constexpr uint32_t kDemoVersion = 2;
// As much as the record buffer can address in bits.
constexpr uint64_t kLargestDemo = INT32_MAX / 8;

// The file's bytes, read from the front; what lies past the end reads as 0,
// as a short read would leave it.
class DemoFileReader {
public:
    explicit DemoFileReader(std::vector<uint8_t> bytes) : mBytes(std::move(bytes)) {}

    uint32_t ReadU32() { return uint32_t(ReadU16()) | uint32_t(ReadU16()) << 16; }
    uint16_t ReadU16() { return uint16_t(ReadU8() | ReadU8() << 8); }
    uint8_t ReadU8() { return mPosition < mBytes.size() ? mBytes[mPosition++] : uint8_t(0); }
    // The bytes that remain after the current position, 0 at the end.
    int64_t Remaining() const { return int64_t(mBytes.size()) - int64_t(mPosition); }
    // Up to count bytes from the current position.
    std::vector<uint8_t> Take(int64_t count)
    {
        const size_t length = size_t(std::clamp<int64_t>(count, 0, std::max<int64_t>(Remaining(), 0)));
        std::vector<uint8_t> taken(mBytes.begin() + long(mPosition), mBytes.begin() + long(mPosition + length));
        mPosition += length;
        return taken;
    }

private:
    std::vector<uint8_t> mBytes;
    size_t mPosition = 0;
};

void AppendU32(std::string& out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(char(uint8_t(value >> (8 * i))));
}

} // namespace

bool LumoAppBase::OpenDemoFile(std::string& error)
{
    const std::string path = NativePath(mDemoFileName);
    std::string read;
    const WholeFile result = ReadWholeFile(path, kLargestDemo, &read);
    if (result == WholeFile::Missing) {
        error = "Demo file not found: " + path;
        return false;
    }
    if (result != WholeFile::Read) {
        error = "Invalid demo file.";
        return false;
    }
    std::vector<uint8_t> bytes(read.begin(), read.end());
    DemoFileReader file(std::move(bytes));
    if (file.ReadU32() != kDemoMagic) {
        error = "Invalid demo file.";
        return false;
    }
    const uint32_t version = file.ReadU32();
    mRandSeed = file.ReadU32();
    SeedRandom(mRandSeed);

    const uint16_t versionLength = std::min<uint16_t>(file.ReadU16(), 255);
    const std::vector<uint8_t> stored = file.Take(versionLength);
    std::string storedVersion(stored.begin(), stored.end());
    storedVersion = storedVersion.substr(0, storedVersion.find('\0'));
    if (storedVersion != mProductVersion) {
        error = "This demo file appears to be for '" + storedVersion + "'";
        return false;
    }

    int64_t remaining = file.Remaining();
    if (version >= 2) {
        const int32_t blockLength = int32_t(file.ReadU32());
        remaining -= 4;
        // A negative length comes only from a damaged file.
        if (blockLength < 0 || blockLength >= remaining) {
            error = "Invalid demo file.";
            return false;
        }
        const std::vector<uint8_t> block = file.Take(blockLength);
        Buffer markers;
        markers.WriteBytes(block.data(), int32_t(block.size()));
        markers.RewindRead();
        const int32_t count = markers.ReadLong();
        int32_t read = 0;
        mDemoMarkers.clear();
        for (; read < count && !markers.AtEnd(); ++read) {
            DemoMarker marker;
            marker.mName = markers.ReadString();
            marker.mUpdate = markers.ReadLong();
            mDemoMarkers.push_back(marker);
        }
        if (read < count) {
            error = "Invalid demo file.";
            return false;
        }
        remaining -= blockLength;
    }

    mDemoTotalUpdates = int32_t(file.ReadU32());
    remaining -= 4;
    if (remaining <= 0) {
        error = "Invalid demo file.";
        return false;
    }
    const std::vector<uint8_t> records = file.Take(remaining);
    mDemoBuffer.WriteBytes(records.data(), int32_t(std::min<size_t>(records.size(), size_t(INT32_MAX / 8))));
    mDemoBuffer.RewindRead();
    return true;
}

void LumoAppBase::DemoFinish()
{
    if (!mRecording)
        return;
    Buffer markers;
    markers.WriteLong(int32_t(mDemoMarkers.size()));
    for (const DemoMarker& marker : mDemoMarkers) {
        markers.WriteString(marker.mName);
        markers.WriteLong(marker.mUpdate);
    }

    std::string out;
    AppendU32(out, kDemoMagic);
    AppendU32(out, kDemoVersion);
    AppendU32(out, mRandSeed);
    const uint16_t versionLength = uint16_t(mProductVersion.size());
    out.push_back(char(versionLength & 0xFF));
    out.push_back(char(versionLength >> 8));
    out.append(mProductVersion, 0, versionLength);
    AppendU32(out, uint32_t(markers.GetDataLen()));
    out.append(reinterpret_cast<const char*>(markers.GetDataPtr()), size_t(markers.GetDataLen()));
    AppendU32(out, uint32_t(mUpdateCount));
    if (mDemoBuffer.GetDataLen() > 0)
        out.append(reinterpret_cast<const char*>(mDemoBuffer.GetDataPtr()), size_t(mDemoBuffer.GetDataLen()));
    std::string error;
    if (!WriteFileAtomically(NativePath(mDemoFileName), out, &error))
        AppLog::GetInstance()->Printf(AppLog::kToFile, "The recorded demo is lost: %s", error.c_str());
}

} // namespace Lumo
