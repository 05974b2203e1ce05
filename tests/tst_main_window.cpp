#include "about/frmabout.h"
#include "app/application_look.h"
#include "support/fake_window.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTextDocumentFragment>
#include <QtTest>

// The window as the user meets it: its opening state, controls that fit together at
// any size it arranges, menus the keyboard reaches, the About box and the Help pages.
class MainWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { applyApplicationLook(*qApp); }
    void opensWithTheDesignedStateAndMenuKeys();
    void controlsFitTogetherAsOpenedAndLarger();
    void aboutBoxIsOneFixedBoxThatEveryWayOutCloses();
    void helpPageIsTheProgramFolderJoinedAsItIs_data();
    void helpPageIsTheProgramFolderJoinedAsItIs();
    void shippedPagesNameEveryControlAndCarryTheLicence();
};

namespace {

// Every control placed in the client area or in one of its frames.
QList<QWidget*> controlsOf(form2& form)
{
    QList<QWidget*> controls;
    for (QWidget* control : form.clientArea->findChildren<QWidget*>())
        if (control->parentWidget() == form.clientArea || qobject_cast<QGroupBox*>(control->parentWidget()))
            controls << control;
    return controls;
}

QString readableText(const QString& page)
{
    QFile file(QStringLiteral(VELTRASE_SOURCE_DIR "/") + page);
    return file.open(QIODevice::ReadOnly)
        ? QTextDocumentFragment::fromHtml(QString::fromUtf8(file.readAll())).toPlainText().simplified()
        : QString();
}

} // namespace

void MainWindow::opensWithTheDesignedStateAndMenuKeys()
{
    FakePlatform fakes;
    form2 form(fakes.platform());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.windowTitle(), QStringLiteral("Veltrase Pro Version"));
    QVERIFY(form.clientArea->size() == QSize(704, 494) && form.txt_interval->text() == u"30");
    const QList<bool> states{form.chk_random->isChecked(), form.ckCache->isChecked(), form.ckExit->isChecked(),
                             form.ckLoop->isChecked(), form.WebBrowser1->isVisible()};
    QCOMPARE(states, (QList<bool>{false, true, false, true, false}));

    // Every menu item has its own access key within its menu.
    QList<QList<QAction*>> menus{form.menuBar()->actions()};
    for (QAction* menu : form.menuBar()->actions())
        menus << menu->menu()->actions();
    for (const QList<QAction*>& items : menus) {
        QString keys;
        for (const QAction* item : items) {
            const qsizetype key = item->text().indexOf(u'&') + 1;
            QVERIFY2(item->isSeparator() || (key > 0 && !keys.contains(item->text().at(key).toLower())),
                     qPrintable(item->text()));
            keys += key > 0 ? item->text().at(key).toLower() : QChar();
        }
    }
}

