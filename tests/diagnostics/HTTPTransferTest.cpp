#include "framework/diagnostics/HTTPTransfer.h"
#include "platform/network/Sockets.h"
#include "tests/diagnostics/FakeDiagnosticsHost.h"
#include "tests/diagnostics/HangingResolver.h"
#include "tests/diagnostics/LoopbackServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <thread>

namespace {

using Lumo::HTTPTransfer;
using LumoTest::LoopbackServer;

constexpr const char* kRequest = "GET /x HTTP/1.1\r\nHost: h\r\n\r\n";

// Polls until the transfer has left the running state (bounded).
int Finish(HTTPTransfer& transfer)
{
    for (int i = 0; i < 4000 && transfer.GetResult() == HTTPTransfer::kRunning; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return transfer.GetResult();
}

std::string Local(uint16_t port) { return "http://127.0.0.1:" + std::to_string(port) + "/x"; }

struct ReplyCase {
    const char* name;
    std::vector<std::string> pieces;
    int result;
    std::string content;
    LoopbackServer::Ending ending = LoopbackServer::Ending::kClose;
};

class HTTPReplyTest : public testing::TestWithParam<ReplyCase> {};

TEST_P(HTTPReplyTest, EndsWithResultAndBody)
{
    const ReplyCase& c = GetParam();
    LoopbackServer server(c.pieces, c.ending);
    HTTPTransfer transfer;
    transfer.SendRequest(Local(server.Port()), kRequest);
    EXPECT_EQ(Finish(transfer), c.result);
    EXPECT_EQ(transfer.GetContent(), c.content);
    EXPECT_EQ(server.Request(), kRequest);
}

std::string Big(size_t n)
{
    std::string text(n, '\0');
    for (size_t i = 0; i < n; ++i)
        text[i] = char('a' + i % 26);
    return text;
}

std::string Chunked(const std::string& body, size_t piece)
{
    std::string out;
    for (size_t at = 0; at < body.size(); at += piece) {
        const std::string part = body.substr(at, piece);
        char size[16];
        std::snprintf(size, sizeof(size), "%zx", part.size());
        out += std::string(size) + "\r\n" + part + "\r\n";
    }
    return out + "0\r\n\r\n";
}

const std::string kBig = Big(70000);

INSTANTIATE_TEST_SUITE_P(
    Replies, HTTPReplyTest,
    testing::Values(
        ReplyCase{"Length", {"HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello-and-more"}, 0, "hello"},
        ReplyCase{"LengthInPieces", {"HTTP/1.1 200 OK\r\nContent-", "Length: 5\r\n\r\nhe", "llo"}, 0, "hello"},
        ReplyCase{"Chunked",
                  {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1a\r\nabcdefghijklmnopqrstuvwxyz\r\n",
                   " 3 \r\nABC\r\n0\r\n\r\ntrailing"},
                  0, "abcdefghijklmnopqrstuvwxyzABC"},
        ReplyCase{"OtherCodingReadAsChunked",
                  {"HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip\r\n\r\n5\r\nhello\r\n0\r\n\r\n"}, 0, "hello"},
        ReplyCase{"IdentityCoding", {"HTTP/1.1 200 OK\r\nTransfer-Encoding: identity\r\n\r\n5\r\nhi"}, 0, "5\r\nhi"},
        // A length, 0 too, ends the body there, whether the server closes or not;
        // only a body of no length runs until the close.
        ReplyCase{"ZeroLengthKeptOpen", {"HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n"}, 0, "",
                  LoopbackServer::Ending::kStall},
        ReplyCase{"ZeroLengthThenClose", {"HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\nnot body"}, 0, ""},
        ReplyCase{"LengthKeptOpen", {"HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello"}, 0, "hello",
                  LoopbackServer::Ending::kStall},
        ReplyCase{"NoLengthReadsUntilClose", {"HTTP/1.0 200 OK\r\n\r\nab", "cd"}, 0, "abcd"},
        // A length is decimal digits alone; one that is not, or two that
        // differ, make no reply to trust, and one beyond the body's bound
        // (however many digits) is too large.
        ReplyCase{"LengthRepeatedAlike", {"HTTP/1.1 200 OK\r\nContent-Length: 5\r\nContent-Length: 5\r\n\r\nhello!"},
                  0, "hello"},
        ReplyCase{"LengthsThatDiffer", {"HTTP/1.1 200 OK\r\nContent-Length: 5\r\nContent-Length: 3\r\n\r\nhello"},
                  12, ""},
        ReplyCase{"LengthList", {"HTTP/1.1 200 OK\r\nContent-Length: 5, 5\r\n\r\nhello"}, 12, ""},
        ReplyCase{"LengthNotDigits", {"HTTP/1.1 200 OK\r\nContent-Length: five\r\n\r\nhello"}, 12, ""},
        ReplyCase{"LengthWithTrailingLetters", {"HTTP/1.1 200 OK\r\nContent-Length: 5x\r\n\r\nhello"}, 12, ""},
        ReplyCase{"LengthInHex", {"HTTP/1.1 200 OK\r\nContent-Length: 0x5\r\n\r\nhello"}, 12, ""},
        ReplyCase{"LengthWithPlus", {"HTTP/1.1 200 OK\r\nContent-Length: +5\r\n\r\nhello"}, 12, ""},
        ReplyCase{"LengthWithMinus", {"HTTP/1.1 200 OK\r\nContent-Length: -5\r\n\r\nhello"}, 12, ""},
        ReplyCase{"LengthWithInnerBlank", {"HTTP/1.1 200 OK\r\nContent-Length: 1 2\r\n\r\nhello"}, 12, ""},
        ReplyCase{"LengthEmpty", {"HTTP/1.1 200 OK\r\nContent-Length: \r\n\r\nhello"}, 12, ""},
        ReplyCase{"LengthBeyondThirtyTwoBits", {"HTTP/1.1 200 OK\r\nContent-Length: 4294967298\r\n\r\nhello"}, 10,
                  ""},
        ReplyCase{"LengthOfManyDigits",
                  {"HTTP/1.1 200 OK\r\nContent-Length: 000000000000000000000000000005\r\n\r\nhello"}, 0, "hello"},
        ReplyCase{"LengthBeyondSixtyFourBits",
                  {"HTTP/1.1 200 OK\r\nContent-Length: 36893488147419103237\r\n\r\nhello"}, 10, ""},
        ReplyCase{"LengthOneOverTheBound",
                  {"HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(HTTPTransfer::kMaxContentBytes + 1) +
                   "\r\n\r\nhello"},
                  10, ""},
        ReplyCase{"NotFound", {"HTTP/1.1 404 Not Found\r\nContent-Length: 3\r\n\r\nnop"}, 3, ""},
        ReplyCase{"ServerError", {"HTTP/1.1 500 Oops\r\nContent-Length: 3\r\n\r\nbad"}, 4, ""},
        ReplyCase{"Redirect", {"HTTP/1.1 302 Found\r\n\r\n"}, 4, ""},
        // A reply that did not come whole is no upload that arrived.
        ReplyCase{"EarlyClose", {"HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nshort"}, 11, "short"},
        ReplyCase{"ClosedBeforeAnyReply", {}, 11, ""},
        ReplyCase{"ClosedInsideTheHead", {"HTTP/1.1 200 OK\r\nContent-Le"}, 11, ""},
        ReplyCase{"ClosedBeforeTheLastChunk",
                  {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n"}, 11, "hello"},
        ReplyCase{"ResetBeforeAnyReply", {}, 11, "", LoopbackServer::Ending::kReset},
        ReplyCase{"ResetInsteadOfTheEnd", {"HTTP/1.0 200 OK\r\n\r\n"}, 11, "", LoopbackServer::Ending::kReset},
        ReplyCase{"NoStatusLine", {"Content-Length: 2\r\n\r\nok"}, 12, ""},
        ReplyCase{"NotHttp", {"<html>ok</html>\r\n"}, 12, ""},
        ReplyCase{"ChunkSizeNoNumber",
                  {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nok\r\nzz\r\nmore\r\n0\r\n\r\n"}, 12,
                  "ok"},
        // Extensions after a chunk's size, with blanks or without, say nothing to this reader.
        ReplyCase{"ChunkExtensions",
                  {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3;x=y\r\nabc\r\n",
                   "2 ; name=\"a;b\"\r\nde\r\n1\t;flag\r\nf\r\n0;last=1\r\n\r\n"},
                  0, "abcdef"},
        ReplyCase{"ChunkExtensionWithoutSize",
                  {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nok\r\n;x=y\r\nmore\r\n0\r\n\r\n"},
                  12, "ok"},
        ReplyCase{"ChunkSizeBeyondThirtyTwoBits",
                  {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n100000000\r\nabc\r\n0\r\n\r\n"},
                  10, ""},
        // The status is exactly three digits between blanks (the reason may be empty or missing).
        ReplyCase{"StatusWithEmptyReason", {"HTTP/1.1 200 \r\nContent-Length: 2\r\n\r\nok"}, 0, "ok"},
        ReplyCase{"StatusWithoutReason", {"HTTP/1.1 200\r\nContent-Length: 2\r\n\r\nok"}, 0, "ok"},
        ReplyCase{"StatusOfFourDigits", {"HTTP/1.1 2000 OK\r\nContent-Length: 2\r\n\r\nok"}, 12, ""},
        ReplyCase{"NotFoundOfFourDigits", {"HTTP/1.1 4040 Not Found\r\nContent-Length: 2\r\n\r\nok"}, 12, ""},
        ReplyCase{"StatusOfTwoDigits", {"HTTP/1.1 20 OK\r\nContent-Length: 2\r\n\r\nok"}, 12, ""},
        ReplyCase{"StatusNotDigits", {"HTTP/1.1 2O0 OK\r\nContent-Length: 2\r\n\r\nok"}, 12, ""},
        ReplyCase{"StatusWithoutBlankBefore", {"HTTP/1.1200 OK\r\nContent-Length: 2\r\n\r\nok"}, 12, ""},
        ReplyCase{"VersionWithoutMinor", {"HTTP/1. 200 OK\r\nContent-Length: 2\r\n\r\nok"}, 12, ""},
        // Header names and transfer codings are the same in any case; blanks
        // around a value do not count, and a name is matched whole.
        ReplyCase{"ChunkedInLowerCase",
                  {"HTTP/1.1 200 OK\r\ntransfer-encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n"}, 0, "hello"},
        ReplyCase{"ChunkedInUpperCase",
                  {"HTTP/1.1 200 OK\r\nTRANSFER-ENCODING: CHUNKED\r\n\r\n5\r\nhello\r\n0\r\n\r\n"}, 0, "hello"},
        ReplyCase{"IdentityInAnyCase", {"HTTP/1.1 200 OK\r\ntransfer-encoding: Identity\r\n\r\n5\r\nhi"}, 0,
                  "5\r\nhi"},
        ReplyCase{"LengthInLowerCase", {"HTTP/1.1 200 OK\r\ncontent-length: 5\r\n\r\nhello-and-more"}, 0, "hello"},
        ReplyCase{"LengthInMixedCaseWithoutBlank", {"HTTP/1.1 200 OK\r\nCONTENT-length:5\r\n\r\nhello-and-more"}, 0,
                  "hello"},
        ReplyCase{"LengthWithBlanksAround", {"HTTP/1.1 200 OK\r\nContent-Length: \t5 \r\n\r\nhello-and-more"}, 0,
                  "hello"},
        ReplyCase{"NameThatOnlyEndsLikeOne",
                  {"HTTP/1.1 200 OK\r\nX-Content-Length: 2\r\nX-Transfer-Encoding: chunked\r\n\r\nabcd"}, 0,
                  "abcd"},
        ReplyCase{"LargerThanTheBuffer",
                  {"HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(kBig.size()) + "\r\n\r\n" + kBig}, 0,
                  kBig},
        ReplyCase{"LargeChunked",
                  {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" + Chunked(kBig, 1000)}, 0, kBig}),
    [](const testing::TestParamInfo<ReplyCase>& info) { return std::string(info.param.name); });

// A server that never ends its head or its body fails the transfer instead of
// filling memory; what is within the bounds still comes through.
TEST(HTTPTransferTest, RepliesBeyondTheBoundsFail)
{
    constexpr size_t kHeadBound = HTTPTransfer::kMaxHeadBytes;
    constexpr size_t kBodyBound = HTTPTransfer::kMaxContentBytes;
    const std::string status = "HTTP/1.1 200 OK\r\n";
    std::string fullHead = status;
    while (fullHead.size() + 2 < kHeadBound)
        fullHead += "X-Pad: " + Big(std::min<size_t>(1000, kHeadBound - fullHead.size() - 11)) + "\r\n";
    fullHead += "\r\n";
    // One byte over: all that fits is kept, and the transfer fails.
    const std::string body = Big(kBodyBound + 1);
    struct Case {
        const char* name;
        std::string reply;
        int result;
        std::string content;
    };
    const Case cases[] = {
        {"endless head line", status + "X-Pad: " + Big(200000), HTTPTransfer::kReplyTooLarge, ""},
        {"head of many lines", fullHead.substr(0, fullHead.size() - 2) + "X: y\r\n\r\nbody",
         HTTPTransfer::kReplyTooLarge, ""},
        {"head at the bound", fullHead + "body", HTTPTransfer::kDone, "body"},
        {"endless chunk size line", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" + Big(200000),
         HTTPTransfer::kReplyTooLarge, ""},
        {"endless body", "HTTP/1.0 200 OK\r\n\r\n" + body, HTTPTransfer::kReplyTooLarge, body.substr(0, kBodyBound)},
    };
    ASSERT_EQ(fullHead.size(), kHeadBound);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoopbackServer server({c.reply});
        HTTPTransfer transfer;
        transfer.SendRequest(Local(server.Port()), kRequest);
        EXPECT_EQ(Finish(transfer), c.result);
        EXPECT_TRUE(transfer.GetContent() == c.content);
    }
}

TEST(HTTPTransferTest, FailuresBecomeResultCodes)
{
    HTTPTransfer transfer;
    transfer.SendRequest(Local(LoopbackServer::ClosedPort()), kRequest);
    EXPECT_EQ(Finish(transfer), HTTPTransfer::kConnectFailed);
    // A port that would wrap to a listening one reaches no server.
    LoopbackServer server({"HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"});
    transfer.SendRequest("127.0.0.1:" + std::to_string(server.Port() + 65536), kRequest);
    EXPECT_EQ(Finish(transfer), HTTPTransfer::kConnectFailed);
    EXPECT_FALSE(server.Received());

    const auto previous = Platform::SetHostResolver([](const std::string&, uint32_t*) { return false; });
    transfer.SendRequest("http://nowhere.invalid/x", kRequest);
    EXPECT_EQ(Finish(transfer), HTTPTransfer::kHostUnknown);
    Platform::SetHostResolver(previous);
}

TEST(HTTPTransferTest, ResolvedNameIsContacted)
{
    LoopbackServer server({"HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"});
    std::string asked;
    const auto previous = Platform::SetHostResolver([&](const std::string& host, uint32_t* address) {
        asked = host;
        *address = Platform::inet_addr("127.0.0.1");
        return true;
    });
    HTTPTransfer transfer;
    transfer.SendRequest("reports.example:" + std::to_string(server.Port()), kRequest);
    EXPECT_EQ(Finish(transfer), HTTPTransfer::kDone);
    EXPECT_EQ(asked, "reports.example");
    EXPECT_EQ(transfer.GetContent(), "ok");
    Platform::SetHostResolver(previous);
}

// An abort or a time-out ends the transfer within a wait slice wherever it
// waits, in a name lookup that hangs too, so that nothing waits on the network
// after it.
TEST(HTTPTransferTest, AbortAndTimeOutEndTheTransferWhereverItWaits)
{
    for (const bool inLookup : {false, true}) {
        for (const bool abort : {true, false}) {
            SCOPED_TRACE(testing::Message() << (inLookup ? "lookup hangs" : "server stalls") << ", "
                                            << (abort ? "abort" : "time-out"));
            LoopbackServer server({}, LoopbackServer::Ending::kStall);
            std::optional<LumoTest::HangingResolver> resolver;
            if (inLookup)
                resolver.emplace();
            HTTPTransfer transfer;
            transfer.SendRequest(std::string(inLookup ? "hangs.example:" : "127.0.0.1:") +
                                     std::to_string(server.Port()),
                                 kRequest);
            for (int i = 0; i < 4000 && !(inLookup ? resolver->Begun() > 0 : server.Received()); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            EXPECT_EQ(transfer.GetResult(), HTTPTransfer::kRunning);
            const auto start = std::chrono::steady_clock::now();
            if (abort)
                transfer.Abort();
            else
                transfer.TimeOut();
            transfer.WaitFinish();
            EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
            EXPECT_EQ(transfer.GetResult(), abort ? HTTPTransfer::kAborted : HTTPTransfer::kTimedOut);
        }
    }
}

// A caller that stops waiting ends a running transfer as a failure; the
// user's abort, and a transfer already over, keep their own ending.
TEST(HTTPTransferTest, TimeOutFailsOnlyATransferStillRunning)
{
    enum class Before { kNothing, kAbort, kEnd };
    const struct {
        const char* name;
        Before before;
        int result;
    } cases[] = {
        {"running", Before::kNothing, HTTPTransfer::kTimedOut},
        {"aborted by the user", Before::kAbort, HTTPTransfer::kAborted},
        {"over", Before::kEnd, HTTPTransfer::kDone},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const bool answers = c.before == Before::kEnd;
        LoopbackServer server({answers ? "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok" : ""},
                              answers ? LoopbackServer::Ending::kClose : LoopbackServer::Ending::kStall);
        HTTPTransfer transfer;
        transfer.SendRequest(Local(server.Port()), kRequest);
        if (c.before == Before::kEnd)
            ASSERT_EQ(Finish(transfer), HTTPTransfer::kDone);
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (c.before == Before::kAbort)
            transfer.Abort();
        transfer.TimeOut();
        transfer.WaitFinish();
        EXPECT_EQ(transfer.GetResult(), c.result);
    }
}

TEST(HTTPTransferTest, UrlSplitAndTransferIds)
{
    struct {
        const char* url;
        const char* protocol;
        const char* host;
        int port;
        const char* path;
    } cases[] = {
        {"http://h:8080/p/q", "http", "h", 8080, "/p/q"},
        {"h", "", "h", 80, "/"},
        {"h/x", "", "h", 80, "/x"},
        {"//h", "", "h", 80, "/"},
        // Read as a C number reader reads it; a port beyond 16 bits is none
        // rather than another one.
        {"h:8080x/p", "", "h", 8080, "/p"},
        {"h: +81", "", "h", 81, "/"},
        {"h:65535", "", "h", 65535, "/"},
        {"h:65616", "", "h", 0, "/"},
        {"h:99999999999999999999", "", "h", 0, "/"},
        {"h:-80", "", "h", 0, "/"},
        {"h:", "", "h", 0, "/"},
        {"h:x", "", "h", 0, "/"},
    };
    for (const auto& c : cases) {
        const Lumo::HttpUrl url = Lumo::HttpUrl::Split(c.url);
        EXPECT_EQ(url.mProtocol, c.protocol) << c.url;
        EXPECT_EQ(url.mHost, c.host) << c.url;
        EXPECT_EQ(url.mPort, c.port) << c.url;
        EXPECT_EQ(url.mPath, c.path) << c.url;
    }
    EXPECT_EQ(Lumo::HttpUrl::Split("http://h:8080/p").HostAndPort(), "h:8080");
    EXPECT_EQ(Lumo::HttpUrl::Split("http://h/p").HostAndPort(), "h");

    LumoTest::FakeDiagnosticsHost host;
    host.mPlaying = true; // no traffic
    HTTPTransfer transfer;
    const int32_t first = transfer.GetTransferId();
    transfer.SendRequest("h", kRequest);
    transfer.SendRequest("h", kRequest);
    EXPECT_EQ(transfer.GetTransferId(), first + 4);
}

TEST(HTTPTransferTest, RecordingWritesEachResultChange)
{
    LoopbackServer server({"HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"});
    server.Hold();
    LumoTest::FakeDiagnosticsHost host;
    host.mRecording = true;
    HTTPTransfer transfer;
    transfer.SendRequest(Local(server.Port()), kRequest);
    const int32_t id = transfer.GetTransferId();
    ASSERT_EQ(transfer.GetResult(), HTTPTransfer::kRunning);
    server.Release();
    ASSERT_EQ(Finish(transfer), HTTPTransfer::kDone);

    Lumo::Buffer& demo = host.mDemo;
    demo.RewindRead();
    for (const auto& [result, content] : {std::pair<int, std::string>{2, ""}, {0, "ok"}}) {
        EXPECT_EQ(demo.ReadBits(4, false), 0);
        EXPECT_EQ(demo.ReadBits(1, false), 0);
        EXPECT_EQ(demo.ReadBits(5, false), 17);
        EXPECT_EQ(demo.ReadLong(), id);
        EXPECT_EQ(demo.ReadByte(), result);
        EXPECT_EQ(demo.ReadString(), content);
    }
    EXPECT_TRUE(demo.AtEnd());
}

TEST(HTTPTransferTest, PlaybackTakesOnlyItsOwnRecords)
{
    LumoTest::FakeDiagnosticsHost host;
    host.mPlaying = true;
    bool resolved = false;
    const auto previous = Platform::SetHostResolver([&](const std::string&, uint32_t*) { return resolved = true; });
    HTTPTransfer transfer;
    transfer.SendRequest("recorded.example", kRequest);
    const auto writeRecord = [&](int32_t id, int result, const std::string& content) {
        host.mDemo.WriteBits(0, 4);
        host.mDemo.WriteBits(0, 1);
        host.mDemo.WriteBits(17, 5);
        host.mDemo.WriteLong(id);
        host.mDemo.WriteByte(uint8_t(result));
        host.mDemo.WriteString(content);
    };
    writeRecord(transfer.GetTransferId() + 100, 0, "not mine");
    EXPECT_EQ(transfer.GetResult(), HTTPTransfer::kRunning);
    EXPECT_EQ(transfer.GetResult(), HTTPTransfer::kRunning);
    EXPECT_FALSE(host.mNeedsHeader) << "the other transfer's record stays under the reader";

    host.mDemo.Clear();
    host.mNeedsHeader = true;
    writeRecord(transfer.GetTransferId(), 0, "replayed");
    EXPECT_EQ(transfer.GetResult(), HTTPTransfer::kDone);
    EXPECT_EQ(transfer.GetContent(), "replayed");
    EXPECT_TRUE(host.mNeedsHeader);
    EXPECT_FALSE(resolved);
    Platform::SetHostResolver(previous);
}

} // namespace
