// SAPWL_STATREC_READ_FILE: the workload statistics records of an
// application server. Each server writes a continuous stream of records,
// one per dialog step (dialog, update and spool steps) or background step,
// at the second the step ended on the server's own clock. The stream is a
// pure function of the scenario's seed, the server and the second, so a
// read of any window gives the same records in every run.
//
// The statistics file of a server holds one server day; its records are
// numbered from 1 in the order they were written. A reader passes the
// number at which to continue in READ_CONTINUE_RECORDNO (0: the whole
// window) and gets back the number after the last record of the window in
// CONTINUE_RECORDNO_FORWARD; a number beyond the file (the file was
// switched at midnight since) gives -1 and no records. Records older than
// a week are gone.
#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "platform/DateTime.h"
#include "r3sim/Figures.h"
#include "r3sim/ModuleRegistry.h"

namespace r3sim {
namespace {

constexpr int64_t kDay = 86400;
constexpr int64_t kKeptSeconds = 7 * kDay;
// A dialog server's mean when the scenario gives none, and its daily swing:
// 70 +- 40 steps a minute; other means swing in the same proportion.
constexpr double kDialogStepsPerMinute = 70;
constexpr double kDialogSwing = 40;

platform::DateTime Local(int64_t seconds) {
    return platform::CurrentTimeSource()->ToLocal(
        platform::TimePoint(std::chrono::seconds(seconds)));
}

int64_t FromLocal(const platform::DateTime& t) {
    return std::chrono::duration_cast<std::chrono::seconds>(
               platform::CurrentTimeSource()->FromLocal(t).time_since_epoch())
        .count();
}

// "YYYYMMDD" and "HHMMSS" of the server's clock; false when they name no time.
bool ParseWindowTime(const std::string& date, const std::string& time, int64_t& seconds) {
    if (date.size() != 8 || time.size() != 6) return false;
    for (char c : date + time)
        if (c < '0' || c > '9') return false;
    const auto n = [](const std::string& s, size_t at, size_t len) {
        return std::stoi(s.substr(at, len));
    };
    platform::DateTime t = platform::MakeDateTime(n(date, 0, 4), n(date, 4, 2), n(date, 6, 2),
                                                  n(time, 0, 2), n(time, 2, 2), n(time, 4, 2));
    if (!platform::IsValidDateTime(t)) return false;
    seconds = FromLocal(t);
    return true;
}

struct Transaction {
    const char* tcode;
    const char* report;
    const char* screen;
    double weight;
};

constexpr Transaction kDialogTransactions[] = {
    {"VA01", "SAPMV45A", "4001", 9},
    {"VA02", "SAPMV45A", "4001", 6},
    {"VA03", "SAPMV45A", "4001", 12},
    {"VL01N", "SAPMV50A", "4004", 5},
    {"ME21N", "SAPLMEGUI", "0014", 5},
    {"ME23N", "SAPLMEGUI", "0014", 4},
    {"MM03", "SAPLMGMM", "4004", 8},
    {"MIGO", "SAPLMIGO", "0001", 4},
    {"FB01", "SAPMF05A", "0100", 3},
    {"FB03", "SAPMF05L", "0100", 4},
    {"FBL1N", "RFITEMAP", "1000", 2},
    {"CO02", "SAPLCOKO1", "0115", 2},
    {"SE38", "SAPLWBABAP", "0100", 1},
    {"SU01", "SAPLSUU5", "0050", 1},
    {"SM50", "SAPMSM50", "0100", 1},
    {"ST03N", "SAPWL_ST03N", "0100", 1},
    {"SESSION_MANAGER", "SAPMSYST", "0040", 6},
};

constexpr Transaction kUpdateReports[] = {
    {"VA01", "RV_SALES_DOCUMENT_ADD", "", 5},
    {"VL01N", "WS_DELIVERY_UPDATE", "", 3},
    {"ME21N", "ME_UPDATE_DOCUMENT", "", 2},
    {"FB01", "POST_DOCUMENT", "", 1},
};

constexpr Transaction kBatchJobs[] = {
    {"SAP_COLLECTOR_FOR_PERFMONITOR", "RSCOLL00", "", 6},
    {"SAP_REORG_SPOOL", "RSPO0041", "", 1},
    {"SAP_REORG_JOBS", "RSBTCDEL2", "", 1},
    {"SAP_CCMS_MONI_BATCH_DP", "RSAL_BATCH_TOOL_DISPATCHING", "", 5},
    {"Z_BILLING_DUE_LIST", "SDBILLDL", "", 2},
    {"Z_MRP_RUN", "RMMRP000", "", 1},
};

constexpr std::array<const char*, 12> kAccounts = {"SMITH",  "JONES",  "MUELLER", "GARCIA",
                                                   "ROSSI",  "DUBOIS", "NOVAK",   "SATO",
                                                   "OKAFOR", "LARSEN", "SILVA",   "KOWALSKI"};

template <size_t N>
const Transaction& Pick(const Transaction (&list)[N], double unit) {
    double total = 0;
    for (const Transaction& t : list) total += t.weight;
    double at = unit * total;
    for (const Transaction& t : list) {
        if (at < t.weight) return t;
        at -= t.weight;
    }
    return list[N - 1];
}

bool Offers(const ServerSpec& server, const char* service) {
    return std::find(server.services.begin(), server.services.end(), service) !=
           server.services.end();
}

enum class StepKind { kDialog, kUpdate, kBatch };

struct Step {
    StepKind kind;
    int64_t end;  // server seconds
    int64_t salt;
};

// The salt of the index-th step ending in a second. The first 32 of a second
// keep the numbering of the original stream; busier seconds (thousands of
// steps a minute) number the rest apart, so no two steps share their figures.
int64_t StepSalt(int64_t second, int index) {
    constexpr int kFirst = 32;
    constexpr int64_t kBusySeconds = int64_t{1} << 50;
    return index < kFirst ? second * kFirst + index : kBusySeconds + second * 1024 + index;
}

// The stream of one server: how many steps end in each second.
class Stream {
  public:
    Stream(const Scenario& scenario, const ServerSpec& server)
        : f_(scenario.seed),
          key_(server.name + "/statrec"),
          dialogPerMinute_(server.dialogStepsPerMinute.value_or(
              Offers(server, "Dialog") ? kDialogStepsPerMinute : kDialogStepsPerMinute / 4)),
          update_(Offers(server, "Update") ? 0.3 : 0.0),
          batch_(Offers(server, "Backg") ? 1.0 : 0.0) {}

