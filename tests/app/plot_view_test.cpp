// The plot box: turning with keys and drags, its picture, and the zoom buttons.

#include <QHBoxLayout>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>
#include <random>

#include "app/plot_view.h"
#include "app/zoom_buttons.h"
#include "plot_fixtures.h"
#include "plots/image_canvas.h"
#include "plots/rotation.h"

using namespace tesral;
using namespace tesral::test;

namespace {

/** A session holding a finished run, with the options its boxes draw by. */
struct ViewState {
    Session session;
    PlotOptions options;

    ProjectedPoints& points() { return session.points(); }
};

/** Publishes a hand-made table as a completed run. */
void publish(ViewState& state, const PlotState& plot) {
    RunResult result;
    result.status = RunStatus::Completed;
    result.table = plot.table;
    result.statistics = plot.statistics;
    result.indexDimension = plot.indexDimension;
    state.session.publish(std::move(result), plot.points);
}

PlotState cloudPlot(std::size_t n = 60) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> u(-2.0f, 2.0f);
    std::vector<Spot> spots;
    for (std::size_t i = 0; i < n; ++i)
        spots.push_back({.h = {1, 0, 0, 0, 0, 0}, .x = u(rng), .y = u(rng), .z = u(rng)});
    return makeState(spots, makeStatistics(2, 30, 1, 2));
}

void cloudState(ViewState& state, std::size_t n = 60) {
    publish(state, cloudPlot(n));
}

/** Points indexed by table row, whatever order the sort left them in. */
ProjectedPoints byRow(const ProjectedPoints& points) {
    ProjectedPoints out(points.size());
    for (const ProjectedPoint& p : points) out[p.row] = p;
    return out;
}

float largestDifference(const ProjectedPoints& a, const ProjectedPoints& b) {
    const ProjectedPoints ra = byRow(a), rb = byRow(b);
    float worst = 0.0f;
    for (std::size_t r = 0; r < ra.size(); ++r)
        for (int c = 0; c < 3; ++c) worst = std::max(worst, std::fabs(ra[r][c] - rb[r][c]));
    return worst;
}

ProjectedPoints turned(ProjectedPoints points, int axis, float degrees) {
    Rotate(points, axis, degrees);
    return points;
}

bool depthSorted(const ProjectedPoints& p) {
    return std::is_sorted(p.begin(), p.end(),
                          [](const auto& a, const auto& b) { return a[0] > b[0]; });
}

void mouse(QWidget& w, QEvent::Type type, QPointF pos, Qt::MouseButton button,
           Qt::MouseButtons buttons) {
    QMouseEvent event(type, pos, w.mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &event);
}

/** A drag from `from` to `to` in `steps` equal moves with one button held. */
void drag(QWidget& w, QPointF from, QPointF to, int steps, Qt::MouseButton button) {
    mouse(w, QEvent::MouseButtonPress, from, button, button);
    for (int i = 1; i <= steps; ++i)
        mouse(w, QEvent::MouseMove, from + (to - from) * (double(i) / steps), Qt::NoButton, button);
    mouse(w, QEvent::MouseButtonRelease, to, button, Qt::NoButton);
}

QRgb pixel(const QImage& image, int x, int y) {
    return image.pixel(x, y) | 0xff000000u;
}

}  // namespace

class PlotViewTest : public QObject {
    Q_OBJECT

  private slots:
    void arrowKeysTurnFiveDegreesAndSort();
    void seventyTwoRightArrowsTurnFullCircle();
    void quarterWidthLeftDragTurnsLikeTheRightArrow();
    void verticalLeftDragTilts();
    void dragOfManyPointsEndsWithTheFullPicture();
    void slowDragDoesNotTurn();
    void rightDragTurnsOppositeWaysInTheTwoHalves();
    void turningNeedsResultsAndThe3DPlot();
    void failedDrawingKeepsThePicture();
    void imageCanvasPixels_data();
    void imageCanvasPixels();
    void zoomButtons();
    void plotsInATestWindow();
};

