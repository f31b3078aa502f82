#include "framework/platform/SingleInstance.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Quillo;

TEST(SingleInstance, ASecondCopyIsRefusedAndSignalsTheFirst)
{
    TempDir dir;
    SingleInstance first(dir.Path());
    ASSERT_TRUE(first.Acquire("Spindrel"));
    EXPECT_FALSE(first.PollSignal());

    // The lock is per open file, so a second process is needed to see it held.
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
    {
        SingleInstance second(dir.Path());
        const bool got = second.Acquire("Spindrel");
        if (!got)
            second.Signal("Spindrel");
        _exit(got ? 1 : 0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the second copy must not get the lock";
    EXPECT_TRUE(first.PollSignal());
    EXPECT_FALSE(first.PollSignal()) << "each signal is reported once";
}

TEST(SingleInstance, TheLockIsFreedWhenTheHolderEnds)
{
    TempDir dir;
    {
        SingleInstance first(dir.Path());
        ASSERT_TRUE(first.Acquire("Product"));
    }
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
    {
        SingleInstance again(dir.Path());
        _exit(again.Acquire("Product") ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}
