// The yardstick for start-up: the least a Qt Widgets program does to show a window of
// the size of Veltrase's client area. Built a second time linked to the browser
// engine (which it never uses), to show what loading the engine's libraries costs.
#include <QApplication>
#include <QWidget>

#ifdef LINK_BROWSER_ENGINE
#include <QWebEngineView>
#endif

int main(int argc, char* argv[])
{
#ifdef LINK_BROWSER_ENGINE
    // A reference the compiler cannot drop keeps the library linked; it never runs.
    if (argc < 0)
        return QWebEngineView::staticMetaObject.methodCount();
#endif
    QApplication application(argc, argv);
    QWidget window;
    window.resize(704, 494);
    window.show();
    return QApplication::exec();
}
