#include "app/form2.h"
#include "browse/web_browser.h"
#include "platform/message_boxes.h"
#include "platform/twips.h"
#include "platform/twips_geometry.h"
#include "playlist/url_entry_box.h"
#include "support/fake_platform.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

// The layout and the compact view on the real window, whose controls hold whole pixels.
class LayoutWindow : public QObject {
    Q_OBJECT

private slots:
    void wideningMovesColumnAndStretchesList();
    void smallestSizes_data();
    void smallestSizes();
    void dragBelowMinimumOpensOneBoxAtATime();
    void warningLeavesARunToItsSchedule();
    void minimizedPlacesNothingAndSaysNothing();
    void switchAndSwitchBack();
    void eachViewOnResizeAndFinishedPage_data();
    void eachViewOnResizeAndFinishedPage();
    void switchDuringRunLeavesRunAlone();
};

namespace {

struct Window {
    FakePlatform fakes;
    form2 form{fakes.platform()};
};

bool shown(form2& form)
{
    form.show();
    return QTest::qWaitForWindowExposed(&form);
}

// What a control reports after being handed `twips`.
float stored(float twips)
{
    return pixelsToTwips(twipsToPixels(twips));
}

QSizeF storedSize(float width, float height)
{
    return {stored(width), stored(height)};
}

QSizeF twipsSize(const QWidget* control)
{
    return {widthTwips(control), heightTwips(control)};
}

// Resizes the window so that its client area is width × height logical pixels.
bool resizeClientArea(form2& form, int width, int height)
{
    form.resize(QSize(width, height) + form.size() - form.clientArea->size());
    return QTest::qWaitFor([&] { return form.clientArea->size() == QSize(width, height); });
}

QList<QRect> placesOf(const form2& form)
{
    QList<QRect> places;
    for (const QWidget* control : form.clientArea->findChildren<QWidget*>())
        places << control->geometry();
    return places;
}

bool panelShown(const form2& form)
{
    return form.Frame1->isVisibleTo(form.clientArea);
}

} // namespace

void LayoutWindow::wideningMovesColumnAndStretchesList()
{
    Window w;
    QVERIFY(shown(w.form));
    QCOMPARE(twipsSize(w.form.clientArea), QSizeF(10560, 7410));
    const QList<QWidget*> widening = {w.form.Frame1, w.form.Frame2, w.form.FraPlaylist, w.form.lstPlayList,
                                      w.form.txtItemToAdd, w.form.WebBrowser1};
    const QList<QWidget*> column = {w.form.cmdRemoveItem, w.form.cmdAddItem, w.form.ckLoop, w.form.ckExit,
                                    w.form.ckCache};
    QList<float> opening;
    for (QWidget* control : widening + column)
        opening << (column.contains(control) ? leftTwips(control) : widthTwips(control));

    QVERIFY(resizeClientArea(w.form, 704 + 37, 494));

    for (qsizetype i = 0; i < widening.size(); ++i)
        QCOMPARE(widthTwips(widening[i]), opening[i] + 37 * 15);
    for (qsizetype i = 0; i < column.size(); ++i)
        QCOMPARE(leftTwips(column[i]), opening[widening.size() + i] + 37 * 15);
    QCOMPARE(leftTwips(w.form.ckCache), stored(3780 + 37 * 15));
    QCOMPARE(widthTwips(w.form.lstPlayList), stored(3635 + 37 * 15));
    // Opening and widening pass through no size worth a warning.
    QCoreApplication::processEvents();
    QCOMPARE(w.fakes.messages.shown, QStringList());
}

void LayoutWindow::smallestSizes_data()
{
    // 467 × 134 pixels is the smallest client area at or above 7000 × 2000 twips.
    QTest::addColumn<QSize>("clientArea");
    QTest::addColumn<bool>("arranged");

    QTest::newRow("smallest arranged (7005 x 2010)") << QSize(467, 134) << true;
    QTest::newRow("one pixel too narrow (6990)") << QSize(466, 134) << false;
    QTest::newRow("one pixel too low (1995)") << QSize(467, 133) << false;
}

void LayoutWindow::smallestSizes()
{
    QFETCH(QSize, clientArea);
    QFETCH(bool, arranged);
    Window w;
    QVERIFY(shown(w.form));
    const QList<QRect> before = placesOf(w.form);

    QVERIFY(resizeClientArea(w.form, clientArea.width(), clientArea.height()));
    // Never from inside the resize notification: the box waits for the event loop.
    QCOMPARE(w.fakes.messages.shown, QStringList());
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();

    if (arranged) {
        QCOMPARE(w.fakes.messages.shown, QStringList());
        QCOMPARE(widthTwips(w.form.Frame1), 6975.f);
        QCOMPARE(widthTwips(w.form.lstPlayList), stored(80));
    } else {
        QCOMPARE(w.fakes.messages.shown,
                 QStringList{QStringLiteral("If you reduce the form to much, it may cause problems.")});
        QCOMPARE(placesOf(w.form), before);
        QCOMPARE(w.form.clientArea->size(), clientArea);
    }
}

void LayoutWindow::dragBelowMinimumOpensOneBoxAtATime()
{
    Window w;
    QVERIFY(shown(w.form));

    // The user keeps dragging while the first box is open.
    for (int width : {460, 450, 430, 410}) {
        QVERIFY(resizeClientArea(w.form, width, 300));
        QCoreApplication::processEvents();
    }
    QCOMPARE(w.fakes.messages.shown.size(), 1);

    // Once it is dismissed, the next small size warns again.
    w.fakes.messages.closeOpen();
    QVERIFY(resizeClientArea(w.form, 400, 300));
    QTRY_COMPARE(w.fakes.messages.shown.size(), 2);
}

