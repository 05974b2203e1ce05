#include "platform/termination_signals.h"

#include <csignal>
#include <unistd.h>

namespace {

extern "C" void endAtOnce(int)
{
    // Only async-signal-safe calls here; the browser helpers leave with this process.
    ::_exit(0);
}

} // namespace

void endOnTerminationSignals()
{
    struct sigaction action = {};
    action.sa_handler = endAtOnce;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}
