// The reduction of whole sessions written by the collector's writers from a
// seed. Every CSV figure checked here is computed again, independently,
// from the raw records of the session's files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include <unistd.h>

#include "ScenarioSession.h"
#include "collect/host/HostFiles.h"
#include "collect/host/HostPaths.h"
#include "collect/records/HostRecords.h"
#include "collect/records/InstanceRecords.h"
#include "collect/records/SystemRecords.h"
#include "platform/DateTime.h"
#include "platform/File.h"
#include "platform/FixedText.h"
#include "platform/TextCodec.h"
#include "platform/tests/support/Eventually.h"
#include "tools/pellamy4/ProgramSettings.h"
#include "tools/pellamy4/Reduction.h"
#include "wizard/settings/SettingsStore.h"

namespace {

namespace fs = std::filesystem;
using Csv = std::vector<std::vector<std::string>>;

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

// RFC 4180 rows: quoted fields may hold commas, quotes and line breaks.
Csv ReadCsv(const fs::path& path) {
    const std::string text = ReadText(path);
    Csv rows(1);
    std::string field;
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            rows.back().push_back(std::move(field));
            field.clear();
        } else if (c == '\r') {
        } else if (c == '\n') {
            rows.back().push_back(std::move(field));
            field.clear();
            rows.emplace_back();
        } else {
            field += c;
        }
    }
    rows.pop_back();  // after the last line end
    return rows;
}

template <typename Record>
std::vector<Record> Raw(const fs::path& path) {
    const auto bytes = platform::ReadWholeFile(platform::FromUtf8(path.string()));
    std::vector<Record> out(bytes.size() / sizeof(Record));
    if (!out.empty()) std::memcpy(out.data(), bytes.data(), out.size() * sizeof(Record));
    return out;
}

// The raw time as the CSV writes it, computed through the platform's own
// calendar rather than the reduction's.
std::string TimeText(double ole) {
    platform::DateTime t;
    EXPECT_TRUE(platform::OleDate(ole).ToDateTime(t));
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return text;
}

// A text field copied out of its packed record first (dialog steps lie at
// odd offsets in a vector of records).
std::string Text(const void* field, size_t n) {
    std::u16string units(n, u'\0');
    std::memcpy(units.data(), field, n * sizeof(char16_t));
    return platform::ToUtf8(platform::Trim(platform::FieldText(units.data(), n)));
}

size_t Column(const Csv& csv, const std::string& name) {
    for (size_t i = 0; i < csv.at(0).size(); ++i) {
        if (csv[0][i] == name) return i;
    }
    ADD_FAILURE() << "no column " << name;
    return 0;
}

class ReductionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("pellamy4_" +
                 std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(root_);
        folder_ = root_ / "12071000.QAS";
        options_.seed = 7;
        options_.minutes = 90;
        options_.missedMinutes = {20, 21, 50};
        options_.dialogSteps = 6000;
    }
    void TearDown() override { fs::remove_all(root_); }

    pellamy::ReductionResult Reduce() {
        WriteScenarioSession(folder_.string(), options_);
        return pellamy::ReduceSession(folder_.string());
    }
    std::vector<instrec::DialogStepRecord> AllSteps() const {
        std::vector<instrec::DialogStepRecord> all;
        for (const std::string& name : kScenarioInstances) {
            const auto part = Raw<instrec::DialogStepRecord>(folder_ / (name + ".dss"));
            all.insert(all.end(), part.begin(), part.end());
        }
        return all;
    }
    // "status" of the program run with the environment and arguments.
    int Run(const std::string& environment, const std::string& arguments) const {
        const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY " + environment + " " +
                                    PELLAMY4_PROGRAM + " " + arguments + " > " +
                                    (root_ / "out.txt").string() + " 2>&1";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    fs::path root_, folder_;
    ScenarioOptions options_;
};

