// The part every collection thread's live figures share: the source's
// place in the registry and its labels (system, server, host), the tally
// of its captures, and the step that turns its figures into a snapshot and
// publishes it after each capture.
//
// A thread wraps each capture body in Timed(routine, body): the wrapper
// times the body, classifies a failure (and lets it go on to the thread's
// own reporting), reads the figures the capture wrote (Refresh) and
// publishes. Without Attach nothing is measured or published.
//
// Thread rules: Attach and SetFiles-style setup by the owner before the
// thread's worker starts; Timed and everything it calls on the worker
// alone; destruction after the worker has ended.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <string_view>

#include "collect/metrics/CaptureTally.h"
#include "collect/metrics/Registry.h"
#include "collect/metrics/SampleLines.h"
#include "rfc/RfcException.h"

namespace metrics {

struct SourceLabels {
    std::u16string system, server, host;
};

class SourcePublisher {
  public:
    SourcePublisher() = default;
    SourcePublisher(const SourcePublisher&) = delete;
    SourcePublisher& operator=(const SourcePublisher&) = delete;
    virtual ~SourcePublisher();

    // Joins the registry (null: stay detached) and publishes a first,
    // nearly empty snapshot.
    void Attach(std::shared_ptr<Registry> registry, SourceKind kind, const SourceLabels& labels);
    bool IsAttached() const { return registry_ != nullptr; }

    // The body measured and published; failures pass through unchanged.
    template <typename Body>
    auto Timed(std::u16string_view routine, Body&& body) {
        return [this, routine, &body] {
            if (!registry_) return body();
            const auto start = std::chrono::steady_clock::now();
            try {
                body();
            } catch (const CRfcException&) {
                Finish(routine, start, CaptureOutcome::RfcError);
                throw;
            } catch (...) {
                Finish(routine, start, CaptureOutcome::OtherFailure);
                throw;
            }
            Finish(routine, start, CaptureOutcome::Succeeded);
        };
    }

  protected:
    // Reads what the capture of kind wrote; may throw (the figures then
    // stay as they were).
    virtual void Refresh(std::string_view kind) = 0;
    // Appends the source's own families to the snapshot.
    virtual void Render(Snapshot& snapshot) const = 0;
    const LabelSet& Labels() const { return labels_; }
    void Publish() noexcept;

  private:
    void Finish(std::u16string_view routine, std::chrono::steady_clock::time_point start,
                CaptureOutcome outcome) noexcept;

    std::shared_ptr<Registry> registry_;
    Registry::SourceId id_ = 0;
    LabelSet labels_;
    CaptureTally tally_;
};

}  // namespace metrics
