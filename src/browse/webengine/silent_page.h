#pragma once

#include <QWebEnginePage>

// The page decides what the engine may ask of the user. While silent it asks
// nothing: page dialogs are answered without showing, certificate errors are
// refused, sign-in requests cancelled, permissions denied and new windows ignored,
// so an unattended screen never stops on a question nobody is there to answer. A
// local page reaches no other local file.
class SilentPage final : public QWebEnginePage {
    Q_OBJECT

public:
    SilentPage(QWebEngineProfile* profile, QObject* parent);

    void setSilent(bool silent);
    bool isSilent() const { return silent_; }

protected:
    void javaScriptAlert(const QUrl& securityOrigin, const QString& message) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& message) override;
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& message, const QString& defaultValue,
                          QString* result) override;
    QStringList chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                            const QStringList& acceptedMimeTypes) override;
    QWebEnginePage* createWindow(WebWindowType type) override;

private:
    void refuseUnattendedRequests();

    bool silent_ = false;
};
