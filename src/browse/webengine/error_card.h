#pragma once

#include <QColor>
#include <QString>
#include <QWebEngineLoadingInfo>

class QDateTime;

// The card the screen shows when a page cannot be shown, in place of the engine's own
// error page: large and plain, to be read from across a room.

// The cards' background: also the screen's before the first page is drawn.
inline const QColor kCardBackground{0x20, 0x26, 0x2e};

// Why a load failed, in the words of someone looking at the screen.
QString reasonInWords(QWebEngineLoadingInfo::ErrorDomain domain, int code, const QString& engineText);

// A card with this headline, about this subject (an address, a path), in these lines.
QString cardHtml(const QString& headline, const QString& subject, const QStringList& lines);

// The card for an address that failed, for the reason given, at that moment.
QString failureCardHtml(const QString& address, const QString& reason, const QDateTime& attempted);
// The card for an address that has shown nothing since that moment.
QString waitingCardHtml(const QString& address, const QDateTime& since);
