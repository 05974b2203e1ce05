#pragma once

#include <QDir>
#include <QFile>
#include <QMultiHash>

// "pid (name) state ppid ...", read after the name's ")" since a name may hold spaces.
inline QList<QByteArray> processStat(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return {};
    const QByteArray line = stat.readAll();
    return line.mid(line.lastIndexOf(')') + 2).split(' ');
}

// The processes started, directly or not, by the given one, read from /proc.
inline QList<qint64> descendantProcesses(qint64 pid)
{
    QMultiHash<qint64, qint64> children;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        if (const qint64 child = entry.toLongLong(); child > 0)
            children.insert(processStat(child).value(1).toLongLong(), child);
    QList<qint64> result;
    for (QList<qint64> pending{pid}; !pending.isEmpty();)
        for (qint64 child : children.values(pending.takeFirst()))
            result << child, pending << child;
    return result;
}

// A zombie has ended; only its parent has not collected it yet.
inline bool processIsAlive(qint64 pid)
{
    const QByteArray state = processStat(pid).value(0);
    return !state.isEmpty() && state != "Z";
}
