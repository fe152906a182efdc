// The data containers behind DATA_CONTAINER_HANDLE: a function's parameter
// block, a structure (in a block, owned, or a row of a table) and a table.
// Values lie in the Unicode layout. A table keeps its rows contiguous; a
// row handle is a light view (table and row number), so reading a field of
// a row costs a copy and no allocation.
//
// Thread rules: a container belongs to one thread at a time, as in the SDK.
#pragma once

#include <cstdlib>
#include <deque>
#include <memory>
#include <vector>

#include "Descriptions.h"

namespace nwsim {

class TableContainer;

// The bytes of a table's rows, contiguous. New rows are written before
// they are read, so growing never zeroes them first; growing goes through
// realloc, which moves a large buffer's pages instead of copying its bytes.
class RowBuffer {
  public:
    RowBuffer() = default;
    RowBuffer(const RowBuffer&) = delete;
    RowBuffer& operator=(const RowBuffer&) = delete;
    ~RowBuffer() { std::free(bytes_); }

    uint8_t* Data() const { return bytes_; }
    size_t Size() const { return size_; }
    // Grows (or shrinks) to size bytes; the bytes added are unset.
    void Resize(size_t size);
    // Removes length bytes at offset.
    void Erase(size_t offset, size_t length);

  private:
    uint8_t* bytes_ = nullptr;
    size_t size_ = 0, capacity_ = 0;
};

class DataContainer {
  public:
    enum class Kind : uint8_t { kFunction, kStructure, kTable };
    virtual ~DataContainer() = default;
    Kind GetKind() const { return kind_; }

  protected:
    explicit DataContainer(Kind kind) : kind_(kind) {}

  private:
    Kind kind_;
};

class StructureContainer : public DataContainer {
  public:
    // A structure inside a buffer owned by someone else.
    StructureContainer(const TypeDesc& type, uint8_t* data);
    // Row `row` of a table.
    StructureContainer(const TypeDesc& type, TableContainer& table, size_t row);
    // A structure of its own (RfcCreateStructure).
    explicit StructureContainer(const TypeDesc& type);

    const TypeDesc& Type() const { return *type_; }
    inline uint8_t* Data() const;
    // Nested structures of this one's fields are not described by the
    // partner's rows, so a structure has no children.

  private:
    const TypeDesc* type_;
    TableContainer* table_ = nullptr;
    size_t row_ = 0;
    uint8_t* data_ = nullptr;
    std::vector<uint8_t> own_;
};

class TableContainer : public DataContainer {
  public:
    explicit TableContainer(const TypeDesc& rowType);

    const TypeDesc& RowType() const { return *rowType_; }
    size_t RowCount() const { return count_; }
    size_t RowLength() const { return rowLength_; }
    uint8_t* Row(size_t index) { return rows_.Data() + index * rowLength_; }
    const RowBuffer& Bytes() const { return rows_; }

    // Appends count rows; initial: at their initial values, else left for
    // the caller to fill. Returns the first of them; the last becomes current.
    uint8_t* AppendRows(size_t count, bool initial);
    void Clear();
    void DeleteCurrent();

    // The cursor; false when the move is impossible (it stays where it was).
    bool MoveTo(size_t index);
    bool MoveNext() { return HasCurrent() && MoveTo(current_ + 1); }
    bool MovePrevious() { return HasCurrent() && current_ > 0 && MoveTo(current_ - 1); }
    bool HasCurrent() const { return current_ < count_; }
    // The view of the current row; nullptr when there is none.
    StructureContainer* CurrentRow();

  private:
    static constexpr size_t kNone = ~size_t{0};
    const TypeDesc* rowType_;
    size_t rowLength_;
    RowBuffer rows_;
    size_t count_ = 0;
    size_t current_ = kNone;
    std::deque<StructureContainer> views_;  // views_[i] shows row i; stable addresses
};

inline uint8_t* StructureContainer::Data() const {
    return table_ != nullptr ? table_->Row(row_) : data_;
}

class FunctionContainer : public DataContainer {
  public:
    explicit FunctionContainer(const FunctionDesc& desc);

    const FunctionDesc& Desc() const { return *desc_; }
    uint8_t* Data() { return block_.data(); }
    bool Active(size_t parameter) const { return active_[parameter] != 0; }
    void SetActive(size_t parameter, bool active) { active_[parameter] = active ? 1 : 0; }
    // The structure or table of a parameter; nullptr for a scalar.
    DataContainer* Child(size_t parameter) { return children_[parameter].get(); }

  private:
    const FunctionDesc* desc_;
    std::vector<uint8_t> block_;
    std::vector<uint8_t> active_;
    std::vector<std::unique_ptr<DataContainer>> children_;
};

}  // namespace nwsim
