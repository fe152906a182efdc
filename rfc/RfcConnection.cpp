#include "rfc/RfcConnection.h"

#include <atomic>

#include <algorithm>
#include <array>
#include <cstring>
#include <mutex>

#include "platform/FixedText.h"
#include "platform/Format.h"
#include "rfc/RfcException.h"

namespace {

// A character parameter of bytes / 2 characters over the given buffer.
RFC_PARAMETER CharParameter(const char16_t* name, char16_t* buffer, size_t characters) {
    RFC_PARAMETER p{};
    p.name = name;
    p.nlen = static_cast<unsigned int>(std::char_traits<char16_t>::length(name));
    p.addr = buffer;
    p.leng = static_cast<unsigned int>(characters * sizeof(char16_t));
    p.type = RFCTYPE_CHAR;
    return p;
}

template <size_t N>
std::u16string FieldOf(const char16_t (&field)[N]) {
    return platform::FieldText(field, N);
}

// A value of the connect string: in double quotes, with each quote doubled,
// when it holds a blank or a quote.
std::u16string ConnectValue(std::u16string_view value) {
    if (value.find_first_of(u" \t\r\n\"") == std::u16string_view::npos)
        return std::u16string(value);
    std::u16string quoted = u"\"";
    for (const char16_t c : value) {
        if (c == u'"') quoted.push_back(u'"');
        quoted.push_back(c);
    }
    quoted.push_back(u'"');
    return quoted;
}

// The first two characters of a release text as a number: "46C" gives 46,
// "620" gives 62, anything without two leading digits 0 (or its one digit).
int ReleaseNumber(std::u16string_view text) {
    int value = 0;
    for (size_t i = 0; i < 2 && i < text.size(); ++i) {
        if (text[i] < u'0' || text[i] > u'9') break;
        value = value * 10 + (text[i] - u'0');
    }
    return value;
}

}  // namespace

CRfcConnection::CRfcConnection() = default;

CRfcConnection::~CRfcConnection() {
    CloseConnection();
}

void CRfcConnection::SetLogonData(std::u16string_view host, std::u16string_view systemNumber,
                                  std::u16string_view client, std::u16string_view user,
                                  std::u16string_view password, std::u16string_view language,
                                  std::u16string_view domain, std::u16string_view router) {
    m_Logon = LogonRecord{};
    platform::CopyToField(m_Logon.host, host);
    platform::CopyToField(m_Logon.systemNumber, systemNumber);
    platform::CopyToField(m_Logon.client, client);
    platform::CopyToField(m_Logon.user, user);
    platform::CopyToField(m_Logon.password, password);
    platform::CopyToField(m_Logon.language, language);
    platform::CopyToField(m_Logon.domain, domain);
    platform::CopyToField(m_Logon.router, router);
}

void CRfcConnection::GetLogonData(std::u16string& host, std::u16string& systemNumber,
                                  std::u16string& client, std::u16string& user,
                                  std::u16string& password, std::u16string& language,
                                  std::u16string& domain, std::u16string& router) const {
    host = FieldOf(m_Logon.host);
    systemNumber = FieldOf(m_Logon.systemNumber);
    client = FieldOf(m_Logon.client);
    user = FieldOf(m_Logon.user);
    password = FieldOf(m_Logon.password);
    language = FieldOf(m_Logon.language);
    domain = FieldOf(m_Logon.domain);
    router = FieldOf(m_Logon.router);
}

void CRfcConnection::BuildConnectString() {
    using platform::Trim;
    std::u16string address = Trim(FieldOf(m_Logon.router));
    address += Trim(FieldOf(m_Logon.host));
    const std::u16string domain = Trim(FieldOf(m_Logon.domain));
    if (!domain.empty()) address += u"." + domain;
    // The password goes as it was given, blanks and all.
    m_strConnect = platform::Format(
        u"ASHOST=%s SYSNR=%s CLIENT=%s USER=%s PASSWD=%s LANG=%s", ConnectValue(address),
        ConnectValue(Trim(FieldOf(m_Logon.systemNumber))),
        ConnectValue(Trim(FieldOf(m_Logon.client))), ConnectValue(Trim(FieldOf(m_Logon.user))),
        ConnectValue(FieldOf(m_Logon.password)), ConnectValue(Trim(FieldOf(m_Logon.language))));
}

