#include "platform/termination_signals.h"

#include <QSocketNotifier>

#include <atomic>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

volatile sig_atomic_t handedOn = 0;
int wakeUpPipe[2] = {-1, -1};
char lastWord[32] = {};
std::size_t lastWordLength = 0;
volatile sig_atomic_t lastWordSocket = -1;

// Only async-signal-safe calls in the handlers; the browser helpers leave with this process.
extern "C" void endAtOnce(int)
{
    if (const int socket = lastWordSocket; socket >= 0)
        ::send(socket, lastWord, lastWordLength, MSG_DONTWAIT | MSG_NOSIGNAL);
    ::_exit(0);
}

extern "C" void askEventLoopToEnd(int)
{
    if (!handedOn)
        endAtOnce(0);
    ::alarm(2);
    const char wakeUp = 'x';
    [[maybe_unused]] const ssize_t written = ::write(wakeUpPipe[1], &wakeUp, 1);
}

void handle(int signal, void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
}

} // namespace

void endOnTerminationSignals()
{
    handle(SIGTERM, askEventLoopToEnd);
    handle(SIGINT, askEventLoopToEnd);
}

void handTerminationSignalsTo(QObject* context, std::function<void()> end)
{
    if (::pipe2(wakeUpPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    handle(SIGALRM, endAtOnce);
    auto* notifier = new QSocketNotifier(wakeUpPipe[0], QSocketNotifier::Read, context);
    QObject::connect(notifier, &QSocketNotifier::activated, context, [end = std::move(end)] {
        char drained[16];
        while (::read(wakeUpPipe[0], drained, sizeof drained) > 0) {
        }
        end();
    });
    handedOn = 1;
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
