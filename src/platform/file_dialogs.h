#pragma once

#include <QString>

class QWidget;

// The standard open and save dialogs. An empty name means the user cancelled.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    virtual QString askOpenFileName(QWidget* parent) = 0;
    virtual QString askSaveFileName(QWidget* parent) = 0;
};

class QtFileDialogs final : public FileDialogs {
public:
    QString askOpenFileName(QWidget* parent) override;
    QString askSaveFileName(QWidget* parent) override;
};