TEST_F(ReductionTest, WorkloadFiguresAgreeWithTheRawDialogSteps) {
    const auto result = Reduce();
    const auto steps = AllSteps();
    ASSERT_EQ(steps.size(), 6000u);
    EXPECT_EQ(result.dialogSteps, 6000u);

    // Per task type: steps, total response, average CPU.
    struct Totals {
        int64_t steps = 0, response = 0, cpu = 0, database = 0;
    };
    std::map<int, Totals> byType;
    std::map<std::string, Totals> byTcode;
    std::map<int64_t, int64_t> perMinute;
    const std::vector<int> bounds = {100, 200, 500, 1000, 2000, 5000, 10000, 30000, 60000};
    std::vector<int64_t> classes(bounds.size() + 1);
    for (const auto& r : steps) {
        Totals& t = byType[r.taskType];
        ++t.steps;
        t.response += r.responseTime;
        t.cpu += r.cpuTime;
        t.database += r.databaseTime;
        Totals& x = byTcode[Text(r.tcode, 20)];
        ++x.steps;
        x.response += r.responseTime;
        platform::DateTime end;
        ASSERT_TRUE(platform::OleDate(r.end).ToDateTime(end));
        ++perMinute[platform::DaysFromCivil(end.year, end.month, end.day) * 1440 + end.hour * 60 +
                    end.minute];
        size_t c = 0;
        while (c < bounds.size() && r.responseTime >= bounds[c]) ++c;
        ++classes[c];
    }

    const Csv types = ReadCsv(folder_ / "workload_task_types.csv");
    const std::map<int, std::string> names = {
        {1, "DIALOG"}, {2, "UPDATE"}, {4, "BACKGROUND"}, {0xFE, "RFC"}};
    ASSERT_EQ(types.size(), 1 + byType.size() + 1);  // header, types, "all"
    for (const auto& [type, t] : byType) {
        bool found = false;
        for (const auto& row : types) {
            if (row[0] != names.at(type)) continue;
            found = true;
            EXPECT_EQ(row[Column(types, "Steps")], std::to_string(t.steps));
            EXPECT_EQ(row[Column(types, "Total response [ms]")], std::to_string(t.response));
            EXPECT_NEAR(std::stod(row[Column(types, "Average CPU [ms]")]),
                        double(t.cpu) / double(t.steps), 0.05);
            EXPECT_NEAR(std::stod(row[Column(types, "Average database [ms]")]),
                        double(t.database) / double(t.steps), 0.05);
        }
        EXPECT_TRUE(found) << names.at(type);
    }
    EXPECT_EQ(types.back()[0], "all");
    EXPECT_EQ(types.back()[1], "6000");

    // Every transaction, largest total response first; "(none)" for steps
    // without a code.
    const Csv tx = ReadCsv(folder_ / "workload_transactions.csv");
    ASSERT_EQ(tx.size(), 1 + byTcode.size());
    int64_t previous = INT64_MAX;
    for (size_t i = 1; i < tx.size(); ++i) {
        const std::string code = tx[i][0] == "(none)" ? "" : tx[i][0];
        ASSERT_TRUE(byTcode.count(code)) << code;
        EXPECT_EQ(tx[i][1], std::to_string(byTcode[code].steps));
        const int64_t response = std::stoll(tx[i][3]);
        EXPECT_EQ(response, byTcode[code].response);
        EXPECT_LE(response, previous);
        previous = response;
    }

    // Steps per minute over the whole span, minutes without steps as 0.
    const Csv minutes = ReadCsv(folder_ / "workload_steps_per_minute.csv");
    const int64_t first = perMinute.begin()->first, last = perMinute.rbegin()->first;
    ASSERT_EQ(minutes.size(), size_t(1 + last - first + 1));
    EXPECT_EQ(minutes[0][1], "all task types [steps/min]");
    EXPECT_EQ(minutes[1][0], "2026-12-07 10:00:00");
    int64_t sum = 0;
    for (size_t i = 1; i < minutes.size(); ++i) {
        const int64_t m = first + int64_t(i) - 1;
        const int64_t expected = perMinute.count(m) ? perMinute[m] : 0;
        EXPECT_EQ(minutes[i][1], std::to_string(expected)) << minutes[i][0];
        sum += std::stoll(minutes[i][1]);
    }
    EXPECT_EQ(sum, 6000);

    const Csv dist = ReadCsv(folder_ / "workload_response_classes.csv");
    ASSERT_EQ(dist.size(), 1 + classes.size());
    EXPECT_EQ(dist[1][0], "0-100");
    EXPECT_EQ(dist.back()[0], ">= 60000");
    for (size_t c = 0; c < classes.size(); ++c)
        EXPECT_EQ(dist[c + 1][1], std::to_string(classes[c])) << dist[c + 1][0];
}

