#include "app/command_line.h"

#include <cstdint>
#include <cstdlib>

namespace {

// A value runs to the next " /" and is trimmed of spaces: it never holds " /", never
// begins or ends with a space, and is always a piece of the text it came from.
void checkValue(const QString& value, const QString& text)
{
    if (value.contains(QLatin1String(" /")) || value.startsWith(u' ') || value.endsWith(u' '))
        std::abort();
    if (!text.contains(value))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const CommandLineOptions options = parseCommandLine(text);
    checkValue(options.file, text);
    checkValue(options.random, text);
    checkValue(options.interval, text);

    // Any position, the ends and beyond them included, reads a value or nothing.
    const QString working = text + QLatin1String(" /x=");
    const qsizetype chosen = size > 0 ? data[0] % (working.size() + 4) : 0;
    for (const qsizetype position :
         {qsizetype(-1), qsizetype(0), chosen, working.size() - 1, working.size(), working.size() + 3})
        checkValue(readOption(working, position), working);
    return 0;
}
