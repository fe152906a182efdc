// Installing the backend, and the connection operations: open (bounded in
// time), validity, close, attributes and cancel.
#include "nwrfc/SdkBackend.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <thread>

#include "client/ClientSettings.h"
#include "client/ConnectString.h"
#include "client/ErrorState.h"
#include "nwrfc/ConnectionOptions.h"
#include "nwrfc/SdkErrors.h"
#include "nwrfc/SdkText.h"
#include "platform/TextCodec.h"

namespace rfclib::nw {
namespace {

constexpr size_t kMaxConnectStringUnits = 4096;

std::atomic<SdkBackend*> g_active{nullptr};
std::mutex g_installMutex;                         // guards g_installed
std::vector<std::unique_ptr<SdkBackend>> g_installed;  // kept: a loaded library stays

// Cancels of opens in progress: an open started before a cancel gives up.
std::atomic<unsigned> g_cancelGeneration{0};
// Between a cancel for a stop and the resume, nothing new starts.
std::atomic<bool> g_cancelled{false};

ErrorRecord CancelledError(const char* what) {
    ErrorRecord error = MakeError(RFC_ERROR_COMMUNICATION,
                                  std::string(what) + ": cancelled for a stop");
    error.key = RFC_KEY_CANCELLED;
    return error;
}

ErrorRecord HandleError(RFC_HANDLE handle, const char* what) {
    return MakeError(RFC_ERROR_HANDLE, std::string(what) + ": RFC handle " +
                                           std::to_string(handle) + " is not valid");
}

template <size_t N>
void Put(RFC_CHAR (&field)[N], std::u16string_view text) {
    CopyText(text.substr(0, N - 1), field, N);
}

// An open that runs on a thread of its own, so that a partner that never
// answers cannot hold the caller past the time-out; an abandoned open closes
// its connection when it finally returns.
struct OpenAttempt {
    std::mutex mutex;  // guards all below
    std::condition_variable done;
    bool finished = false, abandoned = false;
    nwrfc::RFC_CONNECTION_HANDLE handle = nullptr;
    nwrfc::RFC_ERROR_INFO info{};
    ConnectionParameters pairs;
    std::vector<nwrfc::RFC_CONNECTION_PARAMETER> parameters;
};

}  // namespace

SdkBackend* SdkBackend::Active() {
    return g_active.load(std::memory_order_acquire);
}

RFC_RC SdkBackend::Install(const std::string& path, const std::string& optionsFile,
                           RFC_ERROR_INFO_EX* info) {
    std::lock_guard lock(g_installMutex);
    SdkBackend* current = Active();
    if (current != nullptr && !current->connections_.Empty())
        return Fail(MakeError(RFC_ERROR_PROGRAM,
                              "the RFC library cannot change while connections are open"),
                    RFC_FAILURE, info);
    if (path.empty()) {
        g_active.store(nullptr, std::memory_order_release);
        return RFC_OK;
    }
    ConnectionParameters extra;
    std::string error;
    if (!optionsFile.empty() && !ReadConnectionOptions(optionsFile, extra, error))
        return Fail(MakeError(RFC_ERROR_PROGRAM, error), RFC_FAILURE, info);
    std::unique_ptr<NwRfcLibrary> library = NwRfcLibrary::Load(path, error);
    if (!library) return Fail(MakeError(RFC_ERROR_PROGRAM, error), RFC_FAILURE, info);
    g_installed.emplace_back(new SdkBackend(std::move(library), std::move(extra)));
    g_active.store(g_installed.back().get(), std::memory_order_release);
    return RFC_OK;
}

std::u16string SdkBackend::Description() const {
    return u"NetWeaver RFC library " + platform::FromUtf8(library_->Path()) + u", version " +
           library_->Version();
}

std::shared_ptr<SdkConnection> SdkBackend::Usable(RFC_HANDLE handle, const char* function,
                                                  RFC_RC& rc) {
    auto connection = connections_.Find(handle);
    if (!connection)
        rc = Fail(HandleError(handle, function),
                  handle == RFC_HANDLE_NULL ? RFC_NOT_OPEN : RFC_INVALID_HANDLE);
    return connection;
}

SdkBackend::Locked SdkBackend::LockOpen(RFC_HANDLE handle, const char* function, RFC_RC& rc) {
    Locked locked;
    locked.connection = Usable(handle, function, rc);
    if (!locked.connection) return locked;
    locked.lock = std::unique_lock(locked.connection->mutex);
    if (StillOpen(*locked.connection)) return locked;
    rc = Fail(locked.connection->Failure(), RFC_CLOSED);
    locked.lock.unlock();
    locked.connection.reset();
    return locked;
}

RFC_RC SdkBackend::DescriptionFailure(SdkConnection& connection, const nwrfc::RFC_ERROR_INFO& info,
                                      RFC_CHAR** exception) {
    ErrorRecord error = ClassicError(info);
    if (ClosesConnection(info.code))
        connection.MarkBroken(error);
    else
        error.group = RFC_ERROR_SYSTEM_FAILURE;
    connection.exceptionText = error.key;
    if (exception != nullptr) *exception = connection.exceptionText.data();
    return Fail(error, RFC_FAILURE);
}

RFC_HANDLE SdkBackend::Open(const RFC_CHAR* connect, RFC_ERROR_INFO_EX* info) {
    if (connect == nullptr) {
        Fail(MakeError(RFC_ERROR_PROGRAM, "RfcOpenEx: connect string is NULL"), RFC_FAILURE,
             info);
        return RFC_HANDLE_NULL;
    }
    if (g_cancelled) {
        Fail(CancelledError("RfcOpenEx"), RFC_FAILURE, info);
        return RFC_HANDLE_NULL;
    }
    ConnectParameters logon;
    std::string reason;
    if (!ParseConnectString(FromRfcChars(connect, kMaxConnectStringUnits), logon, reason)) {
        Fail(MakeError(RFC_ERROR_PROGRAM, reason), RFC_FAILURE, info);
        return RFC_HANDLE_NULL;
    }
    auto attempt = std::make_shared<OpenAttempt>();
    attempt->pairs = LogonParameters(logon);
    attempt->pairs.insert(attempt->pairs.end(), extra_.begin(), extra_.end());
    for (const auto& [name, value] : attempt->pairs)
        attempt->parameters.push_back({name.c_str(), value.c_str()});

    const unsigned generation = g_cancelGeneration.load();
    const Functions* api = &Api();
    std::thread([attempt, api] {
        nwrfc::RFC_ERROR_INFO error{};
        nwrfc::RFC_CONNECTION_HANDLE handle = api->RfcOpenConnection(
            attempt->parameters.data(), static_cast<unsigned>(attempt->parameters.size()),
            &error);
        std::lock_guard lock(attempt->mutex);
        if (attempt->abandoned) {
            if (handle != nullptr) api->RfcCloseConnection(handle, nullptr);
            return;
        }
        attempt->handle = handle;
        attempt->info = error;
        attempt->finished = true;
        attempt->done.notify_all();
    }).detach();

    const ClientSettings settings = SettingsFromEnvironment();
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(settings.connectTimeoutMs) +
                          std::chrono::milliseconds(settings.readTimeoutMs);
    std::unique_lock lock(attempt->mutex);
    while (!attempt->finished) {
        const bool cancelled = g_cancelGeneration.load() != generation;
        if (cancelled || std::chrono::steady_clock::now() >= deadline) {
            attempt->abandoned = true;
            Fail(cancelled ? CancelledError("RfcOpenEx")
                           : MakeError(RFC_ERROR_COMMUNICATION,
                                       "RfcOpenEx: no answer from " +
                                           platform::ToUtf8(logon.host) + " within " +
                                           std::to_string((settings.connectTimeoutMs +
                                                           settings.readTimeoutMs) /
                                                          1000) +
                                           " s"),
                 RFC_FAILURE, info);
            return RFC_HANDLE_NULL;
        }
        attempt->done.wait_for(lock, std::chrono::milliseconds(100));
    }
    if (attempt->handle == nullptr) {
        Fail(ClassicError(attempt->info), RFC_FAILURE, info);
        return RFC_HANDLE_NULL;
    }
    auto connection = std::make_shared<SdkConnection>();
    connection->handle = attempt->handle;
    connection->host = logon.host;
    connection->user = logon.user;
    connection->client = logon.client;
    const RFC_HANDLE handle = connections_.Register(connection);
    if (handle == RFC_HANDLE_NULL) {
        connection->CloseOnce([this](auto h) { Api().RfcCloseConnection(h, nullptr); });
        Fail(MakeError(RFC_ERROR_RESOURCE, "RfcOpenEx: no RFC handle left"), RFC_FAILURE, info);
    }
    return handle;
}

bool SdkBackend::StillOpen(SdkConnection& connection) {
    if (connection.Broken()) return false;
    int valid = 0;
    nwrfc::RFC_ERROR_INFO info{};
    if (Api().RfcIsConnectionHandleValid(connection.handle, &valid, &info) == nwrfc::RFC_OK &&
        valid != 0)
        return true;
    ErrorRecord error = info.code != nwrfc::RFC_OK
                            ? ClassicError(info)
                            : MakeError(RFC_ERROR_COMMUNICATION,
                                        "the RFC library has closed the connection");
    error.group = RFC_ERROR_COMMUNICATION;
    connection.MarkBroken(error);
    return false;
}

RFC_RC SdkBackend::IsValid(RFC_HANDLE handle, RFC_ERROR_INFO_EX* info) {
    auto connection = connections_.Find(handle);
    if (!connection) {
        CopyToInfo(HandleError(handle, "RfcIsValidHandle"), info);
        return handle == RFC_HANDLE_NULL ? RFC_NOT_OPEN : RFC_INVALID_HANDLE;
    }
    std::unique_lock lock(connection->mutex, std::try_to_lock);
    // A call in progress on another thread: the connection is in use, so open.
    if (!lock.owns_lock()) return connection->Broken() ? RFC_CLOSED : RFC_OK;
    if (StillOpen(*connection)) return RFC_OK;
    CopyToInfo(connection->Failure(), info);
    return RFC_CLOSED;
}

void SdkBackend::Close(RFC_HANDLE handle) {
    auto connection = connections_.Remove(handle);
    if (!connection) return;
    std::unique_lock lock(connection->mutex, std::try_to_lock);
    if (!lock.owns_lock()) {
        if (Api().RfcCancel != nullptr)
            connection->CancelIfBusy([this](auto h) { Api().RfcCancel(h, nullptr); });
        lock.lock();
    }
    connection->pending.Clear();
    connection->CloseOnce([this](auto h) { Api().RfcCloseConnection(h, nullptr); });
}

RFC_RC SdkBackend::Attributes(RFC_HANDLE handle, RFC_ATTRIBUTES* attributes) {
    RFC_RC rc = RFC_OK;
    const Locked locked = LockOpen(handle, "RfcGetAttributes", rc);
    if (!locked.connection) return rc;
    if (attributes == nullptr)
        return Fail(MakeError(RFC_ERROR_PROGRAM, "RfcGetAttributes: attributes is NULL"),
                    RFC_FAILURE);
    const std::shared_ptr<SdkConnection>& connection = locked.connection;
    nwrfc::RFC_ATTRIBUTES a{};
    nwrfc::RFC_ERROR_INFO info{};
    if (Api().RfcGetConnectionAttributes(connection->handle, &a, &info) != nwrfc::RFC_OK)
        return Fail(ClassicError(info), RFC_FAILURE);
    RFC_ATTRIBUTES& out = *attributes;
    std::memset(&out, 0, sizeof out);
    Put(out.dest, SdkText(a.dest));
    Put(out.own_host, SdkText(a.host));
    Put(out.partner_host, SdkText(a.partnerHost));
    Put(out.systnr, SdkText(a.sysNumber));
    Put(out.sysid, SdkText(a.sysId));
    Put(out.client, SdkText(a.client).empty() ? std::u16string_view(connection->client) : SdkText(a.client));
    Put(out.user, SdkText(a.user).empty() ? std::u16string_view(connection->user) : SdkText(a.user));
    Put(out.language, SdkText(a.language).substr(0, 1));
    Put(out.ISO_language, SdkText(a.isoLanguage));
    Put(out.own_codepage, SdkText(a.codepage));
    Put(out.partner_codepage, SdkText(a.partnerCodepage));
    out.rfc_role = a.rfcRole[0];
    out.own_type = a.type[0];
    Put(out.own_rel, SdkText(a.rel));
    out.partner_type = a.partnerType[0];
    Put(out.partner_rel, SdkText(a.partnerRel));
    Put(out.kernel_rel, SdkText(a.kernelRel));
    out.trace = a.trace[0] != 0 && a.trace[0] != u'0' && a.trace[0] != u' ' ? u'X' : u' ';
    return RFC_OK;
}

void SdkBackend::CancelAll() {
    g_cancelled = true;
    g_cancelGeneration.fetch_add(1);
    if (Api().RfcCancel == nullptr) return;
    for (const auto& connection : connections_.All())
        connection->CancelIfBusy([this](auto h) { Api().RfcCancel(h, nullptr); });
}

void SdkBackend::ResumeAll() {
    g_cancelled = false;
}

bool SdkBackend::Cancelled() {
    return g_cancelled;
}

unsigned SdkBackend::CancelGeneration() {
    return g_cancelGeneration.load();
}

}  // namespace rfclib::nw
