#include "app/form2.h"

#include "about/program_page_path.h"
#include "browse/web_browser.h"

namespace {

// The help and licence pages lie beside the program and show in the same browser as
// the playlist. Showing one leaves a run alone: its next entry replaces the page.
void showProgramPage(WebBrowser& browser, const QString& programFolder, const QString& pageFileName)
{
    browser.setVisible(true);
    browser.setSilent(true);
    browser.NavigateToFile(programPagePath(programFolder, pageFileName));
}

} // namespace

void form2::Contents_Click()
{
    showProgramPage(*WebBrowser1, platform_.programFolder, QStringLiteral("help.html"));
}

void form2::License_Click()
{
    showProgramPage(*WebBrowser1, platform_.programFolder, QStringLiteral("license-pro.html"));
}
