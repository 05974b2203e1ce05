#pragma once

#include "platform/file_dialogs.h"
#include "platform/message_boxes.h"
#include "platform/process_end.h"

#include <QString>

#include <cstdio>

// The parts of the outside world a measurement answers itself: the file dialogs
// answer a path given in advance, and a message would block a timed run, so it goes
// to standard error and is counted.
class AnsweredFileDialogs final : public FileDialogs {
public:
    QString askOpenFileName(QWidget*) override { return openName; }
    QString askSaveFileName(QWidget*) override { return saveName; }

    QString openName;
    QString saveName;
};

class PrintedMessages final : public MessageBoxes {
public:
    void inform(QWidget*, const QString& text) override
    {
        ++count;
        std::fprintf(stderr, "message: %s\n", qUtf8Printable(text));
    }
    void informWithoutWaiting(QWidget* parent, const QString& text, std::function<void()> whenClosed) override
    {
        inform(parent, text);
        whenClosed();
    }

    int count = 0;
};

class RecordedProcessEnd final : public ProcessEnd {
public:
    void endProcess() override { ++calls; }

    int calls = 0;
};
