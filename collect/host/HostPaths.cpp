#include "collect/host/HostPaths.h"

#include "collect/host/RemoteIdentity.h"
#include "platform/Directory.h"
#include "platform/Format.h"

using platform::Format;

std::u16string HostPaths::DiskFile(std::u16string_view cleanedDiskName) const {
    return Format(u"%s%s.dsk", diskPrefix, cleanedDiskName);
}

namespace {

// The files every host or remote thread writes; both names are file-name safe.
HostPaths SharedPaths(std::u16string_view sessionDir, std::u16string_view diskOwner,
                      std::u16string_view name) {
    HostPaths paths;
    paths.hostControl = Format(u"%shost.ctl", sessionDir);
    paths.diskControl = Format(u"%sdisk.ctl", sessionDir);
    paths.diskPrefix = Format(u"%s%s_", sessionDir, diskOwner);
    paths.log = Format(u"%s%s.log", sessionDir, name);
    paths.cpu = Format(u"%s%s.cpu", sessionDir, name);
    paths.process = Format(u"%s%s.ps", sessionDir, name);
    return paths;
}

}  // namespace

HostPaths MakeHostPaths(std::u16string_view sessionDir, std::u16string_view hostName) {
    const std::u16string host = platform::FileNamePart(hostName);
    HostPaths paths = SharedPaths(sessionDir, host, host);
    paths.hardware = Format(u"%s%s.hw", sessionDir, host);
    paths.environment = Format(u"%s%s.env", sessionDir, host);
    return paths;
}

HostPaths MakeRemotePaths(std::u16string_view sessionDir, std::u16string_view destination,
                          std::u16string_view system) {
    return SharedPaths(sessionDir, platform::FileNamePart(destination),
                       platform::FileNamePart(RemoteName(destination, system)));
}
