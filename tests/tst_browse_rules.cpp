#include "app/form2.h"
#include "support/fake_platform.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

// The browse cycle and the dwell wait, on virtual time, through the real BrowseList and pause.
class BrowseRules : public QObject {
    Q_OBJECT

private slots:
    void threeEntriesWithoutLoopVisitEachOnce();
};

namespace {

void addEntries(form2& form, const QStringList& entries)
{
    form.lstPlayList->addItems(entries);
}

} // namespace

void BrowseRules::threeEntriesWithoutLoopVisitEachOnce()
{
    FakePlatform fakes;
    form2 form(fakes.platform());
    form.ckLoop->setChecked(false);
    form.ckCache->setChecked(false);
    form.txt_interval->setText(QStringLiteral("1"));
    addEntries(form, {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});

    form.start_button_Click();

    QCOMPARE(fakes.browser->navigations, (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    QCOMPARE(fakes.pump.now, 3000);
    QCOMPARE(form.url1_count_txt->text(), QStringLiteral("1"));
    QVERIFY(!form.cmdAddItem->isEnabled());
}

QTEST_MAIN(BrowseRules)
#include "tst_browse_rules.moc"
