// The zone-axis pattern, read back from a recording canvas.

#include <QFontMetricsF>
#include <QTest>
#include <cmath>

#include "plots/recording_canvas.h"
#include "plots/spot_style.h"
#include "plots/zone_drawing.h"

using namespace tesral;
using Kind = RecordingCanvas::Kind;

namespace {

PlotTarget target() {
    PlotTarget t;
    t.width = t.height = 800 * 15;
    return t;
}

ReflectionRecord row(float qi, float intensity) {
    ReflectionRecord r;
    r.v[kH1] = 1.0f;
    r.v[kQi] = qi;
    r.v[kQe] = 1.0f;
    r.v[kIntensity] = intensity;
    return r;
}

bool hasText(const RecordingCanvas& canvas, const QString& part) {
    for (const auto& item : canvas.items(Kind::Text))
        if (item.text.contains(part)) return true;
    return false;
}

}  // namespace

class ZoneDrawingTest : public QObject {
    Q_OBJECT

  private slots:
    void emptySectionSaysSo() {
        RecordingCanvas canvas;
        ZonePatternData data;
        data.indexDimension = 5;
        QVERIFY(drawZonePattern(data, PlotOptions(), target(), canvas));
        QVERIFY(hasText(canvas, kEmptySectionText));
    }

    // Section spots filled, near-zone spots hollow, areas by intensity, mirrored about the
    // origin as the plane's coordinates say; the scale bar in 1/nm or in film millimetres.
    void spotsAndScaleBar() {
        const std::vector<ReflectionRecord> rows = {row(0.1f, 100.0f), row(0.1f, 25.0f),
                                                    row(0.1f, 25.0f)};
        const std::vector<ZoneSpot> spots = {
            {1.0, 0.0, 0.0, false}, {-1.0, 0.0, 0.0, false}, {0.0, 0.5, 0.01, true}};
        ZonePatternData data;
        data.table = rows;
        data.spots = spots;
        data.indexDimension = 5;
        PlotOptions options;
        options.sizeByIntensity = true;
        RecordingCanvas canvas;
        QVERIFY(drawZonePattern(data, options, target(), canvas));
        std::vector<RecordingCanvas::Item> spotItems;
        for (const auto& c : canvas.items(Kind::Circle))
            if (c.r > 3 * 15) spotItems.push_back(c);  // not the bar's dots nor the origin
        QCOMPARE(spotItems.size(), std::size_t{3});
        // Area by intensity (25 and 100), the smaller spot drawn first, under the larger.
        QCOMPARE(spotItems[1].r, 2.0 * spotItems[0].r);
        QCOMPARE(spotItems[1].x - 6000, 6000 - spotItems[0].x);
        QCOMPARE(qAlpha(spotItems[2].fill), 0);  // hollow
        QVERIFY(spotItems[2].y < 6000);          // y upward
        QVERIFY(hasText(canvas, QStringLiteral(" nm\u207b\u00b9")));

        data.cameraLength = 1000;
        data.wavelength = 0.025;
        RecordingCanvas film;
        QVERIFY(drawZonePattern(data, options, target(), film));
        QVERIFY(hasText(film, QStringLiteral(" mm at L = 1000 mm")));
    }

    // Labels: indices apart, a colour that reads on black and on white, beside their spots
    // and never over a spot or another label.
    void labelsStandApartFromSpotsAndEachOther() {
        std::vector<ReflectionRecord> rows;
        std::vector<ZoneSpot> spots;
        for (int i = 0; i < 40; ++i) {
            ReflectionRecord r = row(0.1f, 100.0f - static_cast<float>(i));
            r.v[kH1] = static_cast<float>(i % 3 - 1);
            r.v[kH1 + 1] = -2.0f;
            rows.push_back(r);
            // A crowded ring: the labels cannot all fit.
            const double angle = 0.157 * i;
            spots.push_back({std::cos(angle) * (1 + 0.02 * i), std::sin(angle), 0.0, false});
        }
        ZonePatternData data;
        data.table = rows;
        data.spots = spots;
        data.indexDimension = 5;
        PlotOptions options;
        options.sizeByIntensity = true;
        RecordingCanvas canvas;
        QVERIFY(drawZonePattern(data, options, target(), canvas));
        std::vector<QRectF> discs, labels;
        for (const auto& c : canvas.items(Kind::Circle))
            if (c.r > 2 * 15) discs.emplace_back(c.x - c.r, c.y - c.r, 2 * c.r, 2 * c.r);
        const QFontMetricsF metrics(QFont{});
        for (const auto& t : canvas.items(Kind::Text)) {
            if (t.outline != kZoneLabelColour) continue;
            QVERIFY2(t.text.count(QLatin1Char(' ')) == 4, qPrintable(t.text));
            const QRectF box(t.x, t.y, metrics.horizontalAdvance(t.text) * 15,
                             metrics.height() * 15);
            for (const QRectF& d : discs) {
                const QPointF c = d.center();
                const double dx = c.x() - std::clamp(c.x(), box.left(), box.right());
                const double dy = c.y() - std::clamp(c.y(), box.top(), box.bottom());
                QVERIFY2(dx * dx + dy * dy >= d.width() * d.width() / 4, qPrintable(t.text));
            }
            for (const QRectF& l : labels) QVERIFY2(!l.intersects(box), qPrintable(t.text));
            labels.push_back(box);
        }
        QVERIFY(!labels.empty());
        QVERIFY(kZoneLabelColour != kLabelBlue);
    }

    void roundBarLengths() {
        QCOMPARE(roundBarLength(0.9), 1.0);
        QCOMPARE(roundBarLength(2.6), 2.0);
        QCOMPARE(roundBarLength(4.0), 5.0);
        QCOMPARE(roundBarLength(80.0), 100.0);
    }
};

QTEST_MAIN(ZoneDrawingTest)
#include "zone_drawing_test.moc"
