// Where an instance's dialog-step capture stands, kept beside its .dss file
// as "<server>.pos": one 16-byte record, the .dss length at a record
// boundary and the collector-clock time (OLE date) from which the next window
// reads. Written before each append (length before it, the window's start)
// and after it (the new length, the window's end), so a collector that is
// killed in the middle of an append leaves both the bytes to cut and the
// time to read again.
//
// Thread rules: plain functions on files the caller's thread owns.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace instfile {

#pragma pack(push, 1)
struct CapturePosition {
    int64_t dialogStepBytes = 0;
    double resumeFrom = 0.0;
};
#pragma pack(pop)
static_assert(sizeof(CapturePosition) == 16);

void WriteCapturePosition(const std::u16string& path, const CapturePosition& position);
// Nothing when the file is missing or not one whole record.
std::optional<CapturePosition> ReadCapturePosition(const std::u16string& path);

// After an unclean end: cuts the .dss back to the recorded length (a
// killed append's records go) and returns the time to read from. Nothing
// when there is no usable record.
std::optional<double> ResumeUnfinishedCapture(const std::u16string& positionPath,
                                              const std::u16string& dialogStepPath);

}  // namespace instfile
