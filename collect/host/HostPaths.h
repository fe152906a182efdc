// The files of a host or remote thread in the session folder. The folder
// path ends in the separator. A host thread names its files after the host;
// a remote thread names .log, .cpu and .ps after its destination and system
// ("DEST(SYS).cpu"), its disk files after the destination alone, and has no
// hardware or environment listing.
//
// Thread rules: plain values.
#pragma once

#include <string>
#include <string_view>

struct HostPaths {
    std::u16string log, hostControl, diskControl, cpu, process, hardware, environment;
    // "%s%s_" (folder, host or destination); a disk's file adds its cleaned
    // name and ".dsk".
    std::u16string diskPrefix;

    std::u16string DiskFile(std::u16string_view cleanedDiskName) const;
};

HostPaths MakeHostPaths(std::u16string_view sessionDir, std::u16string_view host);
HostPaths MakeRemotePaths(std::u16string_view sessionDir, std::u16string_view destination,
                          std::u16string_view system);
