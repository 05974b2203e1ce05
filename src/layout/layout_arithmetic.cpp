#include "layout/layout_arithmetic.h"

#include <initializer_list>

namespace layout {

namespace {

using P = LayoutProperty;

// Both large frames leave this much of the window's width unused.
constexpr float kWindowMargin = 30.0f;
// Between the playlist frame's right edge and the control panel's.
constexpr float kPlaylistFrameRightMargin = 60.0f;
// The playlist's buttons and option boxes sit this far left of the playlist frame's right edge.
constexpr float kButtonColumnOffset = 1050.0f;
// The list and entry box leave room for the button column: its width plus this.
constexpr float kListReserve = 400.0f;
// Height of the window not given to the browser frame on a resize, in each view.
constexpr float kPanelReserve = 2000.0f;
constexpr float kCompactReserve = 250.0f;
// Right after switching to the compact view the frame takes all but this.
constexpr float kCompactSwitchReserve = 30.0f;
// The browser sits inside its frame's border and caption.
constexpr float kBrowserWidthInset = 150.0f;
constexpr float kBrowserHeightInset = 250.0f;
// A finished page leaves the browser a little narrower than a resize does.
constexpr float kBrowserWidthInsetAfterPage = 250.0f;

void fitBrowserToFrame(LayoutControls& controls)
{
    controls.set(P::WebBrowser1Width, controls.get(P::Frame2Width) - kBrowserWidthInset);
    controls.set(P::WebBrowser1Height, controls.get(P::Frame2Height) - kBrowserHeightInset);
}

} // namespace

ResizeOutcome resizeOutcome(bool minimized, float width, float height)
{
    if (minimized)
        return ResizeOutcome::Nothing;
    if (width >= kMinimumInnerWidth && height >= kMinimumInnerHeight)
        return ResizeOutcome::Arrange;
    return ResizeOutcome::Warn;
}

void arrangeControls(LayoutControls& controls, float width, float height)
{
    controls.set(P::Frame1Width, width - kWindowMargin);
    controls.set(P::FraPlaylistWidth,
                 controls.get(P::Frame1Width) - controls.get(P::FraPlaylistLeft) - kPlaylistFrameRightMargin);

    for (P columnMember : {P::cmdRemoveItemLeft, P::cmdAddItemLeft, P::ckLoopLeft, P::ckExitLeft, P::ckCacheLeft})
        controls.set(columnMember, controls.get(P::FraPlaylistWidth) - kButtonColumnOffset);

    for (P stretching : {P::lstPlayListWidth, P::txtItemToAddWidth})
        controls.set(stretching, controls.get(P::FraPlaylistWidth) - controls.get(P::cmdAddItemWidth) - kListReserve);

    const float reserve = controls.panelShown() ? kPanelReserve : kCompactReserve;
    controls.set(P::Frame2Width, width - kWindowMargin);
    controls.set(P::Frame2Height, height - reserve);
    fitBrowserToFrame(controls);
}

void sizeBrowserFrameAfterSwitch(LayoutControls& controls, float width, float height)
{
    const float reserve = controls.panelShown() ? kPanelReserve : kCompactSwitchReserve;
    controls.set(P::Frame2Width, width - kWindowMargin);
    controls.set(P::Frame2Height, height - reserve);
    fitBrowserToFrame(controls);
}

void fitBrowserAfterPage(LayoutControls& controls)
{
    controls.set(P::WebBrowser1Height, controls.get(P::Frame2Height) - kBrowserHeightInset);
    controls.set(P::WebBrowser1Width, controls.get(P::Frame2Width) - kBrowserWidthInsetAfterPage);
}

} // namespace layout
