// Test support for the host and remote threads: a scratch session folder
// and typed reading of the record files written into it.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/File.h"
#include "platform/TextCodec.h"

class ScratchSessionFolder {
  public:
    ScratchSessionFolder() {
        char pattern[] = "/tmp/quorvel-host-XXXXXX";
        if (mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~ScratchSessionFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    // The folder with its trailing separator, as the threads take it.
    std::u16string Dir() const { return platform::FromUtf8(path_ + "/"); }
    std::u16string File(const std::u16string& name) const { return Dir() + name; }
    bool Exists(const std::u16string& name) const {
        return std::filesystem::exists(path_ + "/" + platform::ToUtf8(name));
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_))
            names.push_back(entry.path().filename().string());
        return names;
    }

  private:
    std::string path_;
};

// The whole file as records; a file whose length is not a multiple of the
// record fails the test.
template <typename Record>
std::vector<Record> ReadRecords(const std::u16string& path) {
    const std::vector<unsigned char> bytes = platform::ReadWholeFile(path);
    EXPECT_EQ(bytes.size() % sizeof(Record), 0u) << "partial record";
    std::vector<Record> records(bytes.size() / sizeof(Record));
    if (!records.empty())
        std::memcpy(records.data(), bytes.data(), records.size() * sizeof(Record));
    return records;
}
