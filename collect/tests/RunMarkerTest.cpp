// The running mark of a session folder: which folder a new start takes
// over, and what it leaves there for the report tool.
#include "collect/system/RunMarker.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/TextCodec.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

TEST(RunMarkerTest, TheNewestMarkedFolderOfTheSystemWithinADayIsTakenOverOnce) {
    char pattern[] = "/tmp/quorvel-marker-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const fs::path data = pattern;
    const std::u16string dataDir = platform::FromUtf8(data.string() + "/");
    const auto folder = [&](const char* name) {
        fs::create_directories(data / name);
        return platform::FromUtf8((data / name).string() + "/");
    };
    const auto age = [&](const char* name, const char* file, std::chrono::hours hours) {
        fs::last_write_time(data / name / file, fs::file_time_type::clock::now() - hours);
    };
    const auto now = std::chrono::system_clock::now();
    EXPECT_FALSE(FindUnfinishedFolder(dataDir, u"QAS", now).has_value());

    WriteRunMarker(folder("12060800.QAS"), u"QAS");
    age("12060800.QAS", "QAS.run", 30h);  // too old to catch up
    WriteRunMarker(folder("12070800.QAS"), u"QAS");
    age("12070800.QAS", "QAS.run", 3h);
    WriteRunMarker(folder("12070900.QAS"), u"QAS");
    age("12070900.QAS", "QAS.run", 2h);
    WriteRunMarker(folder("12071000.PRD"), u"PRD");  // another system
    folder("12071100.QAS");                          // ended cleanly: no mark
    std::ofstream(data / "12071100.QAS" / "QAS.log") << "x";

    const auto found = FindUnfinishedFolder(dataDir, u"QAS", now);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(platform::ToUtf8(*found), (data / "12070900.QAS").string() + "/");
    MarkUnfinished(*found, u"QAS", folder("12071200.QAS"));
    EXPECT_FALSE(fs::exists(data / "12070900.QAS" / "QAS.run"));
    std::ifstream in(data / "12070900.QAS" / "QAS.unfinished");
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(text.find("collector process "), std::string::npos) << text;
    EXPECT_NE(text.find("were read again by the session in " + (data / "12071200.QAS").string()),
              std::string::npos)
        << text;
    // Taken over once: the next start finds the older one, then none.
    EXPECT_EQ(platform::ToUtf8(*FindUnfinishedFolder(dataDir, u"QAS", now)),
              (data / "12070800.QAS").string() + "/");
    RemoveRunMarker(platform::FromUtf8((data / "12070800.QAS").string() + "/"), u"QAS");
    RemoveRunMarker(platform::FromUtf8((data / "12070800.QAS").string() + "/"), u"QAS");
    EXPECT_FALSE(FindUnfinishedFolder(dataDir, u"QAS", now).has_value());
    fs::remove_all(data);
}

}  // namespace
