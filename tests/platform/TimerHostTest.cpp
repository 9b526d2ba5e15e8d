#include "platform/TimerHost.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QObject>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

// Owners are only keys; any distinct addresses do.
const int kOwnerA = 0;
const int kOwnerB = 0;

struct Log {
    VirtualTimerHost* host = nullptr;
    std::vector<std::string> lines;
    void add(const std::string& what) { lines.push_back(what + "@" + std::to_string(host->now())); }
};

TEST(VirtualTimerHost, FiresDueTimersInTimeOrderAndArmOrderOnTies)
{
    VirtualTimerHost host;
    Log log{&host, {}};
    host.startTimer(&kOwnerA, 1, 30, [&] { log.add("A"); });
    host.startTimer(&kOwnerA, 2, 20, [&] { log.add("B"); });
    host.startTimer(&kOwnerB, 2, 20, [&] { log.add("C"); });

    host.advance(59);
    EXPECT_EQ(log.lines, (std::vector<std::string>{"B@20", "C@20", "A@30", "B@40", "C@40"}));
    EXPECT_EQ(host.now(), 59);

    log.lines.clear();
    host.advance(1);
    EXPECT_EQ(log.lines, (std::vector<std::string>{"A@60", "B@60", "C@60"}));
}

TEST(VirtualTimerHost, StartingARunningKeyRestartsItWithTheNewPeriodAndWork)
{
    VirtualTimerHost host;
    Log log{&host, {}};
    host.startTimer(&kOwnerA, 7, 100, [&] { log.add("old"); });
    host.advance(50);
    host.startTimer(&kOwnerA, 7, 30, [&] { log.add("new"); });
    EXPECT_EQ(host.timerCount(), 1u);
    host.advance(100);
    EXPECT_EQ(log.lines, (std::vector<std::string>{"new@80", "new@110", "new@140"}));
}

TEST(VirtualTimerHost, PeriodsBelowTheMinimumAreRaised)
{
    VirtualTimerHost host;
    int ticks = 0;
    host.startTimer(&kOwnerA, 1, 0, [&] { ++ticks; });
    host.advance(35);
    EXPECT_EQ(ticks, 3);
}

TEST(VirtualTimerHost, TicksMayStopOrRestartOtherTimersDueAtTheSameMoment)
{
    VirtualTimerHost host;
    Log log{&host, {}};
    // A and B fall due together; A runs first and stops B, so B never fires.
    host.startTimer(&kOwnerA, 1, 100, [&] {
        log.add("A");
        host.stopTimer(&kOwnerA, 2);
    });
    host.startTimer(&kOwnerA, 2, 100, [&] { log.add("B"); });
    // C falls due at 100 as well; A's sibling D replaces C's work before C runs.
    host.startTimer(&kOwnerB, 1, 100, [&] {
        log.add("D");
        host.startTimer(&kOwnerB, 3, 50, [&] { log.add("C-new"); });
    });
    host.startTimer(&kOwnerB, 3, 100, [&] { log.add("C-old"); });

    host.advance(200);
    EXPECT_EQ(log.lines, (std::vector<std::string>{"A@100", "D@100", "C-new@150", "A@200", "D@200"}));
    EXPECT_FALSE(host.isTimerRunning(&kOwnerA, 2));
}

TEST(VirtualTimerHost, ATickMayStopOrRestartItsOwnTimer)
{
    VirtualTimerHost host;
    Log log{&host, {}};
    int count = 0;
    host.startTimer(&kOwnerA, 1, 10, [&] {
        log.add("once");
        host.stopTimer(&kOwnerA, 1);
    });
    host.startTimer(&kOwnerA, 2, 10, [&] {
        log.add("slow");
        if (++count == 1)
            host.startTimer(&kOwnerA, 2, 40, [&] { log.add("slower"); });
    });
    host.advance(100);
    EXPECT_EQ(log.lines, (std::vector<std::string>{"once@10", "slow@10", "slower@50", "slower@90"}));
}

TEST(VirtualTimerHost, PostedWorkRunsAfterEachFiredTimerAndOnFlush)
{
    VirtualTimerHost host;
    Log log{&host, {}};
    host.startTimer(&kOwnerA, 1, 10, [&] {
        log.add("tick");
        host.post(nullptr, [&] {
            log.add("posted");
            host.post(nullptr, [&] { log.add("posted-again"); });
        });
    });
    host.startTimer(&kOwnerB, 1, 10, [&] { log.add("other"); });
    host.advance(10);
    EXPECT_EQ(log.lines, (std::vector<std::string>{"tick@10", "posted@10", "posted-again@10", "other@10"}));

    log.lines.clear();
    host.post(nullptr, [&] { log.add("queued"); });
    EXPECT_EQ(host.postedCount(), 1u);
    EXPECT_TRUE(log.lines.empty());
    EXPECT_EQ(host.flushPosted(), 1u);
    EXPECT_EQ(log.lines, (std::vector<std::string>{"queued@10"}));
}

