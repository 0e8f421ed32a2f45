// The zero-layer and 3D drawings, read back from a recording canvas.

#include <QTest>

#include "plot_fixtures.h"
#include "plots/plot_drawing.h"
#include "plots/recording_canvas.h"

using namespace tesral;
using namespace tesral::test;
using Kind = RecordingCanvas::Kind;

Q_DECLARE_METATYPE(tesral::PlotOptions)
Q_DECLARE_METATYPE(tesral::TableStatistics)

namespace {

RecordingCanvas drawn(PlotKind kind, const PlotState& state, const PlotTarget& target,
                      bool expectSuccess = true) {
    RecordingCanvas canvas;
    const bool ok = drawPlot(kind, state.data(), state.options, target, canvas);
    if (ok != expectSuccess) qWarning("drawing returned %d", ok);
    return canvas;
}

PlotOptions sizeRuleOff() {
    PlotOptions o;
    o.sizeByInverseQi = false;
    return o;
}

}  // namespace

class PlotDrawingTest : public QObject {
    Q_OBJECT

  private slots:
    void spotCentresAndRadii_data();
    void spotCentresAndRadii();
    void fillColours_data();
    void fillColours();
    void carriedOverFill();
    void mainSpotSecondCircle();
    void labels_data();
    void labels();
    void zeroLayerFilter();
    void spotAreaByIntensity();
    void failureLeavesCanvasUntouched_data();
    void failureLeavesCanvasUntouched();
    void emptyTableClearsToBackground();
    void threeDPlacesByRotatedColumns();
    void threeDLegend();
};

void PlotDrawingTest::spotCentresAndRadii_data() {
    QTest::addColumn<PlotOptions>("options");
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("y");
    QTest::addColumn<float>("qi");
    QTest::addColumn<double>("px");
    QTest::addColumn<double>("py");
    QTest::addColumn<double>("r");

    // Box 3000 x 1500 twips, maxZeroLayerX 2: scale 750 twips per 1/angstrom.
    const PlotOptions off = sizeRuleOff();
    QTest::newRow("size rule off: 4 pixels")
        << off << 0.0f << 0.0f << 0.3f << 1500.0 << 750.0 << 60.0;
    QTest::newRow("x = maxZeroLayerX on the right edge")
        << off << 2.0f << 0.0f << 0.3f << 3000.0 << 750.0 << 60.0;
    QTest::newRow("left edge, y grows downward")
        << off << -2.0f << 0.5f << 0.3f << 0.0 << 1125.0 << 60.0;
    QTest::newRow("qi 0.5: 2 pixels")
        << PlotOptions{} << 1.0f << -1.0f << 0.5f << 2250.0 << 0.0 << 30.0;
    QTest::newRow("qi 0.1: 6 pixels")
        << PlotOptions{} << 0.0f << 0.0f << 0.1f << 1500.0 << 750.0 << 90.0;
    // A zero qi would make the spot endless; it takes the smallest positive qi (0.25).
    QTest::newRow("qi 0: 3 pixels")
        << PlotOptions{} << 0.0f << 0.0f << 0.0f << 1500.0 << 750.0 << 45.0;
    PlotOptions zoomed = off;
    zoomed.zoom2D = 2.0f;
    zoomed.spotSlider = 25;
    QTest::newRow("zoom 2, slider 25")
        << zoomed << 1.0f << 0.0f << 0.3f << 3000.0 << 750.0 << 300.0;
    PlotOptions slider0 = off;
    slider0.spotSlider = 0;
    QTest::newRow("slider 0") << slider0 << 1.0f << 0.0f << 0.3f << 2250.0 << 750.0 << 0.0;
}