void PlotViewTest::arrowKeysTurnFiveDegreesAndSort() {
    ViewState state;
    cloudState(state);
    PlotView view(state.session, state.options, PlotKind::ThreeD);
    view.resize(300, 200);
    const ProjectedPoints start = state.points();
    struct Case {
        Qt::Key key;
        int axis;
        float degrees;
    };
    const Case cases[] = {
        {Qt::Key_Right, 3, 5}, {Qt::Key_Left, 3, -5}, {Qt::Key_Up, 2, 5}, {Qt::Key_Down, 2, -5}};
    for (const Case& c : cases) {
        state.points() = start;
        QTest::keyClick(&view, c.key);
        QVERIFY(largestDifference(state.points(), turned(start, c.axis, c.degrees)) == 0.0f);
        QVERIFY(depthSorted(state.points()));
    }
    state.points() = start;
    QTest::keyClick(&view, Qt::Key_Right);
    QTest::keyClick(&view, Qt::Key_Left);
    QVERIFY(largestDifference(state.points(), start) < 2e-6f);
}

void PlotViewTest::seventyTwoRightArrowsTurnFullCircle() {
    ViewState state;
    cloudState(state);
    PlotView view(state.session, state.options, PlotKind::ThreeD);
    view.resize(300, 200);
    const ProjectedPoints start = state.points();
    for (int i = 0; i < 72; ++i) QTest::keyClick(&view, Qt::Key_Right);
    QVERIFY(largestDifference(state.points(), start) < 1e-4f);
}

void PlotViewTest::quarterWidthLeftDragTurnsLikeTheRightArrow() {
    ViewState state;
    cloudState(state);
    PlotView view(state.session, state.options, PlotKind::ThreeD);
    view.resize(400, 300);
    const ProjectedPoints start = state.points();
    // 100 pixels in 25 moves of 1.8 degrees each.
    drag(view, {100, 150}, {200, 150}, 25, Qt::LeftButton);
    QVERIFY(largestDifference(state.points(), turned(start, 3, 45.0f)) < 1e-4f);
    QVERIFY(depthSorted(state.points()));

    ViewState byKeys;
    cloudState(byKeys);
    PlotView keyed(byKeys.session, byKeys.options, PlotKind::ThreeD);
    for (int i = 0; i < 9; ++i) QTest::keyClick(&keyed, Qt::Key_Right);
    QVERIFY(largestDifference(state.points(), byKeys.points()) < 1e-4f);
}

