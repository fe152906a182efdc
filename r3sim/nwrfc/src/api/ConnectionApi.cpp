// The SDK's entry points for the library and its connections.
#include <unistd.h>

#include "Connection.h"
#include "Invoke.h"
#include "LogonParameters.h"
#include "Text.h"
#include "platform/TextCodec.h"

using namespace nwsim;

namespace {

constexpr unsigned kMajor = 7500, kMinor = 0, kPatch = 1;
constexpr char16_t kVersionText[] = u"7500.0.1 (quorvel emulation over the r3sim protocol)";
constexpr char16_t kOwnRelease[] = u"750";

void FillAttributes(const Connection& connection, nwrfc::RFC_ATTRIBUTES& out) {
    out = {};
    const rfcwire::SystemAttributes& a = connection.Attributes();
    const rfclib::ConnectParameters& p = connection.Parameters();
    char host[101] = {};
    ::gethostname(host, sizeof host - 1);
    PutText(platform::FromUtf8(host), out.host);
    PutText(a.partnerHost, out.partnerHost);
    PutText(a.systemNumber, out.sysNumber);
    PutText(a.systemId, out.sysId);
    PutText(p.client, out.client);
    PutText(p.user, out.user);
    PutText(std::u16string_view(a.language).substr(0, 1), out.language);
    PutText(u"0", out.trace);
    PutText(a.isoLanguage, out.isoLanguage);
    PutText(u"4103", out.codepage);
    PutText(a.partnerCodepage, out.partnerCodepage);
    PutText(u"C", out.rfcRole);
    PutText(u"E", out.type);
    PutText(kOwnRelease, out.rel);
    PutText(u"3", out.partnerType);
    PutText(a.partnerRelease, out.partnerRel);
    PutText(a.kernelRelease, out.kernelRel);
    PutText(connection.UnicodePartner() ? u"2" : u"1", out.partnerBytesPerChar);
    PutText(a.partnerCodepage, out.partnerSystemCodepage);
}

}  // namespace

extern "C" {

const nwrfc::SAP_UC* RfcGetVersion(unsigned* majorVersion, unsigned* minorVersion,
                                   unsigned* patchLevel) {
    if (majorVersion != nullptr) *majorVersion = kMajor;
    if (minorVersion != nullptr) *minorVersion = kMinor;
    if (patchLevel != nullptr) *patchLevel = kPatch;
    return kVersionText;
}

const nwrfc::SAP_UC* RfcGetRcAsString(nwrfc::RFC_RC rc) {
    return CodeName(rc);
}

nwrfc::RFC_CONNECTION_HANDLE RfcOpenConnection(const nwrfc::RFC_CONNECTION_PARAMETER* params,
                                               unsigned paramCount,
                                               nwrfc::RFC_ERROR_INFO* errorInfo) {
    rfclib::ConnectParameters parameters;
    std::string reason;
    if (!ParseLogonParameters(params, paramCount, parameters, reason)) {
        Report(InvalidParameter(reason), errorInfo);
        return nullptr;
    }
    Failure failure;
    const std::shared_ptr<Connection> connection = Connection::Open(parameters, failure);
    if (!connection) {
        Report(failure, errorInfo);
        return nullptr;
    }
    Succeed(errorInfo);
    return connection->Handle();
}

nwrfc::RFC_RC RfcCloseConnection(nwrfc::RFC_CONNECTION_HANDLE rfcHandle,
                          nwrfc::RFC_ERROR_INFO* errorInfo) {
    const std::shared_ptr<Connection> connection = RemoveConnection(rfcHandle);
    if (!connection)
        return Report(MakeFailure(nwrfc::RFC_INVALID_HANDLE, nwrfc::EXTERNAL_RUNTIME_FAILURE,
                                  "RfcCloseConnection: the connection handle is not open"),
                      errorInfo);
    // A call in progress on another thread is ended first, so closing never
    // waits for the partner's answer.
    std::unique_lock lock(connection->CallMutex(), std::try_to_lock);
    if (!lock.owns_lock()) {
        connection->Cancel();
        lock.lock();
    }
    connection->Close();
    return Succeed(errorInfo);
}

nwrfc::RFC_RC RfcIsConnectionHandleValid(nwrfc::RFC_CONNECTION_HANDLE rfcHandle, int* isValid,
                                  nwrfc::RFC_ERROR_INFO* errorInfo) {
    const bool open = FindConnection(rfcHandle) != nullptr;
    if (isValid != nullptr) *isValid = open ? 1 : 0;
    if (open) return Succeed(errorInfo);
    return Report(MakeFailure(nwrfc::RFC_INVALID_HANDLE, nwrfc::EXTERNAL_RUNTIME_FAILURE,
                              "the connection handle is not open"),
                  errorInfo);
}

nwrfc::RFC_RC RfcGetConnectionAttributes(nwrfc::RFC_CONNECTION_HANDLE rfcHandle,
                                  nwrfc::RFC_ATTRIBUTES* attr, nwrfc::RFC_ERROR_INFO* errorInfo) {
    if (attr == nullptr)
        return Report(InvalidParameter("RfcGetConnectionAttributes: attr is NULL"), errorInfo);
    LockedConnection locked;
    Failure failure;
    if (!LockConnection(rfcHandle, "RfcGetConnectionAttributes", locked, failure))
        return Report(failure, errorInfo);
    FillAttributes(*locked.connection, *attr);
    return Succeed(errorInfo);
}

nwrfc::RFC_RC RfcPing(nwrfc::RFC_CONNECTION_HANDLE rfcHandle, nwrfc::RFC_ERROR_INFO* errorInfo) {
    LockedConnection locked;
    Failure failure;
    if (!LockConnection(rfcHandle, "RfcPing", locked, failure) ||
        !Ping(*locked.connection, failure))
        return Report(failure, errorInfo);
    return Succeed(errorInfo);
}

nwrfc::RFC_RC RfcCancel(nwrfc::RFC_CONNECTION_HANDLE rfcHandle, nwrfc::RFC_ERROR_INFO* errorInfo) {
    // Never takes the call lock: the call it ends holds it.
    const std::shared_ptr<Connection> connection = FindConnection(rfcHandle);
    if (!connection)
        return Report(MakeFailure(nwrfc::RFC_INVALID_HANDLE, nwrfc::EXTERNAL_RUNTIME_FAILURE,
                                  "RfcCancel: the connection handle is not open"),
                      errorInfo);
    connection->Cancel();
    return Succeed(errorInfo);
}

}  // extern "C"
