#include "app/exit_cleanup.h"

#include <gtest/gtest.h>

using yejian::app::ExitCleanup;

TEST(ExitCleanup, RunsExactlyOnce)
{
    int runs = 0;
    {
        ExitCleanup cleanup([&] { ++runs; });
        cleanup.run();
        cleanup.run();
    }
    EXPECT_EQ(runs, 1);
}

TEST(ExitCleanup, RunsWhenTheRegistrationEnds)
{
    int runs = 0;
    {
        ExitCleanup cleanup([&] { ++runs; });
        EXPECT_EQ(runs, 0);
    }
    EXPECT_EQ(runs, 1);
}
