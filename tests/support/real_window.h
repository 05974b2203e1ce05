#pragma once

#include "app/form2.h"
#include "browse/webengine/webengine_browser.h"
#include "platform/event_pump.h"
#include "support/fake_platform.h"

#include <QSignalSpy>
#include <QWebEnginePage>
#include <QWebEngineView>

// The main window on the real event pump and the real browser engine; the clock
// stays fake so the no-cache stamp is known.
struct RealWindow {
    WebEngineBrowser& browser() { return *static_cast<WebEngineBrowser*>(form.WebBrowser1); }
    QWebEnginePage& page() { return *browser().view()->page(); }

    // Starts the engine on an empty page, so its page can be watched from the start of a run.
    bool startEngine()
    {
        QSignalSpy completed(form.WebBrowser1, &WebBrowser::DocumentComplete);
        browser().Navigate(QStringLiteral("about:blank"));
        return completed.wait(20000);
    }

    FakePlatform fakes;
    QtEventPump pump;
    form2 form{Platform{pump, fakes.clock, fakes.random, fakes.messages, fakes.dialogs, fakes.processEnd,
                        [](QWidget* parent) { return new WebEngineBrowser(parent); }, QString(), QString()}};
};
