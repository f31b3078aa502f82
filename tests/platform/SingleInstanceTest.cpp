#include "framework/platform/SingleInstance.h"
#include "support/TempDir.h"

#include <functional>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Quillo;

namespace
{

// The exit code of a second process running `body` (the lock is per open
// file, so only another process sees it held); -1 where it did not exit.
int InAnotherProcess(const std::function<bool()>& body)
{
    const pid_t child = fork();
    if (child == 0)
        _exit(body() ? 0 : 1);
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

} // namespace

TEST(SingleInstance, ASecondCopyIsRefusedAndSignalsTheFirst)
{
    TempDir dir;
    SingleInstance first(dir.Path());
    ASSERT_TRUE(first.Acquire("Spindrel"));
    EXPECT_FALSE(first.PollSignal());
    EXPECT_EQ(InAnotherProcess([&] {
                  SingleInstance second(dir.Path());
                  if (second.Acquire("Spindrel"))
                      return false;
                  second.Signal("Spindrel");
                  return true;
              }),
              0)
        << "the second copy must not get the lock";
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
    EXPECT_EQ(InAnotherProcess([&] { return SingleInstance(dir.Path()).Acquire("Product"); }), 0);
}
