#pragma once

#include <QStringList>
#include <QStringView>

// The entries a text typed, pasted or dropped stands for, right-trimmed. A text of one
// line is one entry, even an empty one, as Add of an empty box adds an empty entry. A text
// of several lines is one entry a line; its blank lines only set the others apart and
// give none. No entry ever holds a line end.
QStringList entriesFromText(QStringView text);
