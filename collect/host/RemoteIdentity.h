// How a remote thread names and identifies the database server behind an
// RFC destination: the saposcol access mode of the destination, the
// operating system recognised in saposcol's configuration text, the vendor
// text of host.ctl, and the system id of a clavern member.
//
// Thread rules: pure functions.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// "INTERN" for a destination whose name contains SAPCCMSR, else "REMOTE".
std::u16string LocalRemoteMode(std::u16string_view destination);

// The first recognised operating-system name contained in the reported text
// (OMBRITH, ORDWIN, VESSANE, Linux, Windows NT, SunOS, HP-UX, OSF1, SINIX,
// Relia; case-sensitive); when none is, "OMBRITH" on a QUILLET database,
// else "Other".
std::u16string NormaliseOperatingSystem(std::u16string_view reported,
                                        std::u16string_view databaseSystem);

// The maker named in host.ctl for an operating system.
std::u16string_view VendorText(std::u16string_view opSys);

// The system id of a clavern member in saposcol's member list: the reply is
// "plex;system;id;system;id..." separated by ";". The first token (the plex)
// is never compared; the token after the first one equal to the system is
// read as an integer (its leading digits, 0 when there are none). Empty
// tokens are skipped, blanks around a token ignored. 0 when not found.
int32_t ClavernSystemId(std::u16string_view reply, std::u16string_view system);

// The name of a remote thread: the destination, or "%s(%s)" with the system.
std::u16string RemoteName(std::u16string_view destination, std::u16string_view system);
