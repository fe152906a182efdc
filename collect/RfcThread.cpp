#include "collect/RfcThread.h"

#include <array>
#include <chrono>

#include "collect/core/CatchConvention.h"
#include "platform/AnsiTextFile.h"
#include "platform/FixedText.h"
#include "platform/Format.h"
#include "rfc/RfcException.h"
#include "rfc/catalogue/GetSystemTimeRemote.h"

CRfcThread::CRfcThread() : m_Events(3) {}

CRfcThread::~CRfcThread() {
    EndThread();
    CloseConnection();
}

unsigned CRfcThread::ThreadProc(void* parameter) {
    static_cast<CRfcThread*>(parameter)->Run();
    return 0;
}

void CRfcThread::Start() {
    Initialize();
    if (m_pWorker) return;
    m_pWorker = std::make_unique<platform::WorkerThread>([this] { ThreadProc(this); });
    m_pWorker->Start();
}

void CRfcThread::EndThread() {
    if (!m_pWorker) return;
    Stop();
    m_pWorker.reset();
}

void CRfcThread::Stop() {
    if (!m_pWorker || m_pWorker->HasEnded()) return;
    m_Events.Set(kStopEvent);
    m_pWorker->RaisePriority();
    m_pWorker->Join();
}

void CRfcThread::Run() {
    for (;;) {
        const int index = m_Events.WaitAny(kWaitTimeout);
        if (index == platform::EventSet::kTimeout) continue;
        switch (index) {
            case kStopEvent:
                OnStopping();
                return;
            case kOpenRequest:
                OpenConnection();
                break;
            case kCheckRequest:
                CheckConnection();
                break;
            default:
                EnterPendingFolder();
                OnEvent(static_cast<size_t>(index));
                break;
        }
    }
}

void CRfcThread::MoveToFolder(std::u16string folder) {
    std::lock_guard lock(m_FolderLock);
    m_PendingFolder = std::move(folder);
}

void CRfcThread::EnterPendingFolder() {
    std::optional<std::u16string> folder;
    {
        std::lock_guard lock(m_FolderLock);
        folder.swap(m_PendingFolder);
    }
    if (folder) EnterFolder(*folder);
}

void CRfcThread::OpenConnection() {
    RunReported(
        u"CRfcThread::OpenConnection", TrapStyle::Posted, [this] { m_Connection.CallRfcOpen(); },
        [this](const std::u16string& text) {
            ReportMessage(text);
            CloseConnection();
        });
}

void CRfcThread::CloseConnection() {
    m_Connection.CloseConnection();
}

void CRfcThread::CheckConnection() {
    // Only a connection that was open is news when it fails; a closed one
    // says so through the capture that follows.
    const bool wasOpen = RfcIsValidHandleU(m_Connection.Handle(), nullptr) == RFC_OK;
    const auto started = std::chrono::steady_clock::now();
    try {
        m_Connection.CallRfcPing();
        return;
    } catch (const CException& e) {
        // A stop cancelled the check: said once, and no reconnect.
        if (const auto* rfc = dynamic_cast<const CRfcException*>(&e);
            rfc != nullptr && rfc->m_strKey == RFC_KEY_CANCELLED) {
            WriteConnectionMessage(CutToErrorCapacity(e.ReportText()));
            return;
        }
        // A check that waited for its answer may have cost the minute: say so.
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
                                 std::chrono::steady_clock::now() - started)
                                 .count();
        if (wasOpen)
            WriteConnectionMessage(platform::Format(u"connection check failed after %d s: %s",
                                                    static_cast<int>(seconds),
                                                    CutToErrorCapacity(e.ReportText())));
    } catch (...) {
        CloseConnection();
        return;
    }
    ReopenConnection();
    if (RfcIsValidHandleU(m_Connection.Handle(), nullptr) == RFC_OK)
        WriteConnectionMessage(u"reconnected.");
    else if (wasOpen)
        WriteConnectionMessage(u"reconnect failed; this capture is lost.");
}

bool CRfcThread::QuietDuringStop(std::u16string_view text) {
    if (!CRfcConnection::CallsCancelled() || !text.starts_with(u"RFC Exception: ")) return false;
    return m_bStopReported.exchange(true);
}

platform::OleDate CRfcThread::GetRemoteTime() {
    CGetSystemTimeRemote remoteTime;
    remoteTime.CallFunctionModule(m_Connection);
    return platform::OleDate(remoteTime.GetRemoteDateTime());
}

platform::OleDate CRfcThread::GetLastCollectorWriteTime(std::u16string_view text) {
    int year, month, day, hour, minute, second;
    ParseLastCollectorWrite(text, year, month, day, hour, minute, second);
    return platform::OleDate::FromDateTime(
        platform::MakeDateTime(year, month, day, hour, minute, second));
}

