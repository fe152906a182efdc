#include "FieldLookup.h"

#include "Text.h"

namespace nwsim {
namespace {

// The parameters or fields of a container, and where its values lie.
struct Fields {
    const FunctionDesc* function = nullptr;
    const TypeDesc* type = nullptr;
    uint8_t* data = nullptr;
    FunctionContainer* owner = nullptr;
};

bool FieldsOf(nwrfc::DATA_CONTAINER_HANDLE handle, Fields& out, Failure& failure) {
    DataContainer* container = ContainerOf(handle, failure);
    if (container == nullptr) return false;
    switch (container->GetKind()) {
        case DataContainer::Kind::kFunction: {
            auto* function = static_cast<FunctionContainer*>(container);
            out = {&function->Desc(), nullptr, function->Data(), function};
            return true;
        }
        case DataContainer::Kind::kStructure: {
            auto* structure = static_cast<StructureContainer*>(container);
            out = {nullptr, &structure->Type(), structure->Data(), nullptr};
            return true;
        }
        case DataContainer::Kind::kTable: {
            StructureContainer* row = static_cast<TableContainer*>(container)->CurrentRow();
            if (row == nullptr) {
                failure = MakeFailure(nwrfc::RFC_TABLE_MOVE_EOF, nwrfc::EXTERNAL_RUNTIME_FAILURE,
                                      "the table has no current row");
                return false;
            }
            out = {nullptr, &row->Type(), row->Data(), nullptr};
            return true;
        }
    }
    return false;
}

bool NotFound(std::string what, Failure& failure) {
    failure = MakeFailure(nwrfc::RFC_INVALID_PARAMETER, nwrfc::EXTERNAL_RUNTIME_FAILURE,
                          what + " does not exist");
    return false;
}

bool At(const Fields& fields, int index, FieldRef& field) {
    if (fields.function != nullptr) {
        const auto& parameters = fields.function->Parameters();
        if (index < 0 || static_cast<size_t>(index) >= parameters.size()) return false;
        const ParameterDesc& p = parameters[static_cast<size_t>(index)];
        field = {&p.slot, fields.data + p.slot.ucOffset, p.name};
        return true;
    }
    const auto& list = fields.type->Fields();
    if (index < 0 || static_cast<size_t>(index) >= list.size()) return false;
    const FieldDesc& f = list[static_cast<size_t>(index)];
    field = {&f.slot, fields.data + f.slot.ucOffset, f.name};
    return true;
}

int IndexOf(const Fields& fields, std::u16string_view name) {
    return fields.function != nullptr ? fields.function->Find(name) : fields.type->Find(name);
}

int IndexOf(const Fields&, unsigned index) {
    return index > 0x7FFFFFFF ? -1 : static_cast<int>(index);
}

std::string Describe(const nwrfc::SAP_UC* name) {
    return "field or parameter '" + Utf8(TextOf(name, kMaxNameUnits)) + "'";
}

std::string Describe(unsigned index) {
    return "field or parameter number " + std::to_string(index);
}

template <typename Key>
bool Find(nwrfc::DATA_CONTAINER_HANDLE handle, Key key, Fields& fields, FieldRef& field,
          int& index, Failure& failure) {
    if (!FieldsOf(handle, fields, failure)) return false;
    if constexpr (std::is_same_v<Key, unsigned>)
        index = IndexOf(fields, key);
    else
        index = IndexOf(fields, TextOf(key, kMaxNameUnits));
    if (!At(fields, index, field)) return NotFound(Describe(key), failure);
    return true;
}

}  // namespace

DataContainer* ContainerOf(nwrfc::DATA_CONTAINER_HANDLE handle, Failure& failure) {
    if (handle == nullptr) {
        failure = MakeFailure(nwrfc::RFC_INVALID_HANDLE, nwrfc::EXTERNAL_RUNTIME_FAILURE,
                              "the data container handle is NULL");
        return nullptr;
    }
    return reinterpret_cast<DataContainer*>(handle);
}

bool FindField(nwrfc::DATA_CONTAINER_HANDLE handle, const nwrfc::SAP_UC* name, FieldRef& field,
               Failure& failure) {
    Fields fields;
    int index = -1;
    return Find(handle, name, fields, field, index, failure);
}

bool FindField(nwrfc::DATA_CONTAINER_HANDLE handle, unsigned index, FieldRef& field,
               Failure& failure) {
    Fields fields;
    int found = -1;
    return Find(handle, index, fields, field, found, failure);
}

template <typename Key>
bool FindChild(nwrfc::DATA_CONTAINER_HANDLE handle, Key key, DataContainer::Kind kind,
               DataContainer*& child, Failure& failure) {
    Fields fields;
    FieldRef field;
    int index = -1;
    if (!Find(handle, key, fields, field, index, failure)) return false;
    child = fields.owner != nullptr ? fields.owner->Child(static_cast<size_t>(index)) : nullptr;
    if (child == nullptr || child->GetKind() != kind) {
        failure = InvalidParameter(Describe(key) + " is not a " +
                                   (kind == DataContainer::Kind::kTable ? "table" : "structure") +
                                   " this container holds");
        return false;
    }
    return true;
}

template bool FindChild(nwrfc::DATA_CONTAINER_HANDLE, const nwrfc::SAP_UC*, DataContainer::Kind,
                        DataContainer*&, Failure&);
template bool FindChild(nwrfc::DATA_CONTAINER_HANDLE, unsigned, DataContainer::Kind,
                        DataContainer*&, Failure&);

}  // namespace nwsim
