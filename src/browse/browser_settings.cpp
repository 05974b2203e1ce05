#include "browse/browser_settings.h"

#include "app/long_options.h"

#include <QStandardPaths>

BrowserSettings browserSettingsFor(const LongOptions& options)
{
    BrowserSettings settings;
    settings.zoomPercent = options.zoomPercent;
    settings.preload = options.preload;
    if (!options.privateProfile) {
        const QString dataFolder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        if (!dataFolder.isEmpty())
            settings.profileFolder = dataFolder + QStringLiteral("/veltrase/profile");
    }
    return settings;
}
