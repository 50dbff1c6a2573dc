#pragma once

#include <QTimer>

#include <atomic>
#include <cstdint>
#include <memory>

namespace clipforge {

// Seconds since a run began and since its last output. The timer on the main
// thread writes them; a worker reads them, possibly after the timer is gone,
// so they live in a block of their own.
struct ProcessTimerCounts {
    std::atomic<std::int32_t> SinceBeginning{0};
    std::atomic<std::int32_t> SinceLastOutput{0};

    void reset();
    void tick();
    void newOutput() { SinceLastOutput.store(0, std::memory_order_relaxed); }
};

}  // namespace clipforge

// Counts whole seconds for the runner's two time-outs. Lives on the main
// thread; created disabled.
class TProcessTimer : public QTimer {
public:
    explicit TProcessTimer(QObject* parent = nullptr);

    void Beginning();
    void Ending();

    std::int32_t SinceBeginning() const { return counts_->SinceBeginning.load(); }
    std::int32_t SinceLastOutput() const { return counts_->SinceLastOutput.load(); }

    std::shared_ptr<clipforge::ProcessTimerCounts> counts() const { return counts_; }

private:
    std::shared_ptr<clipforge::ProcessTimerCounts> counts_ = std::make_shared<clipforge::ProcessTimerCounts>();
};