void PlotDrawingTest::spotCentresAndRadii() {
    QFETCH(PlotOptions, options);
    QFETCH(float, x);
    QFETCH(float, y);
    QFETCH(float, qi);
    PlotState state = makeState({{.x = x, .y = y, .qi = qi}}, makeStatistics(2, 30, 1, 2));
    state.options = options;
    const auto circles = drawn(PlotKind::ZeroLayer, state, makeTarget()).items(Kind::Circle);
    QCOMPARE(circles.size(), std::size_t{1});
    QTEST(circles[0].x, "px");
    QTEST(circles[0].y, "py");
    QTEST(circles[0].r, "r");
}

void PlotDrawingTest::fillColours_data() {
    QTest::addColumn<PlotOptions>("options");
    QTest::addColumn<bool>("whiteBackground");
    QTest::addColumn<float>("theta");
    QTest::addColumn<float>("qi");
    QTest::addColumn<int>("directionClass");
    QTest::addColumn<QRgb>("outline");
    QTest::addColumn<QRgb>("fill");

    // maxTheta 25.5 gives k = 10 exactly; maxQi 0.8 gives k = 250 with the 1/qi rule.
    const PlotOptions plain;
    PlotOptions unfilled;
    unfilled.filledSpots = false;
    PlotOptions byTheta;
    byTheta.colourByTheta = true;
    PlotOptions byQi;
    byQi.colourByInverseQi = true;
    PlotOptions unfilledByTheta = byTheta;
    unfilledByTheta.filledSpots = false;
    PlotOptions directions;
    directions.highlightDirections = true;
    PlotOptions directionsByTheta = byTheta;
    directionsByTheta.highlightDirections = true;
    PlotOptions unfilledDirections = directions;
    unfilledDirections.filledSpots = false;
    const QRgb grey = qRgb(200, 200, 200);
    auto g = [](int n) { return qRgb(n, n, n); };

    QTest::newRow("filled on black: white disc, no outline")
        << plain << false << 10.0f << 0.2f << 0 << kBlack << kWhite;
    QTest::newRow("filled on white") << plain << true << 10.0f << 0.2f << 0 << kWhite << kBlack;
    QTest::newRow("unfilled on black: black disc, white outline")
        << unfilled << false << 10.0f << 0.2f << 0 << kWhite << kBlack;
    QTest::newRow("unfilled on white")
        << unfilled << true << 10.0f << 0.2f << 0 << kBlack << kWhite;
    QTest::newRow("theta on black") << byTheta << false << 10.0f << 0.2f << 0 << kBlack << g(155);
    QTest::newRow("theta on white") << byTheta << true << 10.0f << 0.2f << 0 << kWhite << g(100);
    QTest::newRow("theta half rounds to even (132.5)")
        << byTheta << false << 12.25f << 0.2f << 0 << kBlack << g(132);
    QTest::newRow("theta half rounds to even (122.5)")
        << byTheta << false << 13.25f << 0.2f << 0 << kBlack << g(122);
    QTest::newRow("theta = maxTheta on black is black")
        << byTheta << false << 25.5f << 0.2f << 0 << kBlack << g(0);
    QTest::newRow("theta = maxTheta on white is white")
        << byTheta << true << 25.5f << 0.2f << 0 << kWhite << g(255);
    QTest::newRow("1/qi on black") << byQi << false << 10.0f << 0.2f << 0 << kBlack << g(205);
    QTest::newRow("1/qi on white") << byQi << true << 10.0f << 0.2f << 0 << kWhite << g(105);
    QTest::newRow("1/qi uses |qi|") << byQi << false << 10.0f << -0.2f << 0 << kBlack << g(205);
    QTest::newRow("unfilled: grey rules do not apply")
        << unfilledByTheta << false << 10.0f << 0.2f << 0 << kWhite << kBlack;
    QTest::newRow("along is green")
        << directions << false << 10.0f << 0.2f << 1 << kBlack << qRgb(0, 255, 0);
    QTest::newRow("between is blue")
        << directions << true << 10.0f << 0.2f << 2 << kWhite << qRgb(0, 0, 255);
    QTest::newRow("other is grey 200")
        << directions << false << 10.0f << 0.2f << 0 << kBlack << grey;
    QTest::newRow("direction overrides theta")
        << directionsByTheta << false << 10.0f << 0.2f << 1 << kBlack << qRgb(0, 255, 0);
    QTest::newRow("directions also colour unfilled spots")
        << unfilledDirections << false << 10.0f << 0.2f << 2 << kWhite << qRgb(0, 0, 255);
}

