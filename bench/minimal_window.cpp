// The yardstick for start-up: the least a Qt Widgets program does to show a window of
// the size of Veltrase's client area. Built three times more, to show what the needs of
// the browser engine cost at launch, though this program never uses it: linked to the
// engine's libraries; with the shared GL contexts the engine asks for before the
// application object exists; and with those and a window drawn through GL from its first
// frame, as a window must be for the engine's view to join it without being replaced.
#include <QApplication>
#include <QWidget>

#ifdef GL_SURFACE
#include <QOpenGLWidget>
#endif

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
#if defined(SHARE_GL_CONTEXTS) || defined(GL_SURFACE)
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
#endif
    QApplication application(argc, argv);
    QWidget window;
    window.resize(704, 494);
#ifdef GL_SURFACE
    (new QOpenGLWidget(&window))->hide();
#endif
    window.show();
    return QApplication::exec();
}
