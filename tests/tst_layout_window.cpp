#include "layout/layout_arithmetic.h"
#include "platform/message_boxes.h"
#include "platform/twips.h"
#include "platform/twips_geometry.h"
#include "support/fake_window.h"

namespace {

// The whole pixels a control holds after being handed these twips.
QSize pixels(float width, float height)
{
    return {twipsToPixels(width), twipsToPixels(height)};
}

} // namespace

// The layout and the compact view on the real window, whose controls hold whole pixels.
class LayoutWindow : public QObject {
    Q_OBJECT

private slots:
    // The widening goes to the frames, the list and the browser, and moves the button
    // column, each of them by the same twips.
    void wideningMovesTheColumnAndStretchesTheList()
    {
        FakeWindow w;
        QVERIFY(w.shown());
        const QList<QWidget*> widening{w.form.Frame1,      w.form.Frame2,       w.form.FraPlaylist,
                                       w.form.lstPlayList, w.form.txtItemToAdd, w.form.WebBrowser1};
        const QList<QWidget*> column{w.form.cmdRemoveItem, w.form.cmdAddItem, w.form.ckLoop, w.form.ckExit,
                                     w.form.ckCache};
        QList<float> widened;
        for (QWidget* control : widening + column)
            widened << (column.contains(control) ? leftTwips(control) : widthTwips(control)) + 37 * 15;
        QVERIFY(w.resizeClientArea({704 + 37, 494}));
        for (QWidget* control : widening + column)
            QCOMPARE(column.contains(control) ? leftTwips(control) : widthTwips(control), widened.takeFirst());
    }

    // Switched once to the compact view, or twice back to the full one; the height of
    // the window not given to the browser frame right after the switch, and on a resize.
    void eachViewOnSwitchResizeAndFinishedPage()
    {
        for (const bool compact : {true, false}) {
            FakeWindow w;
            QVERIFY(w.shown());
            const QRect window = w.form.geometry(), playlistFrame = w.form.FraPlaylist->geometry();
            for (int i = compact ? 1 : 2; i > 0; --i)
                w.form.mnuHide->trigger();
            QVERIFY(w.form.mnuHide->text() == (compact ? u"Show" : u"Hide")
                    && w.form.Frame1->isVisibleTo(w.form.clientArea) == !compact);
            QVERIFY(w.form.size() == window.size() && w.form.FraPlaylist->geometry() == playlistFrame);
            QCOMPARE(topTwips(w.form.Frame2), compact ? 105.0f : 1980.0f);
            QCOMPARE(w.form.Frame2->size(), pixels(10560 - 30, 7410 - (compact ? 30 : 2000)));
            QCOMPARE(w.form.WebBrowser1->size(), pixels(10560 - 180, heightTwips(w.form.Frame2) - 250));

            QVERIFY(w.resizeClientArea({760, 540}));
            QCOMPARE(w.form.Frame2->size(), pixels(760 * 15 - 30, 540 * 15 - (compact ? 250 : 2000)));
            emit w.browser().DocumentComplete();
            QCOMPARE(w.form.WebBrowser1->size(),
                     pixels(widthTwips(w.form.Frame2) - 250, heightTwips(w.form.Frame2) - 250));
        }
    }

    // 7000 × 2000 twips is the smallest client area arranged, and a minimized window is
    // left alone. Below it the real box warns, opened here by a drag 0.5 s into a run:
    // one box however long the drag goes on, and the run goes on to its next page while
    // it stays open.
    void belowTheMinimumOneBoxWarnsAndLeavesARunToItsSchedule()
    {
        using layout::ResizeOutcome;
        QCOMPARE(layout::resizeOutcome(false, 7000, 2000), ResizeOutcome::Arrange);
        QCOMPARE(layout::resizeOutcome(false, 6999, 2000), ResizeOutcome::Warn);
        QCOMPARE(layout::resizeOutcome(false, 7000, 1999), ResizeOutcome::Warn);
        QCOMPARE(layout::resizeOutcome(true, 0, 0), ResizeOutcome::Nothing);

        FakePlatform fakes;
        QtMessageBoxes boxes;
        fakes.options.once = true;
        form2 form(Platform{fakes.pump, fakes.clock, fakes.random, boxes, fakes.dialogs, fakes.processEnd,
                            fakes.platform().makeBrowser, QString(), QString(), fakes.options});
        form.lstPlayList->addItems({QStringLiteral("a"), QStringLiteral("b")});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        // A box that held the run is closed after a while: the test fails instead of hanging.
        QTimer::singleShot(3000, &form, [&form] { delete form.findChild<QMessageBox*>(); });
        fakes.pump.at(500, [&] {
            for (int width : {460, 450, 430, 410}) {
                form.resize(QSize(width, 300) + form.size() - form.clientArea->size());
                QCoreApplication::processEvents();
            }
        });
        qsizetype openBoxes = 0;
        fakes.browser->onNavigate = [&](const QString&) { openBoxes = form.findChildren<QMessageBox*>().size(); };
        form.start_button_Click();
        QPointer<QMessageBox> box = form.findChild<QMessageBox*>();
        QVERIFY(fakes.browser->navigations.size() == 2 && openBoxes == 1 && box->windowModality() == Qt::WindowModal);

        // Once it is dismissed, the next small size warns again.
        box->close();
        form.resize(form.size() - QSize(80, 0));
        QTRY_VERIFY(!box && form.findChild<QMessageBox*>());
    }
};

QTEST_MAIN(LayoutWindow)
#include "tst_layout_window.moc"
