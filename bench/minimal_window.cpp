// The yardstick for start-up: the least a Qt Widgets program does to show a window of
// the size of Veltrase's client area. Built twice more, to show what two needs of the
// browser engine cost at launch, though this program never uses it: linked to the
// engine's libraries, and with the shared GL contexts the engine asks for before the
// application object exists.
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
#ifdef SHARE_GL_CONTEXTS
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
#endif
    QApplication application(argc, argv);
    QWidget window;
    window.resize(704, 494);
    window.show();
    return QApplication::exec();
}
