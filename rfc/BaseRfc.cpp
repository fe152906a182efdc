#include "rfc/BaseRfc.h"

#include <algorithm>
#include <cstring>

#include "platform/AnsiTextFile.h"
#include "platform/FixedText.h"
#include "platform/Format.h"
#include "rfc/RfcException.h"
#include "rfc/RfcInfoTable.h"

using rfcfield::Field;
using rfcfield::Source;

namespace {

// "%.*s": at most count units, stopping at a terminator; a negative count
// takes the whole text.
std::u16string_view CountedText(const char16_t* text, int count) {
    if (text == nullptr) return {};
    if (count < 0) return std::u16string_view(text);
    size_t n = 0;
    while (n < static_cast<size_t>(count) && text[n] != u'\0') ++n;
    return std::u16string_view(text, n);
}

// The text-buffer target: cleared, then the string form cut to byteSize / 2
// units, no terminator added.
void StoreInTextBuffer(char16_t* text, size_t byteSize, const std::u16string& value) {
    if (text == nullptr) return;
    const size_t units = byteSize / 2;
    std::fill_n(text, units, u'\0');
    std::copy_n(value.data(), std::min(units, value.size()), text);
}

}  // namespace

CBaseRfc::CBaseRfc(std::u16string functionModule) : m_strFunction(std::move(functionModule)) {
    ResetInterface();
}

CBaseRfc::~CBaseRfc() {
    ResetInterface();
}

void CBaseRfc::PrepareInterface(CRfcConnection& connection) {
    ResetInterface();
    try {
        {
            std::lock_guard lock(connection.Lock());
            RFC_HANDLE handle = connection.Handle();
            LoadParameters(handle);
            LoadStructures(handle);
        }
        DefineExports();
        DefineImports();
        DefineTables();
    } catch (...) {
        // Half an interface would answer every later call with a stale
        // error, or hand the library a table list without its end record.
        ResetInterface();
        throw;
    }
    m_bPrepared = true;
}

void CBaseRfc::CallFunctionModule(CRfcConnection& connection) {
    if (!IsPrepared()) PrepareInterface(connection);

    std::lock_guard lock(connection.Lock());
    const RFC_HANDLE handle = connection.Handle();
    if (RfcIsValidHandleU(handle, &m_ErrorInfo) != RFC_OK) {
        ThrowRfcException(u"CBaseRfc::CallFunctionModule - RfcIsValidHandle", m_ErrorInfo);
    }
    FreeTables();
    std::lock_guard exportsLock(m_ExportsLock);
    std::lock_guard importsLock(m_ImportsLock);
    std::lock_guard tablesLock(m_TablesLock);
    if (m_Exports.empty() || m_Imports.empty() || m_Tables.empty()) {
        // A failed preparation left no lists; report it like a failed call.
        RfcLastErrorExU(&m_ErrorInfo);
        ThrowRfcException(u"CBaseRfc::CallFunctionModule - RfcCall", m_strFunction, m_ErrorInfo);
    }
    if (RfcCallU(handle, m_strFunction.c_str(), m_Exports.data(), m_Tables.data()) != RFC_OK) {
        RfcLastErrorExU(&m_ErrorInfo);
        ThrowRfcException(u"CBaseRfc::CallFunctionModule - RfcCall", m_strFunction, m_ErrorInfo);
    }
    RFC_CHAR* exception = nullptr;
    if (RfcReceiveU(handle, m_Imports.data(), m_Tables.data(), &exception) != RFC_OK) {
        RfcLastErrorExU(&m_ErrorInfo);
        ThrowRfcException(u"CBaseRfc::CallFunctionModule - RfcReceive", m_strFunction, m_ErrorInfo);
    }
}

bool CBaseRfc::IsPrepared() {
    return m_bPrepared;
}

// ---- preparation ----