    // Calls visit(step) for every step ending in [from, to), in file order.
    template <typename Visit>
    void ForEach(int64_t from, int64_t to, Visit visit) {
        for (int64_t s = from; s < to; ++s) {
            const int64_t minute = s >= 0 ? s / 60 : (s - 59) / 60;
            if (minute != minute_) Rates(minute);
            const int dialogs = Count(dialogPerSecond_, s, 0);
            const int updates = Count(updatePerSecond_, s, 1);
            const int batches = Count(batchPerSecond_, s, 2);
            int k = 0;
            for (int i = 0; i < dialogs; ++i) visit(Step{StepKind::kDialog, s, StepSalt(s, k++)});
            for (int i = 0; i < updates; ++i) visit(Step{StepKind::kUpdate, s, StepSalt(s, k++)});
            for (int i = 0; i < batches; ++i) visit(Step{StepKind::kBatch, s, StepSalt(s, k++)});
        }
    }

    const Figures& Figs() const { return f_; }
    const std::string& Key() const { return key_; }

  private:
    // Steps per second this minute: dialog steps on a daily wave around the
    // server's mean (its trough stays above zero, so the mean holds over a
    // day), a few background steps.
    void Rates(int64_t minute) {
        minute_ = minute;
        const int64_t t = minute * 60;
        const double amplitude = dialogPerMinute_ * kDialogSwing / kDialogStepsPerMinute;
        dialogPerSecond_ =
            std::max(0.0, f_.Wave(key_ + "/dialog", t, dialogPerMinute_, amplitude, kDay)) / 60;
        updatePerSecond_ = dialogPerSecond_ * update_;
        batchPerSecond_ = std::max(0.0, f_.Wave(key_ + "/batch", t, 3, 2, kDay)) / 60 * batch_;
    }
    int Count(double perSecond, int64_t second, int kind) const {
        if (perSecond <= 0) return 0;
        const double whole = std::floor(perSecond);
        return static_cast<int>(whole) +
               (f_.Unit(key_, second * 4 + kind) < perSecond - whole ? 1 : 0);
    }

