#include "layout/layout_arithmetic.h"

#include <QtTest>

#include <map>
#include <optional>

// The layout arithmetic on plain numbers, no window: the minimum size, the thirteen
// assignments read in order, and a refused value kept for the steps after it.
class LayoutArithmetic : public QObject {
    Q_OBJECT

private slots:
    void resizeOutcome_data();
    void resizeOutcome();
    void arrangeControls_data();
    void arrangeControls();
};

namespace {

using P = LayoutProperty;
using layout::ResizeOutcome;

// Controls holding exact twips at their design places. Like a real control they refuse
// a negative size; a test may also make one property refuse everything.
class DesignControls final : public LayoutControls {
public:
    float get(LayoutProperty property) const override { return values.at(property); }
    bool set(LayoutProperty property, float twips) override
    {
        if (property == refusing || twips < 0.0f)
            return false;
        values[property] = twips;
        return true;
    }
    bool panelShown() const override { return shown; }

    std::map<LayoutProperty, float> values{
        {P::Frame1Width, 10515},      {P::FraPlaylistLeft, 5640},   {P::FraPlaylistWidth, 4845},
        {P::cmdRemoveItemLeft, 3840}, {P::cmdAddItemLeft, 3840},    {P::cmdAddItemWidth, 795},
        {P::ckLoopLeft, 3680},        {P::ckExitLeft, 3680},        {P::ckCacheLeft, 3680},
        {P::lstPlayListWidth, 3495},  {P::txtItemToAddWidth, 3495}, {P::Frame2Width, 10515},
        {P::Frame2Height, 5295},      {P::WebBrowser1Width, 10335}, {P::WebBrowser1Height, 4935},
    };
    bool shown = true;
    std::optional<LayoutProperty> refusing;
};

} // namespace

Q_DECLARE_METATYPE(ResizeOutcome)
Q_DECLARE_METATYPE(std::optional<LayoutProperty>)

void LayoutArithmetic::resizeOutcome_data()
{
    QTest::addColumn<bool>("minimized");
    QTest::addColumn<float>("width");
    QTest::addColumn<float>("height");
    QTest::addColumn<ResizeOutcome>("outcome");

    QTest::newRow("opening size") << false << 10560.f << 7410.f << ResizeOutcome::Arrange;
    QTest::newRow("exactly the minimum") << false << 7000.f << 2000.f << ResizeOutcome::Arrange;
    QTest::newRow("one twip too narrow") << false << 6999.f << 2000.f << ResizeOutcome::Warn;
    QTest::newRow("one twip too low") << false << 7000.f << 1999.f << ResizeOutcome::Warn;
    QTest::newRow("wide but too low") << false << 20000.f << 15.f << ResizeOutcome::Warn;
    QTest::newRow("minimized and tiny") << true << 0.f << 0.f << ResizeOutcome::Nothing;
    QTest::newRow("minimized at a good size") << true << 10560.f << 7410.f << ResizeOutcome::Nothing;
}

void LayoutArithmetic::resizeOutcome()
{
    QFETCH(bool, minimized);
    QFETCH(float, width);
    QFETCH(float, height);
    QFETCH(ResizeOutcome, outcome);

    QCOMPARE(layout::resizeOutcome(minimized, width, height), outcome);
}

void LayoutArithmetic::arrangeControls_data()
{
    QTest::addColumn<float>("width");
    QTest::addColumn<float>("height");
    QTest::addColumn<bool>("panelShown");
    QTest::addColumn<std::optional<LayoutProperty>>("refusing");
    // What the controls hold afterwards.
    QTest::addColumn<float>("frame1Width");
    QTest::addColumn<float>("playlistFrameWidth");
    QTest::addColumn<float>("buttonColumnLeft");
    QTest::addColumn<float>("listWidth");
    QTest::addColumn<float>("browserFrameWidth");
    QTest::addColumn<float>("browserFrameHeight");
    QTest::addColumn<float>("browserWidth");
    QTest::addColumn<float>("browserHeight");

    const std::optional<LayoutProperty> none;
    QTest::newRow("opening size")
        << 10560.f << 7410.f << true << none << 10530.f << 4830.f << 3780.f << 3635.f << 10530.f << 5410.f << 10380.f << 5160.f;
    QTest::newRow("opening size, compact view")
        << 10560.f << 7410.f << false << none << 10530.f << 4830.f << 3780.f << 3635.f << 10530.f << 7160.f << 10380.f << 6910.f;
    // The browser would get -250: it keeps its design height.
    QTest::newRow("exactly the minimum")
        << 7000.f << 2000.f << true << none << 6970.f << 1270.f << 220.f << 75.f << 6970.f << 0.f << 6820.f << 4935.f;
    // Later steps read the playlist frame's old width, 4845.
    QTest::newRow("playlist frame refuses its width")
        << 10560.f << 7410.f << true << std::optional(P::FraPlaylistWidth)
        << 10530.f << 4845.f << 3795.f << 3650.f << 10530.f << 5410.f << 10380.f << 5160.f;
    // The browser follows the frame's old height, 5295.
    QTest::newRow("browser frame refuses its height")
        << 10560.f << 7410.f << true << std::optional(P::Frame2Height)
        << 10530.f << 4830.f << 3780.f << 3635.f << 10530.f << 5295.f << 10380.f << 5045.f;
}

void LayoutArithmetic::arrangeControls()
{
    QFETCH(float, width);
    QFETCH(float, height);
    QFETCH(bool, panelShown);
    QFETCH(std::optional<LayoutProperty>, refusing);
    DesignControls controls;
    controls.shown = panelShown;
    controls.refusing = refusing;

    layout::arrangeControls(controls, width, height);

    QTEST(controls.get(P::Frame1Width), "frame1Width");
    QTEST(controls.get(P::FraPlaylistWidth), "playlistFrameWidth");
    for (P columnMember : {P::cmdRemoveItemLeft, P::cmdAddItemLeft, P::ckLoopLeft, P::ckExitLeft, P::ckCacheLeft})
        QTEST(controls.get(columnMember), "buttonColumnLeft");
    QTEST(controls.get(P::lstPlayListWidth), "listWidth");
    QTEST(controls.get(P::txtItemToAddWidth), "listWidth");
    QTEST(controls.get(P::Frame2Width), "browserFrameWidth");
    QTEST(controls.get(P::Frame2Height), "browserFrameHeight");
    QTEST(controls.get(P::WebBrowser1Width), "browserWidth");
    QTEST(controls.get(P::WebBrowser1Height), "browserHeight");
    // Nothing the layout only reads is touched.
    QCOMPARE(controls.get(P::FraPlaylistLeft), 5640.f);
    QCOMPARE(controls.get(P::cmdAddItemWidth), 795.f);
}

QTEST_APPLESS_MAIN(LayoutArithmetic)
#include "tst_layout_arithmetic.moc"