void CBaseRfc::LoadParameters(RFC_HANDLE& handle) {
    ClearParameters();
    m_nImports = m_nExports = m_nTables = 0;
    CRfcGetFunctionInterface interface;
    interface.GetFunctionInterface(handle, m_strFunction);
    const unsigned int rows = interface.GetRowCount();
    for (unsigned int i = 1; i <= rows; ++i) {
        const RFC_U_FUNINT& row = *interface.GetTableRecord(i);
        if (row.length_b2 > static_cast<int>(kMaxParameterLength)) {
            ThrowRfcDetailException(
                u"CBaseRfc::LoadParameters - Length",
                platform::Format(
                    u"%s: parameter %s of %d bytes over the limit of %u", m_strFunction,
                    platform::Trim(platform::FieldText(row.parameter, std::size(row.parameter))),
                    row.length_b2, kMaxParameterLength));
        }
        auto parameter = std::make_unique<CRfcParameter>(row);
        const std::u16string key =
            platform::Format(u"%s_%s", parameter->m_strClass, parameter->m_strName);
        std::lock_guard lock(m_ParametersLock);
        if (m_Parameters.contains(key)) continue;  // a key seen twice keeps its first row
        if (parameter->m_strClass == u"I") ++m_nImports;
        if (parameter->m_strClass == u"E") ++m_nExports;
        if (parameter->m_strClass == u"T") ++m_nTables;
        m_Parameters.emplace(key, std::move(parameter));
    }
}

void CBaseRfc::LoadStructures(RFC_HANDLE& handle) {
    ClearStructures();
    std::lock_guard parametersLock(m_ParametersLock);
    for (const auto& [key, parameter] : m_Parameters) {
        const std::u16string& cls = parameter->m_strClass;
        if (cls != u"E" && cls != u"I" && cls != u"T") continue;
        if (!rfcfield::IsStructured(parameter->m_nType)) continue;
        std::lock_guard structuresLock(m_StructuresLock);
        if (m_Structures.contains(parameter->m_strStructure)) continue;
        auto structure = std::make_unique<CRfcStructure>(parameter->m_strStructure);
        CRfcStructure& added = *structure;
        m_Structures.emplace(parameter->m_strStructure, std::move(structure));
        added.ReadDefinition(handle);
        added.InstallStructure();
    }
}

void CBaseRfc::DefineParameterList(std::vector<RFC_PARAMETER>& list, std::recursive_mutex& listLock,
                                   const char16_t* parameterClass, const char16_t* location,
                                   bool applyDefaults) {
    std::lock_guard lock(listLock);
    list.clear();
    const int count = std::u16string_view(parameterClass) == u"I" ? m_nImports : m_nExports;
    if (count >= 1) {
        std::lock_guard parametersLock(m_ParametersLock);
        for (const auto& [key, parameter] : m_Parameters) {
            if (parameter->m_strClass != parameterClass) continue;
            if (!IsParameterWanted(parameter->m_strName, parameter->m_strClass)) continue;
            RFC_PARAMETER record{};
            record.name = parameter->m_strName.c_str();
            record.nlen = static_cast<unsigned int>(parameter->m_strName.size());
            if (rfcfield::IsStructured(parameter->m_nType)) {
                std::lock_guard structuresLock(m_StructuresLock);
                const auto found = m_Structures.find(parameter->m_strStructure);
                if (found == m_Structures.end()) {
                    ThrowRfcDetailException(location, parameter->m_strStructure);
                }
                record.type = found->second->m_hType;
                record.leng = found->second->m_nRecordLength;
                // The library fills a whole record: the buffer must hold one.
                parameter->ReserveValue(
                    std::max<size_t>(static_cast<size_t>(parameter->m_nLength), record.leng));
                record.addr = parameter->GetValueBuffer();
            } else {
                record.type = parameter->m_nType;
                record.leng = static_cast<unsigned int>(parameter->m_nLength);
                record.addr = parameter->GetValueBuffer();
                if (applyDefaults) {
                    parameter->ClearValue();
                    parameter->ApplyDefault();
                }
            }
            list.push_back(record);
        }
    }
    list.push_back(RFC_PARAMETER{});
}

