#include "framework/diagnostics/HTTPTransfer.h"

#include "framework/core/Buffer.h"
#include "framework/core/StringUtils.h"
#include "framework/diagnostics/DiagnosticsAppHost.h"
#include "framework/diagnostics/MapFileAnnotation.h"
#include "platform/process/Clock.h"
#include "platform/process/Process.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>

namespace Lumo {

using namespace Platform;

namespace {

std::atomic<int32_t> gNextTransferId{1};

constexpr uint32_t kWaitSliceMicros = 100000;
constexpr int kReceiveChunk = 256;

// A name lookup that no abort can cut short runs on a thread of its own,
// which the worker leaves behind when it is stopped; what the lookup answers
// lives as long as the one of the two that ends last.
struct HostLookup {
    std::mutex mutex;
    std::condition_variable answered;
    bool over = false;
    bool known = false;
    uint32_t address = INADDR_NONE;
};

bool StartsWith(const std::string& text, const char* prefix)
{
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

// The end of the line that starts at position, or npos while it is not all
// there; searched keeps where the last search stopped, so that each byte is
// looked at once however slowly a long line comes in.
size_t FindLineEnd(const std::string& reply, size_t position, size_t* searched)
{
    // A CR at the end of what was searched may start the line end.
    const size_t from = std::max(position, *searched > 0 ? *searched - 1 : 0);
    const size_t end = reply.find("\r\n", from);
    *searched = end == std::string::npos ? reply.size() : end;
    return end;
}

// The size that opens a chunk, in hexadecimal, before any extensions (after
// a ';', with blanks before it or not), which say nothing to this reader;
// false when the line holds no size. Sizes beyond 32 bits come out as the
// largest there is.
bool ReadChunkSize(const std::string& line, uint64_t* size)
{
    const std::string digits = TrimSpace(line.substr(0, line.find(';')));
    uint32_t low = 0;
    if (digits.empty() || !ParseHexString(digits, &low))
        return false;
    const size_t first = digits.find_first_not_of('0');
    *size = first != std::string::npos && digits.size() - first > 8 ? UINT64_MAX : low;
    return true;
}

// A Content-Length value: decimal digits and nothing else. Values beyond the
// body's bound come out as one past it, however many digits they have.
bool ReadContentLength(const std::string& value, uint64_t* length)
{
    if (value.empty() || value.find_first_not_of("0123456789") != std::string::npos)
        return false;
    uint64_t read = 0;
    for (const char digit : value)
        read = std::min<uint64_t>(read * 10 + uint64_t(digit - '0'), HTTPTransfer::kMaxContentBytes + 1);
    *length = read;
    return true;
}

} // namespace

HTTPTransfer::HTTPTransfer() : mTransferId(gNextTransferId++) {}

// The worker ends within a wait slice of the abort.
HTTPTransfer::~HTTPTransfer()
{
    Abort();
    if (mWorker.joinable())
        mWorker.join();
}

void HTTPTransfer::SendRequest(const std::string& host, const std::string& request)
{
    // Held until the worker runs: a time-out or reset that saw the result
    // running before that would stop nothing, and the worker would then run
    // on past them into the next try.
    std::lock_guard<std::mutex> lock(mControlMutex);
    PrepareRequest(host);
    mRequest = request;
    StartWorker();
}

int HTTPTransfer::GetResult()
{
    SyncWithDemo();
    return mResult;
}

void HTTPTransfer::Abort()
{
    std::lock_guard<std::mutex> lock(mControlMutex);
    RequestAbort();
}

void HTTPTransfer::RequestAbort()
{
    mAbortRequested = true;
    mStop = true;
}

void HTTPTransfer::TimeOut()
{
    std::lock_guard<std::mutex> lock(mControlMutex);
    int running = kRunning;
    if (!mAbortRequested && mResult.compare_exchange_strong(running, kTimedOut))
        mStop = true;
}

void HTTPTransfer::Reset()
{
    std::lock_guard<std::mutex> lock(mControlMutex);
    ResetTransfer();
}

void HTTPTransfer::ResetTransfer()
{
    if (mWorkerAlive) {
        RequestAbort();
        WaitFinish();
    }
    if (mWorker.joinable())
        mWorker.join();
    mTransferId = gNextTransferId++;
    mResult = kIdle;
    mLastSyncedResult = kIdle;
    {
        std::lock_guard<std::mutex> lock(mContentMutex);
        mContent.clear();
    }
    mUrlText.clear();
    mRequest.clear();
    mUrl.mPath.clear();
    mStop = false;
    mAbortRequested = false;
}

// Without a worker (demo playback) nothing would ever clear the busy flag.
void HTTPTransfer::WaitFinish()
{
    while (mBusy && mWorkerAlive) {
        SyncWithDemo();
        Sleep(20);
    }
}

std::string HTTPTransfer::GetContent()
{
    std::lock_guard<std::mutex> lock(mContentMutex);
    return mContent;
}

void HTTPTransfer::PrepareRequest(const std::string& host)
{
    ResetTransfer();
    mTransferId = gNextTransferId++;
    mUrlText = host;
    mStop = false;
    mAbortRequested = false;
    mResult = kRunning;
    {
        std::lock_guard<std::mutex> lock(mContentMutex);
        mContent.clear();
    }
    mAnnouncedLength = 0;
    mUrl = HttpUrl::Split(host);
}

void HTTPTransfer::StartWorker()
{
    mBusy = true;
    DiagnosticsAppHost* host = GetDiagnosticsAppHost();
    if (host && host->IsPlayingDemo())
        return;
    mWorkerAlive = true;
    mWorker = StartThread([this] { WorkerThread(); });
}

void HTTPTransfer::RecordFailure(int code)
{
    mResult = code;
    mStop = true;
}

bool HTTPTransfer::WaitSocket(bool forRead, bool forWrite)
{
    while (!mStop) {
        SocketWait met;
        const int count = select(mSocket, forRead, forWrite, kWaitSliceMicros, &met);
        if (count == SOCKET_ERROR || met.exception) {
            RecordFailure(kSocketFailed);
            return false;
        }
        if ((forRead && met.readable) || (forWrite && met.writable))
            return true;
    }
    return true;
}

void HTTPTransfer::WorkerThread()
{
    mSocket = OpenStreamSocket();
    if (mSocket == INVALID_SOCKET)
        RecordFailure(kSocketFailed);
    if (!mStop)
        ConnectAndSend();
    if (!mStop)
        ReceiveReply();
    closesocket(mSocket);
    mSocket = INVALID_SOCKET;
    // Only a transfer still running is done: a time-out that came first stays.
    int running = kRunning;
    if (mAbortRequested)
        mResult = kAborted;
    else
        mResult.compare_exchange_strong(running, kDone);
    mWorkerAlive = false;
    mBusy = false;
}

bool HTTPTransfer::LookUpHost(uint32_t* address)
{
    *address = inet_addr(mUrl.mHost.c_str());
    if (*address != INADDR_NONE)
        return true;
    const auto lookup = std::make_shared<HostLookup>();
    StartThread([lookup, host = mUrl.mHost] {
        uint32_t found = INADDR_NONE;
        const bool known = gethostbyname(host, &found) && found != INADDR_NONE;
        std::lock_guard<std::mutex> lock(lookup->mutex);
        lookup->over = true;
        lookup->known = known;
        lookup->address = found;
        lookup->answered.notify_all();
    }).detach();
    std::unique_lock<std::mutex> lock(lookup->mutex);
    while (!lookup->over) {
        if (mStop)
            return false;
        lookup->answered.wait_for(lock, std::chrono::microseconds(kWaitSliceMicros));
    }
    if (!lookup->known)
        RecordFailure(kHostUnknown);
    *address = lookup->address;
    return lookup->known;
}

void HTTPTransfer::ConnectAndSend()
{
    if (mUrl.mPort <= 0) {
        RecordFailure(kConnectFailed);
        return;
    }
    uint32_t address = INADDR_NONE;
    if (!LookUpHost(&address))
        return;
    int error = 0;
    if (connect(mSocket, address, uint16_t(mUrl.mPort), &error) == SOCKET_ERROR) {
        if (error != WSAEWOULDBLOCK) {
            RecordFailure(kConnectFailed);
            return;
        }
        // A refused connection also shows as writable: its error tells.
        if (!WaitSocket(false, true) || (!mStop && GetSocketError(mSocket) != 0)) {
            RecordFailure(kConnectFailed);
            return;
        }
    }
    while (!mRequest.empty() && !mStop) {
        WaitSocket(false, true);
        if (mStop)
            break;
        const int sent = send(mSocket, mRequest.data(), int(mRequest.size()));
        if (sent <= 0) {
            RecordFailure(kSendFailed);
            return;
        }
        mRequest.erase(0, size_t(sent));
    }
}

void HTTPTransfer::ReadStatusLine(const std::string& line)
{
    // "HTTP/1.", the minor version, a blank, a code of exactly three digits,
    // then a blank before the reason or nothing at all.
    const auto digit = [&](size_t at) { return at < line.size() && line[at] >= '0' && line[at] <= '9'; };
    const bool valid = StartsWith(line, "HTTP/1.") && digit(7) && line.size() >= 12 && line[8] == ' ' &&
                       digit(9) && digit(10) && digit(11) && (line.size() == 12 || line[12] == ' ');
    // What does not open with a status line is no reply to trust.
    if (!valid)
        RecordFailure(kBadReply);
    else if (line.compare(9, 3, "404") == 0)
        RecordFailure(kNotFound);
    else if (line.compare(9, 3, "200") != 0)
        RecordFailure(kBadStatus);
}

void HTTPTransfer::ReadHeaderLine(const std::string& line, bool* headersDone, bool* chunked,
                                  std::optional<int32_t>* contentDue)
{
    if (line.empty()) {
        *headersDone = true;
        return;
    }
    const size_t colon = line.find(':');
    if (colon == std::string::npos)
        return;
    // Codings, like names, are the same in any case.
    const std::string name = StringToLower(line.substr(0, colon));
    const std::string value = TrimSpace(line.substr(colon + 1));
    if (name == "transfer-encoding" && StringToLower(value) != "identity")
        *chunked = true;
    if (name == "content-length") {
        // Two lengths that differ leave the body's end unknown.
        uint64_t length = 0;
        if (!ReadContentLength(value, &length) || (contentDue->has_value() && uint64_t(**contentDue) != length))
            RecordFailure(kBadReply);
        else if (length > kMaxContentBytes)
            RecordFailure(kReplyTooLarge);
        else
            *contentDue = mAnnouncedLength = int32_t(length);
    }
}

void HTTPTransfer::AppendContent(const std::string& bytes)
{
    std::lock_guard<std::mutex> lock(mContentMutex);
    const size_t room = kMaxContentBytes - mContent.size();
    mContent.append(bytes, 0, room);
    if (bytes.size() > room)
        RecordFailure(kReplyTooLarge);
}

void HTTPTransfer::ReceiveReply()
{
    // The reply's bytes from the first one not yet parsed.
    std::string reply;
    size_t position = 0;
    size_t searched = 0;
    bool first = true;
    size_t previousPosition = 0;
    size_t headBytes = 0;
    bool headersDone = false;
    bool chunked = false;
    int32_t chunkDue = 0;
    // Given or not is apart from the value: a length of 0 is a whole empty body.
    std::optional<int32_t> contentDue;
    const auto left = [&] { return position < reply.size() ? reply.size() - position : 0; };
    // The bytes of the line that starts at position, as far as it has come.
    const auto lineBytes = [&](size_t end) { return end == std::string::npos ? left() : end + 2 - position; };

    while (!mStop) {
        if (first || position == previousPosition) {
            // Parsed bytes go (a chunk's line end may still be due past them).
            const size_t parsed = std::min(position, reply.size());
            reply.erase(0, parsed);
            position -= parsed;
            searched = searched > parsed ? searched - parsed : 0;
            if (!WaitSocket(true, false) || mStop)
                break;
            char bytes[kReceiveChunk];
            const int got = recv(mSocket, bytes, kReceiveChunk);
            // Only a body of no announced length ends with the connection.
            if (got < 0 || (got == 0 && (!headersDone || chunked || contentDue)))
                RecordFailure(kReplyBroken);
            if (got <= 0)
                break;
            reply.append(bytes, size_t(got));
        }
        first = false;
        previousPosition = position;

        if (!headersDone) {
            const size_t end = FindLineEnd(reply, position, &searched);
            if (headBytes + lineBytes(end) > kMaxHeadBytes) {
                RecordFailure(kReplyTooLarge);
                break;
            }
            if (end == std::string::npos)
                continue;
            const bool statusLine = headBytes == 0;
            headBytes += lineBytes(end);
            const std::string line = reply.substr(position, end - position);
            position = end + 2;
            if (statusLine)
                ReadStatusLine(line);
            else
                ReadHeaderLine(line, &headersDone, &chunked, &contentDue);
        } else if (chunked) {
            if (chunkDue == 0) {
                const size_t end = FindLineEnd(reply, position, &searched);
                if (lineBytes(end) > kMaxHeadBytes) {
                    RecordFailure(kReplyTooLarge);
                    break;
                }
                if (end == std::string::npos)
                    continue;
                uint64_t size = 0;
                if (!ReadChunkSize(reply.substr(position, end - position), &size))
                    RecordFailure(kBadReply);
                else if (size > kMaxContentBytes)
                    RecordFailure(kReplyTooLarge);
                if (mStop || size == 0)
                    break;
                chunkDue = int32_t(size);
                position = end + 2;
            }
            const size_t n = std::min<size_t>(size_t(chunkDue), left());
            if (n == 0)
                continue;
            AppendContent(reply.substr(position, n));
            position += n;
            chunkDue -= int32_t(n);
            if (chunkDue == 0)
                position += 2;
        } else if (contentDue) {
            const size_t n = std::min<size_t>(size_t(*contentDue), left());
            AppendContent(reply.substr(position, n));
            position += n;
            *contentDue -= int32_t(n);
            if (*contentDue == 0)
                break;
        } else {
            AppendContent(reply.substr(std::min(position, reply.size())));
            position = std::max(position, reply.size());
        }
    }
}

void HTTPTransfer::SyncWithDemo()
{
    DiagnosticsAppHost* host = GetDiagnosticsAppHost();
    if (!host)
        return;
    if (host->IsPlayingDemo()) {
        if (!host->DemoReadRecordHeader() || host->DemoRecordIsShort() || host->DemoRecordKind() != kDemoRecordKind)
            return;
        Buffer& demo = host->DemoBuffer();
        const int32_t start = demo.GetReadPosition();
        if (demo.ReadLong() != mTransferId) {
            demo.SetReadPosition(start);
            return;
        }
        mResult = demo.ReadByte();
        const std::string content = demo.ReadString();
        {
            std::lock_guard<std::mutex> lock(mContentMutex);
            mContent = content;
        }
        mLastSyncedResult = mResult;
        host->DemoConsumeRecord();
    } else if (host->IsRecordingDemo()) {
        const int result = mResult;
        if (result == mLastSyncedResult)
            return;
        host->DemoRecordSync();
        Buffer& demo = host->DemoBuffer();
        demo.WriteBits(0, 1);
        demo.WriteBits(kDemoRecordKind, 5);
        demo.WriteLong(mTransferId);
        demo.WriteByte(uint8_t(result));
        demo.WriteString(result == kRunning ? std::string() : GetContent());
        mLastSyncedResult = result;
    }
}

HTTPTransfer& GetCrashHTTPTransfer()
{
    static HTTPTransfer transfer;
    return transfer;
}

} // namespace Lumo
