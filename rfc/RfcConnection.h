// One logged-on RFC connection to an application server of an R/3 system:
// logon data, handle, attributes, a few system parameters read at logon,
// the last error record, and the connection lock.
//
// Thread rules: a connection belongs to one thread. m_Lock (re-entrant)
// serialises the connection's own operations with the call objects that run
// on it; CallRfcOpen, CloseConnection, CallRfcPing and CallAuthorityCheck hold
// it for their whole run. The logon record and the password operations are
// not locked.
#pragma once

#include <string>
#include <string_view>

#include "platform/RecursiveMutex.h"
#include "rfc32u.h"

class CRfcConnection {
  public:
    // Widths in characters of the logon record's fields.
    static constexpr size_t kHostWidth = 20, kSystemNumberWidth = 3, kClientWidth = 3,
                            kUserWidth = 12, kPasswordWidth = 40, kLanguageWidth = 2,
                            kDomainWidth = 64, kRouterWidth = 64;

    struct LogonRecord {
        char16_t host[kHostWidth];
        char16_t systemNumber[kSystemNumberWidth];
        char16_t client[kClientWidth];
        char16_t user[kUserWidth];
        char16_t password[kPasswordWidth];
        char16_t language[kLanguageWidth];
        char16_t domain[kDomainWidth];
        char16_t router[kRouterWidth];
    };

    struct SystemParameters {
        char16_t dateFormat[30];
        char16_t decimalSign[1];
        char16_t language[1];
        char16_t release[4];
        char16_t userName[12];
    };

    struct DatabaseRecord {
        char16_t system[3];
        char16_t release[7];
    };

    CRfcConnection();
    CRfcConnection(const CRfcConnection&) = delete;
    CRfcConnection& operator=(const CRfcConnection&) = delete;
    virtual ~CRfcConnection();

    // Copies each value into its field, cut to the field's width.
    virtual void SetLogonData(std::u16string_view host, std::u16string_view systemNumber,
                              std::u16string_view client, std::u16string_view user,
                              std::u16string_view password, std::u16string_view language,
                              std::u16string_view domain, std::u16string_view router);
    virtual void GetLogonData(std::u16string& host, std::u16string& systemNumber,
                              std::u16string& client, std::u16string& user,
                              std::u16string& password, std::u16string& language,
                              std::u16string& domain, std::u16string& router) const;

    // For a stop: every call of the process in flight ends at once with an
    // RFC error, and no connection opens until ResumeAllCalls.
    static void CancelAllCalls();
    static void ResumeAllCalls();
    // Between the two.
    static bool CallsCancelled();

    // Opens and logs on, then determines the release; throws CRfcException.
    virtual void CallRfcOpen();
    // Closes an open or broken handle; never throws for RFC reasons.
    virtual void CloseConnection();
    virtual void CallRfcPing();
    // Returns when the user is authorised or the object does not exist.
    virtual void CallAuthorityCheck(std::u16string_view object, std::u16string_view field1,
                                    std::u16string_view value1, std::u16string_view field2,
                                    std::u16string_view value2, std::u16string_view field3,
                                    std::u16string_view value3);

    // In place on the password field: character i gets 16 + i added or taken.
    virtual int EncodeLogonPassword();
    virtual int DecodeLogonPassword();
    // For the stored password: character i of n gets n + i added or taken.
    virtual void ScramblePassword(std::u16string& password) const;
    virtual void UnscramblePassword(std::u16string& password) const;

    virtual int GetRelease() const { return m_nRelease; }
    virtual std::u16string GetDateFormat() const;

    // Steps of CallRfcOpen, callable on their own on an open connection.
    virtual void BuildConnectString();
    virtual int GetRfcAttributes();
    virtual void CallRfcGetAttributes();
    virtual void CallRfcGetSapSystemParameters();
    virtual void CallDbDbsysRelease();
    virtual bool ObjectExists(std::u16string_view object);

    // For the call objects that run on this connection.
    RFC_HANDLE Handle() const { return m_hRfc; }
    platform::RecursiveMutex& Lock() { return m_Lock; }
    RFC_ERROR_INFO_EX& ErrorInfo() { return m_ErrorInfo; }
    const std::u16string& ConnectString() const { return m_strConnect; }
    const RFC_ATTRIBUTES& Attributes() const { return m_Attributes; }
    const SystemParameters& GetSystemParameters() const { return m_SystemParameters; }
    const DatabaseRecord& GetDatabaseRecord() const { return m_Database; }

  private:
    // Throws "<location>" with the record RfcIsValidHandleU filled unless the
    // handle is open.
    void CheckHandle(std::u16string_view location);

    RFC_ATTRIBUTES m_Attributes{};
    LogonRecord m_Logon{};
    SystemParameters m_SystemParameters{};
    DatabaseRecord m_Database{};
    RFC_ERROR_INFO_EX m_ErrorInfo{};
    RFC_HANDLE m_hRfc = RFC_HANDLE_NULL;
    std::u16string m_strConnect;
    platform::RecursiveMutex m_Lock;
    int m_nRelease = 0;
};
