#include <QGuiApplication>
#include <QTest>

#include "plots/intensity_fit_drawing.h"
#include "plots/picture_settings.h"
#include "plots/recording_canvas.h"

using namespace tesral;

class IntensityFitDrawingTest : public QObject {
    Q_OBJECT

  private slots:
    // One dot per positive pair, placed on decades that span them; the rest have no place.
    void dotsOnLogarithmicAxes() {
        const std::vector<IntensityFitPoint> points{
            {2.0, 3.0}, {50.0, 40.0}, {900.0, 1000.0}, {0.0, 5.0}, {-3.0, -1.0}};
        PictureSettings settings;
        settings.size = QSize(500, 500);
        settings.font = defaultPlotFont();
        const PlotTarget t = pictureTarget(settings);
        RecordingCanvas canvas;
        QVERIFY(drawIntensityFit({points, QStringLiteral("R1 = 5 %")}, t, canvas));
        const auto dots = canvas.items(RecordingCanvas::Kind::Circle);
        QCOMPARE(dots.size(), std::size_t{3});
        const IntensityFitFrame f = intensityFitFrame({points, {}}, t);
        QCOMPARE(f.low, 0.0);
        QCOMPARE(f.high, 3.0);
        QCOMPARE(dots[1].x, f.xOf(50.0));
        QCOMPARE(dots[1].y, f.yOf(40.0));
        QStringList texts;
        for (const auto& item : canvas.items(RecordingCanvas::Kind::Text)) texts << item.text;
        for (const char* label : {"1", "10", "100", "1000", "I obs", "I calc", "R1 = 5 %"})
            QVERIFY2(texts.contains(QLatin1String(label)), label);

        const std::vector<IntensityFitPoint> none{{0.0, 1.0}};
        QVERIFY(!drawIntensityFit({none, {}}, t, canvas));
    }
};

QTEST_MAIN(IntensityFitDrawingTest)
#include "intensity_fit_drawing_test.moc"