void PlotDrawingTest::fillColours() {
    QFETCH(PlotOptions, options);
    QFETCH(bool, whiteBackground);
    QFETCH(float, theta);
    QFETCH(float, qi);
    QFETCH(int, directionClass);
    PlotState state = makeState(
        {{.theta = theta, .qi = qi, .directionClass = static_cast<std::int16_t>(directionClass)}},
        makeStatistics(2, 25.5f, 0.8f, 2));
    state.options = options;
    const PlotTarget target =
        whiteBackground ? makeTarget(kWhite, kBlack) : makeTarget(kBlack, kWhite);
    for (PlotKind kind : {PlotKind::ZeroLayer, PlotKind::ThreeD}) {
        const auto circles = drawn(kind, state, target).items(Kind::Circle);
        QCOMPARE(circles.size(), std::size_t{1});
        QTEST(circles[0].outline, "outline");
        QTEST(circles[0].fill, "fill");
    }
}

void PlotDrawingTest::carriedOverFill() {
    // Classes outside 0..2 keep the fill of the spot before; the first such spot keeps the
    // start colour (the background, as spots are unfilled).
    PlotState state = makeState({{.directionClass = 5},
                                 {.directionClass = 1},
                                 {.directionClass = 7},
                                 {.directionClass = 0},
                                 {.directionClass = -1}},
                                makeStatistics(2, 30, 1, 2));
    state.options.filledSpots = false;
    state.options.highlightDirections = true;
    const auto circles = drawn(PlotKind::ZeroLayer, state, makeTarget()).items(Kind::Circle);
    QCOMPARE(circles.size(), std::size_t{5});
    const QRgb expected[] = {kBlack, qRgb(0, 255, 0), qRgb(0, 255, 0), qRgb(200, 200, 200),
                             qRgb(200, 200, 200)};
    for (std::size_t i = 0; i < 5; ++i) QCOMPARE(circles[i].fill, expected[i]);
}

void PlotDrawingTest::mainSpotSecondCircle() {
    PlotState state = makeState({{.x = 1, .qi = 0.5f, .directionClass = 1, .isMainSpot = true},
                                 {.x = -1, .qi = 0.5f, .directionClass = 9}},
                                makeStatistics(2, 30, 1, 2));
    state.options.highlightDirections = true;
    for (PlotKind kind : {PlotKind::ZeroLayer, PlotKind::ThreeD}) {
        state.options.highlightMainSpots = false;
        QCOMPARE(drawn(kind, state, makeTarget()).items(Kind::Circle).size(), std::size_t{2});

        state.options.highlightMainSpots = true;
        const auto circles = drawn(kind, state, makeTarget()).items(Kind::Circle);
        QCOMPARE(circles.size(), std::size_t{3});
        QCOMPARE(circles[0].fill, qRgb(0, 255, 0));
        QCOMPARE(circles[1].fill, qRgb(255, 0, 0));
        QCOMPARE(circles[1].x, circles[0].x);
        QCOMPARE(circles[1].y, circles[0].y);
        QCOMPARE(circles[1].r, circles[0].r);
        QCOMPARE(circles[1].outline, circles[0].outline);
        // The red is not carried over to the next spot.
        QCOMPARE(circles[2].fill, qRgb(0, 255, 0));
    }
}

