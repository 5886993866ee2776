#include "overview/TimerLoop.h"

#include <QElapsedTimer>
#include <QTimer>

#include <map>
#include <memory>

#include "platform/classes/Timer.h"
#include "platform/win32/Win32MessageLoop.h"

namespace torvex::overview {

namespace {

class TQtTimerLoop : public classes::TTimerLoop {
public:
    void TimerChanged(classes::TTimer& timer) override {
        auto& qt = FTimers[&timer];
        if (!timer.Enabled() || timer.Interval() == 0) {
            // A stopped timer keeps no Qt timer, so a disabled component
            // costs nothing in the event loop. It may be stopped from its own
            // tick, so it goes when that tick has returned.
            Drop(qt);
            return;
        }
        if (!qt) {
            qt = std::make_unique<QTimer>();
            QObject::connect(qt.get(), &QTimer::timeout, [this, &timer] {
                PassTime();
                timer.Tick();
            });
        }
        // The first running timer starts the count: a wait before it was
        // nobody's.
        bool running = false;
        for (const auto& [other, q] : FTimers) running |= other != &timer && q && q->isActive();
        if (!running) FSince.start();
        qt->start(int(timer.Interval()));
    }

    void TimerGone(classes::TTimer& timer) override {
        auto it = FTimers.find(&timer);
        if (it == FTimers.end()) return;
        Drop(it->second);
        FTimers.erase(it);
    }

private:
    static void Drop(std::unique_ptr<QTimer>& qt) {
        if (!qt) return;
        qt->stop();
        qt->disconnect();
        qt.release()->deleteLater();
    }

    // The time the loop spent since it last said so, told once whichever
    // timer ticks, so that two timers do not count one wait twice.
    void PassTime() {
        qint64 waited = FSince.restart();
        if (waited > 0) win32::MessageLoopWaited(win32::DWORD(waited));
    }

    QElapsedTimer FSince;
    std::map<classes::TTimer*, std::unique_ptr<QTimer>> FTimers;
};

}  // namespace

void InstallTimerLoop() {
    // Lives for the whole run: timers may be destroyed after any window.
    static TQtTimerLoop* loop = [] {
        auto* l = new TQtTimerLoop;
        classes::SetTimerLoop(l);
        return l;
    }();
    (void)loop;
}

}  // namespace torvex::overview
