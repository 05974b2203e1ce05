#include "support/process_tree.h"

#include <QDir>
#include <QFile>
#include <QMultiHash>

#include <csignal>

namespace {

qint64 parentOf(const QString& pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    // "pid (name) state ppid ...": the name may hold spaces, so read after its ")".
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() : -1;
}

} // namespace

QList<qint64> descendantProcesses(qint64 pid)
{
    QMultiHash<qint64, qint64> children;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool numeric = false;
        const qint64 child = entry.toLongLong(&numeric);
        if (numeric)
            children.insert(parentOf(entry), child);
    }
    QList<qint64> result;
    QList<qint64> pending{pid};
    while (!pending.isEmpty()) {
        const qint64 parent = pending.takeFirst();
        for (qint64 child : children.values(parent)) {
            result << child;
            pending << child;
        }
    }
    return result;
}

bool processIsAlive(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    // A zombie has ended; only its parent has not collected it yet.
    const QByteArray line = stat.readAll();
    return line.mid(line.lastIndexOf(')') + 2, 1) != "Z";
}
