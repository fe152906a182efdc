// The base of every call of an R/3 function module. The interface is never
// hard-coded: the first call reads the module's parameters and the
// definitions of its structures from the system, builds the exporting,
// importing and table lists for the library, and from then on callers set
// and read values by key ("I_REQUEST_MODE", "E_RFCSI_EXPORT", "T_WPLIST")
// and by R/3 field name.
//
// Thread rules: one thread uses an object at a time; its lists and maps are
// guarded by their own locks, always taken in the order connection lock,
// list lock (exporting, importing, table), parameter-map lock, structure-map
// lock. CallFunctionModule and PrepareInterface hold the connection lock.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "rfc/FieldCodec.h"
#include "rfc/RfcConnection.h"
#include "rfc/RfcParameter.h"
#include "rfc/RfcStructure.h"

class CBaseRfc {
  public:
    explicit CBaseRfc(std::u16string functionModule);
    CBaseRfc(const CBaseRfc&) = delete;
    CBaseRfc& operator=(const CBaseRfc&) = delete;
    virtual ~CBaseRfc();

    virtual void PrepareInterface(CRfcConnection& connection);
    virtual void CallFunctionModule(CRfcConnection& connection);

    // Import values; a key that is not in the interface is ignored. A value
    // that a packed-number parameter refuses throws CRfcException and leaves
    // the parameter packed zero.
    void SetImport(std::u16string_view key, double value);
    void SetImport(std::u16string_view key, float value);
    void SetImport(std::u16string_view key, int64_t value);
    void SetImport(std::u16string_view key, uint32_t value);
    void SetImport(std::u16string_view key, int32_t value);
    void SetImport(std::u16string_view key, const void* bytes, size_t count);
    void SetImport(std::u16string_view key, const char16_t* text, int count);
    void SetImport(std::u16string_view key, std::u16string_view text);

    // Export values; the output is cleared first and stays so for an
    // unknown key. The text buffer takes a size in bytes and gets no
    // terminator.
    void GetExport(std::u16string_view key, double& out);
    void GetExport(std::u16string_view key, float& out);
    void GetExport(std::u16string_view key, int64_t& out);
    void GetExport(std::u16string_view key, int32_t& out);
    void GetExport(std::u16string_view key, uint32_t& out);
    void GetExport(std::u16string_view key, void* bytes, size_t count);
    void GetExport(std::u16string_view key, char16_t* text, size_t byteSize);
    void GetExport(std::u16string_view key, std::u16string& out);

    // Fields of structured parameters; false when the field is unknown.
    bool SetImportField(std::u16string_view key, std::u16string_view field, double value);
    bool SetImportField(std::u16string_view key, std::u16string_view field, float value);
    bool SetImportField(std::u16string_view key, std::u16string_view field, int64_t value);
    bool SetImportField(std::u16string_view key, std::u16string_view field, uint32_t value);
    bool SetImportField(std::u16string_view key, std::u16string_view field, int32_t value);
    bool SetImportField(std::u16string_view key, std::u16string_view field, const void* bytes,
                        size_t count);
    bool SetImportField(std::u16string_view key, std::u16string_view field, const char16_t* text,
                        int count);
    bool SetImportField(std::u16string_view key, std::u16string_view field,
                        std::u16string_view text);

    bool GetExportField(std::u16string_view key, std::u16string_view field, double& out);
    bool GetExportField(std::u16string_view key, std::u16string_view field, float& out);
    bool GetExportField(std::u16string_view key, std::u16string_view field, int64_t& out);
    bool GetExportField(std::u16string_view key, std::u16string_view field, int32_t& out);
    bool GetExportField(std::u16string_view key, std::u16string_view field, uint32_t& out);
    bool GetExportField(std::u16string_view key, std::u16string_view field, void* bytes,
                        size_t count);
    bool GetExportField(std::u16string_view key, std::u16string_view field, char16_t* text,
                        size_t byteSize);
    bool GetExportField(std::u16string_view key, std::u16string_view field, std::u16string& out);

    // Fields of table rows: tableKey is "T_" and the table name; row comes
    // from GetTableRow.
    bool GetTableField(std::u16string_view tableKey, std::u16string_view field, const void* row,
                       double& out);
    bool GetTableField(std::u16string_view tableKey, std::u16string_view field, const void* row,
                       float& out);
    bool GetTableField(std::u16string_view tableKey, std::u16string_view field, const void* row,
                       int64_t& out);
    bool GetTableField(std::u16string_view tableKey, std::u16string_view field, const void* row,
                       int32_t& out);
    bool GetTableField(std::u16string_view tableKey, std::u16string_view field, const void* row,
                       uint32_t& out);
    bool GetTableField(std::u16string_view tableKey, std::u16string_view field, const void* row,
                       void* bytes, size_t count);
    bool GetTableField(std::u16string_view tableKey, std::u16string_view field, const void* row,
                       char16_t* text, size_t byteSize);
    bool GetTableField(std::u16string_view tableKey, std::u16string_view field, const void* row,
                       std::u16string& out);

