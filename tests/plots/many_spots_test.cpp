// Drawings of many spots: styled in parts on several cores, painted in bands of rows, and
// composed nearest first.

#include <QTest>
#include <random>

#include "plot_fixtures.h"
#include "plots/image_canvas.h"
#include "plots/plot_drawing.h"
#include "plots/recording_canvas.h"
#include "plots/rotation.h"

using namespace tesral;
using namespace tesral::test;
using Kind = RecordingCanvas::Kind;

namespace {

RecordingCanvas drawn(PlotKind kind, const PlotState& state, const PlotTarget& target) {
    RecordingCanvas canvas;
    if (!drawPlot(kind, state.data(), state.options, target, canvas)) qWarning("not drawn");
    return canvas;
}

}  // namespace

class ManySpotsTest : public QObject {
    Q_OBJECT

  private slots:
    void manySpotsKeepTheirOrderAndFills();
    void bandsPaintLikeOneSpotAtATime();
    void nearestFirstLooksLikeFarthestFirst();
};

void ManySpotsTest::manySpotsKeepTheirOrderAndFills() {
    // Enough rows to be styled in parts on several cores. Long runs of unknown classes carry
    // a fill across the parts' borders; main spots add their red circle right after.
    std::vector<Spot> spots(60000);
    for (std::size_t i = 0; i < spots.size(); ++i) {
        spots[i].y = static_cast<float>(i % 300) / 150.0f - 1.0f;  // the 3D plot's horizontal
        spots[i].directionClass = i == 10000 ? 1 : i == 45000 ? 2 : 5;
        spots[i].isMainSpot = i % 997 == 0;
    }
    PlotState state = makeState(spots, makeStatistics(2, 30, 1, 2));
    state.options.filledSpots = false;
    state.options.highlightDirections = true;
    state.options.highlightMainSpots = true;
    const auto circles = drawn(PlotKind::ThreeD, state, makeTarget()).items(Kind::Circle);

    SpotStyler styler(state.options, 255.0f / 30, startColours(false, kBlack, kWhite));
    std::size_t at = 0;
    for (std::size_t i = 0; i < spots.size(); ++i) {
        QVERIFY(at < circles.size());
        QCOMPARE(circles[at].fill, styler.styleSpot(state.table[i]));
        QCOMPARE(circles[at++].x, double(675.0f * spots[i].y + 1500.0f));  // 0.9 x 1500 / 2
        if (spots[i].isMainSpot) QCOMPARE(circles[at++].fill, kMainSpotRed);
    }
    QCOMPARE(at, circles.size());
}

void ManySpotsTest::bandsPaintLikeOneSpotAtATime() {
    // Small and large spots, opaque and translucent, some across the edges.
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> x(-300, 6300), y(-300, 4800), r(4, 400);
    std::uniform_int_distribution<int> channel(0, 255);
    std::vector<CanvasSpot> spots(30000);
    for (CanvasSpot& s : spots)
        s = {x(rng), y(rng), r(rng),
             qRgba(channel(rng), channel(rng), channel(rng), channel(rng) < 40 ? 128 : 255)};
    QImage bands = ImageCanvas::makeImage(QSize(400, 300), 1.0);
    QImage single = bands.copy();
    ImageCanvas many(bands, 15.0), one(single, 15.0);
    many.clear(kBlack);
    one.clear(kBlack);
    many.circles(spots, kWhite);
    for (const CanvasSpot& s : spots) one.circle(s.x, s.y, s.r, kWhite, s.fill);
    QCOMPARE(bands, single);
}

void ManySpotsTest::nearestFirstLooksLikeFarthestFirst() {
    // Half a million rows in a small box: nearest first on a bitmap, and farthest first
    // through a canvas that does not offer it, give nearly the same picture.
    struct FarthestFirst : PlotCanvas {
        explicit FarthestFirst(PlotCanvas& to) : to(to) {}
        void clear(QRgb background) override { to.clear(background); }
        void circle(double x, double y, double r, QRgb outline, QRgb fill) override {
            to.circle(x, y, r, outline, fill);
        }
        void circles(std::span<const CanvasSpot> spots, QRgb outline) override {
            to.circles(spots, outline);
        }
        void text(double x, double y, const QString& t, QRgb colour, const QFont& font,
                  TextRole role) override {
            to.text(x, y, t, colour, font, role);
        }
        PlotCanvas& to;
    };
    std::mt19937 rng(11);
    std::normal_distribution<float> u(0.0f, 0.6f);
    std::uniform_real_distribution<float> qi(0.3f, 3.0f), theta(1, 30);
    std::vector<Spot> spots(520000);
    for (Spot& s : spots)
        s = {.x = u(rng), .y = u(rng), .z = u(rng), .theta = theta(rng), .qi = qi(rng)};
    PlotState state = makeState(spots, makeStatistics(2, 30, 1, 2));
    sortByDepth(state.points);
    state.options.colourByTheta = true;
    QImage nearest = ImageCanvas::makeImage(QSize(200, 100), 1.0);
    QImage farthest = nearest.copy();
    ImageCanvas under(nearest, 15.0), plain(farthest, 15.0);
    FarthestFirst wrapped(plain);
    QVERIFY(draw3D(state.data(), state.options, makeTarget(), under));
    QVERIFY(draw3D(state.data(), state.options, makeTarget(), wrapped));
    int worst = 0;
    long total = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x) {
            const QRgb a = nearest.pixel(x, y), b = farthest.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                              std::abs(qBlue(a) - qBlue(b))});
            total += std::abs(qRed(a) - qRed(b));
        }
    // Farthest first, every blend is cut to whole levels, so a pixel under many faint edges
    // stops short of its colour (here by up to 61 levels); on average they agree closely.
    QVERIFY(total / 20000.0 < 8.0);
    QVERIFY(worst < 100);
}

QTEST_MAIN(ManySpotsTest)
#include "many_spots_test.moc"
