// Rows rebuilt field by field from a NetWeaver data container into the
// classic 2-byte layout, and written back: every type the catalogue meets,
// at odd offsets, through the ByIndex readers and by name.
#include <gtest/gtest.h>

#include <cstring>

#include "client/TypeRegistry.h"
#include "nwrfc/FieldTransfer.h"

namespace {

using namespace rfclib;
using namespace rfclib::nw;

// A row of the library: each field's value in the Unicode layout. It stands
// for the library's data container and type description at once.
struct FakeRow {
    struct Field {
        std::u16string name;
        nwrfc::RFCTYPE type;
        std::vector<uint8_t> bytes;  // characters UTF-16, numbers native
        std::u16string text;         // packed numbers, as RfcGetString gives them
    };
    std::vector<Field> fields;
    int byIndex = 0, byName = 0;
};

FakeRow& Row(nwrfc::DATA_CONTAINER_HANDLE h) {
    return *reinterpret_cast<FakeRow*>(h);
}
FakeRow& Row(nwrfc::RFC_TYPE_DESC_HANDLE h) {
    return *reinterpret_cast<FakeRow*>(h);
}

nwrfc::RFC_RC Fail(nwrfc::RFC_ERROR_INFO* info, nwrfc::RFC_RC code) {
    if (info != nullptr) info->code = code;
    return code;
}

FakeRow::Field* Find(FakeRow& row, const nwrfc::SAP_UC* name) {
    ++row.byName;
    for (FakeRow::Field& f : row.fields)
        if (f.name == name) return &f;
    return nullptr;
}
FakeRow::Field* At(FakeRow& row, unsigned index) {
    ++row.byIndex;
    return index < row.fields.size() ? &row.fields[index] : nullptr;
}

nwrfc::RFC_RC Chars(FakeRow::Field* f, nwrfc::RFC_CHAR* out, unsigned length,
                    nwrfc::RFC_ERROR_INFO* info) {
    if (f == nullptr) return Fail(info, nwrfc::RFC_INVALID_PARAMETER);
    const unsigned chars = static_cast<unsigned>(f->bytes.size() / 2);
    if (length < chars) return Fail(info, nwrfc::RFC_BUFFER_TOO_SMALL);
    std::memcpy(out, f->bytes.data(), chars * 2);
    for (unsigned i = chars; i < length; ++i) out[i] = u' ';
    return nwrfc::RFC_OK;
}
nwrfc::RFC_RC Bytes(FakeRow::Field* f, nwrfc::SAP_RAW* out, unsigned length,
                    nwrfc::RFC_ERROR_INFO* info) {
    if (f == nullptr) return Fail(info, nwrfc::RFC_INVALID_PARAMETER);
    if (length < f->bytes.size()) return Fail(info, nwrfc::RFC_BUFFER_TOO_SMALL);
    std::memcpy(out, f->bytes.data(), f->bytes.size());
    std::memset(out + f->bytes.size(), 0, length - f->bytes.size());
    return nwrfc::RFC_OK;
}
nwrfc::RFC_RC String(FakeRow::Field* f, nwrfc::SAP_UC* out, unsigned capacity,
                     unsigned* length, nwrfc::RFC_ERROR_INFO* info) {
    if (f == nullptr) return Fail(info, nwrfc::RFC_INVALID_PARAMETER);
    *length = static_cast<unsigned>(f->text.size());
    if (capacity < f->text.size() + 1) return Fail(info, nwrfc::RFC_BUFFER_TOO_SMALL);
    std::memcpy(out, f->text.c_str(), (f->text.size() + 1) * 2);
    return nwrfc::RFC_OK;
}
template <typename T>
nwrfc::RFC_RC Store(nwrfc::DATA_CONTAINER_HANDLE h, const nwrfc::SAP_UC* name, T value,
                    nwrfc::RFC_ERROR_INFO* info) {
    FakeRow::Field* f = Find(Row(h), name);
    if (f == nullptr) return Fail(info, nwrfc::RFC_INVALID_PARAMETER);
    f->bytes.assign(sizeof value, 0);
    std::memcpy(f->bytes.data(), &value, sizeof value);
    return nwrfc::RFC_OK;
}

Functions FakeLibrary(bool withIndexReaders) {
    Functions api;
    api.RfcGetFieldCount = [](nwrfc::RFC_TYPE_DESC_HANDLE h, unsigned* count,
                              nwrfc::RFC_ERROR_INFO*) {
        *count = static_cast<unsigned>(Row(h).fields.size());
        return nwrfc::RFC_OK;
    };
    api.RfcGetFieldDescByIndex = [](nwrfc::RFC_TYPE_DESC_HANDLE h, unsigned index,
                                    nwrfc::RFC_FIELD_DESC* desc, nwrfc::RFC_ERROR_INFO* info) {
        if (index >= Row(h).fields.size()) return Fail(info, nwrfc::RFC_INVALID_PARAMETER);
        *desc = {};
        const FakeRow::Field& f = Row(h).fields[index];
        std::memcpy(desc->name, f.name.c_str(), (f.name.size() + 1) * 2);
        desc->type = f.type;
        return nwrfc::RFC_OK;
    };
    api.RfcGetChars = [](nwrfc::DATA_CONTAINER_HANDLE h, const nwrfc::SAP_UC* name,
                         nwrfc::RFC_CHAR* out, unsigned n, nwrfc::RFC_ERROR_INFO* info) {
        return Chars(Find(Row(h), name), out, n, info);
    };
    api.RfcGetBytes = [](nwrfc::DATA_CONTAINER_HANDLE h, const nwrfc::SAP_UC* name,
                         nwrfc::SAP_RAW* out, unsigned n, nwrfc::RFC_ERROR_INFO* info) {
        return Bytes(Find(Row(h), name), out, n, info);
    };
    api.RfcGetString = [](nwrfc::DATA_CONTAINER_HANDLE h, const nwrfc::SAP_UC* name,
                          nwrfc::SAP_UC* out, unsigned n, unsigned* length,
                          nwrfc::RFC_ERROR_INFO* info) {
        return String(Find(Row(h), name), out, n, length, info);
    };
    if (withIndexReaders) {
        api.RfcGetCharsByIndex = [](nwrfc::DATA_CONTAINER_HANDLE h, unsigned i,
                                    nwrfc::RFC_CHAR* out, unsigned n,
                                    nwrfc::RFC_ERROR_INFO* info) {
            return Chars(At(Row(h), i), out, n, info);
        };
        api.RfcGetBytesByIndex = [](nwrfc::DATA_CONTAINER_HANDLE h, unsigned i,
                                    nwrfc::SAP_RAW* out, unsigned n,
                                    nwrfc::RFC_ERROR_INFO* info) {
            return Bytes(At(Row(h), i), out, n, info);
        };
        api.RfcGetStringByIndex = [](nwrfc::DATA_CONTAINER_HANDLE h, unsigned i,
                                     nwrfc::SAP_UC* out, unsigned n, unsigned* length,
                                     nwrfc::RFC_ERROR_INFO* info) {
            return String(At(Row(h), i), out, n, length, info);
        };
    }
    api.RfcSetChars = [](nwrfc::DATA_CONTAINER_HANDLE h, const nwrfc::SAP_UC* name,
                         const nwrfc::RFC_CHAR* value, unsigned n, nwrfc::RFC_ERROR_INFO* info) {
        FakeRow::Field* f = Find(Row(h), name);
        if (f == nullptr) return Fail(info, nwrfc::RFC_INVALID_PARAMETER);
        f->bytes.assign(reinterpret_cast<const uint8_t*>(value),
                        reinterpret_cast<const uint8_t*>(value + n));
        return nwrfc::RFC_OK;
    };
    api.RfcSetBytes = [](nwrfc::DATA_CONTAINER_HANDLE h, const nwrfc::SAP_UC* name,
                         const nwrfc::SAP_RAW* value, unsigned n, nwrfc::RFC_ERROR_INFO* info) {
        FakeRow::Field* f = Find(Row(h), name);
        if (f == nullptr) return Fail(info, nwrfc::RFC_INVALID_PARAMETER);
        f->bytes.assign(value, value + n);
        return nwrfc::RFC_OK;
    };
    api.RfcSetString = [](nwrfc::DATA_CONTAINER_HANDLE h, const nwrfc::SAP_UC* name,
                          const nwrfc::SAP_UC* value, unsigned n, nwrfc::RFC_ERROR_INFO* info) {
        FakeRow::Field* f = Find(Row(h), name);
        if (f == nullptr) return Fail(info, nwrfc::RFC_INVALID_PARAMETER);
        f->text.assign(value, n);
        return nwrfc::RFC_OK;
    };
    api.RfcSetInt = [](nwrfc::DATA_CONTAINER_HANDLE h, const nwrfc::SAP_UC* name,
                       nwrfc::RFC_INT v, nwrfc::RFC_ERROR_INFO* info) {
        return Store(h, name, v, info);
    };
    api.RfcSetInt1 = [](nwrfc::DATA_CONTAINER_HANDLE h, const nwrfc::SAP_UC* name,
                        nwrfc::RFC_INT1 v, nwrfc::RFC_ERROR_INFO* info) {
        return Store(h, name, v, info);
    };
    api.RfcSetInt2 = [](nwrfc::DATA_CONTAINER_HANDLE h, const nwrfc::SAP_UC* name,
                        nwrfc::RFC_INT2 v, nwrfc::RFC_ERROR_INFO* info) {
        return Store(h, name, v, info);
    };
    api.RfcSetFloat = [](nwrfc::DATA_CONTAINER_HANDLE h, const nwrfc::SAP_UC* name,
                         nwrfc::RFC_FLOAT v, nwrfc::RFC_ERROR_INFO* info) {
        return Store(h, name, v, info);
    };
    return api;
}

std::vector<uint8_t> Utf16(std::u16string_view text) {
    std::vector<uint8_t> bytes(text.size() * 2);
    std::memcpy(bytes.data(), text.data(), bytes.size());
    return bytes;
}
template <typename T>
std::vector<uint8_t> Native(T value) {
    std::vector<uint8_t> bytes(sizeof value);
    std::memcpy(bytes.data(), &value, sizeof value);
    return bytes;
}

// Every type at an odd offset of the 2-byte layout; the 1-byte layout of
// the same fields differs (a non-Unicode partner's) and must not matter.
struct Layout {
    const char16_t* name;
    RFC_TYPEHANDLE type;
    unsigned c1Offset, c2Offset, c2Length, decimals;
};
constexpr Layout kFields[] = {
    {u"FLAGS", RFCTYPE_BYTE, 0, 0, 3, 0},   {u"TNAME", RFCTYPE_CHAR, 3, 3, 8, 0},
    {u"DIGITS", RFCTYPE_NUM, 7, 11, 8, 0},  {u"DAY", RFCTYPE_DATE, 11, 19, 16, 0},
    {u"CLOCK", RFCTYPE_TIME, 19, 35, 12, 0}, {u"TINY", RFCTYPE_INT1, 25, 47, 1, 0},
    {u"SMALL", RFCTYPE_INT2, 27, 49, 2, 0}, {u"COUNT", RFCTYPE_INT, 29, 51, 4, 0},
    {u"RATIO", RFCTYPE_FLOAT, 33, 55, 8, 0}, {u"AMOUNT", RFCTYPE_BCD, 41, 63, 5, 2},
};
constexpr size_t kRowLength = 69;

class FieldTransferTest : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override {
        std::vector<InstalledField> fields;
        for (const Layout& f : kFields) {
            InstalledField i;
            i.name = f.name;
            i.type = f.type;
            i.decimals = f.decimals;
            i.c1Offset = f.c1Offset;
            i.c1Length = f.c2Length;
            i.c2Offset = f.c2Offset;
            i.c2Length = f.c2Length;
            fields.push_back(i);
        }
        // The library lists its fields in another order than the caller.
        row_.fields = {
            {u"RATIO", nwrfc::RFCTYPE_FLOAT, Native(2.5), {}},
            {u"FLAGS", nwrfc::RFCTYPE_BYTE, {0xde, 0xad, 0x01}, {}},
            {u"TNAME", nwrfc::RFCTYPE_CHAR, Utf16(u"T\u00e4B"), {}},  // shorter than 4
            {u"DIGITS", nwrfc::RFCTYPE_NUM, Utf16(u"0042"), {}},
            {u"DAY", nwrfc::RFCTYPE_DATE, Utf16(u"20261209"), {}},
            {u"CLOCK", nwrfc::RFCTYPE_TIME, Utf16(u"235959"), {}},
            {u"TINY", nwrfc::RFCTYPE_INT1, {200}, {}},
            {u"SMALL", nwrfc::RFCTYPE_INT2, Native<int16_t>(-1234), {}},
            {u"COUNT", nwrfc::RFCTYPE_INT, Native<int32_t>(-70000), {}},
            {u"AMOUNT", nwrfc::RFCTYPE_BCD, {}, u"-123.45"},
            {u"EXTRA", nwrfc::RFCTYPE_CHAR, Utf16(u"ZZ"), {}},  // the caller does not know it
        };
        type_ = InstallStructure(u"ZODD_ROW", fields);
        api_ = FakeLibrary(GetParam());
    }
    nwrfc::DATA_CONTAINER_HANDLE Handle() {
        return reinterpret_cast<nwrfc::DATA_CONTAINER_HANDLE>(&row_);
    }
    nwrfc::RFC_TYPE_DESC_HANDLE Type() {
        return reinterpret_cast<nwrfc::RFC_TYPE_DESC_HANDLE>(&row_);
    }

