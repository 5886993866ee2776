#include "platform/classes/Timer.h"

namespace torvex::classes {

namespace {
TTimerLoop* loop = nullptr;
}

void SetTimerLoop(TTimerLoop* l) { loop = l; }

TTimer::TTimer(TComponent* owner) : TComponent(owner) {}

TTimer::~TTimer() {
    if (loop) loop->TimerGone(*this);
}

void TTimer::SetInterval(std::uint32_t milliseconds) {
    interval_ = milliseconds;
    if (loop) loop->TimerChanged(*this);
}

void TTimer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    if (loop) loop->TimerChanged(*this);
}

void TTimer::Tick() {
    if (enabled_ && OnTimer) OnTimer(this);
}

}  // namespace torvex::classes
