#include "collect/metrics/SourcePublisher.h"

#include "platform/DateTime.h"
#include "platform/TextCodec.h"

namespace metrics {

SourcePublisher::~SourcePublisher() {
    if (registry_) registry_->Leave(id_);
}

void SourcePublisher::Attach(std::shared_ptr<Registry> registry, SourceKind kind,
                             const SourceLabels& labels) {
    if (registry_) registry_->Leave(id_);
    registry_ = std::move(registry);
    if (!registry_) return;
    labels_ = LabelSet()
                  .Add("system", platform::ToUtf8(labels.system))
                  .Add("server", platform::ToUtf8(labels.server))
                  .Add("host", platform::ToUtf8(labels.host));
    id_ = registry_->Join(platform::ToUtf8(labels.system), kind);
    Publish();
}

void SourcePublisher::Finish(std::u16string_view routine,
                             std::chrono::steady_clock::time_point start,
                             CaptureOutcome outcome) noexcept {
    try {
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        const std::chrono::duration<double> now =
            platform::CurrentTimeSource()->Now().time_since_epoch();
        const std::string kind = CaptureKind(routine);
        tally_.Record(kind, took.count(), now.count(), outcome);
        try {
            Refresh(kind);
        } catch (...) {
            // A file that cannot be read back leaves the figures as they were;
            // the capture itself has reported what went wrong with it.
        }
        Publish();
    } catch (...) {
        // Live figures never disturb a capture.
    }
}

void SourcePublisher::Publish() noexcept {
    if (!registry_) return;
    try {
        auto snapshot = std::make_shared<Snapshot>();
        Render(*snapshot);
        tally_.Render(*snapshot, labels_);
        registry_->Publish(id_, std::move(snapshot));
    } catch (...) {
        // Out of memory: the previous snapshot stays.
    }
}

}  // namespace metrics
