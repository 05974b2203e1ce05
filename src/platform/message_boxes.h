#pragma once

class QString;
class QWidget;

// Every message the program shows: OK only, no icon, the application title as caption.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual void inform(QWidget* parent, const QString& text) = 0;
};

class QtMessageBoxes final : public MessageBoxes {
public:
    void inform(QWidget* parent, const QString& text) override;
};