void LayoutWindow::warningLeavesARunToItsSchedule()
{
    FakePlatform fakes;
    QtMessageBoxes boxes;
    form2 form(Platform{fakes.pump, fakes.clock, fakes.random, boxes, fakes.dialogs, fakes.processEnd,
                        fakes.platform().makeBrowser, QString(), QString()});
    QVERIFY(shown(form));
    form.ckLoop->setChecked(false);
    form.txt_interval->setText(QStringLiteral("1"));
    form.lstPlayList->addItems({QStringLiteral("a"), QStringLiteral("b")});
    // A box that held the run is closed after a while: the test fails instead of hanging.
    QTimer unanswered;
    connect(&unanswered, &QTimer::timeout, &form, [&form] {
        if (auto* box = form.findChild<QMessageBox*>())
            box->close();
    });
    unanswered.start(3000);
    fakes.pump.at(500, [&] {
        resizeClientArea(form, 400, 300);
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

void LayoutWindow::minimizedPlacesNothingAndSaysNothing()
{
    Window w;
    QVERIFY(shown(w.form));
    const QList<QRect> before = placesOf(w.form);

    w.form.setWindowState(Qt::WindowMinimized);
    // However tiny the client area of a minimized window is.
    w.form.clientArea->resize(40, 10);
    w.form.Form_Resize();
    QCoreApplication::processEvents();

    QCOMPARE(w.fakes.messages.shown, QStringList());
    QCOMPARE(placesOf(w.form), before);
}

void LayoutWindow::switchAndSwitchBack()
{
    Window w;
    QVERIFY(shown(w.form));
    const float width = 10560, height = 7410;
    const QSize windowSize = w.form.size();
    const QRect playlistFrame = w.form.FraPlaylist->geometry();

    w.form.mnuHide->trigger();

    QCOMPARE(w.form.mnuHide->text(), QStringLiteral("Show"));
    QVERIFY(!panelShown(w.form));
    QCOMPARE(topTwips(w.form.Frame2), 105.f);
    QCOMPARE(twipsSize(w.form.Frame2), storedSize(width - 30, height - 30));
    QCOMPARE(twipsSize(w.form.WebBrowser1), storedSize(width - 180, stored(height - 30) - 250));

    w.form.mnuHide->trigger();

    QCOMPARE(w.form.mnuHide->text(), QStringLiteral("Hide")); // no access key after the first switch
    QVERIFY(panelShown(w.form));
    QCOMPARE(topTwips(w.form.Frame2), 1980.f);
    QCOMPARE(twipsSize(w.form.Frame2), storedSize(width - 30, height - 2000));
    QCOMPARE(twipsSize(w.form.WebBrowser1), storedSize(width - 180, stored(height - 2000) - 250));
    QCOMPARE(w.form.size(), windowSize);
    QCOMPARE(w.form.FraPlaylist->geometry(), playlistFrame);
}

void LayoutWindow::eachViewOnResizeAndFinishedPage_data()
{
    QTest::addColumn<bool>("compact");
    QTest::addColumn<float>("frameTop");
    QTest::addColumn<float>("heightReserve");

    QTest::newRow("full view") << false << 1980.f << 2000.f;
    QTest::newRow("compact view") << true << 105.f << 250.f;
}

void LayoutWindow::eachViewOnResizeAndFinishedPage()
{
    QFETCH(bool, compact);
    QFETCH(float, frameTop);
    QFETCH(float, heightReserve);
    Window w;
    QVERIFY(shown(w.form));
    if (compact)
        w.form.mnuHide->trigger();

    QVERIFY(resizeClientArea(w.form, 760, 540));

    const float width = 760 * 15, height = 540 * 15;
    QCOMPARE(panelShown(w.form), !compact);
    QCOMPARE(topTwips(w.form.Frame2), frameTop);
    QCOMPARE(twipsSize(w.form.Frame2), storedSize(width - 30, height - heightReserve));
    QCOMPARE(twipsSize(w.form.WebBrowser1), storedSize(width - 180, stored(height - heightReserve) - 250));

    emit w.fakes.browser->DocumentComplete();

    const QSizeF frame = twipsSize(w.form.Frame2);
    QCOMPARE(twipsSize(w.form.WebBrowser1), storedSize(frame.width() - 250, frame.height() - 250));
}

void LayoutWindow::switchDuringRunLeavesRunAlone()
{
    Window w;
    QVERIFY(shown(w.form));
    w.form.ckLoop->setChecked(false);
    w.form.ckCache->setChecked(false);
    w.form.txt_interval->setText(QStringLiteral("1"));
    const QStringList playlist = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
    w.form.lstPlayList->addItems(playlist);
    // Selected entry and shown URL just before and just after each switch.
    QStringList before, after;
    const auto now = [&] { return w.form.lstPlayList->currentItem()->text() + w.form.txt_url1->text(); };
    for (qint64 when : {500, 1500, 2500})
        w.fakes.pump.at(when, [&] {
            before << now();
            w.form.mnuHide->trigger();
            after << now();
        });

    w.form.start_button_Click();

    QCOMPARE(before, (QStringList{QStringLiteral("aa"), QStringLiteral("bb"), QStringLiteral("cc")}));
    QCOMPARE(after, before);
    QCOMPARE(w.fakes.browser->navigations, playlist);
    QCOMPARE(w.fakes.pump.now, 3000);
    QCOMPARE(w.form.lstPlayList->count(), 3);
    QVERIFY(!w.form.cmdAddItem->isEnabled()); // the run's lock stays until Stop
    QVERIFY(!panelShown(w.form));
}

QTEST_MAIN(LayoutWindow)
#include "tst_layout_window.moc"
