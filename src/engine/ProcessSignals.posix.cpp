#include "engine/ProcessSignals.h"

#include <csignal>

namespace clipforge {

void ignoreVanishedReaders()
{
    ::signal(SIGPIPE, SIG_IGN);
}

bool isInterruptSignal(int signalNumber)
{
    return signalNumber == SIGINT;
}

void endAsInterrupted()
{
    ::signal(SIGINT, SIG_DFL);
    ::raise(SIGINT);
}

}  // namespace clipforge
