#pragma once

#include <QString>

// What a rotation reads from the window that drives it, and what it shows there: the
// playlist and the settings as they stand at each step, so an entry added or a box
// changed during a run counts from the next step on.
class RotationPanel {
public:
    virtual ~RotationPanel() = default;

    virtual int entryCount() const = 0;
    virtual QString entry(int index) const = 0;
    virtual bool loops() const = 0;
    // No Cache: each request carries a stamp of its moment, so no cache can answer it.
    virtual bool bypassesCache() const = 0;
    virtual bool randomDwell() const = 0;
    // The interval as typed; a text that cannot be used is put back to "1" there.
    virtual QString intervalText() const = 0;
    virtual void setIntervalText(const QString& text) = 0;

    // Before each pass: a playlist followed from elsewhere is read again.
    virtual void beforePass() = 0;
    // The entry on the screen: its row and the address as it was asked for.
    virtual void showEntry(int index, const QString& address) = 0;
    virtual void showPassCount(qint64 passes) = 0;
    // The last pass ended by itself, or a later one was stopped.
    virtual void runEnded() = 0;
};
