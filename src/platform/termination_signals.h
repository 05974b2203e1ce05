#pragma once

// SIGTERM and SIGINT end the program as closing its window does: at once, with
// exit status 0. Kiosk and service setups stop programs this way.
void endOnTerminationSignals();
