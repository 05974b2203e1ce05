#include "browse/webengine/silent_page.h"

#include <QAuthenticator>
#include <QCoreApplication>
#include <QWebEngineCertificateError>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineRegisterProtocolHandlerRequest>
#include <QWebEngineSettings>
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
#include <QWebEnginePermission>
#endif

namespace {

// The engine asks before a page that guards its leaving is replaced, through the
// confirm dialog, with this text of its own.
QString leavePageQuestion()
{
    return QCoreApplication::translate(
        "QWebEnginePage", "Are you sure you want to leave this page? Changes that you made may not be saved.");
}

} // namespace

SilentPage::SilentPage(QWebEngineProfile* profile, QObject* parent)
    : QWebEnginePage(profile, parent)
{
    refuseUnattendedRequests();
    // A local page keeps to the rules of the sites it reaches; which local files it may
    // read is the profile's fence to say.
    settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    // The browser shows a card of its own for a page that failed; the engine's error
    // page would only draw behind it and fill the log with its renderer's complaints.
    settings()->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
}

void SilentPage::setSilent(bool silent)
{
    silent_ = silent;
    settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, !silent);
}

void SilentPage::refuseUnattendedRequests()
{
    connect(this, &QWebEnginePage::certificateError, this, [this](QWebEngineCertificateError error) {
        if (silent_)
            error.rejectCertificate();
    });
    connect(this, &QWebEnginePage::authenticationRequired, this, [this](const QUrl&, QAuthenticator* authenticator) {
        if (silent_)
            *authenticator = QAuthenticator();
    });
    connect(this, &QWebEnginePage::proxyAuthenticationRequired, this,
            [this](const QUrl&, QAuthenticator* authenticator, const QString&) {
                if (silent_)
                    *authenticator = QAuthenticator();
            });
    // Qt 6.8 replaced the feature-permission request with permission objects.
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    connect(this, &QWebEnginePage::permissionRequested, this, [this](QWebEnginePermission permission) {
        if (silent_)
            permission.deny();
    });
#else
    connect(this, &QWebEnginePage::featurePermissionRequested, this, [this](const QUrl& origin, Feature feature) {
        if (silent_)
            setFeaturePermission(origin, feature, PermissionDeniedByUser);
    });
#endif
    connect(this, &QWebEnginePage::fullScreenRequested, this, [this](QWebEngineFullScreenRequest request) {
        if (silent_)
            request.reject();
    });
    connect(this, &QWebEnginePage::registerProtocolHandlerRequested, this,
            [this](QWebEngineRegisterProtocolHandlerRequest request) {
                if (silent_)
                    request.reject();
            });
}

void SilentPage::javaScriptAlert(const QUrl& securityOrigin, const QString& message)
{
    if (!silent_)
        QWebEnginePage::javaScriptAlert(securityOrigin, message);
}

bool SilentPage::javaScriptConfirm(const QUrl& securityOrigin, const QString& message)
{
    if (!silent_)
        return QWebEnginePage::javaScriptConfirm(securityOrigin, message);
    // Leaving is always allowed, or the schedule would stall on such a page; any
    // other question is declined, the safer answer when nobody reads it.
    return message == leavePageQuestion();
}

bool SilentPage::javaScriptPrompt(const QUrl& securityOrigin, const QString& message, const QString& defaultValue,
                                  QString* result)
{
    if (!silent_)
        return QWebEnginePage::javaScriptPrompt(securityOrigin, message, defaultValue, result);
    return false;
}

QStringList SilentPage::chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                                    const QStringList& acceptedMimeTypes)
{
    if (!silent_)
        return QWebEnginePage::chooseFiles(mode, oldFiles, acceptedMimeTypes);
    return {};
}

QWebEnginePage* SilentPage::createWindow(WebWindowType)
{
    // One window shows one page: a pop-up has nowhere to go.
    return nullptr;
}
