#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QTimer;

// What the service manager that started the program hears from it: the window is
// up, which page shows (and why a card shows in its place), the window's thread is
// still alive, and the program ends.
// Started by hand, there is no one to tell and none of this costs anything.
class ServiceNotifier {
public:
    virtual ~ServiceNotifier() = default;
    virtual void ready() = 0;
    // position counts from 1.
    virtual void showing(int position, int count, const QString& url) = 0;
    // A card took the screen in place of the page being shown, for this reason; an
    // empty reason once the page shows. A new page shown forgets the reason.
    virtual void cardShown(const QString& reason) = 0;
    // Outside the screen's hours, dark until this time ("Mon 07:00"); empty once light.
    virtual void darkUntil(const QString& when) = 0;
    virtual void stopping() = 0;
};

// Speaks systemd's notify protocol. The watchdog pings come from a timer on the
// window's thread, so a thread that stalls stops them and the manager restarts the
// program; the dwell wait runs events, so they go on through a dwell.
class SystemdNotifier final : public QObject, public ServiceNotifier {
    Q_OBJECT

public:
    explicit SystemdNotifier(QObject* parent = nullptr);
    ~SystemdNotifier() override;

    void ready() override;
    void showing(int position, int count, const QString& url) override;
    void cardShown(const QString& reason) override;
    void darkUntil(const QString& when) override;
    void stopping() override;

private:
    void tellStatus();

    // The page being shown ("showing 4 of 4: URL") and the card in its place, if any.
    QString showing_;
    QString cardReason_;
    QString dark_;
    QTimer* watchdog_ = nullptr;
    int farewellSocket_ = -1;
};

// The systemd notifier when the program was started by a service manager that
// listens (NOTIFY_SOCKET), otherwise nothing.
std::unique_ptr<ServiceNotifier> serviceNotifierForThisProcess();
