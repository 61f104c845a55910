#pragma once

#include "framework/diagnostics/HttpUrl.h"
#include "platform/network/Sockets.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace Lumo {

// A small HTTP client: one prepared request text goes to a host over TCP on a
// worker thread while the caller polls the result. While a demo is recorded
// every change of the result goes into it; while one is played back no
// traffic happens and the recorded results come back instead.
class HTTPTransfer {
public:
    enum Result {
        kDone = 0,
        kIdle = 1,
        kRunning = 2,
        kNotFound = 3,
        kBadStatus = 4,
        kAborted = 5,
        kSocketFailed = 6,
        kHostUnknown = 7,
        kConnectFailed = 8,
        kSendFailed = 9,
        // The reply's head or body is beyond what the client takes.
        kReplyTooLarge = 10,
        // The connection broke, or closed before the reply was whole.
        kReplyBroken = 11,
        // The reply opens with no status line, or has a chunk size or a length
        // that is no number, or two lengths that differ.
        kBadReply = 12,
        // The caller stopped waiting for the reply (TimeOut).
        kTimedOut = 13,
    };
    // Bounds of a reply, far above what a report upload gets back: a server
    // that never ends its head or its body must not take all memory.
    static constexpr size_t kMaxHeadBytes = 64 * 1024;
    static constexpr size_t kMaxContentBytes = 16 * 1024 * 1024;
    // The demo record of a result change.
    static constexpr int kDemoRecordKind = 17;

    HTTPTransfer();
    virtual ~HTTPTransfer();
    HTTPTransfer(const HTTPTransfer&) = delete;
    HTTPTransfer& operator=(const HTTPTransfer&) = delete;

    // Returns at once; the result tells how it went. The caller's controls
    // below may come from another thread meanwhile: each waits until a
    // transfer being started runs with its worker.
    void SendRequest(const std::string& host, const std::string& request);
    int GetResult();
    // The user's giving up: the transfer ends as aborted, not as failed.
    void Abort();
    // The caller's giving up on a transfer that is still running: it ends as
    // failed (kTimedOut), as any other want of an answer does.
    void TimeOut();
    void Reset();
    void WaitFinish();

    int32_t GetTransferId() const { return mTransferId; }
    // The reply body received so far.
    std::string GetContent();
    const HttpUrl& GetUrl() const { return mUrl; }
    int32_t GetAnnouncedLength() const { return mAnnouncedLength; }

private:
    // The unguarded forms of Abort and Reset, for callers that hold the
    // control lock.
    void RequestAbort();
    void ResetTransfer();
    void PrepareRequest(const std::string& host);
    void StartWorker();
    void WorkerThread();
    void SyncWithDemo();
    // The result becomes the failure code and the worker stops.
    void RecordFailure(int code);
    // False when the wait failed (recorded as a socket failure).
    bool WaitSocket(bool forRead, bool forWrite);
    // The host's address; false when the name is unknown (recorded) or the
    // transfer was stopped while it was looked up.
    bool LookUpHost(uint32_t* address);
    void ConnectAndSend();
    void ReceiveReply();
    // The first line of the reply; a failure unless it carries status 200.
    void ReadStatusLine(const std::string& line);
    // One header line of the reply; names are matched without regard to case.
    void ReadHeaderLine(const std::string& line, bool* headersDone, bool* chunked, std::optional<int32_t>* contentDue);
    void AppendContent(const std::string& bytes);

    int32_t mTransferId;
    Platform::SOCKET mSocket = Platform::INVALID_SOCKET;
    std::string mRequest;
    std::string mUrlText;
    HttpUrl mUrl;
    int32_t mAnnouncedLength = 0;
    std::mutex mContentMutex;
    std::string mContent;
    std::atomic<bool> mBusy{false};
    std::atomic<bool> mWorkerAlive{false};
    std::atomic<bool> mStop{false};
    std::atomic<bool> mAbortRequested{false};
    std::atomic<int> mResult{kIdle};
    int mLastSyncedResult = kIdle;
    std::mutex mControlMutex;
    std::thread mWorker;
};

// The transfer the crash report goes through; made by the start-up routine.
HTTPTransfer& GetCrashHTTPTransfer();

} // namespace Lumo
