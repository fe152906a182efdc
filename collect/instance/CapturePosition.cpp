#include "collect/instance/CapturePosition.h"

#include "platform/Directory.h"
#include "platform/File.h"

namespace instfile {

using platform::File;

void WriteCapturePosition(const std::u16string& path, const CapturePosition& position) {
    File file(path, File::Mode::Snapshot);
    file.Write(&position, sizeof position);
    file.Close();
}

std::optional<CapturePosition> ReadCapturePosition(const std::u16string& path) {
    if (!platform::FileExists(path)) return std::nullopt;
    const std::vector<unsigned char> bytes = platform::ReadWholeFile(path);
    if (bytes.size() != sizeof(CapturePosition)) return std::nullopt;
    CapturePosition position;
    std::copy(bytes.begin(), bytes.end(), reinterpret_cast<unsigned char*>(&position));
    if (position.dialogStepBytes < 0) return std::nullopt;
    return position;
}

std::optional<double> ResumeUnfinishedCapture(const std::u16string& positionPath,
                                              const std::u16string& dialogStepPath) {
    const std::optional<CapturePosition> position = ReadCapturePosition(positionPath);
    if (!position) return std::nullopt;
    if (platform::FileExists(dialogStepPath)) {
        File file(dialogStepPath, File::Mode::Append);
        if (file.Length() > position->dialogStepBytes) file.CutBackTo(position->dialogStepBytes);
        file.Close();
    }
    return position->resumeFrom;
}

}  // namespace instfile
