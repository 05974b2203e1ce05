#pragma once

#include "app/long_options.h"

#include <QString>

#include <functional>

class Clock;
class DisplayPower;
class EventPump;
class FileDialogs;
class MessageBoxes;
class ProcessEnd;
class QWidget;
class RandomSource;
class ScreenKeeper;
class ServiceNotifier;
class WebBrowser;

// Everything the main window asks of the outside world. The program wires the real
// services in main(); tests wire fakes.
struct Platform {
    EventPump& pump;
    Clock& clock;
    RandomSource& random;
    MessageBoxes& messages;
    FileDialogs& dialogs;
    ProcessEnd& processEnd;
    std::function<WebBrowser*(QWidget* parent)> makeBrowser;
    QString commandLine;
    QString programFolder;
    // The GNU-style options, read before the old grammar.
    LongOptions options = {};
    // The service manager that started the program, if any: told of readiness and
    // of the page shown.
    ServiceNotifier* service = nullptr;
    // Keeps the screen awake while a run shows pages, when the options ask for it.
    ScreenKeeper* screenKeeper = nullptr;
    // Powers the display down outside the screen's hours, when the options give hours.
    DisplayPower* displayPower = nullptr;
};