TEST_F(ReductionTest, MinuteSeriesAgreeWithTheRawRecordsAndKeepTheirGaps) {
    Reduce();
    const auto cpu = Raw<HostCpuRecord>(folder_ / "qashost1.cpu");
    ASSERT_EQ(cpu.size(), 87u);  // 90 minutes, 3 missed
    const Csv cpuCsv = ReadCsv(folder_ / "host_qashost1_cpu.csv");
    ASSERT_EQ(cpuCsv.size(), 1 + cpu.size());
    EXPECT_EQ(cpuCsv[0], (std::vector<std::string>{"time", "CPU busy [%]"}));
    const Csv memCsv = ReadCsv(folder_ / "host_qashost1_memory.csv");
    const Csv pagingCsv = ReadCsv(folder_ / "host_qashost1_paging.csv");
    for (size_t i = 0; i < cpu.size(); ++i) {
        EXPECT_EQ(cpuCsv[i + 1][0], TimeText(cpu[i].time));
        EXPECT_EQ(cpuCsv[i + 1][1], std::to_string(cpu[i].cpuBusyPercent));
        EXPECT_EQ(memCsv[i + 1][1], std::to_string(cpu[i].memoryUsedPercent));
        EXPECT_EQ(memCsv[i + 1][2], std::to_string(cpu[i].swapUsedPercent));
        EXPECT_EQ(pagingCsv[i + 1][1], std::to_string(cpu[i].pagesInPerSecond));
    }
    // The missed minutes are not filled in: 10:19 is followed by 10:22.
    EXPECT_EQ(cpuCsv[20][0], "2026-12-07 10:19:02");
    EXPECT_EQ(cpuCsv[21][0], "2026-12-07 10:22:02");

    // Disk utilisation: the minute's average beside every disk's own.
    const auto sda = Raw<HostDiskRecord>(folder_ / "qashost1_sda.dsk");
    const Csv util = ReadCsv(folder_ / "host_qashost1_disk_utilisation.csv");
    ASSERT_EQ(util.size(), 1 + sda.size());
    EXPECT_EQ(util[0],
              (std::vector<std::string>{"time", "average of the disks [%]", "sda [%]", "sdb [%]"}));
    for (size_t i = 0; i < sda.size(); ++i) {
        EXPECT_EQ(util[i + 1][1], std::to_string(cpu[i].diskUtilAverage));
        EXPECT_EQ(util[i + 1][2], std::to_string(sda[i].utilisation));
    }

    const auto mem = Raw<instrec::MemoryRecord>(folder_ / "qashost2_QAS_01.mem");
    const Csv memory = ReadCsv(folder_ / "inst_qashost2_QAS_01_memory.csv");
    ASSERT_EQ(memory.size(), 1 + mem.size());
    for (size_t i = 0; i < mem.size(); ++i) {
        EXPECT_EQ(memory[i + 1][0], TimeText(mem[i].time));
        EXPECT_EQ(memory[i + 1][1], std::to_string(mem[i].bufferUsedSpace));
        EXPECT_EQ(memory[i + 1][4], std::to_string(mem[i].extendedAllocated));
    }
    const auto queues = Raw<instrec::RequestQueueRecord>(folder_ / "qashost2_QAS_01.drq");
    const Csv queueCsv = ReadCsv(folder_ / "inst_qashost2_QAS_01_queues.csv");
    EXPECT_EQ(queueCsv[0][2], "DIA [requests waiting]");
    EXPECT_EQ(queueCsv.back()[2], std::to_string(queues.back().queue[1]));

    // In the page, the CPU chart's line breaks at both gaps.
    const std::string html = ReadText(folder_ / "report.html");
    const size_t chart = html.find("aria-label=\"CPU busy\"");
    ASSERT_NE(chart, std::string::npos);
    const size_t path = html.find("<path d=\"", chart);
    const std::string d = html.substr(path, html.find("\"", path + 9) - path);
    EXPECT_EQ(std::count(d.begin(), d.end(), 'M'), 3);
}

