#include "browse/webengine/webengine_browser.h"

// The one symbol the program looks up when it loads the browser engine on the
// first page: the engine's libraries stay out of the launch of the program.
extern "C" Q_DECL_EXPORT WebBrowser* veltraseCreateWebEngineBrowser(QWidget* parent, const BrowserSettings* settings)
{
    return new WebEngineBrowser(parent, *settings);
}
