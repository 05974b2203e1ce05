#include "browse/webengine/kept_profile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryFile>
#include <QTimer>
#include <QWebEngineProfile>

#include <cstdio>

namespace {

// The engine usually closes its files within a fifth of a second; the end of the
// program must stay prompt even when it does not.
constexpr qint64 kLongestWaitMs = 700;

// Whether this process still has a file inside the folder open.
bool holdsFilesIn(const QString& folder)
{
    const QString inside = folder + QLatin1Char('/');
    const QFileInfoList descriptors
        = QDir(QStringLiteral("/proc/self/fd")).entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& descriptor : descriptors)
        if (descriptor.symLinkTarget().startsWith(inside))
            return true;
    return false;
}

// The system's own words for why a file failed, as a clause: "no space left on device".
QString systemReason(const QFileDevice& file)
{
    QString reason = file.errorString();
    if (!reason.isEmpty())
        reason[0] = reason[0].toLower();
    return reason;
}

// Why a file made from the pattern cannot be written, or nothing when it can. A full
// disk still lets a file be made; only writing into it tells.
QString writeProblem(const QString& pattern)
{
    QTemporaryFile probe(pattern);
    if (!probe.open() || probe.write("probe") != 5 || !probe.flush())
        return systemReason(probe);
    return {};
}

// The lock does not say why it failed; a file written beside it does.
QString lockReason(QLockFile::LockError error, const QString& lockPath)
{
    if (error == QLockFile::PermissionError)
        return QStringLiteral("permission denied");
    if (const QString problem = writeProblem(lockPath + QStringLiteral("-XXXXXX")); !problem.isEmpty())
        return problem;
    return QStringLiteral("the lock file cannot be written");
}

} // namespace

KeptProfile::KeptProfile(const QString& folder)
{
    if (!folder.isEmpty()) {
        if (const QString problem = takeFolder(folder); !problem.isEmpty())
            std::fprintf(stderr, "veltrase: %s; this one runs with a private browser profile and keeps no logins\n",
                         qUtf8Printable(problem));
    }
    if (!lock_) {
        profile_ = std::make_unique<QWebEngineProfile>();
        return;
    }
    profile_ = std::make_unique<QWebEngineProfile>(QStringLiteral("veltrase"));
    profile_->setPersistentStoragePath(folder_);
    profile_->setCachePath(folder_);
    // A cache on disk would show a wall screen stale pages for days, and No Cache
    // must keep its meaning: the cache lasts one run.
    profile_->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    // Dashboards often keep their login in a cookie meant to end with the browser;
    // a wall screen that restarts every night must not lose it.
    profile_->setPersistentCookiesPolicy(QWebEngineProfile::ForcePersistentCookies);
}

KeptProfile::~KeptProfile() = default;

QString KeptProfile::takeFolder(const QString& folder)
{
    const bool existed = QFileInfo::exists(folder);
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir())
        return QStringLiteral("cannot make the browser profile folder %1").arg(folder);
    if (!existed)
        // Logins live here: for this user's eyes only.
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (const QString problem = writeProblem(folder + QStringLiteral("/write-test-XXXXXX")); !problem.isEmpty())
        return QStringLiteral("cannot write in the browser profile folder %1: %2").arg(folder, problem);

    auto lock = std::make_unique<QLockFile>(folder + QStringLiteral(".lock"));
    // Only a lock whose process has gone is stale, however old it is.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        if (lock->error() == QLockFile::LockFailedError)
            return QStringLiteral("another Veltrase is using the browser profile in %1").arg(folder);
        return QStringLiteral("cannot lock the browser profile folder %1: %2")
            .arg(folder, lockReason(lock->error(), lock->fileName()));
    }
    lock_ = std::move(lock);
    folder_ = QFileInfo(folder).canonicalFilePath();
    return {};
}

void KeptProfile::close()
{
    profile_.reset();
    if (!lock_)
        return;
    // The engine writes and closes the profile's files on threads of its own once the
    // profile is gone. Events still run meanwhile, but not the user's: nothing may
    // start a page again.
    QElapsedTimer waited;
    waited.start();
    while (holdsFilesIn(folder_) && waited.elapsed() < kLongestWaitMs) {
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    lock_.reset();
}
