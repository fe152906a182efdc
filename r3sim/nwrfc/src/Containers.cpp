#include "Containers.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace nwsim {

void RowBuffer::Resize(size_t size) {
    if (size > capacity_) {
        const size_t capacity = std::max(size, capacity_ * 2);
        auto* grown = static_cast<uint8_t*>(std::realloc(bytes_, capacity));
        if (grown == nullptr) throw std::bad_alloc();
        bytes_ = grown;
        capacity_ = capacity;
    }
    size_ = size;
}

void RowBuffer::Erase(size_t offset, size_t length) {
    std::memmove(bytes_ + offset, bytes_ + offset + length, size_ - offset - length);
    size_ -= length;
}

StructureContainer::StructureContainer(const TypeDesc& type, uint8_t* data)
    : DataContainer(Kind::kStructure), type_(&type), data_(data) {}

StructureContainer::StructureContainer(const TypeDesc& type, TableContainer& table, size_t row)
    : DataContainer(Kind::kStructure), type_(&type), table_(&table), row_(row) {}

StructureContainer::StructureContainer(const TypeDesc& type)
    : DataContainer(Kind::kStructure), type_(&type), own_(type.Initial()) {
    data_ = own_.data();
}

TableContainer::TableContainer(const TypeDesc& rowType)
    : DataContainer(Kind::kTable), rowType_(&rowType), rowLength_(rowType.UcLength()) {}

uint8_t* TableContainer::AppendRows(size_t count, bool initial) {
    const size_t first = count_;
    rows_.Resize((count_ + count) * rowLength_);
    if (initial && rowLength_ > 0)
        for (size_t r = first; r < first + count; ++r)
            std::memcpy(Row(r), rowType_->Initial().data(), rowLength_);
    count_ += count;
    if (count > 0) current_ = count_ - 1;
    return Row(first);
}

void TableContainer::Clear() {
    rows_.Resize(0);
    count_ = 0;
    current_ = kNone;
    views_.clear();
}

void TableContainer::DeleteCurrent() {
    if (!HasCurrent()) return;
    rows_.Erase(current_ * rowLength_, rowLength_);
    --count_;
    while (views_.size() > count_) views_.pop_back();
    if (current_ >= count_) current_ = count_ == 0 ? kNone : count_ - 1;
}

bool TableContainer::MoveTo(size_t index) {
    if (index >= count_) return false;
    current_ = index;
    return true;
}

StructureContainer* TableContainer::CurrentRow() {
    if (!HasCurrent()) return nullptr;
    while (views_.size() <= current_) views_.emplace_back(*rowType_, *this, views_.size());
    return &views_[current_];
}

FunctionContainer::FunctionContainer(const FunctionDesc& desc)
    : DataContainer(Kind::kFunction),
      desc_(&desc),
      block_(desc.Initial()),
      active_(desc.Parameters().size(), 1),
      children_(desc.Parameters().size()) {
    for (size_t i = 0; i < desc.Parameters().size(); ++i) {
        const Slot& slot = desc.Parameters()[i].slot;
        if (slot.typeDesc == nullptr) continue;
        if (slot.type == nwrfc::RFCTYPE_TABLE)
            children_[i] = std::make_unique<TableContainer>(*slot.typeDesc);
        else if (slot.type == nwrfc::RFCTYPE_STRUCTURE)
            children_[i] = std::make_unique<StructureContainer>(*slot.typeDesc,
                                                                block_.data() + slot.ucOffset);
    }
}

}  // namespace nwsim