TEST_F(ReductionTest, BuffersTablesAndSnapshotsAgreeWithTheirRecords) {
    Reduce();
    const auto tables = Raw<instrec::TableStatisticRecord>(folder_ / "qashost1_QAS_00.tbl");
    const Csv busiest = ReadCsv(folder_ / "buf_qashost1_QAS_00_tables.csv");
    ASSERT_EQ(busiest.size(), 1 + tables.size());
    double top = 0;
    std::string topName;
    for (const auto& r : tables) {
        const double total =
            r.numbers[0] + r.numbers[2] + r.numbers[4] + r.numbers[6] + r.numbers[8];
        if (total > top) {
            top = total;
            topName = Text(r.tname, 30);
        }
    }
    EXPECT_EQ(busiest[1][0], topName);
    EXPECT_EQ(std::stod(busiest[1][1]), top);

    const auto buffers = Raw<instrec::BufferStatisticRecord>(folder_ / "qashost1_QAS_00.buf");
    const Csv buf = ReadCsv(folder_ / "buf_qashost1_QAS_00_buffers.csv");
    ASSERT_EQ(buf.size(), 1 + buffers.size());
    EXPECT_EQ(buf[1][0], Text(buffers[0].name, 5));
    EXPECT_EQ(buf[1][2], std::to_string(buffers[0].counters[11]));  // REQUEST
    EXPECT_NEAR(std::stod(buf[1][1]), buffers[0].hitRatio, 0.005);

    const Csv ccs = ReadCsv(folder_ / "buf_qashost1_QAS_00_cursor_cache.csv");
    const auto cursors = Raw<instrec::CursorCacheRecord>(folder_ / "qashost1_QAS_00.ccs");
    EXPECT_NEAR(std::stod(ccs[1][4]), 100.0 * cursors[0].counters[3] / cursors[0].counters[2],
                0.05);

    const Csv profile = ReadCsv(folder_ / "inst_qashost1_QAS_00_profile.csv");
    EXPECT_EQ(profile[1], (std::vector<std::string>{"rdisp/wp_no_dia", "4"}));
    const Csv wp = ReadCsv(folder_ / "inst_qashost1_QAS_00_work_processes.csv");
    EXPECT_EQ(wp.size(), 7u);
    const Csv ps = ReadCsv(folder_ / "host_qashost2_processes.csv");
    EXPECT_EQ(ps[1][2], "dw.sapQAS_DVEBMGS00");
}

TEST_F(ReductionTest, SystemFilesAgreeWithTheirRecords) {
    const auto result = Reduce();
    const auto components = Raw<ComponentRecord>(folder_ / "QAS.cmp");
    const Csv cmp = ReadCsv(folder_ / "system_components.csv");
    ASSERT_EQ(cmp.size(), 1 + components.size());
    for (size_t i = 0; i < components.size(); ++i) {
        EXPECT_EQ(cmp[i + 1][0], Text(components[i].component, 30));
        EXPECT_EQ(cmp[i + 1][3], Text(components[i].addon, 40));
    }
    const auto patches = Raw<PatchRecord>(folder_ / "QAS.ptc");
    const Csv ptc = ReadCsv(folder_ / "system_patches.csv");
    ASSERT_EQ(ptc.size(), 3u);
    EXPECT_EQ(ptc[1], (std::vector<std::string>{TimeText(patches[0].time), "SAPKB46C32",
                                                "Basis support package 32"}));
    EXPECT_EQ(ptc[2][0], "");  // a patch without a valid date
    const Csv pc = ReadCsv(folder_ / "system_workstation.csv");
    EXPECT_EQ(pc[2], (std::vector<std::string>{"Processor", "Intel Pentium"}));
    EXPECT_EQ(pc[10], (std::vector<std::string>{"Standard time ahead of GMT [s]", "3600"}));
    const std::string html = ReadText(folder_ / "report.html");
    EXPECT_NE(html.find("<dd>8.1.7.4.0</dd>"), std::string::npos);
    EXPECT_NE(html.find("<dd>182 (the database"), std::string::npos);
    EXPECT_EQ(result.notes, 0u);
    EXPECT_NE(html.find("Every file of the session was read in full."), std::string::npos);
}

