#include "collect/host/HostPaths.h"

#include "collect/host/RemoteIdentity.h"
#include "platform/Directory.h"
#include "platform/Format.h"

using platform::Format;

std::u16string HostPaths::DiskFile(std::u16string_view cleanedDiskName) const {
    return Format(u"%s%s.dsk", diskPrefix, cleanedDiskName);
}

namespace {

HostPaths SharedPaths(std::u16string_view sessionDir, std::u16string_view diskOwnerName) {
    const std::u16string diskOwner = platform::FileNamePart(diskOwnerName);
    HostPaths paths;
    paths.hostControl = Format(u"%shost.ctl", sessionDir);
    paths.diskControl = Format(u"%sdisk.ctl", sessionDir);
    paths.diskPrefix = Format(u"%s%s_", sessionDir, diskOwner);
    return paths;
}

}  // namespace

HostPaths MakeHostPaths(std::u16string_view sessionDir, std::u16string_view hostName) {
    HostPaths paths = SharedPaths(sessionDir, hostName);
    const std::u16string host = platform::FileNamePart(hostName);
    paths.log = Format(u"%s%s.log", sessionDir, host);
    paths.cpu = Format(u"%s%s.cpu", sessionDir, host);
    paths.process = Format(u"%s%s.ps", sessionDir, host);
    paths.hardware = Format(u"%s%s.hw", sessionDir, host);
    paths.environment = Format(u"%s%s.env", sessionDir, host);
    return paths;
}

HostPaths MakeRemotePaths(std::u16string_view sessionDir, std::u16string_view destination,
                          std::u16string_view system) {
    HostPaths paths = SharedPaths(sessionDir, destination);
    const std::u16string name = platform::FileNamePart(RemoteName(destination, system));
    paths.log = Format(u"%s%s.log", sessionDir, name);
    paths.cpu = Format(u"%s%s.cpu", sessionDir, name);
    paths.process = Format(u"%s%s.ps", sessionDir, name);
    return paths;
}
