// The reduction of a session into the report: what is shown for the
// system, each host and instance, the workload, and the buffers and tables,
// as sections of tables and charts (ReportModel.h), and the whole run from a
// folder to the written files.
//
// No shared state.
#pragma once

#include <string>
#include <vector>

#include "tools/pellamy4/ReportModel.h"
#include "tools/pellamy4/Session.h"

namespace pellamy {

// Rows of a ranked table shown in the page; the CSV has every row.
inline constexpr size_t kTopRows = 20;

// A file-name part made of the name's letters, digits and "_-.()"; any
// other character becomes "_".
std::string FileNamePart(std::string_view name);

Report BuildReport(const Session& session);

struct ReductionResult {
    std::string reportPath;
    std::vector<std::string> files;  // names written into the folder
    size_t notes = 0;
    uint64_t dialogSteps = 0;
};

// Reads the folder, builds the report and writes its files into the
// folder. Throws NotASession (not a session folder) or std::runtime_error
// (the folder cannot be listed or a file cannot be written).
ReductionResult ReduceSession(const std::string& folder, const Progress& progress = {});

// Several folders of one system as one span, the report and CSV files
// written into outDir (made if missing), which may be none of the folders.
ReductionResult ReduceSpan(const std::vector<std::string>& folders, const std::string& outDir,
                           const Progress& progress = {});

}  // namespace pellamy