    Figures f_;
    std::string key_;
    double dialogPerMinute_, update_, batch_;
    int64_t minute_ = std::numeric_limits<int64_t>::min();
    double dialogPerSecond_ = 0, updatePerSecond_ = 0, batchPerSecond_ = 0;
};

// The server's local date and time texts of a second. Steps come in time
// order, so the local time of the minute is looked up once for its steps.
class LocalTexts {
  public:
    void Set(int64_t seconds) {
        const int64_t minute = seconds >= 0 ? seconds / 60 : (seconds - 59) / 60;
        if (minute != minute_) {
            minute_ = minute;
            const platform::DateTime t = Local(minute * 60);
            std::snprintf(date_, sizeof date_, "%04d%02d%02d", t.year, t.month, t.day);
            std::snprintf(hourMinute_, sizeof hourMinute_, "%02d%02d", t.hour, t.minute);
        }
        const int second = static_cast<int>(seconds - minute * 60);
        std::snprintf(time_, sizeof time_, "%s%02d", hourMinute_, second);
    }
    std::string_view Date() const { return date_; }
    std::string_view Time() const { return time_; }

  private:
    int64_t minute_ = std::numeric_limits<int64_t>::min();
    char date_[16] = {};
    char hourMinute_[8] = {};
    char time_[16] = {};
};

// The fields of a statistics record (normal or background), found once per
// read; the fields one kind lacks are null.
struct StepFields {
    explicit StepFields(const Record& r)
        : mandt(r.FieldOf("MANDT")),
          account(r.FieldOf("ACCOUNT")),
          tcode(r.FieldOf("TCODE")),
          report(r.FieldOf("REPORT")),
          taskType(r.FieldOf("TASKTYPE")),
          wpid(r.FieldOf("WPID")),
          respTime(r.FieldOf("RESPTI")),
          procTime(r.FieldOf("PROCTI")),
          cpuTime(r.FieldOf("CPUTI")),
          queueTime(r.FieldOf("QUEUETI")),
          rollWaitTime(r.FieldOf("ROLLWAITTI")),
          readDirCount(r.FieldOf("READDIRCNT")),
          readSeqCount(r.FieldOf("READSEQCNT")),
          memSum(r.FieldOf("MEMSUM")),
          privSum(r.FieldOf("PRIVSUM")),
          dbCalls(r.FieldOf("DBCALLS")),
          startDate(r.FieldOf("STARTDATE")),
          startTime(r.FieldOf("STARTTIME")),
          endDate(r.FieldOf("ENDDATE")),
          endTime(r.FieldOf("ENDTIME")),
          guiTime(r.FieldOf("GUITIME")),
          dbTimes{&r.FieldOf("READDIRTI"), &r.FieldOf("READSEQTI"), &r.FieldOf("UPDTI"),
                  &r.FieldOf("DELTI"),     &r.FieldOf("INSTI"),     &r.FieldOf("COMMITTI")},
          jobName(r.Structure().Find("JOBNAME")),
          stepCount(r.Structure().Find("STEPCOUNT")),
          terminalId(r.Structure().Find("TERMINALID")),
          dynproNr(r.Structure().Find("DYNPRONR")),
          guiNetTime(r.Structure().Find("GUINETTIME")),
          guiCount(r.Structure().Find("GUICNT")) {}

