#include "app/form2.h"

#include "app/full_screen.h"

#include "app/form_layout_controls.h"
#include "layout/layout_arithmetic.h"
#include "platform/twips_geometry.h"

#include <QAction>
#include <QGroupBox>

// Switches between the full view and the compact view, in which the control panel is
// hidden and the browser frame moves up into its room. The window keeps its size and
// the panel's contents keep the places of the last layout.
void form2::mnuHide_Click()
{
    if (controlPanelShown(*this)) {
        mnuHide->setText(QStringLiteral("Show"));
        Frame1->hide();
        setTopTwips(Frame2, layout::kBrowserFrameTopCompact);
    } else {
        mnuHide->setText(QStringLiteral("Hide"));
        Frame1->show();
        setTopTwips(Frame2, layout::kBrowserFrameTopFull);
    }
    FormLayoutControls controls(*this);
    layout::sizeBrowserFrameAfterSwitch(controls, widthTwips(clientArea), heightTwips(clientArea));
}

void form2::WebBrowser1_DocumentComplete()
{
    // Full screen has given the browser every pixel already; the designed refit would
    // resize it and full screen fill it again, two redraws of the whole screen a page.
    if (fullScreen_->active())
        return;
    FormLayoutControls controls(*this);
    layout::fitBrowserAfterPage(controls);
}