void CBaseRfc::DefineExports() {
    DefineParameterList(m_Exports, m_ExportsLock, u"I", u"CBaseRfc::DefineExports - Lookup", true);
}

void CBaseRfc::DefineImports() {
    DefineParameterList(m_Imports, m_ImportsLock, u"E", u"CBaseRfc::DefineImports - Lookup", false);
}

void CBaseRfc::DefineTables() {
    std::lock_guard lock(m_TablesLock);
    m_Tables.clear();
    if (m_nTables >= 1) {
        std::lock_guard parametersLock(m_ParametersLock);
        for (const auto& [key, parameter] : m_Parameters) {
            if (parameter->m_strClass != u"T") continue;
            if (!IsParameterWanted(parameter->m_strName, parameter->m_strClass)) continue;
            std::lock_guard structuresLock(m_StructuresLock);
            const auto found = m_Structures.find(parameter->m_strStructure);
            if (found == m_Structures.end()) {
                ThrowRfcDetailException(u"CBaseRfc::DefineTables - Lookup",
                                        parameter->m_strStructure);
            }
            const CRfcStructure& structure = *found->second;
            RFC_TABLE record{};
            record.ithandle =
                ItCreateU(parameter->m_strName.c_str(), structure.m_nRecordLength, 0, 0);
            if (record.ithandle == ITAB_NULL) {
                RfcLastErrorExU(&m_ErrorInfo);
                ThrowRfcException(u"CBaseRfc::DefineTables - ItCreate", parameter->m_strName,
                                  m_ErrorInfo);
            }
            record.name = parameter->m_strName.c_str();
            record.nlen = static_cast<unsigned int>(parameter->m_strName.size());
            record.type = structure.m_hType;
            record.leng = structure.m_nRecordLength;
            m_Tables.push_back(record);
        }
    }
    m_Tables.push_back(RFC_TABLE{});
}

bool CBaseRfc::IsParameterWanted(std::u16string_view, std::u16string_view) {
    return true;
}

void CBaseRfc::ClearParameters() {
    std::lock_guard lock(m_ParametersLock);
    m_Parameters.clear();
}

void CBaseRfc::ClearStructures() {
    std::lock_guard lock(m_StructuresLock);
    m_Structures.clear();
}

size_t CBaseRfc::StructureCount() {
    std::lock_guard lock(m_StructuresLock);
    return m_Structures.size();
}

void CBaseRfc::FreeTables() {
    std::lock_guard lock(m_TablesLock);
    for (const RFC_TABLE& table : m_Tables) {
        if (table.ithandle == ITAB_NULL) continue;
        if (ItFreeU(table.ithandle) != 0) {
            RfcLastErrorExU(&m_ErrorInfo);
            ThrowRfcException(u"CBaseRfc::FreeTables - ItFree", m_ErrorInfo);
        }
    }
}

void CBaseRfc::GiveBackTables() {
    std::lock_guard lock(m_TablesLock);
    for (RFC_TABLE& table : m_Tables) {
        if (table.ithandle == ITAB_NULL) continue;
        const ITAB_H fresh = ItCreateU(table.name, table.leng, 0, 0);
        if (fresh == ITAB_NULL) {
            ItFreeU(table.ithandle);  // emptied at least
            continue;
        }
        ItDeleteU(table.ithandle);
        table.ithandle = fresh;
    }
}

void CBaseRfc::DeleteTables() {
    std::lock_guard lock(m_TablesLock);
    for (RFC_TABLE& table : m_Tables) {
        if (table.ithandle == ITAB_NULL) continue;
        ItDeleteU(table.ithandle);
        table.ithandle = ITAB_NULL;  // never freed twice
    }
}

