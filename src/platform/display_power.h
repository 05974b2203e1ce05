#pragma once

#include <QObject>
#include <QString>

#include <functional>

// Powers the display down for the hours a screen is dark, and up again after.
class DisplayPower {
public:
    virtual ~DisplayPower() = default;
    virtual void setPowered(bool on) = 0;
};

// The user's commands where given (a television over HDMI-CEC, a Raspberry Pi's
// firmware, a Wayland compositor's tool), run through the shell; otherwise the X
// server's display power management where it has it. A command that fails, or a
// display that cannot be powered down, is said through tell; the screen is dark anyway.
class SystemDisplayPower final : public QObject, public DisplayPower {
    Q_OBJECT

public:
    // By default the word goes to standard error, as the program's other warnings do.
    SystemDisplayPower(QString offCommand, QString onCommand, std::function<void(const QString&)> tell = {});
    ~SystemDisplayPower() override;

    void setPowered(bool on) override;

private:
    void run(const QString& command, const char* what);
    void forceX(bool on);

    QString offCommand_, onCommand_;
    std::function<void(const QString&)> tell_;
    void* display_ = nullptr; // Display*, kept out of this header with the rest of Xlib
    bool toldNoPowerManagement_ = false;
};
