#pragma once

// All time in the client flows through one timer host. Window timers, seat clocks, animation runs
// and the replay tick start their timers here, and window messages are posted through it, so that
// a test can swap the wall clock for a virtual one and run a whole game in milliseconds:
//
//   LiveTimerHost     Qt timers and Qt's event queue; the clock is the wall clock.
//   VirtualTimerHost  time moves only when a test calls advance(ms). Due timers fire in time
//                     order; posted work is delivered after every fired timer and whenever the
//                     test calls flushPosted(). Nothing happens behind the test's back.
//
// A timer is keyed by (owner, id): equal ids of different owners are independent, and starting a
// key that runs restarts it with the new period and the new work. Timers repeat until stopped.
// Everything here runs on the user-interface thread.

#include <QElapsedTimer>
#include <QPointer>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <utility>

class QObject;
class QTimer;

class TimerHost {
public:
    using Work = std::function<void()>;

    // Windows never fires a window timer faster than this; periods below it are raised to it.
    static constexpr unsigned kMinimumPeriodMs = 10;

    virtual ~TimerHost() = default;

    // Starts, or restarts, the repeating timer (owner, id). The first tick comes one period from now.
    virtual void startTimer(const void* owner, std::uintptr_t id, unsigned periodMs, Work tick) = 0;
    // True when the timer was running. A timer stopped inside a tick of another timer never fires again.
    virtual bool stopTimer(const void* owner, std::uintptr_t id) = 0;
    virtual void stopTimers(const void* owner) = 0;
    virtual bool isTimerRunning(const void* owner, std::uintptr_t id) const = 0;

    // Runs `work` later on this thread, after the current event, in posting order. When `guard`
    // is given and has been destroyed by then, the work is dropped.
    virtual void post(QObject* guard, Work work) = 0;

    // Milliseconds since the host was made.
    virtual std::int64_t now() const = 0;

    // A paced run (an animation): `step` runs on this thread `firstDelayMs` from now and then
    // again after each wait it returns, until it returns nothing or the run is stopped. Runs are
    // keyed like timers but apart from them; starting a key that runs replaces its run.
    using Step = std::function<std::optional<unsigned>()>;
    virtual void startRun(const void* owner, std::uintptr_t id, unsigned firstDelayMs, Step step) = 0;
    // True when the run was going; its step never runs again, even when called from inside it.
    virtual bool stopRun(const void* owner, std::uintptr_t id) = 0;
};

// The process-wide host. The application or a test chooses it before creating windows; passing
// null restores the built-in LiveTimerHost. The host must outlive its time as the current one.
TimerHost& GetTimerHost();
void SetTimerHost(TimerHost* host);

// Makes `host` current for the lifetime of this object, then restores the previous one.
class ScopedTimerHost {
public:
    explicit ScopedTimerHost(TimerHost& host);
    ~ScopedTimerHost();
    ScopedTimerHost(const ScopedTimerHost&) = delete;
    ScopedTimerHost& operator=(const ScopedTimerHost&) = delete;

private:
    TimerHost* m_previous;
};

class LiveTimerHost final : public TimerHost {
public:
    LiveTimerHost();
    ~LiveTimerHost() override;

    void startTimer(const void* owner, std::uintptr_t id, unsigned periodMs, Work tick) override;
    bool stopTimer(const void* owner, std::uintptr_t id) override;
    void stopTimers(const void* owner) override;
    bool isTimerRunning(const void* owner, std::uintptr_t id) const override;
    void post(QObject* guard, Work work) override;
    std::int64_t now() const override;
    // Each run waits on a thread of its own, which only keeps time: every step is handed to this
    // thread, and the run thread waits for its answer before the next wait. So a frame is never
    // drawn off this thread, and a run's pace does not depend on how busy the event loop's
    // timers are.
    void startRun(const void* owner, std::uintptr_t id, unsigned firstDelayMs, Step step) override;
    bool stopRun(const void* owner, std::uintptr_t id) override;

private:
    using Key = std::pair<const void*, std::uintptr_t>;
    struct Entry {
        QTimer* timer = nullptr;
        std::shared_ptr<Work> tick;
    };
    struct Run;
    void retire(Entry& entry);
    void runStep(const Key& key, const std::shared_ptr<Run>& run);
    static void endRun(const std::shared_ptr<Run>& run);

    std::map<Key, Entry> m_timers;
    std::map<Key, std::shared_ptr<Run>> m_runs;
    QElapsedTimer m_clock;
    QObject* m_dispatcher = nullptr;
};

class VirtualTimerHost final : public TimerHost {
public:
    VirtualTimerHost();
    ~VirtualTimerHost() override;

    void startTimer(const void* owner, std::uintptr_t id, unsigned periodMs, Work tick) override;
    bool stopTimer(const void* owner, std::uintptr_t id) override;
    void stopTimers(const void* owner) override;
    bool isTimerRunning(const void* owner, std::uintptr_t id) const override;
    void post(QObject* guard, Work work) override;
    std::int64_t now() const override { return m_now; }
    // Runs step on the virtual clock like timers whose period each step chooses.
    void startRun(const void* owner, std::uintptr_t id, unsigned firstDelayMs, Step step) override;
    bool stopRun(const void* owner, std::uintptr_t id) override;

    // Moves the clock forward by `ms`, firing every timer that falls due on the way at its own
    // time. Timers due at the same moment fire in the order they were armed. Posted work is
    // delivered before the first timer, after each fired timer and at the end. Calling it from
    // inside a tick does nothing (the outer call is still moving the clock).
    void advance(std::int64_t ms);

    // Delivers posted work until none is left, including work posted while delivering. Returns
    // how many items ran. Gives up after kFlushLimit items, leaving the rest queued, so that work
    // which always posts itself again cannot hang a test.
    std::size_t flushPosted();
    static constexpr std::size_t kFlushLimit = 100000;

    std::size_t postedCount() const { return m_posted.size(); }
    std::size_t timerCount() const { return m_timers.size(); }

private:
    using Key = std::pair<const void*, std::uintptr_t>;
    struct Entry {
        std::int64_t due = 0;
        std::uint64_t order = 0;
        unsigned period = 0;
        std::shared_ptr<Work> tick;
    };
    struct Posted {
        QPointer<QObject> guard;
        bool guarded = false;
        Work work;
    };

    // Runs live among the timers under keys of their own (the owner's address plus one), so that
    // one clock orders both.
    static Key runKey(const void* owner, std::uintptr_t id) { return Key{static_cast<const char*>(owner) + 1, id}; }

    std::map<Key, Entry> m_timers;
    std::deque<Posted> m_posted;
    std::int64_t m_now = 0;
    std::uint64_t m_nextOrder = 0;
    bool m_advancing = false;
};
