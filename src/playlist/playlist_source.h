#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <chrono>
#include <memory>

class QNetworkAccessManager;

// Where the playlist named at start comes from, read again on demand: a file, or an
// http:// or https:// address fetched with a conditional request, so that an
// unchanged list costs one short answer. Either is read exactly as a playlist file.
class PlaylistSource {
public:
    explicit PlaylistSource(QString origin, std::chrono::milliseconds fetchLimit = std::chrono::seconds(10));
    ~PlaylistSource();

    static bool isAddress(const QString& origin);

    struct Reading {
        enum class Outcome {
            Unchanged,
            Changed,
            Failed, // the list read before, if any, stays
        };
        Outcome outcome = Outcome::Unchanged;
        QStringList entries; // when Changed
        // What to tell the user now, in one line. A failure is told when it begins or
        // its reason changes, not at every reading that meets it again.
        QString tell;
    };

    // A fetch waits in a local event loop, so the window keeps answering meanwhile;
    // a reading asked for from inside that wait finds nothing changed.
    Reading read();

private:
    Reading readFile();
    Reading fetch();
    Reading accept(QStringList entries);
    Reading failed(const QString& reason);

    QString origin_;
    std::chrono::milliseconds fetchLimit_;
    std::unique_ptr<QNetworkAccessManager> network_;
    bool reading_ = false;
    bool haveEntries_ = false;
    QStringList entries_;
    QByteArray entityTag_;
    QByteArray lastModified_;
    QString failureTold_;
};
