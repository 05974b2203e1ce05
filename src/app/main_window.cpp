#include "app/main_window.h"

#include "app/form2.h"
#include "browse/web_browser.h"
#include "platform/process_end.h"
#include "platform/termination_signals.h"
#include "steer/media_player_bus.h"

#include <QApplication>

int runMainWindow(const Platform& platform, QtProcessEnd& processEnd)
{
    form2 window(platform);
    // However the program ends, the browser first puts a login made a moment ago on disk.
    processEnd.setBeforeEnd([browser = window.WebBrowser1] { browser->endSession(); });
    handTerminationSignalsTo(&window, [&processEnd] { processEnd.endProcess(); });
    // Media keys and the desktop's media panel steer the run; the stop and start they ask
    // for are the window's, so its controls lock and unlock as with a click.
    MediaPlayerBus mediaControls(window.rotation(), *window.WebBrowser1,
                                 {[&window] { window.Start_Click(); }, [&window] { window.Stop_Click(); },
                                  [&window] { window.Exit_Click(); }});
    mediaControls.publish();
    window.show();
    return QApplication::exec();
}