void CBaseRfc::ResetInterface() {
    m_bPrepared = false;
    DeleteTables();
    {
        std::lock_guard a(m_ExportsLock);
        std::lock_guard b(m_ImportsLock);
        std::lock_guard c(m_TablesLock);
        m_Exports.clear();
        m_Imports.clear();
        m_Tables.clear();
    }
    ClearParameters();
    ClearStructures();
    m_nImports = m_nExports = m_nTables = 0;
}

// ---- values ----

void CBaseRfc::SetImportValue(std::u16string_view key, const Source& value) {
    std::lock_guard lock(m_ParametersLock);
    const auto found = m_Parameters.find(key);
    if (found == m_Parameters.end()) return;
    CRfcParameter& p = *found->second;
    unsigned char* buffer = p.GetValueBuffer();
    if (!rfcfield::PutFieldValue(
            buffer, p.ValueSize(),
            Field{p.m_nType, static_cast<size_t>(p.m_nLength), 0, p.m_nDecimals}, value)) {
        ThrowConversionFailure(u"CBaseRfc::SetImport - RfcConvertCharToBcd", key);
    }
}

void CBaseRfc::ThrowConversionFailure(std::u16string_view location, std::u16string_view what) {
    RfcLastErrorExU(&m_ErrorInfo);
    ThrowRfcException(location, what, m_ErrorInfo);
}

void CBaseRfc::SetImport(std::u16string_view key, double value) {
    SetImportValue(key, Source::Double(value));
}
void CBaseRfc::SetImport(std::u16string_view key, float value) {
    SetImportValue(key, Source::Float(value));
}
void CBaseRfc::SetImport(std::u16string_view key, int64_t value) {
    SetImportValue(key, Source::Int64(value));
}
void CBaseRfc::SetImport(std::u16string_view key, uint32_t value) {
    SetImportValue(key, Source::UInt32(value));
}
void CBaseRfc::SetImport(std::u16string_view key, int32_t value) {
    SetImportValue(key, Source::Int32(value));
}
void CBaseRfc::SetImport(std::u16string_view key, const void* bytes, size_t count) {
    SetImportValue(key, Source::Bytes(bytes, count));
}
void CBaseRfc::SetImport(std::u16string_view key, const char16_t* text, int count) {
    SetImportValue(key, Source::Text(CountedText(text, count)));
}
void CBaseRfc::SetImport(std::u16string_view key, std::u16string_view text) {
    SetImportValue(key, Source::Text(text));
}

template <typename Read>
void CBaseRfc::ReadExport(std::u16string_view key, Read read) {
    std::lock_guard lock(m_ParametersLock);
    const auto found = m_Parameters.find(key);
    if (found == m_Parameters.end()) return;
    CRfcParameter& p = *found->second;
    const unsigned char* buffer = p.GetValueBuffer();
    read(buffer, p.ValueSize(),
         Field{p.m_nType, static_cast<size_t>(p.m_nLength), 0, p.m_nDecimals});
}

void CBaseRfc::GetExport(std::u16string_view key, double& out) {
    out = 0.0;
    ReadExport(key, [&](const unsigned char* b, size_t n, const Field& f) {
        out = rfcfield::GetFieldDouble(b, n, f);
    });
}
void CBaseRfc::GetExport(std::u16string_view key, float& out) {
    double d = 0.0;
    GetExport(key, d);
    out = static_cast<float>(d);
}
void CBaseRfc::GetExport(std::u16string_view key, int64_t& out) {
    out = 0;
    ReadExport(key, [&](const unsigned char* b, size_t n, const Field& f) {
        out = rfcfield::GetFieldInt64(b, n, f);
    });
}
void CBaseRfc::GetExport(std::u16string_view key, int32_t& out) {
    out = 0;
    ReadExport(key, [&](const unsigned char* b, size_t n, const Field& f) {
        out = rfcfield::GetFieldInt32(b, n, f);
    });
}
void CBaseRfc::GetExport(std::u16string_view key, uint32_t& out) {
    int32_t v = 0;
    GetExport(key, v);
    out = static_cast<uint32_t>(v);
}
void CBaseRfc::GetExport(std::u16string_view key, void* bytes, size_t count) {
    if (bytes != nullptr) std::memset(bytes, 0, count);
    ReadExport(key, [&](const unsigned char* b, size_t n, const Field& f) {
        rfcfield::GetFieldBytes(b, n, f, static_cast<unsigned char*>(bytes), count);
    });
}
void CBaseRfc::GetExport(std::u16string_view key, char16_t* text, size_t byteSize) {
    std::u16string value;
    GetExport(key, value);
    StoreInTextBuffer(text, byteSize, value);
}
void CBaseRfc::GetExport(std::u16string_view key, std::u16string& out) {
    out.clear();
    ReadExport(key, [&](const unsigned char* b, size_t n, const Field& f) {
        out = rfcfield::GetFieldText(b, n, f);
    });
}

