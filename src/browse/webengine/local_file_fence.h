#pragma once

#include <QWebEngineUrlRequestInterceptor>

// Keeps a local page to its own file, as browsers keep every file: page its own origin.
// It may show the pictures, styles, scripts and fonts beside it (a slide or a welcome
// page is made of those), and follow a link to another file; it may not read another
// local file's contents, by request or through a frame, and so cannot send the user's
// files anywhere. The engine's own setting allows either every local file or none,
// pictures included.
class LocalFileFence final : public QWebEngineUrlRequestInterceptor {
    Q_OBJECT

public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    void interceptRequest(QWebEngineUrlRequestInfo& info) override;
};
