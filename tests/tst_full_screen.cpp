#include "app/form2.h"
#include "browse/web_browser.h"
#include "support/fake_platform.h"

#include <QAction>
#include <QGroupBox>
#include <QMenuBar>
#include <QScreen>
#include <QtTest>

// Full screen on the real window: every pixel to the pages, and back as it was.
class FullScreenWindow : public QObject {
    Q_OBJECT

private slots:
    void optionGivesThePagesTheWholeScreenWhateverItsSize();
    void f11LeavesTheWindowAsItWas_data();
    void f11LeavesTheWindowAsItWas();
    void pointerHidesWhileTheMouseRests();
};

namespace {

// No menu bar, frame, border or inset: the browser covers the window edge to edge.
bool browserHasEveryPixel(form2& form)
{
    return form.isFullScreen() && form.WebBrowser1->mapTo(&form, QPoint(0, 0)) == QPoint(0, 0)
           && form.WebBrowser1->size() == form.size();
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

void FullScreenWindow::optionGivesThePagesTheWholeScreenWhateverItsSize()
{
    FakePlatform fakes;
    fakes.options.fullScreen = true;
    form2 form(fakes.platform());
    form.show();

    QTRY_VERIFY(browserHasEveryPixel(form));
    QCOMPARE(form.geometry(), form.screen()->geometry());
    QVERIFY(!form.Frame1->isVisible());
    QCOMPARE(form.mnuHide->text(), QStringLiteral("Show"));

    // The screen changes (another monitor, another resolution), here to a size far
    // below what the designed layout warns at; and a page completes.
    emit form.screen()->geometryChanged(QRect(0, 0, 300, 100));
    QTRY_COMPARE(form.geometry(), QRect(0, 0, 300, 100));
    emit fakes.browser->DocumentComplete();
    QCOMPARE(form.WebBrowser1->mapTo(&form, QPoint(0, 0)), QPoint(0, 0));
    QCOMPARE(form.WebBrowser1->size(), QSize(300, 100));
    QCoreApplication::processEvents();
    QCOMPARE(fakes.messages.shown, QStringList());
}

void FullScreenWindow::f11LeavesTheWindowAsItWas_data()
{
    QTest::addColumn<bool>("compact");
    QTest::addColumn<bool>("maximized");
    QTest::newRow("as designed") << false << false;
    QTest::newRow("compact view") << true << false;
    QTest::newRow("maximized") << false << true;
}

void FullScreenWindow::f11LeavesTheWindowAsItWas()
{
    QFETCH(bool, compact);
    QFETCH(bool, maximized);
    FakePlatform fakes;
    form2 form(fakes.platform());
    form.move(40, 30);
    maximized ? form.showMaximized() : form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTRY_COMPARE(form.isMaximized(), maximized);
    if (compact)
        form.mnuHide->trigger();
    const QList<QVariant> before = lookOf(form);

    QTest::keyClick(&form, Qt::Key_F11);
    QTRY_VERIFY(browserHasEveryPixel(form));
    QVERIFY(!form.menuBar()->isVisible());
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

void FullScreenWindow::pointerHidesWhileTheMouseRests()
{
    FakePlatform fakes;
    form2 form(fakes.platform());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QElapsedTimer resting;
    resting.start();
    QTest::keyClick(&form, Qt::Key_F11);

    // Three seconds, less what a coarse timer may take off (5%).
    QTRY_VERIFY_WITH_TIMEOUT(pointerHidden(), 5000);
    QVERIFY(resting.elapsed() >= 2850);
    QTest::mouseMove(form.windowHandle(), QPoint(100, 100));
    QVERIFY(!pointerHidden());
    resting.restart();
    QTRY_VERIFY_WITH_TIMEOUT(pointerHidden(), 5000);
    QVERIFY(resting.elapsed() >= 2850);

    QTest::keyClick(&form, Qt::Key_F11);
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
}

QTEST_MAIN(FullScreenWindow)
#include "tst_full_screen.moc"
