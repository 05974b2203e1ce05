#include "app/form2.h"
#include "browse/web_browser.h"
#include "support/fake_platform.h"

#include <QAction>
#include <QGroupBox>
#include <QMenuBar>
#include <QScreen>
#include <QtTest>

namespace {

// No menu bar, panel, frame, border or inset: the browser covers the window edge to edge.
bool browserHasEveryPixel(form2& form)
{
    return !form.menuBar()->isVisible() && !form.Frame1->isVisible()
        && form.WebBrowser1->mapTo(&form, QPoint(0, 0)) == QPoint(0, 0) && form.WebBrowser1->size() == form.size();
}

// All that leaving full screen must put back.
QList<QVariant> lookOf(form2& form)
{
    QList<QVariant> look{form.geometry(), int(form.windowState() & ~Qt::WindowActive), form.menuBar()->isVisible(),
                         form.Frame1->isVisible(), form.mnuHide->text()};
    for (const QWidget* control : form.clientArea->findChildren<QWidget*>()) {
        // Their heights follow the layout's rule for a resize, which leaving full screen is.
        const bool heightFollowsResize = control == form.Frame2 || control == form.WebBrowser1;
        look << control->pos() << (heightFollowsResize ? QVariant(control->width()) : QVariant(control->size()));
    }
    return look;
}

bool pointerHidden()
{
    return QGuiApplication::overrideCursor() && QGuiApplication::overrideCursor()->shape() == Qt::BlankCursor;
}

} // namespace

// Full screen on the real window: every pixel to the pages, and back as it was.
class FullScreenWindow : public QObject {
    Q_OBJECT

private slots:
    void optionGivesThePagesTheWholeScreenAndHidesTheRestingPointer()
    {
        QElapsedTimer resting;
        resting.start();
        FakePlatform fakes;
        fakes.options.fullScreen = true;
        form2 form(fakes.platform());
        form.show();
        QTRY_VERIFY(browserHasEveryPixel(form) && form.geometry() == form.screen()->geometry());

        // The screen changes (another monitor, another resolution), here to a size far
        // below what the designed layout warns at; and a page completes.
        emit form.screen()->geometryChanged(QRect(0, 0, 300, 100));
        QTRY_COMPARE(form.geometry(), QRect(0, 0, 300, 100));
        emit fakes.browser->DocumentComplete();
        QVERIFY(browserHasEveryPixel(form));
        QCoreApplication::processEvents();
        QCOMPARE(fakes.messages.shown, QStringList());

        // The pointer hides after three seconds at rest, less what a coarse timer may take
        // off (5%), and comes back with the mouse's move and when full screen ends.
        QTRY_VERIFY_WITH_TIMEOUT(pointerHidden(), 5000);
        QVERIFY(resting.elapsed() >= 2850);
        QTest::mouseMove(form.windowHandle(), QPoint(50, 50));
        QVERIFY(!pointerHidden());
        QTRY_VERIFY_WITH_TIMEOUT(pointerHidden(), 5000);
        QTest::keyClick(&form, Qt::Key_F11);
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    void f11LeavesTheWindowAsItWas()
    {
        FakePlatform fakes;
        form2 form(fakes.platform());
        form.move(40, 30);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QList<QVariant> before = lookOf(form);

        QTest::keyClick(&form, Qt::Key_F11);
        QTRY_VERIFY(browserHasEveryPixel(form));
        QTest::keyClick(&form, Qt::Key_F11);

        QTRY_COMPARE(lookOf(form), before);
        // The window follows its screen no more, and the designed layout rules again, its
        // warning included.
        emit form.screen()->geometryChanged(QRect(0, 0, 320, 200));
        QCOMPARE(lookOf(form), before);
        form.showNormal();
        form.resize(300, 100);
        QTRY_COMPARE(fakes.messages.shown.size(), 1);
    }
};

QTEST_MAIN(FullScreenWindow)
#include "tst_full_screen.moc"