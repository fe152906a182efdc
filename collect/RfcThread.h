// The base of every collection thread: one RFC connection and one worker
// that sleeps on a set of auto-reset request events and runs one operation
// for each event that somebody sets.
//
// Thread rules: Start, Initialize, Stop, EndThread and the destructor run in
// the owner's thread; the operations run on the worker. The only signals into
// the worker are its events (SetEvent may be called from any thread). The
// owner may use m_Connection itself only before Start creates the worker.
//
// Events: index 0 stop, 1 open connection, 2 check connection; derived
// classes add theirs with AddEvent() in their constructors (3, 4, ...) and
// serve them in OnEvent(). A derived class whose operations touch its own
// members must call EndThread() first thing in its destructor, so the worker
// has ended before those members go.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "collect/core/MessageChannel.h"
#include "platform/DateTime.h"
#include "platform/EventSet.h"
#include "platform/Exception.h"
#include "platform/WorkerThread.h"
#include "rfc/RfcConnection.h"

class CRfcThread {
  public:
    static constexpr size_t kStopEvent = 0;
    static constexpr size_t kOpenRequest = 1;
    static constexpr size_t kCheckRequest = 2;
    // The wait of an idle worker.
    static constexpr std::chrono::milliseconds kWaitTimeout{200};

    CRfcThread();
    CRfcThread(const CRfcThread&) = delete;
    CRfcThread& operator=(const CRfcThread&) = delete;
    virtual ~CRfcThread();

    // Runs Initialize in the caller's thread, then creates the worker once.
    virtual void Start();
    // Stop, then releases the worker.
    virtual void EndThread();
    virtual void Initialize() {}
    // The wait-and-dispatch loop of the worker.
    virtual void Run();
    // Sets the stop event and waits without limit for the worker to end.
    virtual void Stop();
    virtual void OpenConnection();
    virtual void CloseConnection();
    // Pings; reopens through ReopenConnection when the ping fails.
    virtual void CheckConnection();
    // What a failed ping does: the virtual OpenConnection.
    virtual void ReopenConnection() { OpenConnection(); }
    // The system's local date and time (GET_SYSTEM_TIME_REMOTE); throws.
    virtual platform::OleDate GetRemoteTime();
    virtual platform::OleDate GetLastCollectorWriteTime(std::u16string_view text);
    // Reads a saposcol time stamp such as "Sun Dec  6 18:20:33 2026";
    // throws CRfcException with the first check that fails.
    virtual void ParseLastCollectorWrite(std::u16string_view text, int& year, int& month, int& day,
                                         int& hour, int& minute, int& second);
    // Trims, then removes \ / : * ? " < > | . and blanks.
    virtual void CleanFileName(std::u16string& text);
    // Message hook; empty here and in every collection thread.
    virtual void ReportMessage(std::u16string_view) {}
    // A line of the thread's own messages about its connection (a failed
    // check, a reconnect); none here.
    virtual void WriteConnectionMessage(std::u16string_view) {}

    // Requests from the owner (and the owner's owner).
    void SetEvent(size_t index) { m_Events.Set(index); }
    void SetOpenRequest() { SetEvent(kOpenRequest); }
    bool HasWorker() const { return m_pWorker != nullptr; }
    // Hands the thread over to another session folder (ending in the
    // separator). The worker takes it before its next operation, so every
    // request set after this call writes there; EnterFolder does the rest.
    void MoveToFolder(std::u16string folder);
    CRfcConnection& Connection() { return m_Connection; }

  protected:
    // Adds a request event; call only from constructors.
    size_t AddEvent() { return m_Events.Add(); }
    void ResetEvent(size_t index) { m_Events.Reset(index); }
    // The operation of a derived event (index 3 and above).
    virtual void OnEvent(size_t) {}
    // Called on the worker when the stop event ends the loop.
    virtual void OnStopping() {}
    // On the worker, before the operation that follows a MoveToFolder: the
    // thread rebuilds its paths and writes its identity files in the new
    // folder, so the folder is complete on its own.
    virtual void EnterFolder(const std::u16string&) {}

    // The shared steps of the three message writers: time-stamps, builds the
    // line with makeLine(stamp, text), posts it with windowMessage and
    // appends it to logFile (when not empty). A failure is posted as a line
    // of its own; trapText is posted when even that is impossible. Nothing
    // leaves it.
    template <typename MakeLine>
    void WriteThreadMessage(unsigned windowMessage, const std::u16string& logFile,
                            std::u16string_view text, MakeLine makeLine,
                            std::u16string_view trapText) noexcept;

    platform::EventSet m_Events;
    CRfcConnection m_Connection;

  private:
    static unsigned ThreadProc(void* parameter);
    // Steps 3 to 5 of a message writer, outside the template.
    static void PostAndLog(unsigned windowMessage, const std::u16string& logFile,
                           const std::u16string& line);
    static void PostLine(unsigned windowMessage, const std::u16string& line) noexcept;
    void EnterPendingFolder();

    std::mutex m_FolderLock;
    std::optional<std::u16string> m_PendingFolder;  // guarded by m_FolderLock
    // While a stop cancels every call, the thread's first failed call is
    // news and the failures of the steps after it are not.
    bool QuietDuringStop(std::u16string_view text);

    std::atomic<bool> m_bStopReported{false};

    std::unique_ptr<platform::WorkerThread> m_pWorker;
};

// The month of a saposcol month word ("Jan", "Ene", ..., "Dic"), or 0.
int CollectorMonthNumber(std::u16string_view word);

template <typename MakeLine>
void CRfcThread::WriteThreadMessage(unsigned windowMessage, const std::u16string& logFile,
                                    std::u16string_view text, MakeLine makeLine,
                                    std::u16string_view trapText) noexcept {
    try {
        if (QuietDuringStop(text)) return;
        const std::u16string stamp = MessageTimeStamp();
        try {
            PostAndLog(windowMessage, logFile, makeLine(stamp, text));
        } catch (const CException& e) {
            PostLine(windowMessage, makeLine(stamp, CutToErrorCapacity(e.ReportText())));
        }
    } catch (...) {
        PostLine(windowMessage, std::u16string(trapText));
    }
}