    const FieldLayout &mandt, &account, &tcode, &report, &taskType, &wpid, &respTime, &procTime,
        &cpuTime, &queueTime, &rollWaitTime, &readDirCount, &readSeqCount, &memSum, &privSum,
        &dbCalls, &startDate, &startTime, &endDate, &endTime, &guiTime;
    std::array<const FieldLayout*, 6> dbTimes;
    const FieldLayout *jobName, *stepCount, *terminalId, *dynproNr, *guiNetTime, *guiCount;
};

// The keys of a stream's figures, hashed once.
struct StepKeys {
    StepKeys(const Figures& f, const std::string& key)
        : tcode(f.KeyOf(key + "/tcode")),
          sys(f.KeyOf(key + "/sys")),
          account(f.KeyOf(key + "/account")),
          resp(f.KeyOf(key + "/resp")),
          cpu(f.KeyOf(key + "/cpu")),
          db(f.KeyOf(key + "/db")),
          wp(f.KeyOf(key + "/wp")),
          queue(f.KeyOf(key + "/queue")),
          roll(f.KeyOf(key + "/roll")),
          dirCount(f.KeyOf(key + "/dircnt")),
          seqCount(f.KeyOf(key + "/seqcnt")),
          mem(f.KeyOf(key + "/mem")),
          dbCalls(f.KeyOf(key + "/dbcalls")),
          gui(f.KeyOf(key + "/gui")),
          guiNet(f.KeyOf(key + "/guinet")) {}
    Figures::Key tcode, sys, account, resp, cpu, db, wp, queue, roll, dirCount, seqCount, mem,
        dbCalls, gui, guiNet;
};

// A time in microseconds, skewed toward the short end: most steps are quick.
int64_t Skewed(const Figures& f, Figures::Key key, int64_t salt, double low, double high) {
    const double u = f.Unit(key, salt);
    return static_cast<int64_t>(low + (high - low) * u * u * u);
}

// Builds the statistics records of one stream into a reused row.
class StepWriter {
  public:
    StepWriter(const Stream& stream, Record& row, std::string client)
        : f_(stream.Figs()),
          keys_(f_, stream.Key()),
          row_(row),
          fields_(row),
          client_(std::move(client)) {}

