#pragma once

#include "layout/layout_controls.h"

// The window layout as arithmetic on control properties, in twips.
namespace layout {

// Below this inner size the controls are left where they are and the user is warned.
inline constexpr float kMinimumInnerWidth = 7000.0f;
inline constexpr float kMinimumInnerHeight = 2000.0f;

// Top of the browser frame in each view.
inline constexpr float kBrowserFrameTopFull = 1980.0f;
inline constexpr float kBrowserFrameTopCompact = 105.0f;

enum class ResizeOutcome {
    Nothing, // minimized: nothing to place, nothing to say
    Arrange,
    Warn,
};

// What a resize to an inner size of width × height (twips) calls for.
ResizeOutcome resizeOutcome(bool minimized, float width, float height);

// Places the controls for an inner size of width × height: the two large frames follow
// the width, the browser the height, the list and entry box stretch and the playlist's
// buttons and option boxes keep to a column at the playlist frame's right edge. Each
// step reads the properties as they stand after the steps before it; a refused value
// is skipped and the next step runs.
void arrangeControls(LayoutControls& controls, float width, float height);

// Sizes the browser frame and the browser right after a switch of view; the compact
// view gives the frame nearly all the height, until the next resize trims it.
void sizeBrowserFrameAfterSwitch(LayoutControls& controls, float width, float height);

// Fits the browser to its frame after a page has finished loading.
void fitBrowserAfterPage(LayoutControls& controls);

} // namespace layout
