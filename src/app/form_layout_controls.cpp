#include "app/form_layout_controls.h"

#include "app/form2.h"
#include "browse/web_browser.h"
#include "platform/twips_geometry.h"
#include "playlist/url_entry_box.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>

FormLayoutControls::Binding FormLayoutControls::bindingOf(LayoutProperty property) const
{
    using P = LayoutProperty;
    switch (property) {
    case P::Frame1Width: return {form_.Frame1, Dimension::Width};
    case P::FraPlaylistLeft: return {form_.FraPlaylist, Dimension::Left};
    case P::FraPlaylistWidth: return {form_.FraPlaylist, Dimension::Width};
    case P::cmdRemoveItemLeft: return {form_.cmdRemoveItem, Dimension::Left};
    case P::cmdAddItemLeft: return {form_.cmdAddItem, Dimension::Left};
    case P::cmdAddItemWidth: return {form_.cmdAddItem, Dimension::Width};
    case P::ckLoopLeft: return {form_.ckLoop, Dimension::Left};
    case P::ckExitLeft: return {form_.ckExit, Dimension::Left};
    case P::ckCacheLeft: return {form_.ckCache, Dimension::Left};
    case P::lstPlayListWidth: return {form_.lstPlayList, Dimension::Width};
    case P::txtItemToAddWidth: return {form_.txtItemToAdd, Dimension::Width};
    case P::Frame2Width: return {form_.Frame2, Dimension::Width};
    case P::Frame2Height: return {form_.Frame2, Dimension::Height};
    case P::WebBrowser1Width: return {form_.WebBrowser1, Dimension::Width};
    case P::WebBrowser1Height: return {form_.WebBrowser1, Dimension::Height};
    }
    Q_UNREACHABLE();
}

float FormLayoutControls::get(LayoutProperty property) const
{
    const auto [control, dimension] = bindingOf(property);
    switch (dimension) {
    case Dimension::Left: return leftTwips(control);
    case Dimension::Width: return widthTwips(control);
    case Dimension::Height: return heightTwips(control);
    }
    Q_UNREACHABLE();
}

bool FormLayoutControls::set(LayoutProperty property, float twips)
{
    const auto [control, dimension] = bindingOf(property);
    switch (dimension) {
    case Dimension::Left: setLeftTwips(control, twips); return true;
    case Dimension::Width: return setWidthTwips(control, twips);
    case Dimension::Height: return setHeightTwips(control, twips);
    }
    Q_UNREACHABLE();
}

bool FormLayoutControls::panelShown() const
{
    return controlPanelShown(form_);
}

bool controlPanelShown(const form2& form)
{
    return form.Frame1->isVisibleTo(form.clientArea);
}
