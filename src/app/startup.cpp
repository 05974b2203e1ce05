#include "app/form2.h"

#include "app/command_line.h"
#include "browse/web_browser.h"

#include <QCheckBox>
#include <QLineEdit>

void form2::Form_Load()
{
    setWindowTitle(QStringLiteral("Veltrase Pro Version"));
    CmdLine = platform_.commandLine;
    OptInterval.clear();
    OptFile.clear();
    StopFlag = QStringLiteral("N");
    WebBrowser1->setVisible(false);
    AutoStartFlag = QStringLiteral("N");
    ParseCommandLine();
    if (!CmdLine.isEmpty()) {
        // Written even when empty: the first dwell then makes it "1".
        txt_interval->setText(OptInterval);
        if (OptRandom == QLatin1String("Y"))
            chk_random->setChecked(true);
        PlaylistPath = OptFile;
        LoadPlaylist();
        AutoStartFlag = QStringLiteral("Y");
    }
}

void form2::ParseCommandLine()
{
    const CommandLineOptions options = parseCommandLine(CmdLine);
    OptFile = options.file;
    OptRandom = options.random;
    OptInterval = options.interval;
}

void form2::Form_Activate()
{
    if (AutoStartFlag == QLatin1String("Y"))
        AutoStart();
}

void form2::AutoStart()
{
    start_button_Click();
}
