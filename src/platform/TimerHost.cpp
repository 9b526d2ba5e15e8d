#include "platform/TimerHost.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QtGlobal>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace {

TimerHost* g_currentHost = nullptr;

LiveTimerHost& BuiltinHost()
{
    static LiveTimerHost host;
    return host;
}

unsigned ClampPeriod(unsigned periodMs) { return std::max(periodMs, TimerHost::kMinimumPeriodMs); }

const QEvent::Type kPostedWorkEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

class PostedWorkEvent : public QEvent {
public:
    PostedWorkEvent(QObject* guard, TimerHost::Work work)
        : QEvent(kPostedWorkEvent), m_guard(guard), m_guarded(guard != nullptr), m_work(std::move(work)) {}
    void run()
    {
        if (m_guarded && !m_guard)
            return;
        if (m_work)
            m_work();
    }

private:
    QPointer<QObject> m_guard;
    bool m_guarded;
    TimerHost::Work m_work;
};

// One receiver for all posted work keeps the work in posting order across windows.
class Dispatcher : public QObject {
public:
    bool event(QEvent* e) override
    {
        if (e->type() == kPostedWorkEvent) {
            static_cast<PostedWorkEvent*>(e)->run();
            return true;
        }
        return QObject::event(e);
    }
};

} // namespace

TimerHost& GetTimerHost() { return g_currentHost ? *g_currentHost : BuiltinHost(); }

void SetTimerHost(TimerHost* host) { g_currentHost = host; }

ScopedTimerHost::ScopedTimerHost(TimerHost& host) : m_previous(g_currentHost) { g_currentHost = &host; }

ScopedTimerHost::~ScopedTimerHost() { g_currentHost = m_previous; }

// ---- LiveTimerHost ---------------------------------------------------------------------------

LiveTimerHost::LiveTimerHost() : m_dispatcher(new Dispatcher) { m_clock.start(); }

struct LiveTimerHost::Run {
    std::mutex mutex;
    std::condition_variable wake;
    bool stop = false;
    bool stepDone = false;
    std::optional<unsigned> next;
    std::shared_ptr<Step> step;
    std::thread thread;
};

LiveTimerHost::~LiveTimerHost()
{
    for (auto& [key, run] : m_runs)
        endRun(run);
    for (auto& [key, entry] : m_timers)
        delete entry.timer;
    delete m_dispatcher;
}

void LiveTimerHost::retire(Entry& entry)
{
    // The timer may be the one whose tick is running right now, so it is only stopped here and
    // deleted once control is back in the event loop.
    entry.timer->stop();
    entry.timer->deleteLater();
    entry.timer = nullptr;
}

void LiveTimerHost::startTimer(const void* owner, std::uintptr_t id, unsigned periodMs, Work tick)
{
    const Key key{owner, id};
    if (auto it = m_timers.find(key); it != m_timers.end()) {
        retire(it->second);
        m_timers.erase(it);
    }
    auto work = std::make_shared<Work>(std::move(tick));
    auto* timer = new QTimer;
    timer->setTimerType(Qt::PreciseTimer);
    timer->setInterval(static_cast<int>(ClampPeriod(periodMs)));
    // Each QTimer carries its own work, so a tick can only ever run the work it was started with.
    QObject::connect(timer, &QTimer::timeout, [work] {
        auto keep = work;
        if (*keep)
            (*keep)();
    });
    m_timers[key] = Entry{timer, work};
    timer->start();
}

bool LiveTimerHost::stopTimer(const void* owner, std::uintptr_t id)
{
    auto it = m_timers.find(Key{owner, id});
    if (it == m_timers.end())
        return false;
    retire(it->second);
    m_timers.erase(it);
    return true;
}

void LiveTimerHost::stopTimers(const void* owner)
{
    auto it = m_timers.lower_bound(Key{owner, 0});
    while (it != m_timers.end() && it->first.first == owner) {
        retire(it->second);
        it = m_timers.erase(it);
    }
}

bool LiveTimerHost::isTimerRunning(const void* owner, std::uintptr_t id) const { return m_timers.count(Key{owner, id}) != 0; }

void LiveTimerHost::post(QObject* guard, Work work)
{
    QCoreApplication::postEvent(m_dispatcher, new PostedWorkEvent(guard, std::move(work)));
}

std::int64_t LiveTimerHost::now() const { return m_clock.elapsed(); }

void LiveTimerHost::startRun(const void* owner, std::uintptr_t id, unsigned firstDelayMs, Step step)
{
    const Key key{owner, id};
    stopRun(owner, id);
    auto run = std::make_shared<Run>();
    run->step = std::make_shared<Step>(std::move(step));
    m_runs[key] = run;
    // The thread holds the run's state but never the host's maps: those belong to this thread.
    run->thread = std::thread([this, key, run, firstDelayMs] {
        std::unique_lock lock(run->mutex);
        unsigned wait = firstDelayMs;
        for (;;) {
            if (run->wake.wait_for(lock, std::chrono::milliseconds(wait), [&] { return run->stop; }))
                return;
            run->stepDone = false;
            QCoreApplication::postEvent(m_dispatcher, new PostedWorkEvent(nullptr, [this, key, run] { runStep(key, run); }));
            run->wake.wait(lock, [&] { return run->stop || run->stepDone; });
            if (run->stop || !run->next)
                return;
            wait = *run->next;
        }
    });
}

