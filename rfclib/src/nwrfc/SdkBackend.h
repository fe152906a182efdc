// The NetWeaver backend of librfc32u: every classic entry point that works
// on a connection, carried out through SAP's NetWeaver RFC library. When it
// is installed (RfcUseNetWeaverLibraryU), the entry points of rfc32u.h hand
// their work to it; our own protocol is the default otherwise.
//
// Thread rules: Active() is set once before the first open and read by every
// thread; each connection's mutex serialises the calls on it; the handle
// registry locks itself.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "client/HandleRegistry.h"
#include "nwrfc/NwRfcLibrary.h"
#include "nwrfc/SdkConnection.h"
#include "rfc32u.h"

namespace rfclib::nw {

class SdkBackend {
  public:
    // The installed backend, or nullptr while our own protocol is in use.
    static SdkBackend* Active();
    // Installs a backend over the library at path, with the extra connection
    // parameters of optionsFile (may be empty); an empty path goes back to
    // our own protocol. Refused while a connection is open.
    static RFC_RC Install(const std::string& path, const std::string& optionsFile,
                          RFC_ERROR_INFO_EX* info);

    RFC_HANDLE Open(const RFC_CHAR* connect, RFC_ERROR_INFO_EX* info);
    RFC_RC IsValid(RFC_HANDLE handle, RFC_ERROR_INFO_EX* info);
    void Close(RFC_HANDLE handle);
    RFC_RC Attributes(RFC_HANDLE handle, RFC_ATTRIBUTES* attributes);

    RFC_RC Call(RFC_HANDLE handle, const RFC_CHAR* function, RFC_PARAMETER* exporting,
                RFC_TABLE* tables);
    RFC_RC Receive(RFC_HANDLE handle, RFC_PARAMETER* importing, RFC_TABLE* tables,
                   RFC_CHAR** exception);
    RFC_RC CallReceive(RFC_HANDLE handle, const RFC_CHAR* function, RFC_PARAMETER* exporting,
                       RFC_PARAMETER* importing, RFC_TABLE* tables, RFC_CHAR** exception);

    RFC_RC FunctionInfo(RFC_HANDLE handle, const RFC_CHAR* function, ITAB_H params,
                        RFC_CHAR** exception);
    RFC_RC AlignInterface(RFC_HANDLE handle, ITAB_H params);
    RFC_RC StructureInfo(RFC_HANDLE handle, const RFC_CHAR* structure, ITAB_H fields,
                         unsigned int* lengthB1, unsigned int* lengthB2, unsigned int* lengthB4,
                         unsigned int* fieldCount, unsigned int* alignment,
                         RFC_CHAR** exception);

    // Cancels the call in progress on every connection (where the library
    // can) and every open still waiting, so that a stop need not wait for a
    // partner that does not answer; until ResumeAll, opens and calls fail at
    // once, as cancelled.
    void CancelAll();
    void ResumeAll();
    static bool Cancelled();
    // Counts the cancels: a call or open that saw it change was cancelled.
    static unsigned CancelGeneration();

    // "NetWeaver RFC library <path>, version <text>".
    std::u16string Description() const;

  private:
    SdkBackend(std::unique_ptr<NwRfcLibrary> library,
               std::vector<std::pair<std::u16string, std::u16string>> extra)
        : library_(std::move(library)), extra_(std::move(extra)) {}

    const Functions& Api() const { return library_->Api(); }
    // The open connection of a handle, or nullptr with the failure recorded in rc.
    std::shared_ptr<SdkConnection> Usable(RFC_HANDLE handle, const char* function, RFC_RC& rc);
    // The connection of a handle locked for one operation; no connection,
    // with the failure recorded in rc, when it is not open.
    struct Locked {
        std::shared_ptr<SdkConnection> connection;
        std::unique_lock<std::mutex> lock;
    };
    Locked LockOpen(RFC_HANDLE handle, const char* function, RFC_RC& rc);
    // A description the library could not give: the connection has gone
    // with it, or the system does not serve the name (a system failure, as
    // our own protocol reports it). The key is the exception name handed out.
    RFC_RC DescriptionFailure(SdkConnection& connection, const nwrfc::RFC_ERROR_INFO& info,
                              RFC_CHAR** exception);
    // The library's handle of an open connection, asked whether it still is.
    bool StillOpen(SdkConnection& connection);
    // One call through the library. A failure while a stop cancelled calls
    // is the stop's cancel, whatever the library said: it closes a
    // connection it cancels before its RfcInvoke, which then finds the
    // handle invalid.
    RFC_RC Invoke(SdkConnection& connection, const std::u16string& function,
                  const RFC_PARAMETER* exporting, const RFC_TABLE* sendTables,
                  RFC_PARAMETER* importing, RFC_TABLE* receiveTables, RFC_CHAR** exception);
    RFC_RC InvokeOnce(SdkConnection& connection, const std::u16string& function,
                      const RFC_PARAMETER* exporting, const RFC_TABLE* sendTables,
                      RFC_PARAMETER* importing, RFC_TABLE* receiveTables, RFC_CHAR** exception);

    std::unique_ptr<NwRfcLibrary> library_;
    std::vector<std::pair<std::u16string, std::u16string>> extra_;  // from the options file
    HandleRegistry<SdkConnection> connections_;
};

}  // namespace rfclib::nw
