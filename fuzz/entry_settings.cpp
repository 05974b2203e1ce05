#include "browse/entry_settings.h"

#include <QDateTime>

#include <cstdint>
#include <cstdlib>

// A line of a playlist fetched from elsewhere is anyone's: whatever it holds, reading its
// settings keeps the address a piece of the line, never a setting, and hours read from it
// answer for any moment with a start that lies ahead of it.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString line = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const EntrySettings settings = readEntrySettings(line);
    if (!line.startsWith(settings.address) && !line.contains(settings.address))
        std::abort();
    if (settings.zoomPercent && (*settings.zoomPercent < 25 || *settings.zoomPercent > 500))
        std::abort();
    if ((settings.reloadSeconds && *settings.reloadSeconds < 1) || (settings.dwellSeconds && *settings.dwellSeconds < 1))
        std::abort();
    if (settings.hours) {
        const QDateTime moment(QDate(2024, 3, 4).addDays(size % 7), QTime(0, 0).addSecs(qint64(size) * 97 % 86400));
        (void)settings.hours->contains(moment);
        const QDateTime next = settings.hours->nextStart(moment);
        if (next.isValid() && next <= moment)
            std::abort();
    }
    return 0;
}