    FakeRow row_;
    RFC_TYPEHANDLE type_ = 0;
    Functions api_;
};

TEST_P(FieldTransferTest, EveryTypeLandsAtItsOddOffset) {
    RowMapping mapping;
    rfcwire::ErrorRecord error;
    ASSERT_TRUE(mapping.Resolve(api_, Type(), type_, kRowLength, error));
    std::vector<uint8_t> record(kRowLength + 1, 0xEE);  // one byte past the row
    std::memset(record.data(), 0, kRowLength);
    ASSERT_TRUE(mapping.Read(api_, Handle(), record.data(), error))
        << std::string(error.message.begin(), error.message.end());
    const uint8_t* r = record.data();
    EXPECT_EQ(std::vector<uint8_t>(r, r + 3), (std::vector<uint8_t>{0xde, 0xad, 0x01}));
    EXPECT_EQ(std::vector<uint8_t>(r + 3, r + 11), Utf16(u"T\u00e4B "));  // blank-padded
    EXPECT_EQ(std::vector<uint8_t>(r + 11, r + 19), Utf16(u"0042"));
    EXPECT_EQ(std::vector<uint8_t>(r + 19, r + 35), Utf16(u"20261209"));
    EXPECT_EQ(std::vector<uint8_t>(r + 35, r + 47), Utf16(u"235959"));
    EXPECT_EQ(r[47], 200);
    int16_t small;
    std::memcpy(&small, r + 49, 2);
    EXPECT_EQ(small, -1234);
    int32_t count;
    std::memcpy(&count, r + 51, 4);
    EXPECT_EQ(count, -70000);
    double ratio;
    std::memcpy(&ratio, r + 55, 8);
    EXPECT_EQ(ratio, 2.5);
    // -123.45 with 2 decimals in 5 bytes: 00 01 23 45 D.
    EXPECT_EQ(std::vector<uint8_t>(r + 63, r + 68),
              (std::vector<uint8_t>{0x00, 0x00, 0x12, 0x34, 0x5d}));
    EXPECT_EQ(r[68], 0);     // the pad byte stays as it was
    EXPECT_EQ(r[69], 0xEE);  // nothing past the row
    if (GetParam())
        EXPECT_EQ(row_.byName, 0) << "the ByIndex readers are used where the library has them";
    else
        EXPECT_GT(row_.byName, 0);
}