bool CBaseRfc::LookupField(std::u16string_view key, std::u16string_view field, FieldLookup& out) {
    std::lock_guard parametersLock(m_ParametersLock);
    const auto found = m_Parameters.find(key);
    if (found == m_Parameters.end()) return false;
    CRfcParameter& p = *found->second;
    std::lock_guard structuresLock(m_StructuresLock);
    const auto structure = m_Structures.find(p.m_strStructure);
    if (structure == m_Structures.end()) return false;
    const CRfcStructure& s = *structure->second;
    const Field* place = s.FindField(field);
    if (place == nullptr) return false;
    out.buffer = p.ValueSize() == 0 ? nullptr : p.GetValueBuffer();
    out.bufferSize = p.ValueSize();
    out.recordLength = s.m_nRecordLength;
    out.place = *place;
    return true;
}

bool CBaseRfc::LookupTableField(std::u16string_view tableKey, std::u16string_view field,
                                rfcfield::RowField& out) {
    FieldLookup lookup;
    out = rfcfield::RowField{};
    if (!LookupField(tableKey, field, lookup)) return false;
    out.found = true;
    out.recordLength = lookup.recordLength;
    out.place = lookup.place;
    return true;
}

bool CBaseRfc::SetFieldValue(std::u16string_view key, std::u16string_view field,
                             const Source& value) {
    FieldLookup lookup;
    if (!LookupField(key, field, lookup)) return false;
    if (lookup.buffer != nullptr &&
        !rfcfield::PutFieldValue(lookup.buffer, lookup.bufferSize, lookup.place, value)) {
        ThrowConversionFailure(u"CBaseRfc::SetImportField - RfcConvertCharToBcd",
                               platform::Format(u"%s-%s", key, field));
    }
    return true;
}

bool CBaseRfc::SetImportField(std::u16string_view key, std::u16string_view field, double value) {
    return SetFieldValue(key, field, Source::Double(value));
}
bool CBaseRfc::SetImportField(std::u16string_view key, std::u16string_view field, float value) {
    return SetFieldValue(key, field, Source::Float(value));
}
bool CBaseRfc::SetImportField(std::u16string_view key, std::u16string_view field, int64_t value) {
    return SetFieldValue(key, field, Source::Int64(value));
}
bool CBaseRfc::SetImportField(std::u16string_view key, std::u16string_view field, uint32_t value) {
    return SetFieldValue(key, field, Source::UInt32(value));
}
bool CBaseRfc::SetImportField(std::u16string_view key, std::u16string_view field, int32_t value) {
    return SetFieldValue(key, field, Source::Int32(value));
}
bool CBaseRfc::SetImportField(std::u16string_view key, std::u16string_view field, const void* bytes,
                              size_t count) {
    return SetFieldValue(key, field, Source::Bytes(bytes, count));
}
bool CBaseRfc::SetImportField(std::u16string_view key, std::u16string_view field,
                              const char16_t* text, int count) {
    return SetFieldValue(key, field, Source::Text(CountedText(text, count)));
}
bool CBaseRfc::SetImportField(std::u16string_view key, std::u16string_view field,
                              std::u16string_view text) {
    return SetFieldValue(key, field, Source::Text(text));
}

