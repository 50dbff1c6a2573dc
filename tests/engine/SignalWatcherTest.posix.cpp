#include "engine/SignalWatcher.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <csignal>
#include <thread>

using clipforge::SignalWatcher;

namespace {

// Raises signal and lets the event loop take it up; how many requests the watcher counts then.
int requestsAfter(SignalWatcher& watcher, int signal, int times = 1)
{
    for (int i = 0; i < times; ++i)
        std::raise(signal);
    QCoreApplication::processEvents();
    return watcher.requests();
}

}  // namespace

// One Ctrl-C often arrives twice, as `timeout -s INT` sends it to the program and its group.
TEST(SignalWatcher, SignalsWithinASecondOfTheFirstAreOneRequestALaterOneASecond)
{
    int calls = 0;
    SignalWatcher watcher({SIGUSR1, SIGUSR2}, [&] { ++calls; });
    ASSERT_TRUE(watcher.watching());
    EXPECT_EQ(watcher.requests(), 0);
    EXPECT_EQ(requestsAfter(watcher, SIGUSR1, 2), 1);
    EXPECT_EQ(requestsAfter(watcher, SIGUSR2), 1) << "another signal soon after is the same request";
    EXPECT_EQ(watcher.firstSignal(), SIGUSR1);
    // Only a lower bound on time matters here: at least a second has passed.
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    EXPECT_EQ(requestsAfter(watcher, SIGUSR1), 2);
    EXPECT_GE(calls, 2);
}
