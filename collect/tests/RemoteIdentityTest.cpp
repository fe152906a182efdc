#include <gtest/gtest.h>

#include "collect/host/HostPaths.h"
#include "collect/host/RemoteIdentity.h"

namespace {

TEST(RemoteIdentityTest, SapccmsrDestinationsAreInternal) {
    EXPECT_EQ(LocalRemoteMode(u"DB1_SAPCCMSR.99"), u"INTERN");
    EXPECT_EQ(LocalRemoteMode(u"SAPCCMSR"), u"INTERN");
    EXPECT_EQ(LocalRemoteMode(u"sapccmsr.db1"), u"REMOTE");  // case-sensitive
    EXPECT_EQ(LocalRemoteMode(u"DBHOST"), u"REMOTE");
    EXPECT_EQ(LocalRemoteMode(u""), u"REMOTE");
}

TEST(RemoteIdentityTest, OperatingSystemIsTheFirstKnownNameContained) {
    EXPECT_EQ(NormaliseOperatingSystem(u"VESSANE 7.3", u"ORA"), u"VESSANE");
    EXPECT_EQ(NormaliseOperatingSystem(u"HP-UX B.11.31", u"ORA"), u"HP-UX");
    EXPECT_EQ(NormaliseOperatingSystem(u"Generic Linux 5.10", u"ORA"), u"Linux");
    // The list order decides, not the position in the text.
    EXPECT_EQ(NormaliseOperatingSystem(u"Linux on OMBRITH", u"ORA"), u"OMBRITH");
    EXPECT_EQ(NormaliseOperatingSystem(u"", u"QUILLET"), u"OMBRITH");
    EXPECT_EQ(NormaliseOperatingSystem(u"BeOS", u"QUILLET"), u"OMBRITH");
    EXPECT_EQ(NormaliseOperatingSystem(u"BeOS", u"ORA"), u"Other");
    EXPECT_EQ(NormaliseOperatingSystem(u"linux", u"ORA"), u"Other");
    EXPECT_EQ(NormaliseOperatingSystem(u"", u""), u"Other");
    const std::u16string longText(100000, u'x');
    EXPECT_EQ(NormaliseOperatingSystem(longText + u"SunOS", u"ORA"), u"SunOS");
    EXPECT_EQ(NormaliseOperatingSystem(longText, u"ORA"), u"Other");
}

TEST(RemoteIdentityTest, VendorOfTheOperatingSystem) {
    EXPECT_EQ(VendorText(u"HP-UX"), u"HP");
    EXPECT_EQ(VendorText(u"SunOS"), u"SUN");
    EXPECT_EQ(VendorText(u"OSF1"), u"DEC");
    EXPECT_EQ(VendorText(u"Relia"), u"Siemens");
    EXPECT_EQ(VendorText(u"Linux"), u"Ostrel");
    EXPECT_EQ(VendorText(u"HP-UX 11"), u"Ostrel");
    EXPECT_EQ(VendorText(u""), u"Ostrel");
}

TEST(RemoteIdentityTest, ClavernSystemIdFollowsTheSystemsName) {
    const std::u16string reply = u"PLEX1;SYSA;1;SYSB;2";
    EXPECT_EQ(ClavernSystemId(reply, u"SYSB"), 2);
    EXPECT_EQ(ClavernSystemId(reply, u"SYSA"), 1);
    EXPECT_EQ(ClavernSystemId(reply, u"SYSC"), 0);
    EXPECT_EQ(ClavernSystemId(reply, u"PLEX1"), 0);  // the plex is never compared
    EXPECT_EQ(ClavernSystemId(u"header;SYSA;3;SYSB;7", u"SYSB"), 7);
    EXPECT_EQ(ClavernSystemId(u"plex name; system A; 1; system B; 2", u"system B"), 2);
}

TEST(RemoteIdentityTest, ClavernRepliesWithEmptyOrBrokenTokens) {
    EXPECT_EQ(ClavernSystemId(u"", u"SYSB"), 0);
    EXPECT_EQ(ClavernSystemId(u";;;", u"SYSB"), 0);
    EXPECT_EQ(ClavernSystemId(u";;PLEX;;SYSB;;;5;", u"SYSB"), 5);  // empty tokens skipped
    EXPECT_EQ(ClavernSystemId(u"PLEX;SYSB", u"SYSB"), 0);          // no id after the name
    EXPECT_EQ(ClavernSystemId(u"PLEX;SYSB;", u"SYSB"), 0);
    EXPECT_EQ(ClavernSystemId(u"PLEX;SYSB;x9", u"SYSB"), 0);
    EXPECT_EQ(ClavernSystemId(u"PLEX;SYSB;12abc", u"SYSB"), 12);
    EXPECT_EQ(ClavernSystemId(u"PLEX;SYSB;99999999999", u"SYSB"), INT32_MAX);
    EXPECT_EQ(ClavernSystemId(u"PLEX;SYSB;3", u""), 0);
    EXPECT_EQ(ClavernSystemId(u"PLEX;  ;SYSB;4", u"SYSB"), 4);
}

TEST(RemoteIdentityTest, RemoteNamesAndPaths) {
    EXPECT_EQ(RemoteName(u"DBDEST", u""), u"DBDEST");
    EXPECT_EQ(RemoteName(u"DBDEST", u"SYSB"), u"DBDEST(SYSB)");

    const HostPaths remote = MakeRemotePaths(u"/s/", u"DBDEST", u"SYSB");
    EXPECT_EQ(remote.log, u"/s/DBDEST(SYSB).log");
    EXPECT_EQ(remote.cpu, u"/s/DBDEST(SYSB).cpu");
    EXPECT_EQ(remote.process, u"/s/DBDEST(SYSB).ps");
    EXPECT_EQ(remote.DiskFile(u"sda"), u"/s/DBDEST_sda.dsk");
    EXPECT_EQ(remote.hostControl, u"/s/host.ctl");
    EXPECT_EQ(remote.diskControl, u"/s/disk.ctl");
    EXPECT_TRUE(remote.hardware.empty());
    EXPECT_TRUE(remote.environment.empty());
    EXPECT_EQ(MakeRemotePaths(u"/s/", u"DBDEST", u"").cpu, u"/s/DBDEST.cpu");

    const HostPaths host = MakeHostPaths(u"/s/", u"qashost1");
    EXPECT_EQ(host.log, u"/s/qashost1.log");
    EXPECT_EQ(host.hardware, u"/s/qashost1.hw");
    EXPECT_EQ(host.environment, u"/s/qashost1.env");
    EXPECT_EQ(host.DiskFile(u"c0t0d0"), u"/s/qashost1_c0t0d0.dsk");

    // A typed destination with separators stays inside the session folder.
    const HostPaths escaping = MakeRemotePaths(u"/s/", u"../../etc/DB", u"A/B");
    EXPECT_EQ(escaping.cpu, u"/s/.._.._etc_DB(A_B).cpu");
    EXPECT_EQ(escaping.DiskFile(u"sda"), u"/s/.._.._etc_DB_sda.dsk");
    EXPECT_EQ(MakeHostPaths(u"/s/", u"a/b").log, u"/s/a_b.log");
}

}  // namespace
