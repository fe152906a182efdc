// The SDK's entry points for tables; rows are numbered from 0.
#include "Containers.h"
#include "Errors.h"

using namespace nwsim;

namespace {

TableContainer* TableOf(nwrfc::RFC_TABLE_HANDLE handle, const char* function,
                        nwrfc::RFC_ERROR_INFO* info) {
    auto* container = reinterpret_cast<DataContainer*>(handle);
    if (container == nullptr || container->GetKind() != DataContainer::Kind::kTable) {
        Report(MakeFailure(nwrfc::RFC_INVALID_HANDLE, nwrfc::EXTERNAL_RUNTIME_FAILURE,
                           std::string(function) + ": not a table handle"),
               info);
        return nullptr;
    }
    return static_cast<TableContainer*>(container);
}

nwrfc::RFC_RC Moved(bool moved, nwrfc::RFC_RC refusal, nwrfc::RFC_ERROR_INFO* info) {
    if (moved) return Succeed(info);
    return Report(MakeFailure(refusal, nwrfc::EXTERNAL_RUNTIME_FAILURE,
                              refusal == nwrfc::RFC_TABLE_MOVE_BOF ? "no row before the current one"
                                                                   : "no such row"),
                  info);
}

// Runs move(table) on the table of handle.
template <typename Step>
nwrfc::RFC_RC Move(nwrfc::RFC_TABLE_HANDLE handle, const char* function, nwrfc::RFC_RC refusal,
                   nwrfc::RFC_ERROR_INFO* info, Step move) {
    TableContainer* table = TableOf(handle, function, info);
    if (table == nullptr) return nwrfc::RFC_INVALID_HANDLE;
    return Moved(move(*table), refusal, info);
}

nwrfc::RFC_STRUCTURE_HANDLE RowHandle(StructureContainer* row, nwrfc::RFC_ERROR_INFO* info) {
    if (row == nullptr) {
        Moved(false, nwrfc::RFC_TABLE_MOVE_EOF, info);
        return nullptr;
    }
    Succeed(info);
    return reinterpret_cast<nwrfc::RFC_STRUCTURE_HANDLE>(static_cast<DataContainer*>(row));
}

}  // namespace

extern "C" {

nwrfc::RFC_RC RfcGetRowCount(nwrfc::RFC_TABLE_HANDLE tableHandle, unsigned* rowCount,
                      nwrfc::RFC_ERROR_INFO* errorInfo) {
    TableContainer* table = TableOf(tableHandle, "RfcGetRowCount", errorInfo);
    if (table == nullptr) return nwrfc::RFC_INVALID_HANDLE;
    if (rowCount == nullptr) return Report(InvalidParameter("RfcGetRowCount: rowCount is NULL"), errorInfo);
    *rowCount = static_cast<unsigned>(table->RowCount());
    return Succeed(errorInfo);
}

nwrfc::RFC_RC RfcMoveTo(nwrfc::RFC_TABLE_HANDLE tableHandle, unsigned index,
                 nwrfc::RFC_ERROR_INFO* errorInfo) {
    return Move(tableHandle, "RfcMoveTo", nwrfc::RFC_TABLE_MOVE_EOF, errorInfo,
                [&](TableContainer& t) { return t.MoveTo(index); });
}

nwrfc::RFC_RC RfcMoveToFirstRow(nwrfc::RFC_TABLE_HANDLE tableHandle, nwrfc::RFC_ERROR_INFO* errorInfo) {
    return Move(tableHandle, "RfcMoveToFirstRow", nwrfc::RFC_TABLE_MOVE_EOF, errorInfo,
                [](TableContainer& t) { return t.MoveTo(0); });
}

nwrfc::RFC_RC RfcMoveToLastRow(nwrfc::RFC_TABLE_HANDLE tableHandle, nwrfc::RFC_ERROR_INFO* errorInfo) {
    return Move(tableHandle, "RfcMoveToLastRow", nwrfc::RFC_TABLE_MOVE_EOF, errorInfo,
                [](TableContainer& t) { return t.RowCount() > 0 && t.MoveTo(t.RowCount() - 1); });
}

nwrfc::RFC_RC RfcMoveToNextRow(nwrfc::RFC_TABLE_HANDLE tableHandle, nwrfc::RFC_ERROR_INFO* errorInfo) {
    return Move(tableHandle, "RfcMoveToNextRow", nwrfc::RFC_TABLE_MOVE_EOF, errorInfo,
                [](TableContainer& t) { return t.MoveNext(); });
}

nwrfc::RFC_RC RfcMoveToPreviousRow(nwrfc::RFC_TABLE_HANDLE tableHandle,
                            nwrfc::RFC_ERROR_INFO* errorInfo) {
    return Move(tableHandle, "RfcMoveToPreviousRow", nwrfc::RFC_TABLE_MOVE_BOF, errorInfo,
                [](TableContainer& t) { return t.MovePrevious(); });
}

nwrfc::RFC_STRUCTURE_HANDLE RfcGetCurrentRow(nwrfc::RFC_TABLE_HANDLE tableHandle,
                                             nwrfc::RFC_ERROR_INFO* errorInfo) {
    TableContainer* table = TableOf(tableHandle, "RfcGetCurrentRow", errorInfo);
    return table == nullptr ? nullptr : RowHandle(table->CurrentRow(), errorInfo);
}

nwrfc::RFC_STRUCTURE_HANDLE RfcAppendNewRow(nwrfc::RFC_TABLE_HANDLE tableHandle,
                                            nwrfc::RFC_ERROR_INFO* errorInfo) {
    TableContainer* table = TableOf(tableHandle, "RfcAppendNewRow", errorInfo);
    if (table == nullptr) return nullptr;
    table->AppendRows(1, true);
    return RowHandle(table->CurrentRow(), errorInfo);
}

nwrfc::RFC_RC RfcDeleteAllRows(nwrfc::RFC_TABLE_HANDLE tableHandle, nwrfc::RFC_ERROR_INFO* errorInfo) {
    return Move(tableHandle, "RfcDeleteAllRows", nwrfc::RFC_OK, errorInfo, [](TableContainer& t) {
        t.Clear();
        return true;
    });
}

nwrfc::RFC_RC RfcDeleteCurrentRow(nwrfc::RFC_TABLE_HANDLE tableHandle, nwrfc::RFC_ERROR_INFO* errorInfo) {
    return Move(tableHandle, "RfcDeleteCurrentRow", nwrfc::RFC_TABLE_MOVE_EOF, errorInfo,
                [](TableContainer& t) {
                    if (!t.HasCurrent()) return false;
                    t.DeleteCurrent();
                    return true;
                });
}

}  // extern "C"