TEST(VirtualTimerHost, WorkForADestroyedGuardIsDropped)
{
    VirtualTimerHost host;
    int runs = 0;
    auto* guard = new QObject;
    host.post(guard, [&] { ++runs; });
    delete guard;
    host.post(nullptr, [&] { ++runs; });
    host.flushPosted();
    EXPECT_EQ(runs, 1);
}

TEST(VirtualTimerHost, WorkThatKeepsPostingItselfDoesNotHangAFlush)
{
    VirtualTimerHost host;
    std::function<void()> again = [&] { host.post(nullptr, again); };
    host.post(nullptr, again);
    EXPECT_EQ(host.flushPosted(), VirtualTimerHost::kFlushLimit);
    EXPECT_EQ(host.postedCount(), 1u);
}

TEST(VirtualTimerHost, StopTimersEndsOnlyThatOwnersTimers)
{
    VirtualTimerHost host;
    int a = 0;
    int b = 0;
    host.startTimer(&kOwnerA, 5, 10, [&] { ++a; });
    host.startTimer(&kOwnerA, 6, 10, [&] { ++a; });
    host.startTimer(&kOwnerB, 5, 10, [&] { ++b; });
    host.stopTimers(&kOwnerA);
    host.advance(30);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 3);
}

TEST(TimerHostSelection, ScopedHostIsCurrentOnlyWhileItLives)
{
    TimerHost& before = GetTimerHost();
    {
        VirtualTimerHost host;
        ScopedTimerHost scope(host);
        EXPECT_EQ(&GetTimerHost(), &host);
    }
    EXPECT_EQ(&GetTimerHost(), &before);
}

TEST(LiveTimerHost, RunsTimersAndPostedWorkFromTheEventLoop)
{
    LiveTimerHost host;
    QEventLoop loop;
    int ticks = 0;
    bool posted = false;
    host.startTimer(&kOwnerA, 1, 10, [&] {
        if (++ticks == 3) {
            host.stopTimer(&kOwnerA, 1);
            host.post(nullptr, [&] {
                posted = true;
                loop.quit();
            });
        }
    });
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(ticks, 3);
    EXPECT_TRUE(posted);
    EXPECT_FALSE(host.isTimerRunning(&kOwnerA, 1));
}

TEST(VirtualTimerHost, RunsWaitAsEachStepSaysAndEndWhenAStepSaysSo)
{
    VirtualTimerHost host;
    std::vector<std::int64_t> at;
    host.startRun(&kOwnerA, 1, 300, [&]() -> std::optional<unsigned> {
        at.push_back(host.now());
        return at.size() < 3 ? std::optional<unsigned>(40u * static_cast<unsigned>(at.size())) : std::nullopt;
    });
    host.startTimer(&kOwnerA, 1, 1000, [] {});
    host.advance(2000);
    EXPECT_EQ(at, (std::vector<std::int64_t>{300, 340, 420}));
    EXPECT_TRUE(host.isTimerRunning(&kOwnerA, 1)) << "a run and a timer of one key are apart";
    EXPECT_FALSE(host.stopRun(&kOwnerA, 1)) << "the run ended by itself";
}

TEST(LiveTimerHost, PacesARunOnItsOwnThreadAndStepsOnThisOne)
{
    LiveTimerHost host;
    QEventLoop loop;
    const auto ui = std::this_thread::get_id();
    int steps = 0;
    bool onUi = true;
    host.startRun(&kOwnerA, 1, 5, [&]() -> std::optional<unsigned> {
        onUi = onUi && std::this_thread::get_id() == ui;
        if (++steps == 3) {
            // A step that stops its own run ends it at once, without waiting for itself.
            EXPECT_TRUE(host.stopRun(&kOwnerA, 1));
            host.startRun(&kOwnerB, 1, 5, [&]() -> std::optional<unsigned> {
                loop.quit();
                return std::nullopt;
            });
        }
        return 5u;
    });
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(steps, 3);
    EXPECT_TRUE(onUi);
    EXPECT_FALSE(host.stopRun(&kOwnerB, 1)) << "ended by its step";
    // A run still waiting when the host goes is ended with it.
    host.startRun(&kOwnerA, 2, 100000, [] { return std::optional<unsigned>(1u); });
}

} // namespace
