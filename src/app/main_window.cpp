#include "app/main_window.h"

#include "app/form2.h"
#include "browse/web_browser.h"
#include "platform/process_end.h"
#include "platform/termination_signals.h"

#include <QApplication>

int runMainWindow(const Platform& platform, QtProcessEnd& processEnd)
{
    form2 window(platform);
    // However the program ends, the browser first puts a login made a moment ago on disk.
    processEnd.setBeforeEnd([browser = window.WebBrowser1] { browser->endSession(); });
    handTerminationSignalsTo(&window, [&processEnd] { processEnd.endProcess(); });
    window.show();
    return QApplication::exec();
}
