#include "engine/ProcessTimer.h"

namespace clipforge {

void ProcessTimerCounts::reset()
{
    SinceBeginning.store(0);
    SinceLastOutput.store(0);
}

void ProcessTimerCounts::tick()
{
    SinceBeginning.fetch_add(1);
    SinceLastOutput.fetch_add(1);
}

}  // namespace clipforge

TProcessTimer::TProcessTimer(QObject* parent) : QTimer(parent)
{
    connect(this, &QTimer::timeout, this, [counts = counts_] { counts->tick(); });
}

void TProcessTimer::Beginning()
{
    counts_->reset();
    start(1000);
}

void TProcessTimer::Ending() { stop(); }