    void Fill(const Step& step) {
        const int64_t salt = step.salt;
        const uint8_t taskType = step.kind == StepKind::kDialog   ? 0x01
                                 : step.kind == StepKind::kUpdate ? 0x02
                                                                  : 0x04;
        const double pick = f_.Unit(keys_.tcode, salt);
        const Transaction& t = step.kind == StepKind::kDialog   ? Pick(kDialogTransactions, pick)
                               : step.kind == StepKind::kUpdate ? Pick(kUpdateReports, pick)
                                                                : Pick(kBatchJobs, pick);
        const bool batch = step.kind == StepKind::kBatch;
        const char* account = batch && f_.Unit(keys_.sys, salt) < 0.6
                                  ? "DDIC"
                                  : kAccounts[f_.Hash(keys_.account, salt) % kAccounts.size()];
        const int64_t response = batch ? Skewed(f_, keys_.resp, salt, 400000, 900000000)
                                       : Skewed(f_, keys_.resp, salt, 40000, 4000000);
        const int64_t cpu = static_cast<int64_t>(static_cast<double>(response) *
                                                 (0.15 + 0.35 * f_.Unit(keys_.cpu, salt)));
        const int64_t db = static_cast<int64_t>(static_cast<double>(response) *
                                                (0.1 + 0.5 * f_.Unit(keys_.db, salt)));
        const int64_t start = step.end - response / 1000000;
        const StepFields& F = fields_;
        row_.SetText(F.mandt, client_)
            .SetText(F.account, account)
            .SetText(F.tcode, batch ? "" : t.tcode)
            .SetText(F.report, t.report)
            .SetBytes(F.taskType, {&taskType, 1})
            .SetInt(F.wpid, f_.Between(keys_.wp, salt, 0, batch ? 2 : 5))
            .SetInt(F.respTime, response)
            .SetInt(F.procTime, response - db)
            .SetInt(F.cpuTime, cpu)
            .SetInt(F.queueTime, Skewed(f_, keys_.queue, salt, 100, 200000))
            .SetInt(F.rollWaitTime, batch ? 0 : Skewed(f_, keys_.roll, salt, 0, 50000));
        // The database time split over its six parts.
        static constexpr std::array<double, 6> kShares = {0.35, 0.35, 0.12, 0.03, 0.1, 0.05};
        for (size_t i = 0; i < kShares.size(); ++i)
            row_.SetInt(*F.dbTimes[i], static_cast<int64_t>(static_cast<double>(db) * kShares[i]));
        row_.SetInt(F.readDirCount, f_.Between(keys_.dirCount, salt, 1, 400))
            .SetInt(F.readSeqCount, f_.Between(keys_.seqCount, salt, 0, 120))
            .SetInt(F.memSum, f_.Between(keys_.mem, salt, 200000, 25000000))
            .SetInt(F.privSum, 0)
            .SetInt(F.dbCalls, f_.Between(keys_.dbCalls, salt, 1, 600));
        startClock_.Set(start);
        row_.SetText(F.startDate, startClock_.Date()).SetText(F.startTime, startClock_.Time());
        endClock_.Set(step.end);
        row_.SetText(F.endDate, endClock_.Date()).SetText(F.endTime, endClock_.Time());
        if (batch) {
            row_.SetText(*F.jobName, t.tcode).SetInt(*F.stepCount, 1);
            // Background steps carry the front-end time of the spool requests
            // they created; a reader must not count it as response time.
            row_.SetInt(F.guiTime, Skewed(f_, keys_.gui, salt, 0, 20000));
        } else {
            const bool dialog = step.kind == StepKind::kDialog;
            char terminal[32];
            std::snprintf(terminal, sizeof terminal, "PC-%s", account);
            row_.SetText(*F.terminalId, terminal)
                .SetText(*F.dynproNr, t.screen)
                .SetInt(F.guiTime, dialog ? Skewed(f_, keys_.gui, salt, 5000, 600000) : 0)
                .SetInt(*F.guiNetTime, dialog ? Skewed(f_, keys_.guiNet, salt, 500, 80000) : 0)
                .SetInt(*F.guiCount, dialog ? 1 : 0);
        }
    }