TEST_P(FieldTransferTest, ARowWrittenBackReadsTheSame) {
    RowMapping mapping;
    rfcwire::ErrorRecord error;
    ASSERT_TRUE(mapping.Resolve(api_, Type(), type_, kRowLength, error));
    std::vector<uint8_t> first(kRowLength, 0);
    ASSERT_TRUE(mapping.Read(api_, Handle(), first.data(), error));
    // Overwrite every value in the library's row from the record, then read again.
    for (FakeRow::Field& f : row_.fields) {
        f.bytes.assign(f.bytes.size(), 0x55);
        f.text = u"9";
    }
    ASSERT_TRUE(mapping.Write(api_, Handle(), first.data(), error))
        << std::string(error.message.begin(), error.message.end());
    EXPECT_EQ(row_.fields[9].text, u"-123.45");
    std::vector<uint8_t> second(kRowLength, 0);
    ASSERT_TRUE(mapping.Read(api_, Handle(), second.data(), error));
    EXPECT_EQ(first, second);
}

TEST_P(FieldTransferTest, FieldsOutsideTheRecordAreNeverTouched) {
    // A record shorter than the installed structure: the fields that do not
    // fit keep their bytes, and nothing is written past the end.
    RowMapping mapping;
    rfcwire::ErrorRecord error;
    ASSERT_TRUE(mapping.Resolve(api_, Type(), type_, 20, error));
    std::vector<uint8_t> record(kRowLength, 0xEE);
    ASSERT_TRUE(mapping.Read(api_, Handle(), record.data(), error));
    EXPECT_EQ(std::vector<uint8_t>(record.begin() + 3, record.begin() + 11), Utf16(u"T\u00e4B "));
    EXPECT_EQ(std::vector<uint8_t>(record.begin() + 11, record.begin() + 19), Utf16(u"0042"));
    EXPECT_EQ(record[19], 0xEE);  // DAY would cross byte 20
    for (size_t i = 20; i < kRowLength; ++i) ASSERT_EQ(record[i], 0xEE) << i;
}

TEST_P(FieldTransferTest, ALibraryFailureNamesTheField) {
    row_.fields[4].bytes = Utf16(u"2026120912");  // DAY longer than the caller's 8 characters
    RowMapping mapping;
    rfcwire::ErrorRecord error;
    ASSERT_TRUE(mapping.Resolve(api_, Type(), type_, kRowLength, error));
    std::vector<uint8_t> record(kRowLength, 0);
    EXPECT_FALSE(mapping.Read(api_, Handle(), record.data(), error));
    const std::string message(error.message.begin(), error.message.end());
    EXPECT_NE(message.find("DAY"), std::string::npos) << message;
}

INSTANTIATE_TEST_SUITE_P(ByIndexAndByName, FieldTransferTest, ::testing::Bool());

TEST(PlaceFieldsTest, AnElementaryRowIsOneFieldOverTheRecord) {
    const auto places = PlaceFields(RFCTYPE_CHAR, {}, {{u"LINE", 0}}, 144);
    ASSERT_EQ(places.size(), 1u);
    EXPECT_EQ(places[0].length, 144u);
    EXPECT_EQ(places[0].name, u"LINE");
}

}  // namespace
