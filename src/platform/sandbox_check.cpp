#include "platform/sandbox_check.h"

#include <QtGlobal>

#include <unistd.h>

QString reasonBrowserCannotStart()
{
    if (::geteuid() != 0 || qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        return {};
    return QStringLiteral("veltrase: the browser's sandbox cannot run as root. Run Veltrase as an ordinary user, "
                          "or set QTWEBENGINE_DISABLE_SANDBOX=1 to run it without the sandbox.\n");
}