void PlotViewTest::dragOfManyPointsEndsWithTheFullPicture() {
    // Too many points to sort at every move: a part is drawn while the mouse moves, and the
    // release sorts them all and draws them, as a key turn would.
    ViewState state;
    cloudState(state, 250'000);
    PlotView view(state.session, state.options, PlotKind::ThreeD);
    view.resize(400, 300);
    const ProjectedPoints start = state.points();
    mouse(view, QEvent::MouseButtonPress, {100, 150}, Qt::LeftButton, Qt::LeftButton);
    mouse(view, QEvent::MouseMove, {200, 150}, Qt::NoButton, Qt::LeftButton);
    const QImage moving = view.picture();
    mouse(view, QEvent::MouseButtonRelease, {200, 150}, Qt::LeftButton, Qt::NoButton);
    QVERIFY(depthSorted(state.points()));
    QVERIFY(largestDifference(state.points(), turned(start, 3, 45.0f)) < 1e-4f);
    const QImage released = view.picture();
    QVERIFY(moving != released);
    QVERIFY(view.redraw());
    QCOMPARE(view.picture(), released);
}

void PlotViewTest::verticalLeftDragTilts() {
    ViewState state;
    cloudState(state);
    PlotView view(state.session, state.options, PlotKind::ThreeD);
    view.resize(400, 300);
    const ProjectedPoints start = state.points();
    // Upward by a quarter of the width: +45 degrees about axis 2, like 9 up arrows.
    drag(view, {200, 250}, {200, 150}, 20, Qt::LeftButton);
    QVERIFY(largestDifference(state.points(), turned(start, 2, 45.0f)) < 1e-4f);
}

void PlotViewTest::slowDragDoesNotTurn() {
    ViewState state;
    cloudState(state);
    PlotView view(state.session, state.options, PlotKind::ThreeD);
    view.resize(400, 300);
    const ProjectedPoints start = state.points();
    // Moves of 0.2 pixels are 0.09 degrees: each is dropped, however many there are.
    drag(view, {100, 150}, {110, 150}, 50, Qt::LeftButton);
    QCOMPARE(state.points(), start);
}

void PlotViewTest::rightDragTurnsOppositeWaysInTheTwoHalves() {
    struct Case {
        double x;
        float degrees;
    };
    // 40 pixels down in a 400-pixel box: (40 / 400) x 360 / 2 = 18 degrees about axis 1.
    for (const Case c : {Case{300, 18.0f}, Case{100, -18.0f}}) {
        ViewState state;
        cloudState(state);
        PlotView view(state.session, state.options, PlotKind::ThreeD);
        view.resize(400, 300);
        const ProjectedPoints start = state.points();
        drag(view, {c.x, 100}, {c.x, 140}, 1, Qt::RightButton);
        QVERIFY(largestDifference(state.points(), turned(start, 1, c.degrees)) < 1e-5f);
        // Turning in the screen plane keeps the depths, so the rows are not re-ordered.
        for (std::size_t r = 0; r < start.size(); ++r)
            QCOMPARE(state.points()[r].row, start[r].row);
    }
}

void PlotViewTest::turningNeedsResultsAndThe3DPlot() {
    ViewState state;
    cloudState(state);
    const ProjectedPoints start = state.points();
    PlotView zeroLayer(state.session, state.options, PlotKind::ZeroLayer);
    zeroLayer.resize(400, 300);
    QTest::keyClick(&zeroLayer, Qt::Key_Right);
    drag(zeroLayer, {100, 150}, {200, 150}, 10, Qt::LeftButton);
    QCOMPARE(state.points(), start);

    // While a run fills the session, the 3D box neither turns nor redraws.
    PlotView threeD(state.session, state.options, PlotKind::ThreeD);
    threeD.resize(400, 300);
    threeD.setBusy(true);
    QTest::keyClick(&threeD, Qt::Key_Right);
    drag(threeD, {100, 150}, {200, 150}, 10, Qt::LeftButton);
    threeD.rotate(3, 5.0f);
    QCOMPARE(state.points(), start);
    QVERIFY(!threeD.redraw());
    threeD.setBusy(false);

    // rotate turns without sorting, for any caller.
    threeD.rotate(3, 5.0f);
    QCOMPARE(state.points(), turned(start, 3, 5.0f));
    threeD.rotate(4, 5.0f);
    QCOMPARE(state.points(), turned(start, 3, 5.0f));
    state.points() = start;

    // The large view turns once it shows the 3D plot.
    zeroLayer.setKind(PlotKind::ThreeD);
    QTest::keyClick(&zeroLayer, Qt::Key_Right);
    QVERIFY(state.points() != start);

    // Without results nothing turns.
    state.session.clear();
    QTest::keyClick(&threeD, Qt::Key_Right);
    QVERIFY(state.points().empty());
}

void PlotViewTest::failedDrawingKeepsThePicture() {
    for (PlotKind kind : {PlotKind::ZeroLayer, PlotKind::ThreeD}) {
        ViewState state;
        PlotState plot = cloudPlot();
        publish(state, plot);
        PlotView view(state.session, state.options, kind);
        view.resize(200, 150);
        QVERIFY(view.redraw());
        const QImage before = view.picture();
        QVERIFY(!before.isNull());

        plot.statistics.maxTheta = 0.0f;  // nothing to scale the greys by
        publish(state, plot);
        state.options.zoom2D = state.options.zoom3D = 2.0f;
        QVERIFY(!view.redraw());
        QCOMPARE(view.picture(), before);

        view.setColours(kWhite, kBlack);
        view.clearPicture();
        QCOMPARE(pixel(view.picture(), 100, 75), kWhite);
    }
}

void PlotViewTest::imageCanvasPixels_data() {
    QTest::addColumn<double>("ratio");
    QTest::addColumn<bool>("filled");
    QTest::addColumn<int>("radius");  // logical pixels
    // Small spots are stamped from masks, large ones painted pixel by pixel.
    for (int radius : {6, 20}) {
        const QByteArray r = " r " + QByteArray::number(radius);
        QTest::newRow("filled" + r) << 1.0 << true << radius;
        QTest::newRow("filled, high-resolution screen" + r) << 2.0 << true << radius;
        QTest::newRow("unfilled" + r) << 1.0 << false << radius;
        QTest::newRow("unfilled, high-resolution screen" + r) << 2.0 << false << radius;
    }
}

void PlotViewTest::imageCanvasPixels() {
    QFETCH(double, ratio);
    QFETCH(bool, filled);
    QFETCH(int, radius);
    // One spot at (50, 40) in a 100 x 80 box: fill white or black on black.
    QImage image = ImageCanvas::makeImage(QSize(100, 80), ratio);
    ImageCanvas canvas(image, 15.0);
    canvas.clear(kBlack);
    const QRgb outline = filled ? kBlack : kWhite;
    const QRgb fill = filled ? kWhite : kBlack;
    canvas.circle(750, 600, radius * 15.0, outline, fill);
    canvas.circle(1500, 1200, 30, kWhite, kWhite);  // half of it lies outside the picture

    const auto at = [&](double x, double y) {
        return pixel(image, static_cast<int>(x * ratio), static_cast<int>(y * ratio));
    };
    QCOMPARE(image.size(), QSize(100, 80) * ratio);
    QCOMPARE(at(50, 40), fill);
    QCOMPARE(at(50 + radius - 2, 40), fill);
    QCOMPARE(at(50, 40 - radius + 2), fill);
    QCOMPARE(at(50 + radius + 3, 40), kBlack);
    QCOMPARE(at(2, 2), kBlack);
    QCOMPARE(at(99.5, 79.5), kWhite);
    if (!filled) {
        // The white outline ring lies on the radius.
        QVERIFY(qRed(at(50 + radius, 40)) > 100);
        QVERIFY(qRed(at(50, 40 + radius)) > 100);
        QVERIFY(qRed(at(50 - radius - 0.5, 40)) > 100);
    }
    // The disc is round at device resolution: as wide as it is high, and white to within
    // the black outline (radius - 0.5 pixels).
    int across = 0, down = 0;
    for (int i = 0; i < image.width(); ++i)
        across += qRed(pixel(image, i, int(40 * ratio))) > 127 ? 1 : 0;
    for (int j = 0; j < image.height(); ++j)
        down += qRed(pixel(image, int(50 * ratio), j)) > 127 ? 1 : 0;
    QCOMPARE(across, down);
    if (filled) QVERIFY(std::abs(across - int((2 * radius - 1) * ratio)) <= 1);
}

void PlotViewTest::zoomButtons() {
    PlotOptions options;
    ZoomButtons buttons(options);
    QSignalSpy changed(&buttons, &ZoomButtons::zoomChanged);
    const std::pair<const char*, const char*> expected[] = {
        {"bDEC2D", "zoom out"}, {"bINC2D", "zoom in"}, {"bReset2D", "reset zoom"},
        {"bDEC3D", "zoom out"}, {"bINC3D", "zoom in"}, {"bReset3D", "reset zoom"}};
    const auto button = [&buttons](const char* name) {
        return buttons.findChild<QToolButton*>(QLatin1String(name));
    };
    for (auto [name, tip] : expected) {
        QVERIFY2(button(name), name);
        QCOMPARE(button(name)->toolTip(), QLatin1String(tip));
    }
    for (int i = 0; i < 3; ++i) button("bINC2D")->click();
    QCOMPARE(options.zoom2D, 1.3f * 1.3f * 1.3f);
    QCOMPARE(options.zoom3D, 1.0f);
    button("bReset2D")->click();
    QCOMPARE(options.zoom2D, 1.0f);
    button("bDEC3D")->click();
    QCOMPARE(options.zoom3D, 1.0f / 1.3f);
    QCOMPARE(changed.count(), 5);
    QCOMPARE(changed.last().at(0).value<PlotKind>(), PlotKind::ThreeD);
}

void PlotViewTest::plotsInATestWindow() {
    ViewState state;
    cloudState(state, 200);
    QWidget window;
    auto* pb2D = new PlotView(state.session, state.options, PlotKind::ZeroLayer);
    auto* pb3D = new PlotView(state.session, state.options, PlotKind::ThreeD);
    pb2D->setObjectName(QStringLiteral("pb2D"));
    pb3D->setObjectName(QStringLiteral("pb3D"));
    auto* zoom = new ZoomButtons(state.options);
    auto* plots = new QHBoxLayout;
    plots->addWidget(pb2D);
    plots->addWidget(pb3D);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(zoom);
    layout->addLayout(plots);
    QObject::connect(zoom, &ZoomButtons::zoomChanged, &window,
                     [&](PlotKind kind) { (kind == PlotKind::ThreeD ? pb3D : pb2D)->redraw(); });
    window.resize(640, 360);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(!pb3D->picture().isNull());  // drawn on its first resize

    const QImage before2D = pb2D->picture();
    const QImage before3D = pb3D->picture();
    zoom->findChild<QToolButton*>(QStringLiteral("bINC3D"))->click();
    QCOMPARE(pb2D->picture(), before2D);
    QVERIFY(pb3D->picture() != before3D);

    pb3D->setFocus();
    QTest::keyClick(pb3D, Qt::Key_Up);
    QVERIFY(pb3D->picture() != before3D);
    QCOMPARE(window.findChild<PlotView*>(QStringLiteral("pb3D")), pb3D);
}

QTEST_MAIN(PlotViewTest)
#include "plot_view_test.moc"
