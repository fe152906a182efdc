// Fuzzes the mapping of the NetWeaver library's descriptions to classic
// rows and places: any descriptor bytes give rows, and every place lies
// within its record.
#include <cstdlib>
#include <cstring>

#include "nwrfc/Descriptors.h"
#include "nwrfc/FieldTransfer.h"

namespace {

template <typename T>
std::vector<T> Records(const uint8_t* data, size_t size) {
    std::vector<T> out(size / sizeof(T));
    if (!out.empty()) std::memcpy(static_cast<void*>(out.data()), data, out.size() * sizeof(T));
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace rfclib::nw;
    if (size < 4) return 0;
    const size_t rowLength = (size_t{data[0]} << 8 | data[1]);
    const size_t split = std::min<size_t>(size, 4 + data[2] * 8u);
    data += 4;
    size -= 4;
    const size_t head = std::min(size, split - 4);

    // The handles in the descriptions are never followed here.
    auto fields = Records<nwrfc::RFC_FIELD_DESC>(data, head);
    for (auto& f : fields) f.typeDescHandle = nullptr, f.extendedDescription = nullptr;
    StructureLayout layout;
    if (FieldsRows(u"FUZZ", fields, 1, 2, layout).size() != fields.size()) std::abort();

    auto parameters = Records<nwrfc::RFC_PARAMETER_DESC>(data + head, size - head);
    std::vector<ParameterDescription> described;
    size_t changing = 0;  // one row in each classic list
    for (auto& p : parameters) {
        if (p.direction == nwrfc::RFC_CHANGING) ++changing;
        p.typeDescHandle = nullptr;
        p.extendedDescription = nullptr;
        described.push_back({p, u"T", 0});
    }
    if (ParamsRows(described, {u"E"}).size() != described.size() + changing + 1) std::abort();

    // Installed fields and the library's fields from the same bytes.
    std::vector<rfclib::InstalledField> installed;
    std::vector<LibraryField> library;
    for (size_t i = 0; i + 12 <= size; i += 12) {
        rfclib::InstalledField f;
        f.name = std::u16string(1, static_cast<char16_t>(u'A' + data[i] % 8));
        f.type = data[i + 1] % 12;
        std::memcpy(&f.c2Offset, data + i + 2, 4);
        std::memcpy(&f.c2Length, data + i + 6, 4);
        f.decimals = data[i + 10] % 20;
        installed.push_back(f);
        library.push_back({std::u16string(1, static_cast<char16_t>(u'A' + data[i + 11] % 8)),
                           static_cast<int>(i / 12)});
    }
    for (const FieldPlace& place : PlaceFields(RFCTYPE_FIRST_INSTALLED, installed, library,
                                               rowLength))
        if (place.offset > rowLength || place.length > rowLength - place.offset ||
            place.length == 0)
            std::abort();
    return 0;
}