TEST_F(ReductionTest, DamagedFilesGetNotesAndTheRestIsReported) {
    WriteScenarioSession(folder_.string(), options_);
    auto append = [&](const std::string& name, const std::string& bytes) {
        std::ofstream out(folder_ / name, std::ios::binary | std::ios::app);
        out << bytes;
    };
    append("qashost1_QAS_00.mem", "12345");  // truncated
    std::ofstream(folder_ / "qashost2.cpu", std::ios::binary) << std::string(480, 'x');  // foreign
    std::ofstream(folder_ / "qashost1_QAS_00.sum", std::ios::binary);                    // empty
    fs::remove(folder_ / "qashost2_QAS_01.drq");                                         // missing
    append("instance.ctl", std::string(100, '\0'));  // a cut record
    std::ofstream(folder_ / "README.txt") << "not ours";
    fs::resize_file(folder_ / "system.ctl", 2000);

    const auto result = pellamy::ReduceSession(folder_.string());
    const Csv notes = ReadCsv(folder_ / "session_notes.csv");
    std::map<std::string, std::string> byFile;
    for (size_t i = 1; i < notes.size(); ++i) byFile[notes[i][0]] += notes[i][1] + ";";
    EXPECT_EQ(result.notes, notes.size() - 1);
    EXPECT_NE(byFile["qashost1_QAS_00.mem"].find("truncated: an incomplete last record of 5 bytes"),
              std::string::npos);
    EXPECT_NE(byFile["qashost2.cpu"].find("not a CPU time series"), std::string::npos);
    EXPECT_NE(byFile["qashost1_QAS_00.sum"].find("empty"), std::string::npos);
    EXPECT_NE(byFile["qashost2_QAS_01.drq"].find("missing"), std::string::npos);
    EXPECT_NE(byFile["instance.ctl"].find("truncated: an incomplete last record of 100 bytes"),
              std::string::npos);
    EXPECT_FALSE(byFile.count("README.txt"));
    EXPECT_EQ(byFile["system.ctl"], "truncated: 2000 bytes, less than one record of 2232 bytes;");

    // Everything else is still there.
    EXPECT_EQ(ReadCsv(folder_ / "inst_qashost1_QAS_00_memory.csv").size(), 88u);
    EXPECT_EQ(ReadCsv(folder_ / "host_qashost1_cpu.csv").size(), 88u);
    EXPECT_EQ(ReadCsv(folder_ / "host_qashost2_cpu.csv").size(), 1u);  // header only
    EXPECT_EQ(ReadCsv(folder_ / "workload_task_types.csv").back()[1], "6000");
    const std::string html = ReadText(folder_ / "report.html");
    EXPECT_NE(html.find("not a CPU time series"), std::string::npos);
    EXPECT_NE(html.find("<title>Session 12071000.QAS of system QAS</title>"), std::string::npos);
    EXPECT_NE(html.find("no samples"), std::string::npos);
}

// The collector's mark of a folder it did not close: the report says so.
TEST_F(ReductionTest, AnUnfinishedSessionIsShownAsSuch) {
    WriteScenarioSession(folder_.string(), options_);
    std::ofstream(folder_ / "QAS.unfinished") << "ended uncleanly\r\n";
    auto result = pellamy::ReduceSession(folder_.string());
    Csv notes = ReadCsv(folder_ / "session_notes.csv");
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[1][0], "QAS.unfinished");
    EXPECT_NE(notes[1][1].find("the session ended uncleanly"), std::string::npos) << notes[1][1];
    EXPECT_NE(ReadText(folder_ / "report.html").find("ended uncleanly"), std::string::npos);

    fs::rename(folder_ / "QAS.unfinished", folder_ / "QAS.run");
    result = pellamy::ReduceSession(folder_.string());
    notes = ReadCsv(folder_ / "session_notes.csv");
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_NE(notes[1][1].find("had not closed this folder"), std::string::npos) << notes[1][1];
    EXPECT_EQ(result.notes, 1u);
}

