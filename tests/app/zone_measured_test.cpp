// A measured photograph under the zone-axis section: the drags that place the section by hand.

#include <QSignalSpy>
#include <QTest>
#include <cmath>

#include "app/zone_view.h"

using namespace tesral;

class ZoneMeasuredTest : public QObject {
    Q_OBJECT

  private slots:
    // A plain drag moves the centre by the drag in image pixels; Shift turns the section
    // about its centre by the angle swept, Ctrl scales it by the ratio of the distances.
    void dragsMoveTurnAndScaleTheSection_data() {
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<double>("dx");
        QTest::addColumn<double>("dy");
        QTest::addColumn<double>("rotation");
        QTest::addColumn<double>("scale");
        QTest::newRow("move") << 0 << -20.0 << -30.0 << 10.0 << 50.0;
        QTest::newRow("rotate") << int(Qt::ShiftModifier) << 0.0 << 0.0 << 100.0 << 50.0;
        QTest::newRow("scale") << int(Qt::ControlModifier) << 0.0 << 0.0 << 10.0 << 75.0;
    }
    void dragsMoveTurnAndScaleTheSection() {
        QFETCH(int, modifiers);
        QFETCH(double, dx);
        QFETCH(double, dy);
        QFETCH(double, rotation);
        QFETCH(double, scale);
        auto image = std::make_shared<physics::DiffractionImage>();
        image->width = 200;
        image->height = 100;
        image->pixels.assign(200 * 100, 1.0f);
        ZonePatternView view;
        view.resize(400, 400);  // two view pixels per image pixel
        view.showMeasured(image, QImage(200, 100, QImage::Format_Grayscale8));
        physics::PatternCalibration start;
        start.centreX = 100;
        start.centreY = 50;
        start.rotation = 10;
        start.scale = 50;
        view.setPlacement(start);
        QCOMPARE(view.overlay()->viewScale(view.size()), 2.0);
        QSignalSpy moved(&view, &ZonePatternView::placementChanged);
        // From 40 view pixels right of the centre to 60 pixels straight above it.
        const QPoint centre = view.overlay()->toView({100, 50}, view.size()).toPoint();
        const auto keys = Qt::KeyboardModifiers(modifiers);
        QTest::mousePress(&view, Qt::LeftButton, keys, centre + QPoint(40, 0));
        QTest::mouseMove(&view, centre + QPoint(20, -30));
        QVERIFY(!moved.isEmpty());  // the overlay follows before the button is let go
        QTest::mouseRelease(&view, Qt::LeftButton, keys, centre + QPoint(0, -60));
        const physics::PatternCalibration& p = view.overlay()->placement();
        QCOMPARE(p.centreX, 100 + dx);
        QCOMPARE(p.centreY, 50 + dy);
        QCOMPARE(p.rotation, rotation);
        QCOMPARE(p.scale, scale);
    }
};

QTEST_MAIN(ZoneMeasuredTest)
#include "zone_measured_test.moc"
