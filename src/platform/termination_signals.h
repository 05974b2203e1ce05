#pragma once

#include <functional>

class QObject;

// SIGTERM and SIGINT end the program as closing its window does, with exit status 0.
// Kiosk and service setups stop programs this way. Until the program hands them on
// they end it at once.
void endOnTerminationSignals();

// From now on a termination signal runs `end` on this thread, from its event loop, so
// the program can put its data on disk first. Should the thread not get there within
// two seconds, the process ends anyway.
void handTerminationSignalsTo(QObject* context, std::function<void()> end);

// A datagram sent whenever a signal ends the process at once, on a socket connected
// beforehand (the service manager's word that the program is stopping); a socket of
// -1 sends nothing. The word is copied; it must be short.
void sayOnTermination(int connectedSocket, const char* word);
