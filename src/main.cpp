#include "app/application_look.h"
#include "app/form2.h"
#include "browse/webengine_browser.h"
#include "platform/application_title.h"
#include "platform/clock.h"
#include "platform/command_line_text.h"
#include "platform/event_pump.h"
#include "platform/file_dialogs.h"
#include "platform/message_boxes.h"
#include "platform/process_end.h"
#include "platform/random_source.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    // The browser engine shares its GL contexts with the window; this must be set
    // before the application object exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    QApplication::setApplicationName(applicationTitle());
    QApplication::setApplicationVersion(applicationVersion());
    applyApplicationLook(application);

    QtEventPump pump;
    SystemClock clock;
    TimeSeededRandom random;
    QtMessageBoxes messages;
    QtFileDialogs dialogs;
    QtProcessEnd processEnd;

    const Platform platform{
        pump,
        clock,
        random,
        messages,
        dialogs,
        processEnd,
        [](QWidget* parent) { return new WebEngineBrowser(parent); },
        commandLineText(QApplication::arguments().mid(1)),
        QApplication::applicationDirPath(),
    };
    form2 window(platform);
    window.show();
    return QApplication::exec();
}
