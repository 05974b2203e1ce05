#include "app/form2.h"
#include "playlist/url_entry_box.h"
#include "support/fake_platform.h"

#include <QCheckBox>
#include <QFile>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

// Editing the playlist and opening one, through the window as the user does it.
class PlaylistWindow : public QObject {
    Q_OBJECT

private slots:
    void addAppendsTrimmedAndKeepsTheSelection_data();
    void addAppendsTrimmedAndKeepsTheSelection();
    void removeTakesOnlyTheSelectedEntry_data();
    void removeTakesOnlyTheSelectedEntry();
    void dropsAppendOneEntryPerUrlOrLine();
    void fullListTakesWhatFitsAndSaysWhy();
    void openDuringARun_data();
    void openDuringARun();
};

namespace {

QStringList entries(const form2& form)
{
    QStringList texts;
    for (int row = 0; row < form.lstPlayList->count(); ++row)
        texts << form.lstPlayList->item(row)->text();
    return texts;
}

// Drops data on the entry box as another program would.
bool dropFromOutside(UrlEntryBox* box, const QMimeData& data)
{
    const QPoint middle = box->rect().center();
    QDragEnterEvent enter(middle, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(box, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(middle), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(box, &drop);
    return drop.isAccepted() && drop.dropAction() == Qt::CopyAction;
}

// Answers every dialog with one file, after a look at the window as the dialog opens.
class WatchingDialogs final : public FileDialogs {
public:
    QString askOpenFileName(QWidget*) override { return answerAfterLook(); }
    QString askSaveFileName(QWidget*) override { return answerAfterLook(); }
    QString answerAfterLook()
    {
        look();
        return answer;
    }

    QString answer;
    std::function<void()> look;
};

} // namespace

void PlaylistWindow::addAppendsTrimmedAndKeepsTheSelection_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("added");

    QTest::newRow("empty box") << "" << -1 << "";
    QTest::newRow("spaces around") << "  abc  " << 0 << "  abc";
    QTest::newRow("only spaces") << "   " << 1 << "";
    QTest::newRow("trailing tab stays") << "abc\t" << -1 << "abc\t";
    QTest::newRow("duplicate") << "first" << 0 << "first";
}

void PlaylistWindow::addAppendsTrimmedAndKeepsTheSelection()
{
    QFETCH(QString, typed);
    QFETCH(int, selected);
    QFETCH(QString, added);

    FakePlatform fakes;
    form2 form(fakes.platform());
    form.lstPlayList->addItems({"first", "second"});
    form.lstPlayList->setCurrentRow(selected);
    form.txtItemToAdd->setText(typed);

    QTest::mouseClick(form.cmdAddItem, Qt::LeftButton);

    QCOMPARE(entries(form), (QStringList{"first", "second", added}));
    QCOMPARE(form.txtItemToAdd->text(), QString());
    QCOMPARE(form.lstPlayList->currentRow(), selected);
}

void PlaylistWindow::removeTakesOnlyTheSelectedEntry_data()
{
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QStringList>("left");

    QTest::newRow("nothing selected") << QStringList{"a", "b"} << -1 << QStringList{"a", "b"};
    QTest::newRow("first") << QStringList{"a", "b", "c"} << 0 << QStringList{"b", "c"};
    QTest::newRow("last") << QStringList{"a", "b", "c"} << 2 << QStringList{"a", "b"};
    QTest::newRow("only entry") << QStringList{"a"} << 0 << QStringList{};
}

void PlaylistWindow::removeTakesOnlyTheSelectedEntry()
{
    QFETCH(QStringList, list);
    QFETCH(int, selected);
    QFETCH(QStringList, left);

    FakePlatform fakes;
    form2 form(fakes.platform());
    form.lstPlayList->addItems(list);
    form.lstPlayList->setCurrentRow(selected);

    QTest::mouseClick(form.cmdRemoveItem, Qt::LeftButton);
    QCOMPARE(entries(form), left);
    QCOMPARE(form.lstPlayList->currentRow(), -1);
    QVERIFY(form.lstPlayList->selectedItems().isEmpty());

    // A second click removes nothing more: no other entry became selected.
    QTest::mouseClick(form.cmdRemoveItem, Qt::LeftButton);
    QCOMPARE(entries(form), left);
}

void PlaylistWindow::dropsAppendOneEntryPerUrlOrLine()
{
    FakePlatform fakes;
    form2 form(fakes.platform());
    form.txtItemToAdd->setText("typed");

    QMimeData links;
    links.setUrls({QUrl("http://a.example/"), QUrl::fromLocalFile("/srv/b.html")});
    QVERIFY(dropFromOutside(form.txtItemToAdd, links));
    QMimeData lines;
    lines.setText("  c  \nd");
    QVERIFY(dropFromOutside(form.txtItemToAdd, lines));
    QMimeData picture;
    picture.setImageData(QColor(Qt::red));
    QVERIFY(!dropFromOutside(form.txtItemToAdd, picture));

    QTRY_COMPARE(entries(form), (QStringList{"http://a.example/", "file:///srv/b.html", "  c", "d"}));
    form.txt_url1->setText("http://e.example/  ");
    form.txtItemToAdd_DragDrop(form.txt_url1);
    QCOMPARE(entries(form).last(), "http://e.example/");
    QCOMPARE(form.txtItemToAdd->text(), "typed");
    QCOMPARE(fakes.messages.shown, QStringList{});
}

void PlaylistWindow::fullListTakesWhatFitsAndSaysWhy()
{
    FakePlatform fakes;
    form2 form(fakes.platform());
    QStringList many;
    for (int row = 0; row < 32766; ++row)
        many << QString::number(row);
    form.lstPlayList->addItems(many);

    QMimeData lines;
    lines.setText("last\nleft out\nleft out too");
    QVERIFY(dropFromOutside(form.txtItemToAdd, lines));
    QTRY_COMPARE(fakes.messages.shown.size(), 1);
    QCOMPARE(form.lstPlayList->count(), 32767);
    QCOMPARE(form.lstPlayList->item(32766)->text(), "last");
    QVERIFY2(fakes.messages.last().contains("32,767") && fakes.messages.last().contains(": 2."),
             qPrintable(fakes.messages.last()));

    form.txtItemToAdd->setText("http://typed.example/");
    QTest::mouseClick(form.cmdAddItem, Qt::LeftButton);
    QCOMPARE(form.lstPlayList->count(), 32767);
    QCOMPARE(form.txtItemToAdd->text(), "http://typed.example/");
    QCOMPARE(fakes.messages.shown.size(), 2);
}

void PlaylistWindow::openDuringARun_data()
{
    QTest::addColumn<bool>("fromMenu");
    QTest::addColumn<QString>("stopFlagAtDialog");
    QTest::addColumn<QStringList>("visited");

    // The Open button leaves the run going: it goes on over the new list from the
    // next entry. The menu's Open stops the run before the dialog shows.
    QTest::newRow("Open button") << false << "N" << QStringList{"a", "y", "z"};
    QTest::newRow("File menu Open") << true << "Y" << QStringList{"a"};
}

void PlaylistWindow::openDuringARun()
{
    QFETCH(bool, fromMenu);
    QFETCH(QString, stopFlagAtDialog);
    QFETCH(QStringList, visited);

    QTemporaryDir dir;
    QFile file(dir.filePath("next.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("x\r\ny\r\nz\r\n");
    file.close();

    FakePlatform fakes;
    WatchingDialogs dialogs;
    const Platform faked = fakes.platform();
    form2 form(Platform{faked.pump, faked.clock, faked.random, faked.messages, dialogs, faked.processEnd,
                        faked.makeBrowser, faked.commandLine, faked.programFolder});
    QString stopFlagSeen;
    dialogs.answer = file.fileName();
    dialogs.look = [&] { stopFlagSeen = form.StopFlag; };
    form.ckLoop->setChecked(false);
    form.ckCache->setChecked(false);
    form.txt_interval->setText("1");
    form.lstPlayList->addItems({"a", "b", "c"});
    fakes.pump.at(500, [&] { fromMenu ? form.Load->trigger() : form.cmdOpen->click(); });

    form.start_button_Click();

    QCOMPARE(stopFlagSeen, stopFlagAtDialog);
    QCOMPARE(fakes.browser->navigations, visited);
    QCOMPARE(entries(form), (QStringList{"x", "y", "z"}));
    QCOMPARE(form.cmdAddItem->isEnabled(), fromMenu);
}

QTEST_MAIN(PlaylistWindow)
#include "tst_playlist_window.moc"
