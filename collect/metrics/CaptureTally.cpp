#include "collect/metrics/CaptureTally.h"

namespace metrics {

std::string CaptureKind(std::u16string_view routine) {
    const size_t colons = routine.rfind(u"::");
    if (colons != std::u16string_view::npos) routine.remove_prefix(colons + 2);
    std::string kind;
    for (const char16_t c : routine) {
        if (c >= u'A' && c <= u'Z') {
            if (!kind.empty()) kind += '_';
            kind += static_cast<char>(c - u'A' + 'a');
        } else if ((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9')) {
            kind += static_cast<char>(c);
        }
    }
    if (kind.starts_with("get_")) kind.erase(0, 4);
    return kind;
}

void CaptureTally::Record(const std::string& kind, double durationSeconds, double nowSeconds,
                          CaptureOutcome outcome) {
    Kind& k = kinds_[kind];
    k.lastDuration = durationSeconds;
    if (outcome == CaptureOutcome::Succeeded) {
        k.lastSuccess = nowSeconds;
        k.succeeded = true;
    } else {
        ++k.failures;
    }
    if (outcome == CaptureOutcome::RfcError) ++rfcErrors_;
    if (kind == kOpenConnection) ++opens_;
}

void CaptureTally::Render(Snapshot& snapshot, const LabelSet& source) const {
    for (const auto& [name, kind] : kinds_) {
        LabelSet labels = source;
        labels.Add("capture", name);
        AppendSample(snapshot, FamilyId::CaptureDuration, labels, kind.lastDuration);
        if (kind.succeeded)
            AppendSample(snapshot, FamilyId::CaptureLastSuccess, labels, kind.lastSuccess);
        AppendSample(snapshot, FamilyId::CaptureFailures, labels,
                     static_cast<double>(kind.failures));
    }
    AppendSample(snapshot, FamilyId::RfcErrors, source, static_cast<double>(rfcErrors_));
    AppendSample(snapshot, FamilyId::RfcReconnects, source, static_cast<double>(Reconnects()));
}

}  // namespace metrics