void PlotDrawingTest::labels_data() {
    QTest::addColumn<PlotOptions>("options");
    QTest::addColumn<float>("qi");
    QTest::addColumn<int>("indexDimension");
    QTest::addColumn<QString>("label");  // empty: no label

    PlotOptions shown = sizeRuleOff();
    shown.showIndices = true;
    PlotOptions byQi;
    byQi.showIndices = true;
    PlotOptions slider0 = shown;
    slider0.spotSlider = 0;
    QTest::newRow("radius 60 twips") << shown << 0.5f << 5 << QStringLiteral("1-2010");
    QTest::newRow("six indices") << shown << 0.5f << 6 << QStringLiteral("1-20100");
    QTest::newRow("radius 30 twips: none") << byQi << 0.5f << 5 << QString();
    QTest::newRow("radius 45 twips") << byQi << 0.25f << 5 << QStringLiteral("1-2010");
    QTest::newRow("slider 0: none") << slider0 << 0.5f << 5 << QString();
    QTest::newRow("indices off") << sizeRuleOff() << 0.5f << 5 << QString();
}

void PlotDrawingTest::labels() {
    QFETCH(PlotOptions, options);
    QFETCH(float, qi);
    QFETCH(int, indexDimension);
    QFETCH(QString, label);
    PlotState state = makeState({{.h = {1, -2, 0, 1, 0, 0}, .x = 1, .y = 1, .qi = qi}},
                                makeStatistics(2, 30, 1, 2), indexDimension);
    state.options = options;
    PlotTarget target = makeTarget();
    target.font.setFamily(QStringLiteral("Liberation Mono"));
    const auto texts = drawn(PlotKind::ZeroLayer, state, target).items(Kind::Text);
    if (label.isEmpty()) {
        QVERIFY(texts.empty());
    } else {
        QCOMPARE(texts.size(), std::size_t{1});
        QCOMPARE(texts[0].text, label);
        // The text's top-left corner is the spot centre.
        QCOMPARE(texts[0].x, 2250.0);
        QCOMPARE(texts[0].y, 1500.0);
        QCOMPARE(texts[0].outline, qRgb(0, 0, 255));
        QCOMPARE(texts[0].font.family(), QStringLiteral("Liberation Mono"));
        QVERIFY(texts[0].role == TextRole::Label);
    }
    // The 3D plot never labels its spots.
    QVERIFY(drawn(PlotKind::ThreeD, state, target).items(Kind::Text).empty());
}

void PlotDrawingTest::zeroLayerFilter() {
    const std::vector<Spot> spots = {{.h = {1, 0, 0, 0, 0, 0}, .x = 0.1f},
                                     {.h = {1, 0, 0, 0, 1, 0}, .x = 0.2f},
                                     {.h = {1, 0, 0, 0, 0, 1}, .x = 0.3f},
                                     {.h = {0, 0, 0, 0, -1, 0}, .x = 0.4f}};
    const auto xs = [&](int n) {
        const PlotState state = makeState(spots, makeStatistics(1, 30, 1, 1), n);
        std::vector<double> out;
        for (const auto& c : drawn(PlotKind::ZeroLayer, state, makeTarget()).items(Kind::Circle))
            out.push_back((c.x - 1500.0) / 1500.0);
        return out;
    };
    const auto near = [](const std::vector<double>& a, const std::vector<double>& b) {
        if (a.size() != b.size()) return false;
        for (std::size_t i = 0; i < a.size(); ++i)
            if (std::abs(a[i] - b[i]) > 1e-6) return false;
        return true;
    };
    QVERIFY(near(xs(5), {0.1, 0.3}));       // h5 = 0
    QVERIFY(near(xs(6), {0.1, 0.2, 0.4}));  // h6 = 0
    // The 3D plot has no layer filter.
    const PlotState state = makeState(spots, makeStatistics(1, 30, 1, 1), 5);
    QCOMPARE(drawn(PlotKind::ThreeD, state, makeTarget()).items(Kind::Circle).size(),
             std::size_t{4});
}

