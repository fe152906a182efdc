#include <gtest/gtest.h>
#include <sys/resource.h>

#include "platform/DescriptorLimit.h"

namespace {

TEST(DescriptorLimitTest, TheSoftLimitIsRaisedToTheHardOne) {
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &before), 0);
    if (before.rlim_max <= 64) GTEST_SKIP() << "a hard limit too low to lower the soft one";
    rlimit lowered = before;
    lowered.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &lowered), 0);
    EXPECT_EQ(platform::RaiseDescriptorLimit(), before.rlim_max);
    rlimit after{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &after), 0);
    EXPECT_EQ(after.rlim_cur, before.rlim_max);
    EXPECT_EQ(after.rlim_max, before.rlim_max);
    setrlimit(RLIMIT_NOFILE, &before);
}

}  // namespace
