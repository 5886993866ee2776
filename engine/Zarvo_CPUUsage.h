// The processor load meter: measures the load at a fixed interval and hands
// each value to an event. On Windows 9x it reads the kernel's own usage
// statistic; on NT it derives the load from the first processor's idle time
// between two samples.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/classes/Classes.h"
#include "platform/classes/Timer.h"

namespace torvex::engine {

using TOnIntervalEvent = std::function<void(TObject* sender, std::uint32_t value)>;

// The NT formula: the load in percent from the idle time (100-ns units)
// that passed during one interval of intervalMs, rounded half to even and
// handed on as its low 32 bits (more idle time than the interval gives a
// value below 0, which wraps).
std::uint32_t LoadFromIdleTime(std::int64_t idleDelta, std::uint32_t intervalMs);

class TCorvaneCPUUsage : public TComponent {
public:
    explicit TCorvaneCPUUsage(TComponent* owner = nullptr);
    ~TCorvaneCPUUsage() override;

    // Whether the sampling timer runs; setting it starts or stops the
    // measurement (a failed start leaves it false).
    bool Active() const;
    void SetActive(bool active);
    std::uint32_t Interval() const;
    void SetInterval(std::uint32_t milliseconds);
    TOnIntervalEvent OnInterval;

    // The sampling timer, for the message loop that drives it.
    classes::TTimer& Timer() const { return *FTimer; }

protected:
    void PublishProperties(TPublished& published) const override;

private:
    void TimerTick(TObject* sender);
    void Stop();

    std::unique_ptr<classes::TTimer> FTimer;
    bool FStarted = false;
    std::int64_t FPrevious = 0, FCurrent = 0;
};

}  // namespace torvex::engine