// Two rotated folders a day apart, given out of order: one report in a
// folder of its own, series joined in time order, the workload of every
// step once, and the gap between them shown.
TEST_F(ReductionTest, RotatedFoldersReduceAsOneSpanWithTheirGapShown) {
    const fs::path a = root_ / "12071000.QAS", b = root_ / "12081000.QAS", out = root_ / "week";
    ScenarioOptions o = options_;
    o.missedMinutes = {};
    WriteScenarioSession(a.string(), o);
    o.startDay = 1;
    o.seed = 8;
    o.dialogSteps = 1000;
    WriteScenarioSession(b.string(), o);

    const auto result = pellamy::ReduceSpan({b.string(), a.string()}, out.string());
    EXPECT_EQ(result.reportPath, out.string() + "/report.html");
    EXPECT_EQ(result.dialogSteps, 6000u + 1000u);
    EXPECT_FALSE(fs::exists(a / "report.html"));
    const Csv memory = ReadCsv(out / "inst_qashost1_QAS_00_memory.csv");
    ASSERT_EQ(memory.size(), 1u + 90 + 90);
    EXPECT_LT(memory[1][0], memory[91][0]);  // in time order whatever the order given
    const Csv notes = ReadCsv(out / "session_notes.csv");
    std::string all;
    for (const auto& row : notes) all += row[0] + ": " + row[1] + "\n";
    EXPECT_NE(all.find("12081000.QAS: gap: no records from 2026-12-07 11:29"), std::string::npos)
        << all;
    EXPECT_EQ(notes.size(), 2u) << all;
    const std::string html = ReadText(out / "report.html");
    EXPECT_NE(html.find("Session 12071000.QAS to 12081000.QAS of system QAS"), std::string::npos);

    EXPECT_THROW(pellamy::ReduceSpan({a.string(), b.string()}, a.string()), std::runtime_error);
}

// The program: named folders or a system's folders between two days, and
// a span without a folder for its report refused.
TEST_F(ReductionTest, TheProgramTakesASpanByFoldersOrBySystemAndDays) {
    ScenarioOptions o = options_;
    o.dialogSteps = 500;
    WriteScenarioSession((root_ / "12071000.QAS").string(), o);
    WriteScenarioSession((root_ / "12071130.QAS").string(), o);
    WriteScenarioSession((root_ / "12071130.PRD").string(), o);
    const std::string a = (root_ / "12071000.QAS").string(), b = (root_ / "12071130.QAS").string();
    EXPECT_EQ(Run("", "--no-browser " + a + " " + b), 2);
    EXPECT_NE(ReadText(root_ / "out.txt").find("needs --out DIR"), std::string::npos);
    EXPECT_EQ(
        Run("", "--no-browser --quiet --out " + (root_ / "span").string() + " " + a + " " + b), 0)
        << ReadText(root_ / "out.txt");
    EXPECT_TRUE(fs::exists(root_ / "span" / "report.html"));

    const std::time_t now = std::time(nullptr);
    char today[16];
    std::strftime(today, sizeof today, "%Y-%m-%d", std::localtime(&now));
    EXPECT_EQ(
        Run("", "--no-browser --quiet --out " + (root_ / "days").string() +
                    " --system QAS --from " + today + " --to " + today + " " + root_.string()),
        0)
        << ReadText(root_ / "out.txt");
    const Csv files = ReadCsv(root_ / "days" / "session_files.csv");
    std::string names;
    for (const auto& row : files) names += row[0] + "\n";
    EXPECT_NE(names.find("12071000.QAS/"), std::string::npos) << names;
    EXPECT_NE(names.find("12071130.QAS/"), std::string::npos) << names;
    EXPECT_EQ(names.find("PRD"), std::string::npos) << names;
    EXPECT_EQ(Run("", "--no-browser --out " + (root_ / "none").string() +
                          " --system QAS --from 2001-01-01 --to 2001-01-02 " + root_.string()),
              2);
    EXPECT_EQ(Run("", "--no-browser --out " + (root_ / "bad").string() +
                          " --system QAS --from 2026-02-30 --to 2026-03-01 " + root_.string()),
              1);
}

