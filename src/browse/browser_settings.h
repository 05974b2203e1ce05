#pragma once

#include <QString>

#include <chrono>

struct LongOptions;

// What the browser is told when the program starts, carried to the engine's plugin.
struct BrowserSettings {
    // Where the kept profile (cookies, site storage) lives; empty: a private profile
    // that writes nothing.
    QString profileFolder;
    // Every page is shown at this zoom until the user changes it.
    int zoomPercent = 100;
    // How long a page may show nothing before the screen says it is still waiting.
    std::chrono::milliseconds patience{10000};
    // The next entry is loaded and drawn underneath before its turn, and each switch
    // puts a whole page on the screen in one step.
    bool preload = false;
};

// The settings the options ask for: the kept profile under the user's data folder
// ($XDG_DATA_HOME/veltrase/profile) unless --private.
BrowserSettings browserSettingsFor(const LongOptions& options);