void CRfcConnection::CheckHandle(std::u16string_view location) {
    if (RfcIsValidHandleU(m_hRfc, &m_ErrorInfo) != RFC_OK) ThrowRfcException(location, m_ErrorInfo);
}

namespace {
std::atomic<bool> g_callsCancelled{false};
}  // namespace

void CRfcConnection::CancelAllCalls() {
    g_callsCancelled = true;
    RfcCancelAllCallsU();
}

void CRfcConnection::ResumeAllCalls() {
    RfcResumeCallsU();
    g_callsCancelled = false;
}

bool CRfcConnection::CallsCancelled() {
    return g_callsCancelled;
}

void CRfcConnection::CallRfcOpen() {
    CloseConnection();
    std::lock_guard lock(m_Lock);
    const RFC_RC state = RfcIsValidHandleU(m_hRfc, &m_ErrorInfo);
    if (state != RFC_NOT_OPEN && state != RFC_INVALID_HANDLE) {
        ThrowRfcException(u"CRfcConnection::CallRfcOpen - RfcIsValidHandle", m_ErrorInfo);
    }
    BuildConnectString();
    m_hRfc = RfcOpenExU(m_strConnect.c_str(), &m_ErrorInfo);
    if (RfcIsValidHandleU(m_hRfc, nullptr) != RFC_OK) {
        // A handle the library issued for a failed logon is released too.
        if (m_hRfc != RFC_HANDLE_NULL) RfcCloseU(m_hRfc);
        m_hRfc = RFC_HANDLE_NULL;
        ThrowRfcException(u"CRfcConnection::CallRfcOpen - RfcOpenEx", m_ErrorInfo);
    }
    int release = 0;
    try {
        release = GetRfcAttributes();
    } catch (...) {
        // A failed open leaves the connection closed, whichever step failed.
        RfcCloseU(m_hRfc);
        m_hRfc = RFC_HANDLE_NULL;
        throw;
    }
    m_nRelease = release;
    if (release < 30 || release > 99) {
        RfcCloseU(m_hRfc);
        m_hRfc = RFC_HANDLE_NULL;
        ThrowRfcMessageException(
            u"CRfcConnection::GetRfcAttributes - cannot determine R/3 release.");
    }
}

void CRfcConnection::CloseConnection() {
    std::lock_guard lock(m_Lock);
    const RFC_RC state = RfcIsValidHandleU(m_hRfc, nullptr);
    if (state == RFC_OK || state == RFC_CLOSED) {
        RfcCloseU(m_hRfc);
        m_hRfc = RFC_HANDLE_NULL;
    }
}

int CRfcConnection::GetRfcAttributes() {
    // R/3 pads its texts with blanks: a blank release counts as none given.
    CallRfcGetAttributes();
    std::u16string text = platform::Trim(
        platform::FieldText(m_Attributes.partner_rel, std::size(m_Attributes.partner_rel)));
    if (text.empty()) {
        CallRfcGetSapSystemParameters();
        text = platform::Trim(FieldOf(m_SystemParameters.release));
    }
    if (text.empty()) {
        CallDbDbsysRelease();
        text = platform::Trim(FieldOf(m_Database.release));
    }
    return ReleaseNumber(text);
}

void CRfcConnection::CallRfcGetAttributes() {
    CheckHandle(u"CRfcConnection::CallRfcGetAttributes - RfcIsValidHandle");
    m_Attributes = RFC_ATTRIBUTES{};
    if (RfcGetAttributesU(m_hRfc, &m_Attributes) != RFC_OK) {
        RfcLastErrorExU(&m_ErrorInfo);
        ThrowRfcException(u"CRfcConnection::CallRfcGetAttributes - RfcGetAttributes", m_ErrorInfo);
    }
}