TEST_F(ReductionTest, ARemoteDestinationCutInHostCtlKeepsItsFiles) {
    fs::create_directories(folder_);
    const std::u16string dest = u"SAPCCMSR.QASDB.99_LONG_DESTINATION";  // 34 characters
    const HostPaths paths =
        MakeRemotePaths(platform::FromUtf8(folder_.string() + "/"), dest, u"DBS");
    HostControlRecord control{};
    platform::CopyToField(control.name, dest + u"(DBS)");
    platform::CopyToField(control.opSys, u"Linux");
    AppendToControlFile(paths.hostControl, &control, sizeof control);
    DiskControlRecord disk{};
    platform::CopyToField(disk.host, dest);
    platform::CopyToField(disk.diskName, u"sdc");
    AppendToControlFile(paths.diskControl, &disk, sizeof disk);
    HostCpuRecord cpu{};
    cpu.time = 46363.5;
    cpu.cpuBusyPercent = 42;
    AppendRecord(paths.cpu, cpu);
    HostDiskRecord d{};
    d.time = 46363.5;
    d.utilisation = 77;
    AppendRecord(paths.DiskFile(u"sdc"), d);

    pellamy::ReduceSession(folder_.string());
    const std::string id = "host_SAPCCMSR.QASDB.99_LONG_DESTINATION(DBS)";
    EXPECT_EQ(ReadCsv(folder_ / (id + "_cpu.csv")).at(1).at(1), "42");
    const Csv util = ReadCsv(folder_ / (id + "_disk_utilisation.csv"));
    EXPECT_EQ(util.at(0).at(2), "sdc [%]");
    EXPECT_EQ(util.at(1).at(2), "77");
    const Csv notes = ReadCsv(folder_ / "session_notes.csv");
    for (const auto& row : notes)
        EXPECT_EQ(row[1].find("no record for the host"), std::string::npos);
}

TEST_F(ReductionTest, ThePageIsSelfContained) {
    Reduce();
    const std::string html = ReadText(folder_ / "report.html");
    EXPECT_TRUE(html.starts_with("<!DOCTYPE html>"));
    EXPECT_EQ(html.find("<script"), std::string::npos);
    EXPECT_EQ(html.find("<link"), std::string::npos);
    EXPECT_EQ(html.find("src="), std::string::npos);
    EXPECT_EQ(html.find("url("), std::string::npos);
    // The only absolute URL is the SVG namespace name.
    size_t urls = 0, svgs = 0;
    for (size_t p = html.find("http"); p != std::string::npos; p = html.find("http", p + 1)) ++urls;
    for (size_t p = html.find("<svg"); p != std::string::npos; p = html.find("<svg", p + 1)) ++svgs;
    EXPECT_EQ(urls, svgs);
    EXPECT_GT(svgs, 10u);
    for (const char* part :
         {"id=\"session\"", "id=\"system\"", "id=\"hosts\"", "id=\"instances\"", "id=\"workload\"",
          "id=\"buffers\"", "Profile parameters", "Top transactions by total response time",
          "Table qualities", "Cursor cache per work process", "Request queues"})
        EXPECT_NE(html.find(part), std::string::npos) << part;
}

TEST_F(ReductionTest, TheProgramFindsTheCollectorsLastSessionAndRecordsItsDirectory) {
    WriteScenarioSession(folder_.string(), options_);
    const std::string settingsDir = (root_ / "settings").string();
    settings::SettingsStore collector(settings::kCollectorApp, settingsDir);
    ASSERT_TRUE(
        collector.SetString(u"Session", u"Path", platform::FromUtf8(folder_.string() + "/")));
    const std::string env = "QUORVEL_SETTINGS_DIR=" + settingsDir;

    EXPECT_EQ(Run(env, ""), 0) << ReadText(root_ / "out.txt");
    EXPECT_TRUE(fs::exists(folder_ / "report.html"));
    const settings::SettingsStore own(settings::kDataReductionApp, settingsDir);
    const std::string program = fs::path(PELLAMY4_PROGRAM).parent_path().string() + "/";
    EXPECT_EQ(platform::ToUtf8(own.GetString(u"Program", u"Path")), program);

    // A folder that is not a session, one that does not exist, and no
    // folder at all: exit status 2 and a clear message.
    fs::create_directories(root_ / "empty");
    std::ofstream(root_ / "empty" / "notes.txt") << "x";
    EXPECT_EQ(Run(env, (root_ / "empty").string()), 2);
    EXPECT_NE(ReadText(root_ / "out.txt").find("is not a session folder"), std::string::npos);
    EXPECT_FALSE(fs::exists(root_ / "empty" / "report.html"));
    EXPECT_EQ(Run(env, (root_ / "gone").string()), 2);
    EXPECT_NE(ReadText(root_ / "out.txt").find("no such folder"), std::string::npos);
    EXPECT_EQ(Run("QUORVEL_SETTINGS_DIR=" + (root_ / "nosettings").string(), ""), 2);
    EXPECT_NE(ReadText(root_ / "out.txt").find("no session folder given"), std::string::npos);
}