    // The place of a field in a table's rows, resolved once for reading
    // many rows (rfcfield::ReadRow*); found is false when the table or the
    // field is unknown. Valid until the next preparation or reset.
    bool LookupTableField(std::u16string_view tableKey, std::u16string_view field,
                          rfcfield::RowField& out);

    // Rows of a transferred table; 0 and null for a table that is not in
    // the list (also one that IsParameterWanted excluded).
    int GetTableRowCount(std::u16string_view tableName);
    const void* GetTableRow(std::u16string_view tableName, int index);

    virtual void FreeTables();
    // Empties the tables and hands their memory back, where FreeTables keeps
    // a small table's for the next call: for a call made once, whose rows
    // are written and not read again.
    void GiveBackTables();
    virtual void DeleteTables();
    virtual void ResetInterface();
    // Diagnostic listings appended to "<module>.txt".
    virtual void DumpParameterList();
    virtual void DumpStructureList();

    const std::u16string& FunctionModule() const { return m_strFunction; }
    // True once the interface has been read completely (and until the next
    // reset); a preparation that fails leaves the interface reset.
    bool IsPrepared();
    // Partner-given parameter lengths above this are refused.
    static constexpr unsigned int kMaxParameterLength = 1u << 20;
    int ImportCount() const { return m_nImports; }
    int ExportCount() const { return m_nExports; }
    int TableCount() const { return m_nTables; }
    size_t StructureCount();
    const RFC_ERROR_INFO_EX& ErrorInfo() const { return m_ErrorInfo; }

    static char16_t AbapTypeLetter(RFC_TYPEHANDLE type) { return rfcfield::AbapTypeLetter(type); }
    static void HexToBytes(std::u16string_view text, size_t n, unsigned char* dest) {
        rfcfield::HexToBytes(text, n, dest);
    }
    static std::u16string BytesToHex(const unsigned char* bytes, size_t n) {
        return rfcfield::BytesToHex(bytes, n);
    }

  protected:
    // Subclasses narrow what is transferred; the base wants everything.
    virtual bool IsParameterWanted(std::u16string_view name, std::u16string_view parameterClass);

    virtual void LoadParameters(RFC_HANDLE& handle);
    virtual void LoadStructures(RFC_HANDLE& handle);
    virtual void DefineExports();
    virtual void DefineImports();
    virtual void DefineTables();
    // Where a field of a structured parameter lies: the parameter's value
    // buffer (null when not allocated) and its size, the structure's record
    // length, and the field's place, which always fits the record.
    struct FieldLookup {
        unsigned char* buffer = nullptr;
        size_t bufferSize = 0;
        size_t recordLength = 0;
        rfcfield::Field place;
    };
    virtual bool LookupField(std::u16string_view key, std::u16string_view field, FieldLookup& out);
    virtual void ClearParameters();
    virtual void ClearStructures();

  private:
    using ParameterMap = std::map<std::u16string, std::unique_ptr<CRfcParameter>, std::less<>>;
    using StructureMap = std::map<std::u16string, std::unique_ptr<CRfcStructure>, std::less<>>;

    void DefineParameterList(std::vector<RFC_PARAMETER>& list, std::recursive_mutex& listLock,
                             const char16_t* parameterClass, const char16_t* location,
                             bool applyDefaults);
    void SetImportValue(std::u16string_view key, const rfcfield::Source& value);
    bool SetFieldValue(std::u16string_view key, std::u16string_view field,
                       const rfcfield::Source& value);
    // Runs read(buffer, size, place) on the parameter's whole value.
    template <typename Read>
    void ReadExport(std::u16string_view key, Read read);
    template <typename Read>
    bool ReadExportField(std::u16string_view key, std::u16string_view field, Read read);
    template <typename Read>
    bool ReadTableField(std::u16string_view tableKey, std::u16string_view field, const void* row,
                        Read read);
    const RFC_TABLE* FindTableLocked(std::u16string_view tableName) const;
    [[noreturn]] void ThrowConversionFailure(std::u16string_view location,
                                             std::u16string_view what);
    // Appends a framed listing to "<module>.txt".
    void AppendDiagnostic(std::u16string text) const;

    RFC_ERROR_INFO_EX m_ErrorInfo{};
    std::vector<RFC_PARAMETER> m_Exports;
    std::vector<RFC_PARAMETER> m_Imports;
    std::vector<RFC_TABLE> m_Tables;
    ParameterMap m_Parameters;
    StructureMap m_Structures;
    std::recursive_mutex m_ExportsLock, m_ImportsLock, m_TablesLock, m_ParametersLock,
        m_StructuresLock;
    std::u16string m_strFunction;
    int m_nImports = 0, m_nExports = 0, m_nTables = 0;
    std::atomic<bool> m_bPrepared{false};
};
