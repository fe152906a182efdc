// SAP's NetWeaver RFC library, loaded at run time from a path the operator
// gives. Every function the backend needs is found with dlsym; a library
// that lacks one is refused with its name. Optional functions are null when
// the library does not have them, and the backend then does without.
//
// Thread rules: loaded once, then read-only; the library stays loaded for
// the life of the process (connections may outlive any one user of it).
#pragma once

#include <memory>
#include <string>

#include "nwrfc/NwRfcApi.h"

namespace rfclib::nw {

#define QUORVEL_NWRFC_REQUIRED(X)                                                              \
    X(RfcGetVersion)                                                                           \
    X(RfcOpenConnection)                                                                       \
    X(RfcCloseConnection)                                                                      \
    X(RfcIsConnectionHandleValid)                                                              \
    X(RfcGetConnectionAttributes)                                                              \
    X(RfcGetFunctionDesc)                                                                      \
    X(RfcGetParameterCount)                                                                    \
    X(RfcGetParameterDescByIndex)                                                              \
    X(RfcGetParameterDescByName)                                                               \
    X(RfcGetTypeDesc)                                                                          \
    X(RfcGetTypeName)                                                                          \
    X(RfcGetFieldCount)                                                                        \
    X(RfcGetFieldDescByIndex)                                                                  \
    X(RfcGetTypeLength)                                                                        \
    X(RfcCreateFunction)                                                                       \
    X(RfcDestroyFunction)                                                                      \
    X(RfcSetParameterActive)                                                                   \
    X(RfcInvoke)                                                                               \
    X(RfcGetChars)                                                                             \
    X(RfcGetBytes)                                                                             \
    X(RfcGetString)                                                                            \
    X(RfcSetChars)                                                                             \
    X(RfcSetBytes)                                                                             \
    X(RfcSetString)                                                                            \
    X(RfcSetInt)                                                                               \
    X(RfcSetInt1)                                                                              \
    X(RfcSetInt2)                                                                              \
    X(RfcSetFloat)                                                                             \
    X(RfcGetStructure)                                                                         \
    X(RfcGetTable)                                                                             \
    X(RfcGetRowCount)                                                                          \
    X(RfcMoveTo)                                                                               \
    X(RfcGetCurrentRow)                                                                        \
    X(RfcAppendNewRow)                                                                         \
    X(RfcDeleteAllRows)

#define QUORVEL_NWRFC_OPTIONAL(X)                                                              \
    X(RfcCancel)                                                                               \
    X(RfcGetCharsByIndex)                                                                      \
    X(RfcGetBytesByIndex)                                                                      \
    X(RfcGetStringByIndex)                                                                     \
    X(RfcGetExceptionCount)                                                                    \
    X(RfcGetExceptionDescByIndex)

// One pointer per function, typed from our declarations of its prototype.
struct Functions {
#define QUORVEL_NWRFC_POINTER(name) decltype(&nwrfc::name) name = nullptr;
    QUORVEL_NWRFC_REQUIRED(QUORVEL_NWRFC_POINTER)
    QUORVEL_NWRFC_OPTIONAL(QUORVEL_NWRFC_POINTER)
#undef QUORVEL_NWRFC_POINTER
};

class NwRfcLibrary {
  public:
    // Loads the library at path (after libsapucum.so from the same folder,
    // when there is one, so that its dependency is found without
    // LD_LIBRARY_PATH). nullptr with one line in error on failure.
    static std::unique_ptr<NwRfcLibrary> Load(const std::string& path, std::string& error);

    const Functions& Api() const { return functions_; }
    const std::string& Path() const { return path_; }
    // The version text the library reports, e.g. "7500.0.13".
    std::u16string Version() const;

  private:
    NwRfcLibrary() = default;
    Functions functions_;
    std::string path_;
};

}  // namespace rfclib::nw
