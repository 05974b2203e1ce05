#pragma once

#include <QtGlobal>

// Hands each line of text to take, without its line end. A line ends at CR LF, at a CR
// alone or at an LF alone, as text files from any desktop end their lines; the last line
// may have none. Works on bytes and on characters alike, as neither end is ever part of
// a longer UTF-8 sequence.
template <typename Text, typename Take>
void forEachLine(Text text, Take take)
{
    qsizetype lineStart = 0;
    for (qsizetype at = 0; at < text.size(); ++at) {
        const auto character = text[at];
        if (character != u'\r' && character != u'\n')
            continue;
        take(text.sliced(lineStart, at - lineStart));
        if (character == u'\r' && at + 1 < text.size() && text[at + 1] == u'\n')
            ++at;
        lineStart = at + 1;
    }
    if (lineStart < text.size())
        take(text.sliced(lineStart));
}
