#pragma once

// The control properties the window layout reads or writes, in twips. The arithmetic
// speaks to them through LayoutControls, so it runs the same against the window's
// widgets and against plain numbers in a test.
enum class LayoutProperty {
    Frame1Width,
    FraPlaylistLeft,
    FraPlaylistWidth,
    cmdRemoveItemLeft,
    cmdAddItemLeft,
    cmdAddItemWidth,
    ckLoopLeft,
    ckExitLeft,
    ckCacheLeft,
    lstPlayListWidth,
    txtItemToAddWidth,
    Frame2Width,
    Frame2Height,
    WebBrowser1Width,
    WebBrowser1Height,
};

class LayoutControls {
public:
    virtual ~LayoutControls() = default;

    // What the control reports now, after storing the last value in its own resolution.
    virtual float get(LayoutProperty property) const = 0;
    // A control may refuse a value (a negative size); it then keeps its old one.
    virtual bool set(LayoutProperty property, float twips) = 0;
    // Whether the control panel is shown, i.e. the full view rather than the compact one.
    virtual bool panelShown() const = 0;
};
