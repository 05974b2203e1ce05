#include "playlist/listed_pages.h"

#include <QRegularExpression>

std::optional<QString> pageListedAt(const QUrl& listAddress, const QString& entry)
{
    const QString link = entry.trimmed();
    if (link.isEmpty())
        return QString();
    // A browser would read a backslash as a slash; here it can only be a Windows path,
    // and a leading ~ a home folder, which the browser would open from this machine.
    const QString beforeQuery = link.section(QRegularExpression(QStringLiteral("[?#]")), 0, 0);
    if (beforeQuery.contains(u'\\') || link.startsWith(u'~'))
        return std::nullopt;
    const QUrl url(link);
    if (!url.isValid())
        return std::nullopt;
    const QUrl page = listAddress.resolved(url);
    if ((page.scheme() != u"http" && page.scheme() != u"https") || page.host().isEmpty() || !page.isValid())
        return std::nullopt;
    // Absolute, so the browser never takes it for a file in its working folder.
    return page.toString(QUrl::PrettyDecoded | QUrl::EncodeSpaces);
}

ListedPages pagesListedAt(const QUrl& listAddress, const QStringList& entries)
{
    ListedPages listed;
    for (const QString& entry : entries) {
        if (std::optional<QString> page = pageListedAt(listAddress, entry))
            listed.pages << *std::move(page);
        else
            listed.leftOut << entry;
    }
    return listed;
}
