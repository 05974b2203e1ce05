#pragma once

#include <QString>

#include <memory>

class QLockFile;
class QWebEngineProfile;

// The browser's profile. Kept in a folder of the user's, so that a dashboard logged
// in to once stays logged in across restarts; one running program owns that folder at
// a time. Private (off the record, nothing written) when no folder is given, and when
// another running program owns the folder or it cannot be used: those two say so on
// standard error, and the program runs on.
class KeptProfile {
public:
    explicit KeptProfile(const QString& folder);
    ~KeptProfile();

    QWebEngineProfile* profile() const { return profile_.get(); }
    bool isKept() const { return lock_ != nullptr; }

    // Closes the profile, whose pages must be gone already, and waits until the engine
    // has written and closed its files: the engine writes cookies on a timer of its
    // own, so a login made a moment before the end would otherwise be lost.
    void close();

private:
    // Takes the folder for this program; returns why it cannot, or nothing.
    QString takeFolder(const QString& folder);

    QString folder_;
    std::unique_ptr<QLockFile> lock_;
    std::unique_ptr<QWebEngineProfile> profile_;
};
