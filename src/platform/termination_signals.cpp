#include "platform/termination_signals.h"

#include <atomic>
#include <csignal>
#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

namespace {

char lastWord[32] = {};
std::size_t lastWordLength = 0;
volatile sig_atomic_t lastWordSocket = -1;

extern "C" void endAtOnce(int)
{
    // Only async-signal-safe calls here; the browser helpers leave with this process.
    if (const int socket = lastWordSocket; socket >= 0)
        ::send(socket, lastWord, lastWordLength, MSG_DONTWAIT | MSG_NOSIGNAL);
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

void sayOnTermination(int connectedSocket, const char* word)
{
    // The handler may run between any two of these steps: the socket goes last on
    // the way in and first on the way out.
    lastWordSocket = -1;
    if (connectedSocket < 0 || !word || std::strlen(word) >= sizeof lastWord)
        return;
    lastWordLength = std::strlen(word);
    std::memcpy(lastWord, word, lastWordLength);
    std::atomic_signal_fence(std::memory_order_seq_cst);
    lastWordSocket = connectedSocket;
}
