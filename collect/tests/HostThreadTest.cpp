#include "collect/HostThread.h"
#include "platform/tests/support/Eventually.h"

#include <gtest/gtest.h>

#include "HostTestSupport.h"
#include "collect/RemoteThread.h"
#include "platform/AnsiTextFile.h"

#include <chrono>
#include <thread>

namespace {

// Exposes the request events the way the worker sees them.
class ProbedHostThread : public CHostThread {
  public:
    ~ProbedHostThread() override { EndThread(); }
    bool IsRequested(size_t index) const { return m_Events.IsSet(index); }
    void BuildPathsNow() { BuildPaths(); }
};

// Starts without a system: Initialize only builds the paths.
class OfflineHostThread : public ProbedHostThread {
  public:
    void Initialize() override { BuildPathsNow(); }
};

class ProbedRemoteThread : public CRemoteThread {
  public:
    ~ProbedRemoteThread() override { EndThread(); }
    void BuildPathsNow() { BuildPaths(); }
};

std::u16string LastMessage() {
    return MessageChannel::Instance().Slot(MessageChannel::Instance().LastIndex());
}

std::string FileText(const std::u16string& path) {
    const std::vector<unsigned char> bytes = platform::ReadWholeFile(path);
    return std::string(bytes.begin(), bytes.end());
}

// A connection that cannot open: nothing listens on this system number.
void Unreachable(CRfcConnection& c) {
    c.SetLogonData(u"127.0.0.1", u"99", u"100", u"U", u"P", u"EN", u"", u"");
}

TEST(HostThreadTest, SixEventsInTheirOrder) {
    ProbedHostThread t;
    EXPECT_EQ(CHostThread::kHardwareRequest, 3u);
    EXPECT_EQ(CHostThread::kHostStatsRequest, 5u);
    t.SetEvent(CHostThread::kHostStatsRequest);
    EXPECT_TRUE(t.IsRequested(CHostThread::kHostStatsRequest));
    EXPECT_FALSE(t.IsRequested(CHostThread::kEnvironmentRequest));
}

TEST(HostThreadTest, HostMessagesNameTheHostAndGoToItsLog) {
    ScratchSessionFolder folder;
    ProbedHostThread t;
    t.Configure(folder.Dir(), u"qashost1_QAS_00", u"qashost1", u"00");
    t.WriteHostMessage(u"before the paths");  // posted, not logged
    EXPECT_TRUE(LastMessage().ends_with(u" : qashost1 : before the paths"));
    t.BuildPathsNow();
    t.WriteHostMessage(u"two\nlines");
    EXPECT_TRUE(LastMessage().starts_with(u"  "));
    EXPECT_TRUE(LastMessage().ends_with(u" : qashost1 : two lines"));
    const std::string log = FileText(folder.File(u"qashost1.log"));
    EXPECT_EQ(log.find("before"), std::string::npos);
    EXPECT_TRUE(log.ends_with(" : qashost1 : two\r\nlines\r\n"));
}

TEST(HostThreadTest, RemoteMessagesAddTheSystemName) {
    ScratchSessionFolder folder;
    ProbedRemoteThread t;
    t.Configure(folder.Dir(), u"qashost1_QAS_00", u"DBDEST", u"SYSB", u"00");
    t.BuildPathsNow();
    t.WriteHostMessage(u"hello");
    EXPECT_TRUE(LastMessage().ends_with(u" : DBDEST(SYSB) : hello"));
    EXPECT_TRUE(
        FileText(folder.File(u"DBDEST(SYSB).log")).ends_with(" : DBDEST(SYSB) : hello\r\n"));

    ProbedRemoteThread plain;
    plain.Configure(folder.Dir(), u"gw", u"DBDEST", u"", u"00");
    plain.WriteHostMessage(u"hello");
    EXPECT_TRUE(LastMessage().ends_with(u" : DBDEST : hello"));
}

TEST(HostThreadTest, RemoteEntryValuesAreCutToTheListWidths) {
    ProbedRemoteThread t;
    t.Configure(u"/s/", u"gw", std::u16string(40, u'D'), u"SYSTEMNAME_TOO_LONG", u"01");
    EXPECT_EQ(t.Host(), std::u16string(32, u'D'));
    EXPECT_EQ(t.System(), u"SYSTEMNAME");
    EXPECT_EQ(t.ServerName(), u"gw");
    EXPECT_EQ(t.SystemNumber(), u"01");
    EXPECT_EQ(t.LocalRemote(), u"REMOTE");

    ProbedRemoteThread fromList;
    fromList.Configure(MakeRemoteEntry(u" DBDEST ", u"SYSB", u"qashost1_QAS_00"), u"/s/", u"00");
    EXPECT_EQ(fromList.Host(), u"DBDEST");
    EXPECT_EQ(fromList.System(), u"SYSB");
    EXPECT_EQ(fromList.ServerName(), u"qashost1_QAS_00");

    ProbedHostThread host;
    host.Configure(MakeServerEntry(u"qashost1_QAS_00", u"qashost1", u"00", u"Dialog"), u"/s/");
    EXPECT_EQ(host.Host(), u"qashost1");
    EXPECT_EQ(host.SystemNumber(), u"00");
}

TEST(HostThreadTest, AFailedCaptureIsReportedAndDropsTheRequest) {
    ScratchSessionFolder folder;
    ProbedHostThread t;
    Unreachable(t.Connection());
    t.Configure(folder.Dir(), u"gone_QAS_99", u"gone", u"99");
    t.BuildPathsNow();
    // A request that arrived while the capture ran must not start another.
    t.SetEvent(CHostThread::kHostStatsRequest);
    t.GetHostStatistics();
    EXPECT_FALSE(t.IsRequested(CHostThread::kHostStatsRequest));
    EXPECT_TRUE(LastMessage().find(u" : gone : RFC Exception: ") != std::u16string::npos)
        << platform::ToUtf8(LastMessage());
    EXPECT_FALSE(folder.Exists(u"gone.cpu"));
    EXPECT_FALSE(folder.Exists(u"gone.ps"));
    const std::string log = FileText(folder.File(u"gone.log"));
    EXPECT_NE(log.find("capturing host statistics."), std::string::npos);
}

TEST(HostThreadTest, InitializeOnAnUnreachableServerThrowsAndWritesNothing) {
    ScratchSessionFolder folder;
    ProbedHostThread t;
    Unreachable(t.Connection());
    t.Configure(folder.Dir(), u"gone_QAS_99", u"gone", u"99");
    EXPECT_THROW(t.Start(), CException);
    EXPECT_FALSE(t.HasWorker());
    EXPECT_FALSE(folder.Exists(u"host.ctl"));

    ProbedRemoteThread r;
    Unreachable(r.Connection());
    r.Configure(folder.Dir(), u"gw", u"DB_SAPCCMSR.1", u"", u"99");
    EXPECT_THROW(r.Start(), CException);
    EXPECT_EQ(r.LocalRemote(), u"INTERN");
    EXPECT_TRUE(folder.Names().empty());
}

bool LogHas(const std::u16string& path, const std::string& text) {
    return testsupport::Eventually([&] {
        return std::filesystem::exists(platform::ToUtf8(path)) &&
               FileText(path).find(text) != std::string::npos;
    });
}

TEST(HostThreadTest, TheWorkerServesTheThreeCaptureRequests) {
    ScratchSessionFolder folder;
    OfflineHostThread t;
    Unreachable(t.Connection());
    t.Configure(folder.Dir(), u"gone_QAS_99", u"gone", u"99");
    t.Start();
    const std::u16string log = folder.File(u"gone.log");
    t.SetEvent(CHostThread::kHardwareRequest);
    EXPECT_TRUE(LogHas(log, " : gone : capturing hardware information."));
    t.SetEvent(CHostThread::kEnvironmentRequest);
    EXPECT_TRUE(LogHas(log, " : gone : capturing environment."));
    t.SetEvent(CHostThread::kHostStatsRequest);
    EXPECT_TRUE(LogHas(log, " : gone : capturing host statistics."));
    t.EndThread();
    // Every capture failed on the connection: no data file was written.
    for (const std::string& name : folder.Names()) EXPECT_EQ(name, "gone.log");
    EXPECT_NE(FileText(log).find("RFC Exception: "), std::string::npos);
}

TEST(HostThreadTest, RemoteThreadsIgnoreListingRequests) {
    ScratchSessionFolder folder;
    ProbedRemoteThread t;
    Unreachable(t.Connection());
    t.Configure(folder.Dir(), u"gw", u"DBDEST", u"", u"99");
    t.BuildPathsNow();
    t.GetHardwareInformation();
    t.GetEnvironment();
    EXPECT_TRUE(folder.Names().empty());
}

}  // namespace
