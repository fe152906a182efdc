// The headless front end's command line and where its password comes from.
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "ConsoleTestSupport.h"
#include "app/console/ConsoleOptions.h"
#include "app/console/PasswordSource.h"
#include "platform/TextCodec.h"

namespace consoletest {
namespace {

bool Parse(std::vector<const char*> args, ConsoleOptions& options, std::string& error) {
    args.insert(args.begin(), "quorvel-console");
    return ParseConsoleOptions(static_cast<int>(args.size()), args.data(), options, error);
}

std::string Refusal(std::vector<const char*> args) {
    ConsoleOptions options;
    std::string error;
    EXPECT_FALSE(Parse(args, options, error));
    return error;
}

TEST(ConsoleOptionsTest, EveryValueIsTakenAndTheDatabaseServersInOrder) {
    ConsoleOptions o;
    std::string error;
    ASSERT_TRUE(Parse({"--host",
                       "qashost2",
                       "--system-number",
                       "2",
                       "--client",
                       "100",
                       "--user",
                       "collector",
                       "--language",
                       "DE",
                       "--data-dir",
                       "/tmp/d",
                       "--minutes",
                       "20",
                       "--database",
                       "QASDB",
                       "--database",
                       "CLV,SYSA,qashost1_QAS_01",
                       "--prefill-simulator",
                       "--password-file",
                       "/etc/pw",
                       "--check"},
                      o, error))
        << error;
    EXPECT_EQ(o.host, u"qashost2");
    EXPECT_EQ(o.systemNumber, u"2");  // the wizard's edit takes one digit too
    EXPECT_EQ(o.client, u"100");
    EXPECT_EQ(o.user, u"collector");
    EXPECT_EQ(o.language, u"DE");
    EXPECT_EQ(o.dataDirectory, u"/tmp/d");
    EXPECT_EQ(o.runSeconds, 1200);
    EXPECT_EQ(o.passwordFile, "/etc/pw");
    EXPECT_TRUE(o.prefillSimulator);
    EXPECT_TRUE(o.check);
    ASSERT_EQ(o.databases.size(), 2u);
    EXPECT_EQ(o.databases[0].destination, u"QASDB");
    EXPECT_TRUE(o.databases[0].gateway.empty());
    EXPECT_EQ(o.databases[1].system, u"SYSA");
    EXPECT_EQ(o.databases[1].gateway, u"qashost1_QAS_01");
}

// The unit's defaults live in its example options file: the line an operator
// copies must parse, and must keep a service rotating, pruning and starting
// without a server that is down.
TEST(ConsoleOptionsTest, TheServiceExampleOptionsParseToTheUnitsDefaults) {
    std::ifstream file(QUORVEL_SERVICE_OPTIONS_EXAMPLE);
    ASSERT_TRUE(file) << QUORVEL_SERVICE_OPTIONS_EXAMPLE;
    std::string line, value;
    while (std::getline(file, line))
        if (line.rfind("QUORVEL_OPTIONS=\"", 0) == 0)
            value = line.substr(17, line.rfind('"') - 17);
    ASSERT_FALSE(value.empty()) << "no QUORVEL_OPTIONS line";
    // systemd splits an unquoted $QUORVEL_OPTIONS at blanks.
    std::vector<std::string> words;
    std::istringstream split(value);
    for (std::string word; split >> word;) words.push_back(word);
    std::vector<const char*> args;
    for (const std::string& word : words) args.push_back(word.c_str());

    ConsoleOptions o;
    std::string error;
    ASSERT_TRUE(Parse(args, o, error)) << error;
    EXPECT_EQ(o.rotation, RotationPeriod::Daily);
    EXPECT_EQ(o.retention.keepDays, 30);
    EXPECT_FALSE(o.retention.keepBytes.has_value());
    EXPECT_TRUE(o.startWithoutUnreachable);
    EXPECT_FALSE(o.minFreeBytes.has_value());
    EXPECT_TRUE(o.dataDirectory.empty()) << "the unit names the data directory itself";
    EXPECT_TRUE(o.passwordFile.empty()) << "the unit hands the password over as a credential";
}

// Digits, limits and capitals are the wizard steps' rules: the options take
// the values as typed, and the steps refuse them as input.
TEST(ConsoleOptionsTest, LogonValuesAreTakenAsTypedForTheStepsToJudge) {
    ConsoleOptions o;
    std::string error;
    ASSERT_TRUE(Parse({"--system-number", "7a", "--client", "1000", "--user", "collector_long"}, o,
                      error))
        << error;
    EXPECT_EQ(o.systemNumber, u"7a");
    EXPECT_EQ(o.client, u"1000");
    EXPECT_EQ(o.user, u"collector_long");
}

TEST(ConsoleOptionsTest, BadValuesAndThePasswordAreRefusedWithTheReason) {
    EXPECT_NE(Refusal({"--password", "secret"}).find("not taken from the command line"),
              std::string::npos);
    EXPECT_NE(Refusal({"--password=secret"}).find("--password-file"), std::string::npos);
    EXPECT_EQ(Refusal({"--minutes", "-3"}), "--minutes takes a whole number, not -3");
    EXPECT_EQ(Refusal({"--seconds", "99999999999"}).substr(0, 9), "--seconds");
    EXPECT_EQ(Refusal({"--host"}), "--host needs a value");
    EXPECT_EQ(Refusal({"--host", ""}), "--host needs a value");
    EXPECT_EQ(Refusal({"--colour", "red"}), "unknown option --colour");
    EXPECT_EQ(Refusal({"stray"}), "unknown argument stray");
    EXPECT_EQ(Refusal({"--database", ",SYS"}).substr(0, 10), "--database");
    EXPECT_EQ(Refusal({"--database", "A,B,C,D"}).substr(0, 10), "--database");
    EXPECT_EQ(Refusal({"--check", "--store-only"}), "--check and --store-only exclude each other");
    EXPECT_EQ(Refusal({"--metrics-listen", "127.0.0.1:99999"}).rfind("--metrics-listen: ", 0), 0u);
    EXPECT_EQ(Refusal({"--metrics-listen", "9464", "--check"}),
              "--metrics-listen serves a session; not with --check or --store-only");
}

TEST(ConsoleOptionsTest, SizesTakeBinarySuffixesAndRefuseTheRest) {
    uint64_t bytes = 0;
    ASSERT_TRUE(ParseByteSize("1073741824", bytes));
    EXPECT_EQ(bytes, uint64_t{1} << 30);
    for (const char* text : {"1G", "1g", "1GiB", "1gb", "1024M", "1048576K"}) {
        bytes = 0;
        ASSERT_TRUE(ParseByteSize(text, bytes)) << text;
        EXPECT_EQ(bytes, uint64_t{1} << 30) << text;
    }
    ASSERT_TRUE(ParseByteSize("3T", bytes));
    EXPECT_EQ(bytes, uint64_t{3} << 40);
    for (const char* text :
         {"", "G", "-1G", "1.5G", "1X", "1GG", "1 G", "9999999999T", "99999999999999999999"})
        EXPECT_FALSE(ParseByteSize(text, bytes)) << text;

    ConsoleOptions o;
    std::string error;
    EXPECT_FALSE(o.minFreeBytes.has_value());
    ASSERT_TRUE(Parse({"--min-free", "512M"}, o, error)) << error;
    EXPECT_EQ(o.minFreeBytes, uint64_t{512} << 20);
    EXPECT_EQ(Refusal({"--min-free", "lots"}),
              "--min-free takes a size such as 512M or 2G, not lots");

    EXPECT_EQ(o.rotation, RotationPeriod::None);
    ASSERT_TRUE(Parse({"--rotate", "weekly", "--rotate", "daily"}, o, error)) << error;
    EXPECT_EQ(o.rotation, RotationPeriod::Daily);  // the last one given counts
    EXPECT_EQ(Refusal({"--rotate", "monthly"}),
              "--rotate takes hourly, daily, weekly or none, not monthly");

    EXPECT_FALSE(o.retention.Any());
    ASSERT_TRUE(Parse({"--keep-days", "30", "--keep-size", "50G"}, o, error)) << error;
    EXPECT_EQ(o.retention.keepDays, 30);
    EXPECT_EQ(o.retention.keepBytes, uint64_t{50} << 30);
    EXPECT_EQ(Refusal({"--keep-days", "0"}), "--keep-days takes a number of days from 1, not 0");
    EXPECT_EQ(Refusal({"--keep-size", "0"}), "--keep-size takes a size such as 50G, not 0");
}

TEST_F(ConsoleTest, ARelativeDataDirectoryLiesBelowTheWorkingDirectory) {
    ConsoleOptions o;
    std::string error;
    ASSERT_TRUE(Parse({"--data-dir", "collect/DATA"}, o, error)) << error;
    EXPECT_EQ(platform::ToUtf8(o.dataDirectory), fs::current_path().string() + "/collect/DATA");
}

TEST_F(ConsoleTest, APasswordFileMustBeTheOwnersAlone) {
    std::u16string password;
    std::string error;
    const std::string open =
        WriteFile("open", "SECRET\n", fs::perms::owner_read | fs::perms::group_read);
    EXPECT_FALSE(ReadPasswordFile(open, password, error));
    EXPECT_NE(error.find("may be read by group or others"), std::string::npos) << error;

    const std::string own = WriteFile("own", "Secret\r\nignored\n", fs::perms::owner_read);
    ASSERT_TRUE(ReadPasswordFile(own, password, error)) << error;
    EXPECT_EQ(password, u"Secret");

    const std::string empty = WriteFile("empty", "\n", fs::perms::owner_read);
    EXPECT_FALSE(ReadPasswordFile(empty, password, error));
    EXPECT_FALSE(ReadPasswordFile(root_ + "/missing", password, error));
    EXPECT_FALSE(ReadPasswordFile(root_, password, error));  // a directory
}

TEST_F(ConsoleTest, TheFileComesBeforeTheCredentialAndTheCredentialBeforeTheEnvironment) {
    const std::string credentials = root_ + "/credentials";
    fs::create_directories(credentials);
    std::ofstream(credentials + "/password") << "FROMCRED";
    fs::permissions(credentials + "/password", fs::perms::owner_read);
    const std::string file = WriteFile("pw", "FROMFILE", fs::perms::owner_read);
    ::setenv("CREDENTIALS_DIRECTORY", credentials.c_str(), 1);
    // The environment's password is gone once the sources were looked at,
    // whichever one was taken.
    ::setenv("QUORVEL_PASSWORD", "FROMENV", 1);
    const PasswordResult fromFile = PasswordFromSources(file);
    EXPECT_EQ(fromFile.password, u"FROMFILE");
    EXPECT_TRUE(fromFile.fromOutside);
    EXPECT_EQ(std::getenv("QUORVEL_PASSWORD"), nullptr);
    ::setenv("QUORVEL_PASSWORD", "FROMENV", 1);
    EXPECT_EQ(PasswordFromSources("").password, u"FROMCRED");
    fs::remove(credentials + "/password");
    ::setenv("QUORVEL_PASSWORD", "FROMENV", 1);
    const PasswordResult fromEnvironment = PasswordFromSources("");
    EXPECT_EQ(fromEnvironment.password, u"FROMENV");
    EXPECT_TRUE(fromEnvironment.fromOutside);
    EXPECT_EQ(std::getenv("QUORVEL_PASSWORD"), nullptr);
    const PasswordResult none = PasswordFromSources("");
    EXPECT_FALSE(none.password.has_value());
    EXPECT_FALSE(none.fromOutside);
    // A named file that cannot be used is an error, not a fall-back.
    EXPECT_FALSE(PasswordFromSources(root_ + "/missing").error.empty());
}

}  // namespace
}  // namespace consoletest