void CRfcConnection::CallRfcGetSapSystemParameters() {
    static constexpr const char16_t* kFunction = u"RFC_GET_SAP_SYSTEM_PARAMETERS";
    CheckHandle(u"CRfcConnection::CallRfcGetSapSystemParameters - RfcIsValidHandle");
    RFC_PARAMETER noExports[1]{};
    RFC_TABLE noTables[1]{};
    if (RfcCallU(m_hRfc, kFunction, noExports, noTables) != RFC_OK) {
        RfcLastErrorExU(&m_ErrorInfo);
        ThrowRfcException(u"CRfcConnection::CallRfcGetSapSystemParameters - RfcCall", kFunction,
                          m_ErrorInfo);
    }
    SystemParameters received{};
    RFC_PARAMETER imports[] = {
        CharParameter(u"DATE_FORMAT", received.dateFormat, std::size(received.dateFormat)),
        CharParameter(u"DECIMAL_SIGN", received.decimalSign, std::size(received.decimalSign)),
        CharParameter(u"LANGUAGE", received.language, std::size(received.language)),
        CharParameter(u"SAP_SYSTEM_RELEASE", received.release, std::size(received.release)),
        CharParameter(u"USER_NAME", received.userName, std::size(received.userName)),
        RFC_PARAMETER{},
    };
    RFC_CHAR* exception = nullptr;
    if (RfcReceiveU(m_hRfc, imports, noTables, &exception) != RFC_OK) {
        RfcLastErrorExU(&m_ErrorInfo);
        ThrowRfcException(u"CRfcConnection::CallRfcGetSapSystemParameters - RfcReceive", kFunction,
                          m_ErrorInfo);
    }
    m_SystemParameters = received;
}

void CRfcConnection::CallDbDbsysRelease() {
    static constexpr const char16_t* kFunction = u"DB_DBSYS_RELEASE";
    CheckHandle(u"CRfcConnection::CallDbDbsysRelease - RfcIsValidHandle");
    DatabaseRecord received{};
    RFC_PARAMETER noExports[1]{};
    RFC_PARAMETER imports[] = {
        CharParameter(u"DBSYSTEM", received.system, std::size(received.system)),
        CharParameter(u"RELEASE", received.release, std::size(received.release)),
        RFC_PARAMETER{},
    };
    RFC_TABLE noTables[1]{};
    RFC_CHAR* exception = nullptr;
    if (RfcCallReceiveU(m_hRfc, kFunction, noExports, imports, noTables, &exception) != RFC_OK) {
        RfcLastErrorExU(&m_ErrorInfo);
        ThrowRfcException(u"CRfcConnection::CallDbDbsysRelease - RfcCallReceive", kFunction,
                          m_ErrorInfo);
    }
    m_Database = received;
}

std::u16string CRfcConnection::GetDateFormat() const {
    return platform::Trim(FieldOf(m_SystemParameters.dateFormat));
}

bool CRfcConnection::ObjectExists(std::u16string_view object) {
    static constexpr const char16_t* kFunction = u"OBJECT_EXISTS";
    char16_t objectField[10];
    platform::CopyToBlankField(objectField, std::size(objectField), object);
    RFC_PARAMETER exports[] = {CharParameter(u"OBJECT", objectField, std::size(objectField)),
                               RFC_PARAMETER{}};
    CheckHandle(u"CRfcConnection::ObjectExists - RfcIsValidHandle");
    RFC_PARAMETER noImports[1]{};
    RFC_TABLE noTables[1]{};
    RFC_CHAR* exception = nullptr;
    const RFC_RC rc = RfcCallReceiveU(m_hRfc, kFunction, exports, noImports, noTables, &exception);
    RfcLastErrorExU(&m_ErrorInfo);
    if (rc == RFC_EXCEPTION) {
        const std::u16string key =
            platform::TrimRight(platform::FieldText(m_ErrorInfo.key, std::size(m_ErrorInfo.key)));
        return key == kFunction;
    }
    ThrowRfcException(u"CRfcConnection::ObjectExists - RfcCallReceive", kFunction, m_ErrorInfo);
}

