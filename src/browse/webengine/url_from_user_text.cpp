#include "browse/webengine/url_from_user_text.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

bool looksLikeLocalPath(const QString& path, const QString& workingFolder)
{
    if (path.startsWith(QLatin1Char('/')) || path.startsWith(QLatin1String("./"))
        || path.startsWith(QLatin1String("../")) || path.startsWith(QLatin1String("~/")))
        return true;
    return !path.isEmpty() && QFileInfo(QDir(workingFolder), path).isFile();
}

} // namespace

QUrl urlFromUserText(const QString& text, const QString& workingFolder)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return QUrl(QStringLiteral("about:blank"));

    const qsizetype suffixStart = trimmed.indexOf(QRegularExpression(QStringLiteral("[?#]")));
    QString path = suffixStart < 0 ? trimmed : trimmed.left(suffixStart);
    if (looksLikeLocalPath(path, workingFolder)) {
        if (path.startsWith(QLatin1String("~/")))
            path = QDir::homePath() + path.mid(1);
        QUrl url = QUrl::fromLocalFile(QFileInfo(QDir(workingFolder), path).absoluteFilePath());
        if (suffixStart >= 0) {
            const QString suffix = trimmed.mid(suffixStart);
            const qsizetype hash = suffix.indexOf(QLatin1Char('#'));
            const QString query = hash < 0 ? suffix : suffix.left(hash);
            if (query.startsWith(QLatin1Char('?')))
                url.setQuery(query.mid(1));
            if (hash >= 0)
                url.setFragment(suffix.mid(hash + 1));
        }
        return url;
    }
    return QUrl::fromUserInput(trimmed, workingFolder);
}

bool isScriptText(const QString& text)
{
    // The engine skips blanks and control characters before an address and drops tabs
    // and line ends inside it, so " JavaScript:" and "java\tscript:" run as scripts too.
    QString squeezed;
    for (const QChar c : text)
        if (c.unicode() > u' ')
            squeezed += c;
    return squeezed.startsWith(QLatin1String("javascript:"), Qt::CaseInsensitive);
}