void LiveTimerHost::runStep(const Key& key, const std::shared_ptr<Run>& run)
{
    {
        const std::lock_guard lock(run->mutex);
        if (run->stop)
            return;
    }
    // The step may stop or replace its own run; the copy keeps it alive meanwhile.
    const auto step = run->step;
    const std::optional<unsigned> next = (*step)();
    {
        const std::lock_guard lock(run->mutex);
        if (run->stop)
            return;
        run->next = next;
        run->stepDone = true;
    }
    run->wake.notify_all();
    if (!next) {
        if (auto it = m_runs.find(key); it != m_runs.end() && it->second == run)
            m_runs.erase(it);
        endRun(run);
    }
}

void LiveTimerHost::endRun(const std::shared_ptr<Run>& run)
{
    {
        const std::lock_guard lock(run->mutex);
        run->stop = true;
    }
    run->wake.notify_all();
    // The thread only ever waits on the run's own lock, which is free now: the join is short.
    if (run->thread.joinable())
        run->thread.join();
}

bool LiveTimerHost::stopRun(const void* owner, std::uintptr_t id)
{
    auto it = m_runs.find(Key{owner, id});
    if (it == m_runs.end())
        return false;
    const auto run = it->second;
    m_runs.erase(it);
    endRun(run);
    return true;
}

// ---- VirtualTimerHost ------------------------------------------------------------------------

VirtualTimerHost::VirtualTimerHost() = default;
VirtualTimerHost::~VirtualTimerHost() = default;

void VirtualTimerHost::startTimer(const void* owner, std::uintptr_t id, unsigned periodMs, Work tick)
{
    const unsigned period = ClampPeriod(periodMs);
    m_timers[Key{owner, id}] = Entry{m_now + period, m_nextOrder++, period, std::make_shared<Work>(std::move(tick))};
}

bool VirtualTimerHost::stopTimer(const void* owner, std::uintptr_t id) { return m_timers.erase(Key{owner, id}) != 0; }

void VirtualTimerHost::stopTimers(const void* owner)
{
    auto it = m_timers.lower_bound(Key{owner, 0});
    while (it != m_timers.end() && it->first.first == owner)
        it = m_timers.erase(it);
}

bool VirtualTimerHost::isTimerRunning(const void* owner, std::uintptr_t id) const { return m_timers.count(Key{owner, id}) != 0; }

void VirtualTimerHost::post(QObject* guard, Work work) { m_posted.push_back(Posted{QPointer<QObject>(guard), guard != nullptr, std::move(work)}); }

void VirtualTimerHost::startRun(const void* owner, std::uintptr_t id, unsigned firstDelayMs, Step step)
{
    const Key key = runKey(owner, id);
    auto shared = std::make_shared<Step>(std::move(step));
    auto tick = std::make_shared<Work>();
    *tick = [this, key, shared, self = std::weak_ptr<Work>(tick)] {
        const auto keep = shared;
        const std::optional<unsigned> next = (*keep)();
        // The step may have stopped or replaced its own run.
        auto it = m_timers.find(key);
        if (it == m_timers.end() || it->second.tick != self.lock())
            return;
        if (!next) {
            m_timers.erase(it);
            return;
        }
        it->second.period = ClampPeriod(*next);
        it->second.due = m_now + it->second.period;
    };
    const unsigned first = ClampPeriod(firstDelayMs);
    m_timers[key] = Entry{m_now + first, m_nextOrder++, first, std::move(tick)};
}

bool VirtualTimerHost::stopRun(const void* owner, std::uintptr_t id) { return m_timers.erase(runKey(owner, id)) != 0; }

std::size_t VirtualTimerHost::flushPosted()
{
    std::size_t ran = 0;
    while (!m_posted.empty()) {
        if (ran == kFlushLimit) {
            qWarning("VirtualTimerHost: posted work keeps posting more; %zu items left queued", m_posted.size());
            break;
        }
        Posted item = std::move(m_posted.front());
        m_posted.pop_front();
        ++ran;
        if (item.guarded && !item.guard)
            continue;
        if (item.work)
            item.work();
    }
    return ran;
}

void VirtualTimerHost::advance(std::int64_t ms)
{
    if (m_advancing || ms < 0)
        return;
    m_advancing = true;
    const std::int64_t target = m_now + ms;
    flushPosted();
    for (;;) {
        // The next timer is looked up afresh every time, because the tick before may have
        // stopped, restarted or started any timer.
        auto next = m_timers.end();
        for (auto it = m_timers.begin(); it != m_timers.end(); ++it) {
            if (it->second.due > target)
                continue;
            if (next == m_timers.end() || it->second.due < next->second.due
                || (it->second.due == next->second.due && it->second.order < next->second.order))
                next = it;
        }
        if (next == m_timers.end())
            break;
        m_now = next->second.due;
        // Re-armed before the tick runs, so that a tick which restarts or stops its own timer
        // has the last word.
        next->second.due = m_now + next->second.period;
        next->second.order = m_nextOrder++;
        auto work = next->second.tick;
        if (*work)
            (*work)();
        flushPosted();
    }
    m_now = target;
    flushPosted();
    m_advancing = false;
}