void CRfcConnection::CallAuthorityCheck(std::u16string_view object, std::u16string_view field1,
                                        std::u16string_view value1, std::u16string_view field2,
                                        std::u16string_view value2, std::u16string_view field3,
                                        std::u16string_view value3) {
    std::lock_guard lock(m_Lock);
    if (!ObjectExists(object)) return;

    char16_t f1[10], f2[10], f3[10], obj[10], user[12], v1[40], v2[40], v3[40];
    platform::CopyToBlankField(f1, std::size(f1), field1);
    platform::CopyToBlankField(f2, std::size(f2), field2);
    platform::CopyToBlankField(f3, std::size(f3), field3);
    platform::CopyToBlankField(obj, std::size(obj), object);
    platform::CopyToBlankField(user, std::size(user), platform::Trim(FieldOf(m_Logon.user)));
    platform::CopyToBlankField(v1, std::size(v1), value1);
    platform::CopyToBlankField(v2, std::size(v2), value2);
    platform::CopyToBlankField(v3, std::size(v3), value3);
    RFC_PARAMETER exports[] = {
        CharParameter(u"FIELD1", f1, std::size(f1)),
        CharParameter(u"FIELD2", f2, std::size(f2)),
        CharParameter(u"FIELD3", f3, std::size(f3)),
        CharParameter(u"OBJECT", obj, std::size(obj)),
        CharParameter(u"USER", user, std::size(user)),
        CharParameter(u"VALUE1", v1, std::size(v1)),
        CharParameter(u"VALUE2", v2, std::size(v2)),
        CharParameter(u"VALUE3", v3, std::size(v3)),
        RFC_PARAMETER{},
    };
    CheckHandle(u"CRfcConnection::CallAuthorityCheck - RfcIsValidHandle");
    RFC_PARAMETER noImports[1]{};
    RFC_TABLE noTables[1]{};
    RFC_CHAR* exception = nullptr;
    const RFC_RC rc =
        RfcCallReceiveU(m_hRfc, u"AUTHORITY_CHECK", exports, noImports, noTables, &exception);
    RfcLastErrorExU(&m_ErrorInfo);
    if (rc == RFC_EXCEPTION) {
        const std::u16string key =
            platform::TrimRight(platform::FieldText(m_ErrorInfo.key, std::size(m_ErrorInfo.key)));
        if (key == u"USER_IS_AUTHORIZED") return;
        ThrowRfcDetailException(
            u"CRfcConnection::CallAuthorityCheck - RfcCallReceive",
            platform::Format(u"%s - Object: %s, %s: %s, %s: %s, %s: %s", key, object, field1,
                             value1, field2, value2, field3, value3));
    }
    ThrowRfcException(u"CRfcConnection::CallAuthorityCheck - RfcCallReceive", object, m_ErrorInfo);
}

void CRfcConnection::CallRfcPing() {
    std::lock_guard lock(m_Lock);
    CheckHandle(u"CRfcConnection::CallRfcPing - RfcIsValidHandle");
    RFC_PARAMETER noExports[1]{};
    RFC_PARAMETER noImports[1]{};
    RFC_TABLE noTables[1]{};
    RFC_CHAR* exception = nullptr;
    if (RfcCallReceiveU(m_hRfc, u"RFC_PING", noExports, noImports, noTables, &exception) !=
        RFC_OK) {
        RfcLastErrorExU(&m_ErrorInfo);
        ThrowRfcException(u"CRfcConnection::CallRfcPing - RfcCallReceive", u"RFC_PING",
                          m_ErrorInfo);
    }
}

int CRfcConnection::EncodeLogonPassword() {
    for (size_t i = 0; i < kPasswordWidth; ++i) {
        m_Logon.password[i] = static_cast<char16_t>(m_Logon.password[i] + 16 + i);
    }
    return 16;
}

int CRfcConnection::DecodeLogonPassword() {
    for (size_t i = 0; i < kPasswordWidth; ++i) {
        m_Logon.password[i] = static_cast<char16_t>(m_Logon.password[i] - 16 - i);
    }
    return 16;
}

void CRfcConnection::ScramblePassword(std::u16string& password) const {
    const size_t n = password.size();
    for (size_t i = 0; i < n; ++i) password[i] = static_cast<char16_t>(password[i] + n + i);
}

void CRfcConnection::UnscramblePassword(std::u16string& password) const {
    const size_t n = password.size();
    for (size_t i = 0; i < n; ++i) password[i] = static_cast<char16_t>(password[i] - n - i);
}
