#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <thread>

#include "collect/instance/InstanceFiles.h"
#include "collect/instance/InstanceRecordRules.h"
#include "collect/instance/TransferGate.h"
#include "platform/Exception.h"
#include "platform/File.h"
#include "platform/FixedText.h"
#include "platform/TextCodec.h"

namespace {

using namespace instrec;
namespace fs = std::filesystem;

RequestQueueRecord Queues(std::initializer_list<std::u16string_view> lines) {
    RequestQueueRecord r{};
    for (auto line : lines) ApplyRequestQueueLine(line, r);
    return r;
}

TEST(InstanceRulesTest, RequestQueueLinesFillTheirCounters) {
    const auto r =
        Queues({u"DIA 5 7 9", u"NOWP   2 0 0 0 0", u"UPD", u"XYZ 44 1 1 1 1", u"DIALOG 8 1 1 1 1",
                u"SPO 3 1 1 1 1", u"SPO 6 0 0 0 0", u"  UP2\t12 1", u"ENQ abc"});
    EXPECT_EQ(r.queue[0], 2);   // NOWP
    EXPECT_EQ(r.queue[1], 5);   // DIA: three numbers, the first stored
    EXPECT_EQ(r.queue[2], 0);   // UPD without numbers
    EXPECT_EQ(r.queue[3], 0);   // ENQ with text for the number
    EXPECT_EQ(r.queue[4], 0);   // BTC not listed
    EXPECT_EQ(r.queue[5], 6);   // the later SPO line wins
    EXPECT_EQ(r.queue[6], 12);  // UP2 after blanks and a tab
    const auto empty = Queues({u"", u"   "});
    for (int32_t q : empty.queue) EXPECT_EQ(q, 0);
}

TEST(InstanceRulesTest, DialogStepArithmetic) {
    EXPECT_EQ(NormalResponseTime(1999, 0, 0), 1);
    EXPECT_EQ(NormalResponseTime(1000, 0xFFFFFFFFu, 1), 4294968);  // GUI times unsigned
    EXPECT_EQ(NormalResponseTime(-2500, 0, 0), -2);                // truncated toward zero
    EXPECT_EQ(BatchResponseTime(5999), 5);
    EXPECT_EQ(CpuTime(2999.9), 2);
    EXPECT_EQ(CpuTime(-1500.0), -1);
    EXPECT_EQ(CpuTime(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(CpuTime(1e300), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(CpuTime(-1e300), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(DatabaseTime({500, 500, 500, 500, 500, 500}), 3);
    // -1000 is 4294966296 unsigned: the sum wraps, the quotient is unsigned.
    EXPECT_EQ(DatabaseTime({-1000, 0, 0, 0, 0, 0}), 4294966);
}

TEST(InstanceRulesTest, StatisticsRecordTimesMoveIntoOurClock) {
    const double base =
        platform::OleDate::FromDateTime(platform::MakeDateTime(2004, 2, 29, 23, 59, 59)).Value();
    EXPECT_DOUBLE_EQ(StatrecDateTime(u"20040229", u"235959").Value(), base);
    EXPECT_DOUBLE_EQ(StatrecDateTime(u"2004 229", u"23595").Value(),
                     platform::OleDate::FromDateTime(platform::MakeDateTime(2004, 2, 29, 23, 59, 5))
                         .Value());  // blanks start a part, short texts read what is there
    EXPECT_DOUBLE_EQ(CollectorTime(u"20040229", u"235959", 0.25), base + 0.25);
    // Not a calendar time: the record is still written, with a zero date.
    EXPECT_FALSE(StatrecDateTime(u"20030229", u"120000").IsValid());
    EXPECT_EQ(CollectorTime(u"20031301", u"120000", 0.25), 0.0);
    EXPECT_EQ(CollectorTime(u"", u"", 1.0), 0.0);
    EXPECT_EQ(CollectorTime(u"2004XX01", u"25 :61", 0.0), 0.0);
}

TEST(InstanceRulesTest, WindowBoundsAreInTheServersClock) {
    const double ours =
        platform::OleDate::FromDateTime(platform::MakeDateTime(2026, 12, 7, 1, 30, 0)).Value();
    std::u16string date, time;
    FormatServerTime(ours, 5.0 / 24, date, time);  // the server is five hours behind
    EXPECT_EQ(date, u"20261206");
    EXPECT_EQ(time, u"203000");
    FormatServerTime(ours, -2.5 / 24, date, time);
    EXPECT_EQ(date, u"20261207");
    EXPECT_EQ(time, u"040000");
}

class ControlFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("instctl_" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        path_ = platform::FromUtf8((dir_ / "instance.ctl").string());
    }
    void TearDown() override { fs::remove_all(dir_); }

    static ControlRecord Named(std::u16string_view name, std::u16string_view host) {
        ControlRecord r{};
        platform::CopyToField(r.name, name);
        platform::CopyToField(r.host, host);
        return r;
    }
    uintmax_t Size() const { return fs::file_size(dir_ / "instance.ctl"); }

    fs::path dir_;
    std::u16string path_;
};

TEST_F(ControlFileTest, OneRecordPerNameAppendedOnce) {
    EXPECT_FALSE(EnsureControlRecord(path_, u"host1_QAS_00", Named(u"host1_QAS_00", u"a")));
    EXPECT_FALSE(EnsureControlRecord(path_, u"host2_QAS_01", Named(u"host2_QAS_01", u"b")));
    EXPECT_EQ(Size(), 2 * sizeof(ControlRecord));
    // The same name after blank stripping, other host: nothing added.
    EXPECT_TRUE(EnsureControlRecord(path_, u"host2_QAS_01", Named(u" host2_QAS_01 ", u"c")));
    EXPECT_EQ(Size(), 2 * sizeof(ControlRecord));
    // Names compare exactly.
    EXPECT_FALSE(EnsureControlRecord(path_, u"HOST1_QAS_00", Named(u"HOST1_QAS_00", u"d")));
    EXPECT_EQ(Size(), 3 * sizeof(ControlRecord));
}

TEST_F(ControlFileTest, IncompleteLastRecordIsIgnoredAndAppendedAfter) {
    ControlRecord partial = Named(u"host1_QAS_00", u"a");
    {
        platform::File f(path_, platform::File::Mode::Snapshot);
        f.Write(&partial, 100);  // holds the name, but not a whole record
        f.Close();
    }
    EXPECT_FALSE(EnsureControlRecord(path_, u"host1_QAS_00", Named(u"host1_QAS_00", u"a")));
    const auto bytes = platform::ReadWholeFile(path_);
    ASSERT_EQ(bytes.size(), 100 + sizeof(ControlRecord));
    ControlRecord appended;
    std::memcpy(&appended, bytes.data() + 100, sizeof appended);
    EXPECT_EQ(platform::FieldText(appended.name), u"host1_QAS_00");
}

TEST_F(ControlFileTest, UnopenableFileThrowsTheFileException) {
    fs::create_directories(dir_ / "instance.ctl");  // a folder in its place
    EXPECT_THROW(EnsureControlRecord(path_, u"x", Named(u"x", u"y")), CFileException);
}

}  // namespace

namespace {

// A module that delivered nothing: every file still gets its records, zero
// apart from the capture time.
TEST_F(ControlFileTest, WritersRecordZerosForAnEmptyResult) {
    auto clock = std::make_shared<platform::ManualTimeSource>(platform::TimePoint{});
    clock->SetLocal(platform::MakeDateTime(2026, 12, 7, 10, 16, 0));
    platform::SetTimeSource(clock);
    const double now =
        platform::OleDate::FromDateTime(platform::MakeDateTime(2026, 12, 7, 10, 16, 0)).Value();
    const auto path = [&](const char* name) { return platform::FromUtf8((dir_ / name).string()); };

    CSaptuneGetStorageInfosEx storage;
    instfile::WriteStorageFile(storage, path("I.stg"));
    CThWpInfo wp;
    instfile::WriteWorkProcessFile(wp, path("I.wp"));
    CSaptuneGetSummaryStatisticEx summary;
    instfile::AppendMemoryRecord(summary, path("I.mem"));
    instfile::AppendMemoryRecord(summary, path("I.mem"));
    CThRequestQueue queue;
    instfile::AppendRequestQueueRecord(queue, path("I.drq"));
    CSapwlStatrecReadFileEx statrec;
    const uint32_t written = instfile::AppendDialogSteps(statrec, path("I.dss"), 0.5).steps;
    platform::SetTimeSource(nullptr);

    const auto stg = platform::ReadWholeFile(path("I.stg"));
    EXPECT_EQ(stg, std::vector<unsigned char>(sizeof(StorageRecord), 0));
    EXPECT_EQ(fs::file_size(dir_ / "I.wp"), 0u);
    EXPECT_EQ(fs::file_size(dir_ / "I.dss"), 0u);  // opened and closed, nothing appended
    EXPECT_EQ(written, 0u);

    const auto mem = platform::ReadWholeFile(path("I.mem"));
    ASSERT_EQ(mem.size(), 2 * sizeof(MemoryRecord));
    MemoryRecord m;
    std::memcpy(&m, mem.data() + sizeof m, sizeof m);
    EXPECT_DOUBLE_EQ(m.time, now);
    EXPECT_EQ(m.bufferUsedSpace + m.pagingCurrUsed + m.rollCurrUsed + m.heapUsed, 0);

    const auto drq = platform::ReadWholeFile(path("I.drq"));
    ASSERT_EQ(drq.size(), sizeof(RequestQueueRecord));
    RequestQueueRecord q;
    std::memcpy(&q, drq.data(), sizeof q);
    EXPECT_DOUBLE_EQ(q.time, now);
    for (int32_t v : q.queue) EXPECT_EQ(v, 0);
}

}  // namespace

namespace {

// No more transfers than the gate is wide at once; a place given back lets
// the next one in, also when the holder leaves by an exception.
TEST(TransferGateTest, PassesNoMoreThanItsWidth) {
    instfile::TransferGate gate(2);
    std::atomic<bool> thirdIn{false};
    std::thread third;
    {
        const auto first = gate.Enter();
        {
            const auto second = gate.Enter();
            EXPECT_EQ(gate.Free(), 0);
            third = std::thread([&] {
                const auto pass = gate.Enter();
                thirdIn = true;
            });
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            EXPECT_FALSE(thirdIn);
        }
        third.join();
        EXPECT_TRUE(thirdIn);
        EXPECT_EQ(gate.Free(), 1);
    }
    try {
        const auto pass = gate.Enter();
        throw std::runtime_error("capture failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(gate.Free(), 2);
    EXPECT_GE(instfile::TransferGate::DialogSteps().Free(), 4);
}

TEST(InstanceRulesTest, ControlRecordCutsTheIdentityToItsFields) {
    CRfcSystemInfo systemInfo;
    CThSaprel saprel;
    CGetParameter parameter;
    const instfile::InstanceIdentity identity{u"a_very_long_instance_name_01", u"host1",
                                              std::u16string(60, u'S')};
    const ControlRecord r = instfile::BuildControlRecord(identity, systemInfo, saprel, parameter);
    EXPECT_EQ(platform::FieldText(r.name), u"a_very_long_instance");  // 20 units, no terminator
    EXPECT_EQ(platform::FieldText(r.host), u"host1");
    EXPECT_EQ(platform::FieldText(r.services), std::u16string(48, u'S'));
    // Exports the calls did not deliver stay zero, as do the trailing bytes.
    const auto* bytes = reinterpret_cast<const unsigned char*>(&r);
    EXPECT_TRUE(std::all_of(bytes + offsetof(ControlRecord, rfcSysId), bytes + sizeof r,
                            [](unsigned char b) { return b == 0; }));
}

}  // namespace
