// The yardstick for the cost of rotating pages: the least a program on the same browser
// engine does to show a list of pages in turn, each for the same time. One view, one
// off-the-record profile as Veltrase uses, and one timer that loads the next page.
//     minimal_rotation SECONDS URL...
#include <QApplication>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

int main(int argc, char* argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() < 3)
        return 2;
    const QStringList urls = arguments.mid(2);

    QWebEngineProfile profile;
    QWebEnginePage page(&profile);
    QWebEngineView view;
    view.setPage(&page);
    view.resize(704, 494);
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