void MainWindow::controlsFitTogetherAsOpenedAndLarger()
{
    FakeWindow w;
    QVERIFY(w.shown());
    for (const QSize larger : {QSize(), QSize(1000, 700)}) {
        QVERIFY(!larger.isValid() || w.resizeClientArea(larger));
        const QList<QWidget*> controls = controlsOf(w.form);
        for (QWidget* control : controls) {
            QVERIFY2(control->parentWidget()->rect().contains(control->geometry()), qPrintable(control->objectName()));
            // Twips round to whole pixels: neighbours may share an edge pixel.
            const QRect inner = control->geometry().adjusted(1, 1, -1, -1);
            for (QWidget* other : controls)
                QVERIFY2(other == control || other->parentWidget() != control->parentWidget()
                             || !inner.intersects(other->geometry().adjusted(1, 1, -1, -1)),
                         qPrintable(control->objectName() + u' ' + other->objectName()));
        }
        // Every caption fits in the program's own font, before and after the boxes flip theirs.
        for (int flipped = 0; flipped < 2; ++flipped) {
            for (QWidget* control : controls) {
                const auto* label = qobject_cast<QLabel*>(control);
                const auto* button = qobject_cast<QAbstractButton*>(control);
                const QString caption = button ? button->text() : label ? label->text() : QString();
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
}

void MainWindow::aboutBoxIsOneFixedBoxThatEveryWayOutCloses()
{
    FakeWindow w;
    w.form.show();
    w.form.About->trigger();
    frmAbout* box = w.form.aboutBox();
    QVERIFY(box->isVisible() && box->isWindow() && !box->isModal() && !box->parentWidget()
            && box->minimumSize() == box->maximumSize() && !(box->windowFlags() & Qt::WindowMinMaxButtonsHint));
    for (const QLabel* label : box->findChildren<QLabel*>()) {
        const QRect needed
            = label->fontMetrics().boundingRect(QRect(0, 0, label->width(), 10000), Qt::TextWordWrap, label->text());
        QVERIFY2(needed.width() <= label->width() && needed.height() <= label->height(), qPrintable(label->text()));
    }
    const auto texts = [box] {
        QStringList shown{box->windowTitle()};
        for (const QLabel* label : box->findChildren<QLabel*>())
            shown << label->text();
        return shown;
    };
    const QStringList opened = texts();
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
        QVERIFY(w.form.aboutBox() == box && box->isVisible() && texts() == opened);
    }
}

void MainWindow::helpPageIsTheProgramFolderJoinedAsItIs_data()
{
    QTest::addColumn<QString>("programFolder");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("page");

    QTest::newRow("contents") << "/usr/lib/veltrase"
                              << "Contents"
                              << "/usr/lib/veltrase/help.html";
    QTest::newRow("license") << "/usr/lib/veltrase"
                             << "License"
                             << "/usr/lib/veltrase/license-pro.html";
    QTest::newRow("root folder") << "/"
                                 << "License"
                                 << "//license-pro.html";
    QTest::newRow("blanks, # ? % are part of a name") << "/home/my progs/v #?%"
                                                      << "Contents"
                                                      << "/home/my progs/v #?%/help.html";
}

void MainWindow::helpPageIsTheProgramFolderJoinedAsItIs()
{
    QFETCH(QString, programFolder);
    QFETCH(QString, item);
    FakePlatform fakes;
    form2 form(fakes.platform({}, programFolder));
    form.show();

    form.findChild<QAction*>(item)->trigger();

    // Shown in the browser, hidden until now, as a run would show it.
    // By its path, never as an address a "#" or "?" would cut short.
    QTEST(fakes.browser->files.join(u'|'), "page");
    QVERIFY(fakes.browser->navigations.isEmpty() && fakes.browser->silent && form.WebBrowser1->isVisible()
            && fakes.messages.shown.isEmpty());
}

void MainWindow::shippedPagesNameEveryControlAndCarryTheLicence()
{
    FakeWindow w;
    // Every control and menu item by the name it shows, and the captions they switch to.
    QStringList names{"Random - Y",
                      "Cache",
                      "Show",
                      "/f=",
                      "/t=",
                      "/r=Y",
                      "--help",
                      "--version",
                      "CR LF",
                      "Windows-1252",
                      w.form.FraCurrent->title(),
                      w.form.txt_url1->toolTip()};
    for (QWidget* control : controlsOf(w.form) + w.form.Frame1->findChildren<QWidget*>()) {
        if (const auto* button = qobject_cast<QAbstractButton*>(control))
            names << (button->text().isEmpty() ? button->toolTip() : button->text());
        else if (const auto* label = qobject_cast<QLabel*>(control))
            names << label->text();
    }
    for (QAction* item : w.form.File->actions() + w.form.Help->actions() + w.form.menuBar()->actions())
        names << item->text().remove(u'&');
    const QString help = readableText(QStringLiteral("resources/help.html"));
    for (const QString& name : names)
        QVERIFY2(help.contains(name), qPrintable(name));

    const QString licence = readableText(QStringLiteral("LICENSE"));
    QVERIFY(licence.startsWith(u"MIT License")
            && readableText(QStringLiteral("resources/license-pro.html")).contains(licence));
}

QTEST_MAIN(MainWindow)
#include "tst_main_window.moc"
