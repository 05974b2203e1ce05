#pragma once

#include <QByteArray>
#include <QProcess>

// A private X server (Xvfb) whose screen saver starts after one second without input,
// watched by a client of its own, as any other program on that display would see it.
class XScreenSaverWatch {
public:
    XScreenSaverWatch() = default;
    ~XScreenSaverWatch();
    XScreenSaverWatch(const XScreenSaverWatch&) = delete;
    XScreenSaverWatch& operator=(const XScreenSaverWatch&) = delete;

    bool start();
    QByteArray display() const { return display_; }
    // Time since the last input, as the server counts it.
    qint64 idleMs() const;
    bool saverOn() const;

private:
    QProcess xvfb_;
    QByteArray display_;
    void* connection_ = nullptr; // Display*, Xlib kept out of the tests' headers
};
