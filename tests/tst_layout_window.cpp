#include "layout/layout_arithmetic.h"
#include "platform/message_boxes.h"
#include "platform/twips.h"
#include "platform/twips_geometry.h"
#include "support/fake_window.h"

#include <QAction>
#include <QGroupBox>
#include <QMessageBox>
#include <QtTest>

// The layout and the compact view on the real window, whose controls hold whole pixels.
class LayoutWindow : public QObject {
    Q_OBJECT

private slots:
    void wideningMovesTheColumnAndStretchesTheList();
    void eachViewOnSwitchResizeAndFinishedPage();
    void smallSizes();
    void draggingBelowTheMinimumOpensOneBoxAtATime();
    void warningLeavesARunToItsSchedule();
};

namespace {

// What a control reports after being handed these twips.
QSizeF stored(float width, float height)
{
    return {pixelsToTwips(twipsToPixels(width)), pixelsToTwips(twipsToPixels(height))};
}

QSizeF twipsSize(const QWidget* control)
{
    return {widthTwips(control), heightTwips(control)};
}

QList<QRect> placesOf(const form2& form)
{
    QList<QRect> places;
    for (const QWidget* control : form.clientArea->findChildren<QWidget*>())
        places << control->geometry();
    return places;
}

} // namespace

void LayoutWindow::wideningMovesTheColumnAndStretchesTheList()
{
    FakeWindow w;
    QVERIFY(w.shown());
    const QList<QWidget*> widening{w.form.Frame1,      w.form.Frame2,       w.form.FraPlaylist,
                                   w.form.lstPlayList, w.form.txtItemToAdd, w.form.WebBrowser1};
    const QList<QWidget*> column{w.form.cmdRemoveItem, w.form.cmdAddItem, w.form.ckLoop, w.form.ckExit, w.form.ckCache};
    QList<float> before;
    for (QWidget* control : widening + column)
        before << (column.contains(control) ? leftTwips(control) : widthTwips(control));

    QVERIFY(w.resizeClientArea({704 + 37, 494}));

    QList<float> after;
    for (QWidget* control : widening + column)
        after << (column.contains(control) ? leftTwips(control) : widthTwips(control)) - 37 * 15;
    QCOMPARE(after, before);
    QCOMPARE(leftTwips(w.form.ckCache), stored(3780 + 37 * 15, 0).width());
    QCoreApplication::processEvents();
    QCOMPARE(w.fakes.messages.shown, QStringList());
}

void LayoutWindow::eachViewOnSwitchResizeAndFinishedPage()
{
    // Switched once to the compact view, or twice back to the full one; the height of
    // the window not given to the browser frame right after the switch, and on a resize.
    for (const bool compact : {true, false}) {
        const float frameTop = compact ? 105 : 1980, switchReserve = compact ? 30 : 2000;
        FakeWindow w;
        QVERIFY(w.shown());
        const QSize windowSize = w.form.size();
        const QRect playlistFrame = w.form.FraPlaylist->geometry();

        for (int i = compact ? 1 : 2; i > 0; --i)
            w.form.mnuHide->trigger();

        QCOMPARE(w.form.mnuHide->text(), compact ? QStringLiteral("Show") : QStringLiteral("Hide"));
        QCOMPARE(w.form.Frame1->isVisibleTo(w.form.clientArea), !compact);
        QCOMPARE(topTwips(w.form.Frame2), frameTop);
        QCOMPARE(twipsSize(w.form.Frame2), stored(10560 - 30, 7410 - switchReserve));
        QCOMPARE(twipsSize(w.form.WebBrowser1), stored(10560 - 180, stored(0, 7410 - switchReserve).height() - 250));
        QVERIFY(w.form.size() == windowSize && w.form.FraPlaylist->geometry() == playlistFrame);

        QVERIFY(w.resizeClientArea({760, 540}));
        QCOMPARE(twipsSize(w.form.Frame2), stored(760 * 15 - 30, 540 * 15 - (compact ? 250 : 2000)));
        emit w.browser().DocumentComplete();
        const QSizeF frame = twipsSize(w.form.Frame2);
        QCOMPARE(twipsSize(w.form.WebBrowser1), stored(frame.width() - 250, frame.height() - 250));
    }
}