void PlotDrawingTest::spotAreaByIntensity() {
    // 100 % is 10 pixels (150 twips); 25 % half of that; below the 0.1 % threshold nothing.
    const std::vector<Spot> spots = {{.x = 0.1f, .intensity = 100.0f},
                                     {.x = 0.2f, .intensity = 25.0f},
                                     {.x = 0.3f, .intensity = 0.05f},
                                     {.x = 0.4f, .intensity = 0.0f}};
    for (const PlotKind kind : {PlotKind::ZeroLayer, PlotKind::ThreeD}) {
        PlotState state = makeState(spots, makeStatistics(1, 30, 1, 1), 5);
        QVERIFY(toggleFlag(state.options, PlotFlag::SizeByIntensity));
        QVERIFY(!state.options.sizeByInverseQi);
        const auto circles = drawn(kind, state, makeTarget()).items(Kind::Circle);
        QCOMPARE(circles.size(), std::size_t{2});
        // The 2D plot draws the weaker spot first, under the stronger one.
        const std::size_t strong = kind == PlotKind::ZeroLayer ? 1 : 0;
        QCOMPARE(circles[strong].r, 150.0);
        QCOMPARE(circles[1 - strong].r, 75.0);
    }
}

void PlotDrawingTest::failureLeavesCanvasUntouched_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<TableStatistics>("statistics");
    QTest::addColumn<PlotOptions>("options");
    QTest::addColumn<int>("indexDimension");
    QTest::addColumn<bool>("drawn");

    const TableStatistics good = makeStatistics(2, 30, 1, 2);
    PlotOptions byQi;
    byQi.colourByInverseQi = true;
    PlotOptions huge;
    huge.zoom2D = huge.zoom3D = 1e36f;
    const int z = static_cast<int>(PlotKind::ZeroLayer);
    const int d3 = static_cast<int>(PlotKind::ThreeD);
    TableStatistics noZeroLayer = good;
    noZeroLayer.maxZeroLayerX = 0;
    TableStatistics noTheta = good;
    noTheta.maxTheta = 0;
    TableStatistics noQi = good;
    noQi.maxQi = 0;
    TableStatistics noExtent = good;
    noExtent.maxX = noExtent.maxY = noExtent.maxZ = 0;

    QTest::newRow("2D, fine") << z << good << PlotOptions{} << 5 << true;
    QTest::newRow("2D, no zero-layer x") << z << noZeroLayer << PlotOptions{} << 5 << false;
    QTest::newRow("3D does not need it") << d3 << noZeroLayer << PlotOptions{} << 5 << true;
    QTest::newRow("2D, maxTheta 0") << z << noTheta << PlotOptions{} << 5 << false;
    QTest::newRow("3D, maxTheta 0") << d3 << noTheta << PlotOptions{} << 5 << false;
    QTest::newRow("2D, maxQi 0 without the 1/qi rule") << z << noQi << PlotOptions{} << 5 << true;
    QTest::newRow("2D, maxQi 0 with the 1/qi rule") << z << noQi << byQi << 5 << false;
    QTest::newRow("3D, maxQi 0 with the 1/qi rule") << d3 << noQi << byQi << 5 << false;
    QTest::newRow("3D, no coordinate extent") << d3 << noExtent << PlotOptions{} << 5 << false;
    QTest::newRow("before any run") << z << TableStatistics{} << PlotOptions{} << 0 << false;
    QTest::newRow("2D, overflowing zoom") << z << good << huge << 5 << false;
    QTest::newRow("3D, overflowing zoom") << d3 << good << huge << 5 << false;
}

