#include <QGuiApplication>
#include <QTest>
#include <algorithm>
#include <cmath>

#include "plots/picture_settings.h"
#include "plots/powder_drawing.h"
#include "plots/powder_picture.h"
#include "plots/recording_canvas.h"

using namespace tesral;

namespace {

/** Two Gaussian lines on 10..120 degrees at 0.01, the second labelled and stronger. */
struct Pattern {
    std::vector<double> profile;
    std::vector<PowderTick> ticks{{30.0, 1.0, QStringLiteral("6/9")},
                                  {60.0, 2.0, QStringLiteral("18/29")},
                                  {60.02, 0.1, QStringLiteral("20/32")}};
    Pattern() {
        for (int i = 0; i <= 11000; ++i) {
            const double x = 10.0 + 0.01 * i;
            profile.push_back(50.0 * std::exp(-(x - 30) * (x - 30) / 0.01) +
                              100.0 * std::exp(-(x - 60) * (x - 60) / 0.01));
        }
    }
    PowderPlotData data() const {
        PowderPlotData d;
        d.start = 10.0;
        d.step = 0.01;
        d.profile = profile;
        d.ticks = ticks;
        return d;
    }
};

PlotTarget target() {
    PictureSettings settings;
    settings.size = QSize(800, 500);
    settings.font = defaultPlotFont();
    return pictureTarget(settings);
}

std::vector<RecordingCanvas::Item> linesOf(const RecordingCanvas& canvas, QRgb colour) {
    std::vector<RecordingCanvas::Item> out;
    for (const auto& item : canvas.items(RecordingCanvas::Kind::Polyline))
        if (item.outline == colour) out.push_back(item);
    return out;
}

}  // namespace

class PowderDrawingTest : public QObject {
    Q_OBJECT

  private slots:
    void drawsCurveTicksAxesAndLabelsOfTheStrongestLines() {
        const Pattern pattern;
        RecordingCanvas canvas;
        const PlotTarget t = target();
        QVERIFY(drawPowderPlot(pattern.data(), t, canvas));
        QStringList texts;
        for (const auto& item : canvas.items(RecordingCanvas::Kind::Text)) texts << item.text;
        QVERIFY(texts.contains(QStringLiteral("18/29")));
        QVERIFY(texts.contains(QStringLiteral("6/9")));
        // The weak line beside the strongest would cover its label.
        QVERIFY(!texts.contains(QStringLiteral("20/32")));
        QVERIFY(texts.contains(QStringLiteral("2-theta (degrees)")));
        QVERIFY(texts.contains(QStringLiteral("100")));
        QVERIFY(texts.contains(QStringLiteral("60")));
        // Ticks: one per pixel column, so the two lines 0.02 degrees apart share one.
        QCOMPARE(linesOf(canvas, kTickColour).size(), std::size_t{2});
        // The profile: at most two points per pixel column of the 800 pixels.
        const auto ink = linesOf(canvas, t.foreground);
        const auto curve = std::max_element(ink.begin(), ink.end(), [](auto& a, auto& b) {
            return a.points.size() < b.points.size();
        });
        QVERIFY(curve->points.size() > 100);
        QVERIFY(curve->points.size() <= 2 * 800);
    }

    void drawsTheMeasuredPatternAndTheDifference() {
        const Pattern pattern;
        PowderPlotData data = pattern.data();
        const std::vector<double> y = pattern.profile;
        std::vector<double> xs;
        for (std::size_t i = 0; i < y.size(); ++i) xs.push_back(10.0 + 0.01 * i);
        data.measuredTwoTheta = xs;
        data.measuredIntensity = y;
        data.difference = true;
        RecordingCanvas canvas;
        QVERIFY(drawPowderPlot(data, target(), canvas));
        QCOMPARE(linesOf(canvas, kMeasuredColour).size(), std::size_t{1});
        QCOMPARE(linesOf(canvas, kDifferenceColour).size(), std::size_t{1});

        // A refined fit is drawn instead of the profile: matching the measured points, it
        // leaves the difference flat whatever the profile holds.
        const std::vector<double> flat(y.size(), 0.0);
        data.profile = flat;
        data.fitted = y;
        RecordingCanvas fitted;
        QVERIFY(drawPowderPlot(data, target(), fitted));
        const auto difference = linesOf(fitted, kDifferenceColour);
        QCOMPARE(difference.size(), std::size_t{1});
        for (const QPointF& p : difference[0].points)
            QCOMPARE(p.y(), difference[0].points.front().y());
        const auto ink = linesOf(fitted, target().foreground);
        const double top = std::min_element(ink.back().points.begin(), ink.back().points.end(),
                                            [](auto& a, auto& b) { return a.y() < b.y(); })
                               ->y();
        QVERIFY(top < difference[0].points.front().y() - 1000.0);
    }

    void drawsAComparedPatternAsASecondCurveWithALegend() {
        const Pattern pattern;
        PowderPlotData data = pattern.data();
        std::vector<double> compared;
        for (int i = 0; i <= 11000; ++i) {
            const double x = 10.0 + 0.01 * i;
            compared.push_back(100.0 * std::exp(-(x - 45) * (x - 45) / 0.01));
        }
        data.compared = compared;
        data.name = QStringLiteral("approximant 1/1");
        data.comparedName = QStringLiteral("quasicrystal");
        RecordingCanvas canvas;
        const PlotTarget t = target();
        QVERIFY(drawPowderPlot(data, t, canvas));
        const auto curves = [&](QRgb colour) {
            std::vector<RecordingCanvas::Item> out;
            for (const auto& item : linesOf(canvas, colour))
                if (item.points.size() > 100) out.push_back(item);
            return out;
        };
        QCOMPARE(curves(t.foreground).size(), std::size_t{1});
        const auto second = curves(kComparedColour);
        QCOMPARE(second.size(), std::size_t{1});
        // Its own peak reaches the top of the scale, where the calculated one's does.
        const auto peakOf = [](const RecordingCanvas::Item& curve) {
            return *std::min_element(curve.points.begin(), curve.points.end(),
                                     [](auto& a, auto& b) { return a.y() < b.y(); });
        };
        const PowderFrame f = powderFrame(data, t);
        QVERIFY(std::fabs(peakOf(second[0]).x() - f.xOf(45.0)) < 2.0 * t.twipsPerPixelX);
        QVERIFY(std::fabs(peakOf(second[0]).y() - peakOf(curves(t.foreground)[0]).y()) < 1.0);
        QStringList texts;
        for (const auto& item : canvas.items(RecordingCanvas::Kind::Text)) texts << item.text;
        QVERIFY(texts.contains(data.name));
        QVERIFY(texts.contains(data.comparedName));
    }

    void writesEveryPictureFormat() {
        const Pattern pattern;
        PictureSettings settings;
        settings.size = QSize(600, 400);
        settings.font = defaultPlotFont();
        for (const auto& [format, magic] : std::vector<std::pair<PictureFormat, QByteArray>>{
                 {PictureFormat::Png, "\x89PNG"},
                 {PictureFormat::Svg, "<?xml"},
                 {PictureFormat::Pdf, "%PDF"},
                 {PictureFormat::Wmf, "\xd7\xcd\xc6\x9a"}}) {
            const std::optional<QByteArray> bytes =
                renderPowderPicture(format, pattern.data(), settings);
            QVERIFY(bytes.has_value());
            QVERIFY2(bytes->startsWith(magic), magic.constData());
        }
    }
};

QTEST_MAIN(PowderDrawingTest)
#include "powder_drawing_test.moc"