template <typename Read>
bool CBaseRfc::ReadExportField(std::u16string_view key, std::u16string_view field, Read read) {
    FieldLookup lookup;
    if (!LookupField(key, field, lookup)) return false;
    if (lookup.buffer != nullptr) read(lookup.buffer, lookup.bufferSize, lookup.place);
    return true;
}

template <typename Read>
bool CBaseRfc::ReadTableField(std::u16string_view tableKey, std::u16string_view field,
                              const void* row, Read read) {
    FieldLookup lookup;
    if (!LookupField(tableKey, field, lookup)) return false;
    if (row != nullptr) {
        read(static_cast<const unsigned char*>(row), lookup.recordLength, lookup.place);
    }
    return true;
}

// The five targets share one reader per family; each family's output is
// cleared before the lookup.
#define QUORVEL_FIELD_READERS(Name, Reader, ...)                                          \
    bool CBaseRfc::Name(__VA_ARGS__ double& out) {                                        \
        out = 0.0;                                                                        \
        return Reader([&](const unsigned char* b, size_t n, const Field& f) {             \
            out = rfcfield::GetFieldDouble(b, n, f);                                      \
        });                                                                               \
    }                                                                                     \
    bool CBaseRfc::Name(__VA_ARGS__ float& out) {                                         \
        out = 0.0f;                                                                       \
        return Reader([&](const unsigned char* b, size_t n, const Field& f) {             \
            out = static_cast<float>(rfcfield::GetFieldDouble(b, n, f));                  \
        });                                                                               \
    }                                                                                     \
    bool CBaseRfc::Name(__VA_ARGS__ int64_t& out) {                                       \
        out = 0;                                                                          \
        return Reader([&](const unsigned char* b, size_t n, const Field& f) {             \
            out = rfcfield::GetFieldInt64(b, n, f);                                       \
        });                                                                               \
    }                                                                                     \
    bool CBaseRfc::Name(__VA_ARGS__ int32_t& out) {                                       \
        out = 0;                                                                          \
        return Reader([&](const unsigned char* b, size_t n, const Field& f) {             \
            out = rfcfield::GetFieldInt32(b, n, f);                                       \
        });                                                                               \
    }                                                                                     \
    bool CBaseRfc::Name(__VA_ARGS__ uint32_t& out) {                                      \
        out = 0;                                                                          \
        return Reader([&](const unsigned char* b, size_t n, const Field& f) {             \
            out = static_cast<uint32_t>(rfcfield::GetFieldInt32(b, n, f));                \
        });                                                                               \
    }                                                                                     \
    bool CBaseRfc::Name(__VA_ARGS__ void* bytes, size_t count) {                          \
        if (bytes != nullptr) std::memset(bytes, 0, count);                               \
        return Reader([&](const unsigned char* b, size_t n, const Field& f) {             \
            rfcfield::GetFieldBytes(b, n, f, static_cast<unsigned char*>(bytes), count);  \
        });                                                                               \
    }                                                                                     \
    bool CBaseRfc::Name(__VA_ARGS__ char16_t* text, size_t byteSize) {                    \
        std::u16string value;                                                             \
        const bool found = Reader([&](const unsigned char* b, size_t n, const Field& f) { \
            value = rfcfield::GetFieldText(b, n, f);                                      \
        });                                                                               \
        StoreInTextBuffer(text, byteSize, value);                                         \
        return found;                                                                     \
    }                                                                                     \
    bool CBaseRfc::Name(__VA_ARGS__ std::u16string& out) {                                \
        out.clear();                                                                      \
        return Reader([&](const unsigned char* b, size_t n, const Field& f) {             \
            out = rfcfield::GetFieldText(b, n, f);                                        \
        });                                                                               \
    }

