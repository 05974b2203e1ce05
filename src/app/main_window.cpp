#include "app/main_window.h"

#include "app/form2.h"
#include "browse/web_browser.h"
#include "platform/process_end.h"
#include "platform/termination_signals.h"
#include "steer/control_api.h"
#include "steer/media_player_bus.h"

#include <QApplication>
#include <QFile>
#include <QListWidget>

#include <cstdio>
#include <memory>

namespace {

// Steering over HTTP, when the options ask for it; the reason when it cannot be had.
QString startControl(const Platform& platform, form2& window, const WindowCommands& commands,
                     std::unique_ptr<ControlServer>& server)
{
    const LongOptions& options = platform.options;
    ControlApi::Access access;
    access.loopback = isLoopbackName(options.controlAddress);
    if (!options.controlTokenFile.isEmpty()) {
        QFile file(options.controlTokenFile);
        if (!file.open(QIODevice::ReadOnly))
            return QStringLiteral("cannot read the token file %1: %2").arg(options.controlTokenFile, file.errorString());
        access.token = file.read(4096).trimmed();
        if (access.token.isEmpty())
            return QStringLiteral("the token file %1 holds no token").arg(options.controlTokenFile);
    }
    const auto entries = [&window] {
        QStringList texts;
        for (int row = 0; row < window.lstPlayList->count(); ++row)
            texts << window.lstPlayList->item(row)->text();
        return texts;
    };
    auto* api = new ControlApi(window.rotation(), *window.WebBrowser1, commands, entries, access, &window);
    server = std::make_unique<ControlServer>([api](const ControlRequest& request) { return api->handle(request); });
    const QHostAddress address(options.controlAddress == "localhost" ? QStringLiteral("127.0.0.1")
                                                                      : options.controlAddress);
    if (address.isNull() || !server->listen(address, quint16(options.controlPort)))
        return QStringLiteral("cannot steer over HTTP on %1:%2: %3")
            .arg(options.controlAddress)
            .arg(options.controlPort)
            .arg(address.isNull() ? QStringLiteral("not an address") : server->errorString());
    return {};
}

} // namespace

int runMainWindow(const Platform& platform, QtProcessEnd& processEnd)
{
    form2 window(platform);
    // However the program ends, the browser first puts a login made a moment ago on disk.
    processEnd.setBeforeEnd([browser = window.WebBrowser1] { browser->endSession(); });
    handTerminationSignalsTo(&window, [&processEnd] { processEnd.endProcess(); });
    // Whatever steers the run from elsewhere starts and stops it as the window's buttons
    // do, so its controls lock and unlock as with a click.
    const WindowCommands commands{[&window] { window.Start_Click(); }, [&window] { window.Stop_Click(); },
                                  [&window] { window.Exit_Click(); }};
    std::unique_ptr<ControlServer> control;
    if (platform.options.controlPort > 0) {
        if (const QString problem = startControl(platform, window, commands, control); !problem.isEmpty()) {
            std::fprintf(stderr, "veltrase: %s\n", qUtf8Printable(problem));
            return exitStatusUsageError;
        }
    }
    // Media keys and the desktop's media panel.
    MediaPlayerBus mediaControls(window.rotation(), *window.WebBrowser1, commands);
    mediaControls.publish();
    window.show();
    return QApplication::exec();
}
