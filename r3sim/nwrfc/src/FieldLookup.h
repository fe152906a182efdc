// Finding a value in a container by name or by index: a function's
// parameters, a structure's fields, or the fields of a table's current row
// (the SDK lets a table handle stand for its current row).
//
// Thread rules: as the container's.
#pragma once

#include "Containers.h"
#include "FieldValues.h"

namespace nwsim {

// The container behind a handle; nullptr (and the failure) for NULL.
DataContainer* ContainerOf(nwrfc::DATA_CONTAINER_HANDLE handle, Failure& failure);

bool FindField(nwrfc::DATA_CONTAINER_HANDLE handle, const nwrfc::SAP_UC* name, FieldRef& field,
               Failure& failure);
bool FindField(nwrfc::DATA_CONTAINER_HANDLE handle, unsigned index, FieldRef& field,
               Failure& failure);

// The structure or table a parameter of a function holds.
template <typename Key>
bool FindChild(nwrfc::DATA_CONTAINER_HANDLE handle, Key key, DataContainer::Kind kind,
               DataContainer*& child, Failure& failure);

// Runs op(field, failure) on the value found, reporting into info.
template <typename Key, typename Op>
nwrfc::RFC_RC WithField(nwrfc::DATA_CONTAINER_HANDLE handle, Key key, nwrfc::RFC_ERROR_INFO* info,
                        Op op) {
    Failure failure;
    FieldRef field;
    if (!FindField(handle, key, field, failure)) return Report(failure, info);
    if (op(field, failure) != nwrfc::RFC_OK) return Report(failure, info);
    return Succeed(info);
}

}  // namespace nwsim
