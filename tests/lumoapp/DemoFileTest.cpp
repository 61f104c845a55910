#include "tests/lumoapp/AppFixture.h"

#include "platform/windows/Messages.h"
#include "platform/windows/WindowConstants.h"

#include <cstdio>
#include <string>
#include <vector>

namespace LumoTest {
namespace {

using namespace Platform;

void PutU32(std::string& out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(char(uint8_t(value >> (8 * i))));
}

// A demo file: header, optional marker block, total, record bytes.
std::string DemoBytes(uint32_t version, const std::string& productVersion, const std::string& markers,
                      int32_t total, const std::string& records)
{
    std::string out;
    PutU32(out, 0x42BEEF78);
    PutU32(out, version);
    PutU32(out, 1234);
    out.push_back(char(productVersion.size()));
    out.push_back(0);
    out += productVersion;
    if (version >= 2) {
        PutU32(out, uint32_t(markers.size()));
        out += markers;
    }
    PutU32(out, uint32_t(total));
    return out + records;
}

class DemoFileTest : public AppFixture {
protected:
    // A playing app restores the demo volumes as it goes, into the test
    // app's player, whose record is gone by then.
    ~DemoFileTest() override
    {
        if (mApp)
            mApp->mPlaying = false;
    }

    // Opens bytes as the app's demo; the error text, or "" on success.
    std::string Open(const std::string& bytes)
    {
        const std::string path = mFolder / "test.dmo";
        std::FILE* file = std::fopen(path.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
        mApp->mDemoFileName = path;
        mApp->mDemoBuffer.Clear();
        mApp->mDemoMarkers.clear();
        std::string error;
        return mApp->OpenDemoFile(error) ? "" : error;
    }

    // Puts a finished stream into the app for playback from update 0.
    void Play(Lumo::Buffer& records)
    {
        mApp->mDemoBuffer = records;
        mApp->mDemoBuffer.RewindRead();
        mApp->mPlaying = true;
        mApp->mDemoNextUpdate = 0;
        mApp->mDemoNeedsHeader = true;
        mApp->mUpdateCount = 0;
    }
};

TEST_F(DemoFileTest, HeaderDeltasBridgeLongGapsWithFillers)
{
    ASSERT_NE(StartApp(), nullptr);
    struct Case {
        std::vector<int> updates;
        std::vector<std::pair<int, int>> headers; // (delta, long kind) as read back
    };
    const Case cases[] = {
        {{0, 15, 30}, {{0, 6}, {15, 6}, {15, 6}}},
        {{0, 15, 30, 46}, {{0, 6}, {15, 6}, {15, 6}, {15, 31}, {1, 6}}},
        {{16}, {{15, 31}, {1, 6}}},
        {{40}, {{15, 31}, {15, 31}, {10, 6}}},
    };
    for (const Case& c : cases) {
        mApp->mDemoBuffer.Clear();
        mApp->mDemoNextUpdate = 0;
        for (int update : c.updates) {
            mApp->mUpdateCount = update;
            mApp->DemoRecordKind(6);
        }
        mApp->mDemoBuffer.RewindRead();
        for (const auto& [delta, kind] : c.headers) {
            EXPECT_EQ(mApp->mDemoBuffer.ReadBits(4, false), delta);
            EXPECT_EQ(mApp->mDemoBuffer.ReadBits(1, false), 0);
            EXPECT_EQ(mApp->mDemoBuffer.ReadBits(5, false), kind);
        }
        EXPECT_TRUE(mApp->mDemoBuffer.AtEnd());
    }
}

TEST_F(DemoFileTest, MouseRecordsTakeTheShortFormBelow32PixelsAndWheelNotchesTruncate)
{
    ASSERT_NE(StartApp(), nullptr);
    mApp->mRecording = true;
    auto record = [&](uint32_t message, WPARAM wParam, int x, int y) {
        mApp->mDemoBuffer.Clear();
        mApp->DemoRecordInput(mApp->mHWnd, message, wParam, MAKELPARAM(x, y));
        mApp->mDemoBuffer.RewindRead();
        mApp->mDemoBuffer.ReadBits(4, false);
        return mApp->mDemoBuffer.ReadBits(1, false) == 1 ? "short " + std::to_string(mApp->mDemoBuffer.ReadBits(1, false))
                                                          : "long " + std::to_string(mApp->mDemoBuffer.ReadBits(5, false));
    };
    mApp->mDemoMouseX = 100;
    mApp->mDemoMouseY = 100;
    EXPECT_EQ(record(WM_MOUSEMOVE, 0, 131, 100), "short 0");
    EXPECT_EQ(mApp->mDemoBuffer.ReadBits(6, true), 31);
    EXPECT_EQ(record(WM_MOUSEMOVE, 0, 163, 100), "long 0");
    EXPECT_EQ(record(WM_LBUTTONDOWN, 0, 163, 100), "short 1"); // no move
    EXPECT_EQ(mApp->mDemoBuffer.ReadBits(1, false), 1);
    EXPECT_EQ(mApp->mDemoBuffer.ReadBits(3, true), 1);
    EXPECT_EQ(record(WM_MOUSEMOVE, 0, -1, 500), "long 0");
    EXPECT_EQ(mApp->mDemoBuffer.ReadBits(12, false), 4095);
    EXPECT_EQ(record(WM_MOUSEWHEEL, WPARAM(uint32_t(uint16_t(-120)) << 16), 0, 0), "long 21");
    EXPECT_EQ(mApp->mDemoBuffer.ReadBits(8, true), -1);
    EXPECT_EQ(record(WM_MOUSEWHEEL, WPARAM(60u << 16), 0, 0), "long 21");
    EXPECT_EQ(mApp->mDemoBuffer.ReadBits(8, true), 0);
}

TEST_F(DemoFileTest, OpeningReportsEachFaultWithItsText)
{
    ASSERT_NE(StartApp(), nullptr);
    mApp->mProductVersion = "1.01";
    std::string twoMarkers;
    PutU32(twoMarkers, 3);
    for (const char* name : {"a", "b"}) {
        twoMarkers += std::string("\x01\x00", 2) + name;
        PutU32(twoMarkers, 5);
    }
    // Version 1 has no block; the same bytes read as version 2 take the
    // total's place as a marker-block length of -16.
    std::string negativeBlock = DemoBytes(1, "1.01", "", -16, std::string(40, '\x01'));
    negativeBlock[4] = 2;

    struct Case {
        const char* what;
        std::string bytes;
        std::string error;
    };
    const Case cases[] = {
        {"bad magic", std::string("XXXX") + DemoBytes(2, "1.01", "\0\0\0\0", 9, "ab").substr(4), "Invalid demo file."},
        {"other version", DemoBytes(2, "1.0", std::string(4, '\0'), 9, "ab"), "This demo file appears to be for '1.0'"},
        {"fewer markers than counted", DemoBytes(2, "1.01", twoMarkers, 9, "ab"), "Invalid demo file."},
        {"no record bytes", DemoBytes(2, "1.01", std::string(4, '\0'), 9, ""), "Invalid demo file."},
        {"negative marker block", negativeBlock, "Invalid demo file."},
        {"version 1 without markers", DemoBytes(1, "1.01", "", 9, "ab"), ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Open(c.bytes), c.error) << c.what;
    EXPECT_EQ(mApp->mDemoTotalUpdates, 9);
    EXPECT_EQ(mApp->mRandSeed, 1234u);

    // The name the player sees is spelt with one separator.
    mApp->mDemoFileName = mFolder.Path() + "\\absent.dmo";
    std::string error;
    EXPECT_FALSE(mApp->OpenDemoFile(error));
    EXPECT_EQ(error, "Demo file not found: " + (mFolder / "absent.dmo"));

    // No byte is read of what is not a plain file: a device never ends.
    mApp->mDemoFileName = "/dev/zero";
    EXPECT_FALSE(mApp->OpenDemoFile(error));
    EXPECT_EQ(error, "Invalid demo file.");
}

TEST_F(DemoFileTest, FinishWritesTheLayoutThatOpeningReadsBack)
{
    ASSERT_NE(StartApp(), nullptr);
    mApp->mProductVersion = "2.5";
    mApp->mRandSeed = 0x01020304;
    mApp->mRecording = true;
    mApp->mUpdateCount = 3;
    mApp->DemoRecordKind(6);
    mApp->mUpdateCount = 77;
    mApp->mDemoFileName = mFolder / "out.dmo";
    mApp->DemoFinish();

    std::FILE* file = std::fopen((mFolder / "out.dmo").c_str(), "rb");
    ASSERT_NE(file, nullptr);
    std::string bytes(64, '\0');
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
    std::fclose(file);
    const std::string expected("\x78\xEF\xBE\x42\x02\0\0\0\x04\x03\x02\x01\x03\0" "2.5"
                               "\x04\0\0\0\0\0\0\0\x4D\0\0\0\xC3\0",
                               31);
    EXPECT_EQ(bytes, expected);

    mApp->mRecording = false;
    mApp->mDemoBuffer.Clear();
    mApp->mDemoFileName = mFolder / "out.dmo";
    std::string error;
    ASSERT_TRUE(mApp->OpenDemoFile(error)) << error;
    EXPECT_EQ(mApp->mDemoTotalUpdates, 77);
    EXPECT_EQ(mApp->mDemoBuffer.GetDataLen(), 2);
}

TEST_F(DemoFileTest, SyncStringInAllFourStates)
{
    ASSERT_NE(StartApp(), nullptr);
    std::string text = "live";
    Lumo::LumoAppBase::DemoSyncString(mApp.get(), text);
    EXPECT_EQ(text, "live");
    EXPECT_EQ(mApp->mDemoBuffer.GetDataLen(), 0);

    mApp->mRecording = true;
    Lumo::LumoAppBase::DemoSyncString(mApp.get(), text);
    EXPECT_EQ(text, "live");
    mApp->mRecording = false;

    Lumo::Buffer records = mApp->mDemoBuffer;
    Play(records);
    text = "other";
    Lumo::LumoAppBase::DemoSyncString(mApp.get(), text);
    EXPECT_EQ(text, "live");

    Play(records);
    mApp->mManualShutdown = true;
    text = "other";
    Lumo::LumoAppBase::DemoSyncString(mApp.get(), text);
    EXPECT_EQ(text, "other");
    EXPECT_EQ(mApp->mDemoBuffer.GetReadPosition(), 0);
}

// A data block that claims more bytes than the file holds ends the demo
// instead of reading on into nothing.
TEST_F(DemoFileTest, AnOverlongDataBlockEndsTheDemo)
{
    ASSERT_NE(StartApp(), nullptr);
    Lumo::Buffer records;
    records.WriteBits(0, 4);
    records.WriteBits(0, 1);
    records.WriteBits(18, 5);
    records.WriteLong(1000000);
    records.WriteBytes(reinterpret_cast<const uint8_t*>("abc"), 3);
    Play(records);
    Lumo::Buffer data;
    mApp->DemoSyncBuffer(data);
    EXPECT_EQ(data.GetDataLen(), 3);
    EXPECT_TRUE(mApp->mDemoEnded);
    EXPECT_TRUE(mApp->DemoReadRecordHeader()); // no update may run any more
}

} // namespace
} // namespace LumoTest