#define QUORVEL_EXPORT_FIELD_READER(read) ReadExportField(key, field, read)
#define QUORVEL_TABLE_FIELD_READER(read) ReadTableField(tableKey, field, row, read)
QUORVEL_FIELD_READERS(GetExportField, QUORVEL_EXPORT_FIELD_READER, std::u16string_view key,
                      std::u16string_view field, )
QUORVEL_FIELD_READERS(GetTableField, QUORVEL_TABLE_FIELD_READER, std::u16string_view tableKey,
                      std::u16string_view field, const void* row, )
#undef QUORVEL_EXPORT_FIELD_READER
#undef QUORVEL_TABLE_FIELD_READER
#undef QUORVEL_FIELD_READERS

// ---- tables ----

const RFC_TABLE* CBaseRfc::FindTableLocked(std::u16string_view tableName) const {
    for (const RFC_TABLE& table : m_Tables) {
        if (table.name == nullptr || table.ithandle == ITAB_NULL) continue;
        std::u16string_view name(table.name, table.nlen);
        while (!name.empty() && platform::IsWhiteSpace(name.back())) name.remove_suffix(1);
        while (!name.empty() && platform::IsWhiteSpace(name.front())) name.remove_prefix(1);
        if (name == tableName) return &table;
    }
    return nullptr;
}

int CBaseRfc::GetTableRowCount(std::u16string_view tableName) {
    std::lock_guard lock(m_TablesLock);
    const RFC_TABLE* table = FindTableLocked(tableName);
    return table == nullptr ? 0 : static_cast<int>(ItFillU(table->ithandle));
}

const void* CBaseRfc::GetTableRow(std::u16string_view tableName, int index) {
    std::lock_guard lock(m_TablesLock);
    const RFC_TABLE* table = FindTableLocked(tableName);
    if (table == nullptr || index < 1) return nullptr;
    return ItGetLineU(table->ithandle, static_cast<unsigned int>(index));
}

// ---- diagnostics ----

void CBaseRfc::AppendDiagnostic(std::u16string text) const {
    text += u"\n------------------------------\n";
    platform::AnsiTextFile file;
    file.Open(platform::Format(u"%s.txt", m_strFunction), platform::File::Mode::Append);
    file.Write(text);
    file.Close();
}

void CBaseRfc::DumpParameterList() {
    std::u16string text = u"\nParameter List\n------------------------------";
    {
        std::lock_guard lock(m_ParametersLock);
        for (const auto& [key, p] : m_Parameters) {
            text += platform::Format(
                u"\n%s\t%30s%30s%30s\t%c\t%d\t%d\t%21s%79s%s", p->m_strClass, p->m_strName,
                p->m_strStructure, p->m_strField, rfcfield::AbapTypeLetter(p->m_nType),
                p->m_nLength, p->m_nDecimals, p->m_strDefault, p->m_strText, p->m_strOptional);
        }
    }
    AppendDiagnostic(text);
}

void CBaseRfc::DumpStructureList() {
    std::u16string text = u"\nStructure List\n------------------------------";
    {
        std::lock_guard lock(m_StructuresLock);
        for (const auto& [name, s] : m_Structures) {
            for (const RFC_U_FIELDS& row : s->m_Fields) {
                text += platform::Format(
                    u"\n\t%30s\t%30s\t%3d\t%3d\t%3d\t%3d\t%3d\t%3d\t%3d\t%3d\t%c",
                    platform::Trim(platform::FieldText(row.tabname, std::size(row.tabname))),
                    platform::Trim(platform::FieldText(row.fieldname, std::size(row.fieldname))),
                    row.position, row.decimals, row.offset_b1, row.length_b1, row.offset_b2,
                    row.length_b2, row.offset_b4, row.length_b4, row.exid);
            }
        }
    }
    AppendDiagnostic(text);
}
