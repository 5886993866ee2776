// The timer component: a tick every Interval milliseconds while Enabled,
// delivered by the program's message loop on the main thread.
//
// The window program installs its loop (SetTimerLoop), which is told when a
// timer starts, stops or changes its interval and calls Tick when the
// interval has passed. Without a loop (a console program) no tick comes by
// itself.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/classes/Component.h"

namespace torvex::classes {

class TTimer;

class TTimerLoop {
public:
    virtual ~TTimerLoop() = default;
    // The timer was enabled, disabled or given a new interval.
    virtual void TimerChanged(TTimer& timer) = 0;
    // The timer is being destroyed.
    virtual void TimerGone(TTimer& timer) = 0;
};
void SetTimerLoop(TTimerLoop* loop);

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* owner = nullptr);
    ~TTimer() override;

    std::uint32_t Interval() const { return interval_; }
    void SetInterval(std::uint32_t milliseconds);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    std::function<void(TObject* sender)> OnTimer;

    // One tick: calls OnTimer when the timer is enabled and has a handler.
    void Tick();

private:
    std::uint32_t interval_ = 1000;
    bool enabled_ = true;
};

}  // namespace torvex::classes
