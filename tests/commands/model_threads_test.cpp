#include "commands/model_threads.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <pthread.h>

#include <csignal>
#endif

namespace veltrin {
namespace {

#ifndef _WIN32
// Ctrl-C and the request to end must reach the thread that runs the command, which holds them off while it rewrites
// a listing in place; the thread that runs this test does not block them, as the window's does not.
TEST(ModelThreadsTest, DerivingThreadsHoldOffTheRequestsToEnd) {
    ModelThreads threads(2, [](std::size_t /*model*/, ConversionHost& /*host*/) {
        sigset_t blocked{};
        ::pthread_sigmask(SIG_BLOCK, nullptr, &blocked);
        return sigismember(&blocked, SIGINT) == 1 && sigismember(&blocked, SIGTERM) == 1;
    });
    ConversionHost view;
    EXPECT_TRUE(threads.Finish(0, view));
    EXPECT_TRUE(threads.Finish(1, view));
    sigset_t blockedHere{};
    ::pthread_sigmask(SIG_BLOCK, nullptr, &blockedHere);
    EXPECT_EQ(sigismember(&blockedHere, SIGINT), 0);
}
#endif

}  // namespace
}  // namespace veltrin
