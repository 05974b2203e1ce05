#pragma once

#include <QString>

// The browser engine refuses to start its sandbox for the superuser and then ends
// the whole program at the first page. Tells, before any window opens, why it
// cannot run; empty when it can.
QString reasonBrowserCannotStart();
