#include "about/frmabout.h"
#include "app/application_look.h"
#include "support/fake_window.h"

// The window as the user meets it: its opening state, controls that fit together,
// menus the keyboard reaches, the About box and the Help pages.
class MainWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { applyApplicationLook(*qApp); }

    void opensWithTheDesignedStateAndMenuKeys()
    {
        FakePlatform fakes;
        form2 form(fakes.platform());
        form.show();
        QCOMPARE(form.windowTitle(), QStringLiteral("Veltrase Pro Version"));
        QVERIFY(form.clientArea->size() == QSize(704, 494) && form.txt_interval->text() == u"30");
        const QList<bool> states{form.chk_random->isChecked(), form.ckCache->isChecked(), form.ckExit->isChecked(),
                                 form.ckLoop->isChecked(), form.WebBrowser1->isVisible()};
        QCOMPARE(states, (QList<bool>{false, true, false, true, false}));

        // Every menu item has an access key of its own within its menu.
        QList<QWidget*> menus{form.menuBar()};
        for (QAction* menu : form.menuBar()->actions())
            menus << menu->menu();
        for (const QWidget* menu : menus) {
            QStringList keys;
            for (const QAction* item : menu->actions())
                if (!item->isSeparator())
                    keys << QKeySequence::mnemonic(item->text()).toString();
            QVERIFY2(!keys.contains(QString()) && keys.removeDuplicates() == 0, qPrintable(keys.join(u' ')));
        }
    }

    // Inside their frame, clear of their neighbours, captions whole in the program's
    // own font, before and after the boxes flip theirs.
    void controlsFitTogether()
    {
        FakeWindow w;
        QVERIFY(w.shown());
        QList<QWidget*> controls;
        for (QWidget* control : w.form.clientArea->findChildren<QWidget*>())
            if (control->parentWidget() == w.form.clientArea || qobject_cast<QGroupBox*>(control->parentWidget()))
                controls << control;
        for (int flipped = 0; flipped < 2; ++flipped) {
            for (QWidget* control : controls) {
                QVERIFY2(control->parentWidget()->rect().contains(control->geometry()),
                         qPrintable(control->objectName()));
                // Twips round to whole pixels: neighbours may share an edge pixel.
                const QRect inner = control->geometry().adjusted(1, 1, -1, -1);
                for (QWidget* other : controls)
                    QVERIFY2(other == control || other->parentWidget() != control->parentWidget()
                                 || !inner.intersects(other->geometry().adjusted(1, 1, -1, -1)),
                             qPrintable(control->objectName() + u' ' + other->objectName()));
                // Buttons, boxes and labels show their caption as their text.
                const QString caption = control->property("text").toString();
                QStyleOptionButton option;
                option.initFrom(control);
                const int room = qobject_cast<QCheckBox*>(control)
                    ? control->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, control).width()
                    : control->width() - (qobject_cast<QPushButton*>(control) ? 8 : 0);
                QVERIFY2(control->fontMetrics().horizontalAdvance(caption) <= room, qPrintable(caption));
            }
            w.form.chk_random->toggle();
            w.form.ckCache->toggle();
        }
    }

    void aboutBoxIsOneFixedBoxThatEveryWayOutCloses()
    {
        FakeWindow w;
        w.form.show();
        w.form.About->trigger();
        frmAbout* box = w.form.aboutBox();
        QVERIFY(box->isVisible() && box->isWindow() && !box->isModal() && !box->parentWidget()
                && box->minimumSize() == box->maximumSize() && !(box->windowFlags() & Qt::WindowMinMaxButtonsHint));
        QStringList opened{box->windowTitle()};
        for (const QLabel* label : box->findChildren<QLabel*>()) {
            const QRect needed = label->fontMetrics().boundingRect(QRect(0, 0, label->width(), 10000), Qt::TextWordWrap,
                                                                   label->text());
            QVERIFY2(needed.width() <= label->width() && needed.height() <= label->height(), qPrintable(label->text()));
            opened << label->text();
        }
        QVERIFY2(opened.contains(u"About Veltrase") && opened.contains(u"Version 3.1.1")
                     && !opened.contains(u"Warning: ..."),
                 qPrintable(opened.join(u'|')));
        // A second About brings the open box to the front.
        w.form.activateWindow();
        QTRY_VERIFY(w.form.isActiveWindow());
        w.form.About->trigger();
        QTRY_VERIFY(w.form.aboutBox() == box && box->isActiveWindow());

        // 0: the OK button, -1: the close box, else a key. Each closing unloads the box;
        // the next About loads the same texts into the same box.
        for (const int way : {0, int(Qt::Key_Enter), int(Qt::Key_Return), int(Qt::Key_Escape), -1}) {
            QTRY_COMPARE(QApplication::focusWidget(), box->cmdOK);
            if (way == 0)
                QTest::mouseClick(box->cmdOK, Qt::LeftButton);
            else if (way > 0)
                QTest::keyClick(box->cmdOK, Qt::Key(way));
            else
                QVERIFY(box->close());
            QTRY_VERIFY(!box->isVisible());
            QVERIFY(!box->isLoaded() && w.form.isVisible());
            w.form.About->trigger();
            QVERIFY(w.form.aboutBox() == box && box->isVisible() && box->windowTitle() == opened.first());
        }
    }

    // Shown in the browser, hidden until now, as a run would show it; by its path,
    // never as an address a "#" or "?" would cut short.
    void helpPageIsTheProgramFolderJoinedAsItIs()
    {
        for (const auto& [programFolder, item, page] :
             {std::array{"/usr/lib/veltrase", "Contents", "/usr/lib/veltrase/help.html"},
              std::array{"/", "License", "//license-pro.html"},
              std::array{"/home/my progs/v #?%", "Contents", "/home/my progs/v #?%/help.html"}}) {
            FakePlatform fakes;
            form2 form(fakes.platform({}, programFolder));
            form.findChild<QAction*>(item)->trigger();
            QCOMPARE(fakes.browser->files, QStringList{page});
            QVERIFY(fakes.browser->navigations.isEmpty() && fakes.browser->silent
                    && form.WebBrowser1->isVisibleTo(&form) && fakes.messages.shown.isEmpty());
        }
    }
};

QTEST_MAIN(MainWindow)
#include "tst_main_window.moc"