void LayoutWindow::smallSizes()
{
    using layout::ResizeOutcome;
    QCOMPARE(layout::resizeOutcome(false, 7000, 2000), ResizeOutcome::Arrange);
    QCOMPARE(layout::resizeOutcome(false, 6999, 2000), ResizeOutcome::Warn);
    QCOMPARE(layout::resizeOutcome(false, 7000, 1999), ResizeOutcome::Warn);
    QCOMPARE(layout::resizeOutcome(true, 0, 0), ResizeOutcome::Nothing);
    // 467 × 134 pixels is the smallest client area at or above 7000 × 2000 twips.
    const struct {
        QSize clientArea;
        bool minimized;
        bool warned;
    } sizes[]
        = {{{467, 134}, false, false}, {{466, 134}, false, true}, {{467, 133}, false, true}, {{40, 10}, true, false}};
    for (const auto& [clientArea, minimized, warned] : sizes) {
        FakeWindow w;
        QVERIFY(w.shown());
        const QList<QRect> before = placesOf(w.form);
        const float browserHeight = heightTwips(w.form.WebBrowser1);
        if (minimized) {
            // However tiny a minimized window's client area is.
            w.form.setWindowState(Qt::WindowMinimized);
            w.form.clientArea->resize(clientArea);
            w.form.Form_Resize();
        } else {
            QVERIFY(w.resizeClientArea(clientArea));
        }
        // Never from inside the resize notification: the box waits for the event loop.
        QCOMPARE(w.fakes.messages.shown.size(), 0);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();

        QCOMPARE(w.fakes.messages.shown.size(), warned ? 1 : 0);
        if (warned || minimized)
            QCOMPARE(placesOf(w.form), before);
        // Arranged; the browser's frame is too low to hold it, so it keeps its height.
        else
            QVERIFY(widthTwips(w.form.Frame1) == 6975 && heightTwips(w.form.WebBrowser1) == browserHeight);
    }
}

void LayoutWindow::draggingBelowTheMinimumOpensOneBoxAtATime()
{
    FakeWindow w;
    QVERIFY(w.shown());
    // The user keeps dragging while the first box is open.
    for (int width : {460, 450, 430, 410}) {
        QVERIFY(w.resizeClientArea({width, 300}));
        QCoreApplication::processEvents();
    }
    QCOMPARE(w.fakes.messages.shown.size(), 1);

    // Once it is dismissed, the next small size warns again.
    w.fakes.messages.closeOpen();
    QVERIFY(w.resizeClientArea({400, 300}));
    QTRY_COMPARE(w.fakes.messages.shown.size(), 2);
}

// The real box, opened by a drag 0.5 s into a run: the run goes on to its next page
// while the box stays open over the window.
void LayoutWindow::warningLeavesARunToItsSchedule()
{
    FakePlatform fakes;
    QtMessageBoxes boxes;
    form2 form(Platform{fakes.pump, fakes.clock, fakes.random, boxes, fakes.dialogs, fakes.processEnd,
                        fakes.platform().makeBrowser, QString(), QString()});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.ckLoop->setChecked(false);
    form.txt_interval->setText(QStringLiteral("1"));
    form.lstPlayList->addItems({QStringLiteral("a"), QStringLiteral("b")});
    // A box that held the run is closed after a while: the test fails instead of hanging.
    QTimer::singleShot(3000, &form, [&form] {
        if (auto* box = form.findChild<QMessageBox*>())
            box->close();
    });
    fakes.pump.at(500, [&] {
        form.resize(QSize(400, 300) + form.size() - form.clientArea->size());
        QCoreApplication::processEvents();
    });
    bool openAtSecondPage = false;
    fakes.browser->onNavigate = [&](const QString&) {
        openAtSecondPage = form.findChild<QMessageBox*>() && form.findChild<QMessageBox*>()->isVisible();
    };
    form.start_button_Click();
    QCOMPARE(fakes.browser->navigations.size(), 2);
    QVERIFY(openAtSecondPage);
    QCOMPARE(form.findChild<QMessageBox*>()->windowModality(), Qt::WindowModal);
}

QTEST_MAIN(LayoutWindow)
#include "tst_layout_window.moc"
