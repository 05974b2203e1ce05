#pragma once

// SIGTERM and SIGINT end the program as closing its window does: at once, with
// exit status 0. Kiosk and service setups stop programs this way.
void endOnTerminationSignals();

// A datagram the handler sends on the way out, on a socket connected beforehand (the
// service manager's word that the program is stopping); a socket of -1 sends nothing.
// The word is copied; it must be short.
void sayOnTermination(int connectedSocket, const char* word);