void PlotDrawingTest::failureLeavesCanvasUntouched() {
    QFETCH(int, kind);
    QFETCH(TableStatistics, statistics);
    QFETCH(PlotOptions, options);
    QFETCH(int, indexDimension);
    QFETCH(bool, drawn);
    PlotState state = makeState({{.x = 1, .y = 1, .z = 1}}, statistics, indexDimension);
    state.options = options;
    RecordingCanvas canvas;
    const bool ok =
        drawPlot(static_cast<PlotKind>(kind), state.data(), state.options, makeTarget(), canvas);
    QCOMPARE(ok, drawn);
    // A fault is found before anything is drawn: the canvas stays untouched.
    QCOMPARE(canvas.items().size(), drawn ? std::size_t{2} : std::size_t{0});
}

void PlotDrawingTest::emptyTableClearsToBackground() {
    const PlotState state = makeState({}, makeStatistics(2, 30, 1, 2));
    for (PlotKind kind : {PlotKind::ZeroLayer, PlotKind::ThreeD}) {
        const auto items = drawn(kind, state, makeTarget(kWhite, kBlack)).items();
        QCOMPARE(items.size(), std::size_t{1});
        QVERIFY(items[0].kind == Kind::Clear);
        QCOMPARE(items[0].outline, kWhite);
    }
}

void PlotDrawingTest::threeDPlacesByRotatedColumns() {
    PlotState state =
        makeState({{.x = 1, .y = 2, .z = 0, .qi = 0.5f}, {.x = 0, .y = -1, .z = 1, .qi = 0.0f}},
                  makeStatistics(2, 30, 1, 4));
    // Rows in depth order, as after a sort: table row 1 is painted first.
    std::swap(state.points[0], state.points[1]);
    const auto circles = drawn(PlotKind::ThreeD, state, makeTarget()).items(Kind::Circle);
    QCOMPARE(circles.size(), std::size_t{2});
    // Scale (1500 / 4) x 0.9 = 337.5 twips per 1/angstrom about the centre (1500, 750).
    QCOMPARE(circles[0].x, 1500.0 - 337.5);
    QCOMPARE(circles[0].y, 750.0 + 337.5);
    QCOMPARE(circles[1].x, 1500.0 + 2 * 337.5);
    QCOMPARE(circles[1].y, 750.0);
    // qi = 0 takes the smallest positive qi (0.25): (1 / 0.25) / 2 + 1 = 3 pixels.
    QCOMPARE(circles[0].r, 45.0);
    QCOMPARE(circles[1].r, 30.0);

    state.points[0].row = 2;  // no such table row
    RecordingCanvas canvas;
    QVERIFY(!draw3D(state.data(), state.options, makeTarget(), canvas));
}

void PlotDrawingTest::threeDLegend() {
    // The legend is printed even when no spot is along or between the main directions.
    PlotState state = makeState({{.directionClass = 0}}, makeStatistics(2, 30, 1, 2));
    QVERIFY(drawn(PlotKind::ThreeD, state, makeTarget()).items(Kind::Text).empty());
    state.options.highlightDirections = true;
    const auto texts = drawn(PlotKind::ThreeD, state, makeTarget()).items(Kind::Text);
    QCOMPARE(texts.size(), std::size_t{2});
    QCOMPARE(texts[0].text, QStringLiteral("along"));
    QCOMPARE(texts[0].outline, qRgb(0, 255, 0));
    QCOMPARE(texts[0].x, 45.0);
    QCOMPARE(texts[0].y, 30.0);
    QCOMPARE(texts[1].text, QStringLiteral("between"));
    QCOMPARE(texts[1].outline, qRgb(0, 0, 255));
    QCOMPARE(texts[1].x, 45.0);
    QCOMPARE(texts[1].y, 225.0);
    QVERIFY(texts[0].role == TextRole::Legend && texts[1].role == TextRole::Legend);
    // The 2D plot has no legend.
    QVERIFY(drawn(PlotKind::ZeroLayer, state, makeTarget()).items(Kind::Text).empty());
}

QTEST_MAIN(PlotDrawingTest)
#include "plot_drawing_test.moc"
