#include "app/form2.h"

#include "about/frmabout.h"

// One About box for the whole program, made on first use and kept when it closes.
// It never blocks the main window, so a run goes on while it is open.
void form2::About_Click()
{
    if (!aboutBox_)
        aboutBox_ = std::make_unique<frmAbout>();
    aboutBox_->showLoaded();
}
