#pragma once

#include <QString>
#include <QUrl>

// Turns an entry into a URL the way an address bar does: "example.com" becomes an
// http address, and a local path (absolute, or relative to workingFolder) becomes a
// file URL that keeps any "?query" and "#fragment" written after it, so the
// no-cache stamp works on local pages too.
QUrl urlFromUserText(const QString& text, const QString& workingFolder);

// Whether the engine would take the entry for a script to run in the page on screen
// (a "javascript:" address), however its scheme is written.
bool isScriptText(const QString& text);
