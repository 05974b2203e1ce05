#pragma once

#include <QString>

// The one program-wide title shown by message boxes and the About box.
inline QString applicationTitle()
{
    return QStringLiteral("Veltrase");
}

inline QString applicationVersion()
{
    return QStringLiteral(VELTRASE_VERSION);
}