int CollectorMonthNumber(std::u16string_view word) {
    struct Name {
        const char16_t* word;
        int month;
    };
    static constexpr std::array<Name, 19> kNames = {{
        {u"Jan", 1},  {u"Ene", 1},  {u"Feb", 2},  {u"Mar", 3},  {u"Apr", 4},
        {u"Abr", 4},  {u"May", 5},  {u"Mai", 5},  {u"Jun", 6},  {u"Jul", 7},
        {u"Aug", 8},  {u"Ago", 8},  {u"Sep", 9},  {u"Oct", 10}, {u"Okt", 10},
        {u"Nov", 11}, {u"Dec", 12}, {u"Dez", 12}, {u"Dic", 12},
    }};
    for (const auto& name : kNames) {
        if (word == name.word) return name.month;
    }
    return 0;
}

namespace {

// Reads the text the way "%s %s %d %d:%d:%d %d" would: items that cannot
// be read stay 0 and end the reading; words of any length are taken whole.
class CollectorStampReader {
  public:
    explicit CollectorStampReader(std::u16string_view text) : text_(text) {}

    bool Word(std::u16string& out) {
        SkipBlanks();
        const size_t start = pos_;
        while (pos_ < text_.size() && !platform::IsWhiteSpace(text_[pos_])) ++pos_;
        out.assign(text_.substr(start, pos_ - start));
        return !out.empty();
    }

    bool Number(int& out) {
        SkipBlanks();
        size_t p = pos_;
        bool negative = false;
        if (p < text_.size() && (text_[p] == u'+' || text_[p] == u'-'))
            negative = text_[p++] == u'-';
        const size_t digits = p;
        long long value = 0;
        while (p < text_.size() && text_[p] >= u'0' && text_[p] <= u'9') {
            if (value < 1000000000LL) value = value * 10 + (text_[p] - u'0');
            ++p;
        }
        if (p == digits) return false;
        pos_ = p;
        out = static_cast<int>(negative ? -value : value);
        return true;
    }

    bool Literal(char16_t c) {
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }

  private:
    void SkipBlanks() {
        while (pos_ < text_.size() && platform::IsWhiteSpace(text_[pos_])) ++pos_;
    }

    std::u16string_view text_;
    size_t pos_ = 0;
};

}  // namespace

void CRfcThread::ParseLastCollectorWrite(std::u16string_view text, int& year, int& month, int& day,
                                         int& hour, int& minute, int& second) {
    static constexpr const char16_t* kLocation = u"CRfcThread::ParseLastCollectorWrite";
    year = month = day = hour = minute = second = 0;
    if (text.empty()) ThrowRfcDetailException(kLocation, u"no SAP collector data");

    CollectorStampReader reader(text);
    std::u16string weekday, monthWord;
    if (reader.Word(weekday) && reader.Word(monthWord) && reader.Number(day) &&
        reader.Number(hour) && reader.Literal(u':') && reader.Number(minute) &&
        reader.Literal(u':') && reader.Number(second)) {
        reader.Number(year);
    }
    month = CollectorMonthNumber(monthWord);

    auto fail = [](const char16_t* pattern, int value) {
        ThrowRfcDetailException(kLocation, platform::Format(pattern, value));
    };
    if (month < 1) fail(u"invalid month: %d", month);
    if (day < 1 || day > 31) fail(u"invalid day: %d", day);
    if (hour < 0 || hour > 23) fail(u"invalid hour: %d", hour);
    if (minute < 0 || minute > 59) fail(u"invalid minute: %d", minute);
    if (second < 0 || second > 59) fail(u"invalid second: %d", second);
    if (year <= 1970 || year >= 2039) fail(u"invalid year: %d", year);
}

void CRfcThread::CleanFileName(std::u16string& text) {
    std::u16string cleaned = platform::Trim(text);
    static constexpr std::u16string_view kRemoved = u"\\/:*?\"<>|. ";
    std::erase_if(cleaned,
                  [](char16_t c) { return kRemoved.find(c) != std::u16string_view::npos; });
    text = std::move(cleaned);
}

void CRfcThread::PostAndLog(unsigned windowMessage, const std::u16string& logFile,
                            const std::u16string& line) {
    MessageChannel::Instance().Post(windowMessage, line);
    if (!logFile.empty()) platform::AppendLineToFile(logFile, line);
}

void CRfcThread::PostLine(unsigned windowMessage, const std::u16string& line) noexcept {
    try {
        MessageChannel::Instance().Post(windowMessage, line);
    } catch (...) {
        // Out of memory while posting: the line is lost, the thread goes on.
    }
}