TEST_F(ReductionTest, WithADisplayTheReportOpensInTheBrowser) {
    WriteScenarioSession(folder_.string(), options_);
    const fs::path opened = root_ / "opened.txt";
    const fs::path browser = root_ / "browser.sh";
    std::ofstream(browser) << "#!/bin/sh\necho \"$1\" > " << opened.string() << "\n";
    fs::permissions(browser, fs::perms::owner_all);
    const std::string env = "QUORVEL_SETTINGS_DIR=" + (root_ / "settings").string() +
                            " DISPLAY=:99 BROWSER=" + browser.string();
    ASSERT_EQ(Run(env, folder_.string()), 0) << ReadText(root_ / "out.txt");
    EXPECT_TRUE(testsupport::Eventually([&] {
        return ReadText(opened) == (folder_ / "report.html").string() + "\n";
    })) << ReadText(opened);

    fs::remove(opened);
    ASSERT_EQ(Run(env, "--no-browser " + folder_.string()), 0);
    // Nothing to wait for when nothing starts: time enough for a browser that would.
    usleep(200000);
    EXPECT_FALSE(fs::exists(opened));
}

// The directory the collector starts the program from is kept while it
// still holds the program, and replaced when it no longer does.
TEST_F(ReductionTest, TheRecordedDirectoryChangesOnlyWhenItLostTheProgram) {
    const fs::path settingsDir = root_ / "settings";
    setenv(settings::kDirectoryEnv, settingsDir.c_str(), 1);
    const fs::path installed = root_ / "installed";
    fs::create_directories(installed);
    std::ofstream(installed / pellamy::kProgramFileName) << "#!/bin/sh\n";
    fs::permissions(installed / pellamy::kProgramFileName, fs::perms::owner_all);
    std::string error;

    ASSERT_TRUE(pellamy::RecordProgramDirectory(installed.string(), error)) << error;
    EXPECT_EQ(pellamy::RecordedProgramDirectory(), installed.string() + "/");
    ASSERT_TRUE(pellamy::RecordProgramDirectory((root_ / "copy").string(), error));
    EXPECT_EQ(pellamy::RecordedProgramDirectory(), installed.string() + "/");

    fs::remove(installed / pellamy::kProgramFileName);
    ASSERT_TRUE(pellamy::RecordProgramDirectory((root_ / "copy").string() + "/", error));
    EXPECT_EQ(pellamy::RecordedProgramDirectory(), (root_ / "copy").string() + "/");
    unsetenv(settings::kDirectoryEnv);
}

// Every file replaced by bytes of no layout, of lengths around the record
// sizes: the reduction notes them and still writes its report.
TEST_F(ReductionTest, NoiseInEveryFileGivesNotesNotACrash) {
    WriteScenarioSession(folder_.string(), options_);
    uint32_t state = 12345;
    auto next = [&] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    size_t files = 0;
    for (const auto& entry : fs::directory_iterator(folder_)) {
        std::string noise(next() % 4000, '\0');
        for (char& c : noise) c = static_cast<char>(next());
        std::ofstream(entry.path(), std::ios::binary | std::ios::trunc) << noise;
        ++files;
    }
    pellamy::ReductionResult result;
    ASSERT_NO_THROW(result = pellamy::ReduceSession(folder_.string()));
    EXPECT_GE(result.notes, files);
    EXPECT_TRUE(fs::exists(folder_ / "report.html"));
}

}  // namespace
