#include "collect/metrics/DialogStepFigures.h"

#include <string>

namespace metrics {

void DialogStepFigures::Add(std::span<const instrec::DialogStepRecord> steps) {
    for (const instrec::DialogStepRecord& step : steps) {
        TaskType& t = taskTypes_[step.taskType];
        ++t.steps;
        t.response.Observe(step.responseTime / 1000.0);
        t.cpu.Observe(step.cpuTime / 1000.0);
        t.database.Observe(step.databaseTime / 1000.0);
    }
}

uint64_t DialogStepFigures::Total() const {
    uint64_t total = 0;
    for (const auto& [type, figures] : taskTypes_) total += figures.steps;
    return total;
}

void DialogStepFigures::Render(Snapshot& snapshot, const LabelSet& source) const {
    for (const auto& [type, figures] : taskTypes_) {
        LabelSet labels = source;
        labels.Add("task_type", std::to_string(type));
        AppendSample(snapshot, FamilyId::DialogSteps, labels, static_cast<double>(figures.steps));
        AppendHistogram(snapshot, FamilyId::DialogStepResponseTime, labels, figures.response);
        AppendHistogram(snapshot, FamilyId::DialogStepCpuTime, labels, figures.cpu);
        AppendHistogram(snapshot, FamilyId::DialogStepDatabaseTime, labels, figures.database);
    }
}

}  // namespace metrics
