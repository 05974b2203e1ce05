// The yardstick for the cost of rotating pages: the least a program on the same browser
// engine does to show a list of pages in turn, each for the same time. One view, one
// off-the-record profile as Veltrase uses, and one timer that loads the next page.
//     minimal_rotation [--full-screen | --size=WxH] SECONDS URL...
// The view is 704 x 494 by default, the size of the designed window.
#include <QApplication>
#include <QOpenGLWidget>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

int main(int argc, char* argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    QStringList arguments = QApplication::arguments();
    bool fullScreen = false;
    QSize size(704, 494);
    while (arguments.size() > 1 && arguments[1].startsWith(QLatin1String("--"))) {
        const QString option = arguments.takeAt(1);
        if (option == QLatin1String("--full-screen"))
            fullScreen = true;
        else if (option.startsWith(QLatin1String("--size=")))
            size = QSize(option.section('=', 1).section('x', 0, 0).toInt(), option.section('x', 1).toInt());
        else
            return 2;
    }
    if (arguments.size() < 3 || size.isEmpty())
        return 2;
    const QStringList urls = arguments.mid(2);

    QWebEngineProfile profile;
    QWebEnginePage page(&profile);
    QWebEngineView view;
    view.setPage(&page);
    view.resize(size);
    // The engine's first page would otherwise replace the shown window with one drawn
    // through GL, and under a window manager the new one is no longer full screen. A GL
    // widget that never shows gives the window that surface from the start, as Veltrase does.
    (new QOpenGLWidget(&view))->hide();
    if (fullScreen)
        view.showFullScreen();
    else
        view.show();

    qsizetype next = 0;
    const auto showNext = [&] {
        page.load(QUrl(urls[next]));
        next = (next + 1) % urls.size();
    };
    QTimer timer;
    timer.setInterval(arguments[1].toInt() * 1000);
    QObject::connect(&timer, &QTimer::timeout, showNext);
    showNext();
    timer.start();
    return QApplication::exec();
}
