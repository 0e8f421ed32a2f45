// The overlay of a measured photograph, read back from a recording canvas: the photograph
// keeps its shape and the spots sit on its pixel centres.

#include <QTest>
#include <vector>

#include "plots/measured_overlay.h"
#include "plots/recording_canvas.h"

using namespace tesral;
using Kind = RecordingCanvas::Kind;

class MeasuredOverlayTest : public QObject {
    Q_OBJECT

  private slots:
    void photographKeepsItsShapeAndSpotsSitOnPixelCentres() {
        std::vector<float> pixels(200 * 100, 5.0f);
        pixels[50 * 200 + 100] = 1000.0f;
        MeasuredOverlayData data;
        data.image = contrastImage(200, 100, pixels, ImageContrast::Logarithmic);
        QCOMPARE(data.image.pixelColor(100, 50).value(), 255);
        QCOMPARE(data.image.pixelColor(0, 0).value(), 0);  // the background is black
        data.spots = {{0.0, 0.0, true, QStringLiteral("1 0 0 0 0 0")}, {199.0, 99.0, false, {}}};
        data.centreX = 100.0;
        data.centreY = 50.0;
        PlotTarget target;
        target.width = 800 * 15;
        target.height = 800 * 15;
        RecordingCanvas canvas;
        QVERIFY(drawMeasuredOverlay(data, target, canvas));

        const auto pictures = canvas.items(Kind::Picture);
        QCOMPARE(pictures.size(), std::size_t{1});
        const auto& box = pictures.front();
        QCOMPARE(box.pictureSize, QSize(200, 100));
        QCOMPARE(box.w, target.width);
        QCOMPARE(box.h, box.w / 2);
        const double k = box.w / 200;  // twips per image pixel
        const auto circles = canvas.items(Kind::Circle);
        QCOMPARE(circles.size(), std::size_t{2});
        // Unmatched first, so the matched ones lie on top; pixel 0 spans -0.5..0.5.
        QCOMPARE(circles[0].x, box.x + k * 199.5);
        QCOMPARE(circles[0].y, box.y + k * 99.5);
        QCOMPARE(circles[1].x, box.x + k * 0.5);
        QCOMPARE(circles[1].outline, kMatchedSpotColour);
        bool labelled = false;
        for (const auto& t : canvas.items(Kind::Text)) labelled |= t.text == "1 0 0 0 0 0";
        QVERIFY(labelled);
    }
};

QTEST_MAIN(MeasuredOverlayTest)
#include "measured_overlay_test.moc"
