#pragma once

#include <QByteArray>
#include <QProcess>

// A private X server (Xvfb, 1280 × 1024, no window manager) for one test, with a
// client of its own that sees the server as any other program on that display would.
class VirtualXServer {
public:
    VirtualXServer() = default;
    ~VirtualXServer();
    VirtualXServer(const VirtualXServer&) = delete;
    VirtualXServer& operator=(const VirtualXServer&) = delete;

    bool start();
    QByteArray display() const { return display_; }

    // The server's own screen saver, set to start after one second without input.
    void startScreenSaverAfterOneSecond();
    // Time since the last input, as the server counts it.
    qint64 idleMs() const;
    bool screenSaverOn() const;

private:
    QProcess xvfb_;
    QByteArray display_;
    void* connection_ = nullptr; // Display*, Xlib kept out of the tests' headers
};
