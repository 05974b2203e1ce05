#include "support/fake_window.h"
#include "support/keyboard_focus.h"

// Full screen on the real window: every pixel to the pages, and back as it was.
class FullScreenWindow : public QObject {
    Q_OBJECT

private slots:
    void pagesGetTheWholeScreenAndTheWindowComesBackAsItWas()
    {
        const QDeadlineTimer rested(2850);
        FakePlatform fakes;
        fakes.options.fullScreen = true;
        form2 form(fakes.platform());
        // No menu bar, panel, frame, border or inset: the browser covers the window edge to edge.
        const auto browserHasEveryPixel = [&form] {
            return QRect(form.WebBrowser1->mapTo(&form, QPoint()), form.WebBrowser1->size()) == form.rect();
        };
        form.show();
        QVERIFY(shownWithKeyboard(&form));
        QTRY_VERIFY(browserHasEveryPixel() && form.geometry() == form.screen()->geometry());

        // The screen changes (another monitor, another resolution), here to a size far
        // below what the designed layout warns at; and a page completes.
        emit form.screen()->geometryChanged(QRect(0, 0, 300, 100));
        QTRY_COMPARE(form.geometry(), QRect(0, 0, 300, 100));
        // The page's completion leaves the browser as it is: a resize redraws the whole screen.
        struct ResizeCount : QObject {
            int resizes = 0;
            bool eventFilter(QObject*, QEvent* event) override
            {
                return resizes += event->type() == QEvent::Resize, false;
            }
        } count;
        form.WebBrowser1->installEventFilter(&count);
        emit fakes.browser->DocumentComplete();
        QVERIFY(browserHasEveryPixel() && count.resizes == 0);

        // The pointer hides (the one pointer the program ever puts over its windows) after
        // three seconds at rest, less what a coarse timer may take off (5%), and comes back
        // with the mouse's move and when full screen ends. Meanwhile the small screen raised
        // no warning.
        QTRY_VERIFY_WITH_TIMEOUT(QGuiApplication::overrideCursor(), 5000);
        QVERIFY(rested.hasExpired() && QGuiApplication::overrideCursor()->shape() == Qt::BlankCursor);
        QVERIFY(fakes.messages.shown.isEmpty());
        QTest::mouseMove(form.windowHandle(), QPoint(50, 50));
        QVERIFY(!QGuiApplication::overrideCursor());
        QTRY_VERIFY_WITH_TIMEOUT(QGuiApplication::overrideCursor(), 5000);
        QTest::keyClick(&form, Qt::Key_F11);
        QVERIFY(!QGuiApplication::overrideCursor() && form.menuBar()->isVisible());

        // Entered again from a place of the window's own, and left: all as it was. The
        // heights in the browser frame follow the layout's rule for a resize, which that is.
        form.move(40, 30);
        const auto look = [&form] {
            return QVariantList{form.geometry(), form.menuBar()->isVisible(), form.Frame1->isVisible(),
                                form.Frame2->pos(), form.WebBrowser1->geometry().topRight()};
        };
        const QVariantList before = look();
        QTest::keyClick(&form, Qt::Key_F11);
        QTRY_VERIFY(browserHasEveryPixel());
        QTest::keyClick(&form, Qt::Key_F11);
        QTRY_COMPARE(look(), before);
        // The window follows its screen no more, and the designed layout rules again, its
        // warning included.
        emit form.screen()->geometryChanged(QRect(0, 0, 320, 200));
        QCOMPARE(look(), before);
        form.resize(300, 100);
        QTRY_COMPARE(fakes.messages.shown.size(), 1);
    }
};

QTEST_MAIN(FullScreenWindow)
#include "tst_full_screen.moc"