  private:
    const Figures& f_;
    StepKeys keys_;
    Record& row_;
    StepFields fields_;
    std::string client_;
    LocalTexts startClock_, endClock_;
};

void SetDateTime(Record& row, const char* dateField, const char* timeField, int64_t seconds) {
    const platform::DateTime t = Local(seconds);
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02d%02d", t.year, t.month, t.day);
    row.SetText(dateField, text);
    std::snprintf(text, sizeof text, "%02d%02d%02d", t.hour, t.minute, t.second);
    row.SetText(timeField, text);
}

void DefineStructures(Dictionary& d) {
    const std::vector<FieldSpec> common = {
        Char("MANDT", 3),     Char("ACCOUNT", 12), Char("TCODE", 20), Char("REPORT", 40),
        Bytes("TASKTYPE", 1), Int1("WPID"),        Date("STARTDATE"), Time("STARTTIME"),
        Date("ENDDATE"),      Time("ENDTIME"),     Int("RESPTI"),     Int("PROCTI"),
        Int("CPUTI"),         Int("QUEUETI"),      Int("ROLLWAITTI"), Int("GUITIME"),
        Int("READDIRCNT"),    Int("READDIRTI"),    Int("READSEQCNT"), Int("READSEQTI"),
        Int("UPDTI"),         Int("DELTI"),        Int("INSTI"),      Int("COMMITTI"),
        Int("DBCALLS"),       Int("MEMSUM"),       Int("PRIVSUM")};
    std::vector<FieldSpec> normal = common;
    for (const FieldSpec& f :
         {Char("TERMINALID", 20), Char("DYNPRONR", 4), Int("GUINETTIME"), Int("GUICNT")})
        normal.push_back(f);
    d.Add(Structure("SAPWLSTATV2_NORMAL", normal));
    std::vector<FieldSpec> batch = common;
    for (const FieldSpec& f : {Char("JOBNAME", 32), Int("STEPCOUNT")}) batch.push_back(f);
    d.Add(Structure("SAPWLSTATV2_BTCSTEP", batch));
    d.Add(Structure("SAPWLSTATV2_TABLE",
                    {Char("TABNAME", 30), Int("DIRCNT"), Int("SEQCNT"), Int("MODCNT"),
                     Int("TABTIME"), Date("ENDDATE"), Time("ENDTIME")}));
    d.Add(
        Structure("SAPWLSTATV2_RFCCLI",
                  {Char("DESTINATION", 32), Char("FUNCNAME", 30), Int("CALLTIME"), Int("EXE_TIME"),
                   Int("SENT_BYTES"), Int("RECEIVED_BYTES"), Date("ENDDATE"), Time("ENDTIME")}));
}

void ReadFile(CallContext& call) {
    int64_t start = 0, end = 0;
    if (!ParseWindowTime(call.ImportText(u"READ_START_DATE"), call.ImportText(u"READ_START_TIME"),
                         start) ||
        !ParseWindowTime(call.ImportText(u"READ_END_DATE"), call.ImportText(u"READ_END_TIME"),
                         end)) {
        call.Raise("WRONG_PARAMETER_COMBINATION", "The read window is not a date and time");
        return;
    }
    const int64_t now = call.ServerSeconds();
    end = std::min(end, now);  // nothing is written ahead of the clock
    start = std::max(start, now - kKeptSeconds);
    const platform::DateTime today = Local(now);
    const int64_t fileStart = FromLocal(platform::MakeDateTime(today.year, today.month, today.day));
    const int64_t continueAt = call.ImportInt(u"READ_CONTINUE_RECORDNO", 0);

    Stream stream(call.GetScenario(), call.Server());
    int64_t written = 0;  // records of today's file up to now
    stream.ForEach(fileStart, now, [&](const Step&) { ++written; });
    if (continueAt > written + 1 || continueAt < 0) {
        call.Export(u"CONTINUE_RECORDNO_FORWARD", int64_t{-1});
        return;
    }

    const bool normalWanted = call.Wants(u"V2_NORMAL_RECORDS");
    const bool batchWanted = call.Wants(u"V2_BTC_STEP_RECORDS");
    const bool tablesWanted = call.Wants(u"V2_TABLE_RECORDS");
    const bool rfcWanted = call.Wants(u"V2_RFC_CLIENT_RECORDS");
    Record normal = call.NewRecord(u"V2_NORMAL_RECORDS");
    Record batch = call.NewRecord(u"V2_BTC_STEP_RECORDS");
    Record table = call.NewRecord(u"V2_TABLE_RECORDS");
    Record rfc = call.NewRecord(u"V2_RFC_CLIENT_RECORDS");
    const std::string client = "100";
    StepWriter normalSteps(stream, normal, client);
    StepWriter batchSteps(stream, batch, client);
    int64_t number = 0;  // of the record in today's file; 0 before it
    // Records of the previous day's file are read only without a continue number.
    const int64_t from = std::min(start, fileStart);
    stream.ForEach(from, std::max(end, from), [&](const Step& step) {
        if (step.end >= fileStart) ++number;
        if (step.end < start) return;
        if (continueAt > 0 && (step.end < fileStart || number < continueAt)) return;
        const Figures& f = stream.Figs();
        if (step.kind == StepKind::kBatch) {
            if (!batchWanted) return;
            batchSteps.Fill(step);
            call.AddRow(u"V2_BTC_STEP_RECORDS", batch);
        } else {
            if (normalWanted) {
                normalSteps.Fill(step);
                call.AddRow(u"V2_NORMAL_RECORDS", normal);
            }
            if (tablesWanted) {
                table
                    .SetText("TABNAME",
                             f.Unit(stream.Key() + "/tab", step.salt) < 0.5 ? "VBAK" : "MARA")
                    .SetInt("DIRCNT", f.Between(stream.Key() + "/tabdir", step.salt, 0, 40))
                    .SetInt("SEQCNT", f.Between(stream.Key() + "/tabseq", step.salt, 0, 10))
                    .SetInt("TABTIME", f.Between(stream.Key() + "/tabtime", step.salt, 0, 90000));
                SetDateTime(table, "ENDDATE", "ENDTIME", step.end);
                call.AddRow(u"V2_TABLE_RECORDS", table);
            }
            if (rfcWanted && f.Unit(stream.Key() + "/rfc", step.salt) < 0.1) {
                rfc.SetText("DESTINATION", "NONE")
                    .SetText("FUNCNAME", "BAPI_MATERIAL_AVAILABILITY")
                    .SetInt("CALLTIME",
                            f.Between(stream.Key() + "/rfctime", step.salt, 2000, 90000))
                    .SetInt("SENT_BYTES", 1200)
                    .SetInt("RECEIVED_BYTES", 5400);
                SetDateTime(rfc, "ENDDATE", "ENDTIME", step.end);
                call.AddRow(u"V2_RFC_CLIENT_RECORDS", rfc);
            }
        }
    });
    call.Export(u"CONTINUE_RECORDNO_FORWARD", number + 1);
    call.Export(u"CONTINUE_RECORDNO_BACKWARD", continueAt > 0 ? continueAt - 1 : 0);
}

}  // namespace

void RegisterWorkloadModules(ModuleRegistry& registry) {
    DefineStructures(registry.Structures());
    registry.Register(
        "SAPWL_STATREC_READ_FILE",
        {Import(Date("READ_START_DATE")).Text("Window start date (server time)"),
         Import(Time("READ_START_TIME")),
         Import(Date("READ_END_DATE")).Text("Window end date (server time)"),
         Import(Time("READ_END_TIME")),
         Import(Int("READ_CONTINUE_RECORDNO")).Default("0").Text("Continue at this record"),
         Import(Char("READ_CLIENT", 3)).Optional(), Import(Char("READ_USERNAME", 12)).Optional(),
         Import(Char("READ_WORKPROCESS", 2)).Optional(),
         Import(Char("NO_BUFFER_FLUSH", 1)).Optional(),
         Export(Int("CONTINUE_RECORDNO_FORWARD")).Text("Next record, -1: file switched"),
         Export(Int("CONTINUE_RECORDNO_BACKWARD")),
         Table("V2_NORMAL_RECORDS", "SAPWLSTATV2_NORMAL"),
         Table("V2_BTC_STEP_RECORDS", "SAPWLSTATV2_BTCSTEP"),
         Table("V2_TABLE_RECORDS", "SAPWLSTATV2_TABLE"),
         Table("V2_RFC_CLIENT_RECORDS", "SAPWLSTATV2_RFCCLI"),
         Exception("WRONG_PARAMETER_COMBINATION"), Exception("NO_DATA_FOUND")},
        ReadFile);
}

}  // namespace r3sim
