#include "platform/service_notifier.h"

#include "platform/termination_signals.h"

#include <QTimer>

#include <systemd/sd-daemon.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

constexpr char stoppingWord[] = "STOPPING=1";

// A datagram socket already connected to the manager, for the one word a signal
// handler must still send: nothing there may look up an address or allocate.
int connectedNotifySocket()
{
    const char* address = std::getenv("NOTIFY_SOCKET");
    sockaddr_un peer = {};
    peer.sun_family = AF_UNIX;
    const std::size_t length = address ? std::strlen(address) : 0;
    if (length < 2 || length >= sizeof peer.sun_path || (address[0] != '/' && address[0] != '@'))
        return -1;
    std::memcpy(peer.sun_path, address, length);
    // A leading '@' names a socket in the abstract namespace.
    if (peer.sun_path[0] == '@')
        peer.sun_path[0] = '\0';
    const int socket = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (socket < 0)
        return -1;
    const auto peerLength = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + length);
    if (::connect(socket, reinterpret_cast<const sockaddr*>(&peer), peerLength) != 0) {
        ::close(socket);
        return -1;
    }
    return socket;
}

class NoServiceManager final : public ServiceNotifier {
public:
    void ready() override { }
    void showing(int, int, const QString&) override { }
    void cardShown(const QString&) override { }
    void darkUntil(const QString&) override { }
    void stopping() override { }
};

} // namespace

SystemdNotifier::SystemdNotifier(QObject* parent)
    : QObject(parent)
    , farewellSocket_(connectedNotifySocket())
{
    sayOnTermination(farewellSocket_, stoppingWord);

    uint64_t intervalUs = 0;
    if (sd_watchdog_enabled(0, &intervalUs) > 0 && intervalUs > 0) {
        watchdog_ = new QTimer(this);
        // Twice per interval the manager asks for, so one late ping is not a stall.
        watchdog_->setInterval(std::max<int>(1, static_cast<int>(intervalUs / 2000)));
        watchdog_->setTimerType(Qt::PreciseTimer);
        connect(watchdog_, &QTimer::timeout, this, [] { sd_notify(0, "WATCHDOG=1"); });
        watchdog_->start();
    }
}

SystemdNotifier::~SystemdNotifier()
{
    sayOnTermination(-1, nullptr);
    if (farewellSocket_ >= 0)
        ::close(farewellSocket_);
}

void SystemdNotifier::ready()
{
    sd_notify(0, "READY=1");
}

void SystemdNotifier::showing(int position, int count, const QString& url)
{
    showing_ = QStringLiteral("showing %1 of %2: %3").arg(position).arg(count).arg(url);
    cardReason_.clear();
    tellStatus();
}

void SystemdNotifier::cardShown(const QString& reason)
{
    if (reason == cardReason_)
        return;
    cardReason_ = reason;
    tellStatus();
}

void SystemdNotifier::darkUntil(const QString& when)
{
    dark_ = when.isEmpty() ? QString() : QStringLiteral("dark outside the screen hours, until %1").arg(when);
    tellStatus();
}

void SystemdNotifier::tellStatus()
{
    // Someone reading `systemctl status` must not take a card for the page; a card
    // before any page (a playlist that cannot be read) is all there is to say.
    QString status = !dark_.isEmpty()      ? dark_
        : cardReason_.isEmpty()            ? showing_
        : showing_.isEmpty()               ? cardReason_
                                           : QStringLiteral("%1 (%2)").arg(showing_, cardReason_);
    if (status.isEmpty())
        return;
    // One line: the manager shows the status as it is.
    status.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    sd_notify(0, (QStringLiteral("STATUS=") + status).toUtf8().constData());
}

void SystemdNotifier::stopping()
{
    sd_notify(0, stoppingWord);
}

std::unique_ptr<ServiceNotifier> serviceNotifierForThisProcess()
{
    if (qEnvironmentVariableIsEmpty("NOTIFY_SOCKET"))
        return std::make_unique<NoServiceManager>();
    return std::make_unique<SystemdNotifier>();
}
