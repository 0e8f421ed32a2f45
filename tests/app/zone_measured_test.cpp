// A measured photograph under the zone-axis section: the fit of a photograph made from the
// section, shown in the results panel; the drags that place the section by hand; Escape.

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <cmath>

#include "app/zone_fit_panel.h"
#include "app/zone_measured_panel.h"
#include "app/zone_view.h"
#include "app/zone_window.h"
#include "physics/one_site_model.h"
#include "plots/measured_overlay.h"
#include "synthetic_pattern.h"
#include "view_fixture.h"

using namespace tesral;

namespace {

/** Where the test photographs put the section: off the middle, turned and scaled. */
physics::PatternCalibration truePlacement() {
    physics::PatternCalibration c;
    c.centreX = 261.3;
    c.centreY = 247.6;
    c.rotation = 17.0;
    c.scale = 260.0;
    return c;
}

/** A photograph of the section's spots at `c`, written as a 16-bit PGM at `path`. */
void writePhotograph(const ZoneSection& section, const physics::PatternCalibration& c,
                     const QString& path) {
    physics::SyntheticPattern pattern;
    pattern.centreX = c.centreX;
    pattern.centreY = c.centreY;
    for (std::size_t i = 0; i < section.spots.size(); ++i) {
        const float intensity = section.run.table[i].v[kIntensity];
        if (section.spots[i].nearZone || intensity < 1.0f) continue;
        const auto [x, y] = c.pixelOf(section.spots[i].u, section.spots[i].v);
        pattern.spots.push_back({x, y, 400.0 * intensity, 1.5});
    }
    const physics::DiffractionImage image = physics::renderPattern(pattern);
    QByteArray bytes =
        QStringLiteral("P5\n%1 %2\n65535\n").arg(image.width).arg(image.height).toLatin1();
    for (const float v : image.pixels) {
        const auto level = static_cast<quint16>(v);
        bytes.append(static_cast<char>(level >> 8)).append(static_cast<char>(level & 0xff));
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QPushButton* fitButton(const ZoneAxisWindow& window) {
    return window.findChild<QPushButton*>(QStringLiteral("btZoneFit"));
}

/** The tenfold section of a decagonal run with the intensities of one aluminium site. */
void showTenfold(ViewFixture& f) {
    RunInputs in;
    in.system = QuasicrystalSystem::Decagonal;
    in.loopLimits = {"2", "2", "2", "2", "1", "0"};
    f.show(in, physics::oneSiteModel(in.system, "window"));
}

/** A primitive icosahedral run of one aluminium site seen by 200 kV electrons. */
void showIcosahedral(ViewFixture& f) {
    RunInputs in;
    in.system = QuasicrystalSystem::Icosahedral;
    in.groupPosition = 6;  // Pm-3-5
    in.a = "4.56084";
    in.loopLimits = {"12", "12", "12", "12", "12", "12"};
    in.thetaMin = std::string(1, '0');  // not "0": a false -Wrestrict of GCC 12
    in.thetaMax = "0.8";
    in.qiMax = "1.5";
    f.show(in, physics::oneSiteModel(in.system, "window", "Al", "electron:200"));
}

/** Draws the section of the axis `text` (indices or a preset's name). */
bool drawAxis(ZoneAxisWindow& window, const QString& text) {
    window.findChild<QLineEdit*>(QStringLiteral("tfZoneAxis"))->setText(text);
    return window.drawSection() && window.waitForSection() && window.section();
}

}  // namespace

class ZoneMeasuredTest : public QObject {
    Q_OBJECT

  private slots:
    // Fit recovers where the photograph's section lies; the panel shows it, and the spot
    // under the pointer names its indices and its distance to the measured spot.
    void fitFindsTheCentreRotationAndScale() {
        ViewFixture f;
        showTenfold(f);
        ZoneAxisWindow window(f.context);
        QVERIFY(window.waitForSection() && window.section());
        const physics::PatternCalibration truth = truePlacement();
        const QString path = f.folder.filePath(QStringLiteral("tenfold.pgm"));
        writePhotograph(*window.section(), truth, path);
        QVERIFY(!window.measured()->loadImage(path));
        QTest::mouseClick(fitButton(window), Qt::LeftButton);
        QVERIFY(window.measured()->fitting());
        QVERIFY(window.measured()->waitForFit());
        QVERIFY2(window.measured()->lastFit(), qPrintable(window.statusText()));
        const ZoneFitPanel& panel = window.measured()->results();
        const QStringList centre = panel.value(QStringLiteral("lblFitCentre")).split(u',');
        QCOMPARE(centre.size(), 2);
        QVERIFY(std::abs(centre[0].toDouble() - truth.centreX) < 1.0);
        QVERIFY(std::abs(centre[1].toDouble() - truth.centreY) < 1.0);
        // The tenfold pattern repeats every 36 degrees.
        const double turn =
            panel.value(QStringLiteral("lblFitRotation")).toDouble() - truth.rotation;
        QVERIFY2(std::abs(std::remainder(turn, 36.0)) < 0.5, qPrintable(QString::number(turn)));
        const double scale = panel.value(QStringLiteral("lblFitScale")).toDouble();
        QVERIFY(std::abs(scale / truth.scale - 1.0) < 0.005);
        QVERIFY(panel.value(QStringLiteral("lblFitMatched")).toInt() > 10);

        const physics::PatternFit& fit = *window.measured()->lastFit();
        const physics::SpotMatch& match = fit.matches.front();
        ZonePatternView& view = *window.view();
        const auto [x, y] = fit.calibration.pixelOf(window.section()->spots[match.row].u,
                                                    window.section()->spots[match.row].v);
        const QString label = view.spotLabelAt(view.overlay()->toView({x, y}, view.size()));
        QVERIFY2(label.contains(QStringLiteral("px from its measured spot")), qPrintable(label));

        // The saved picture is the photograph with the matched spots' green circles.
        const QString png = f.folder.filePath(QStringLiteral("overlay.png"));
        QVERIFY(!window.savePicture(png));
        const QImage saved(png);
        bool green = false;
        for (int y = 0; y < saved.height() && !green; ++y)
            for (int x = 0; x < saved.width() && !green; ++x)
                green = saved.pixel(x, y) == kMatchedSpotColour;
        QVERIFY(green);
    }

    // With every preset axis tried, Fit names the photograph's axis though another is drawn,
    // draws its section and puts it in place.
    void autoFitNamesTheAxis_data() {
        QTest::addColumn<QString>("axis");
        QTest::addColumn<QString>("drawn");
        QTest::addColumn<int>("order");  // the pattern repeats every 360 / order degrees
        QTest::newRow("fivefold") << "fivefold"
                                  << "twofold" << 10;
        QTest::newRow("threefold") << "threefold"
                                   << "fivefold" << 6;
        QTest::newRow("twofold") << "twofold"
                                 << "threefold" << 2;
    }
    void autoFitNamesTheAxis() {
        QFETCH(QString, axis);
        QFETCH(QString, drawn);
        QFETCH(int, order);
        ViewFixture f;
        showIcosahedral(f);
        ZoneAxisWindow window(f.context);
        QVERIFY(drawAxis(window, axis));
        const physics::PatternCalibration truth = truePlacement();
        const QString path = f.folder.filePath(QStringLiteral("photograph.pgm"));
        writePhotograph(*window.section(), truth, path);
        QVERIFY(drawAxis(window, drawn));
        QVERIFY(!window.measured()->loadImage(path));
        window.findChild<QCheckBox*>(QStringLiteral("cbZoneAutoAxis"))->setChecked(true);
        QTest::mouseClick(fitButton(window), Qt::LeftButton);
        QVERIFY(window.measured()->waitForFit());
        QVERIFY2(window.measured()->lastFit(), qPrintable(window.statusText()));
        QCOMPARE(window.findChild<QComboBox*>(QStringLiteral("cmbZonePreset"))->currentText(),
                 axis);
        const ZoneFitPanel& panel = window.measured()->results();
        QVERIFY(panel.value(QStringLiteral("lblFitAxis")).endsWith(u'(' + axis + u')'));
        const QStringList centre = panel.value(QStringLiteral("lblFitCentre")).split(u',');
        QCOMPARE(centre.size(), 2);
        QVERIFY(std::abs(centre[0].toDouble() - truth.centreX) < 1.0);
        QVERIFY(std::abs(centre[1].toDouble() - truth.centreY) < 1.0);
        const double turn =
            panel.value(QStringLiteral("lblFitRotation")).toDouble() - truth.rotation;
        QVERIFY2(std::abs(std::remainder(turn, 360.0 / order)) < 0.5,
                 qPrintable(QString::number(turn)));
        const double scale = panel.value(QStringLiteral("lblFitScale")).toDouble();
        QVERIFY2(std::abs(scale / truth.scale - 1.0) < 0.005, qPrintable(QString::number(scale)));
    }

    // Escape stops the fit: no numbers come, and the status line says so.
    void escapeStopsTheFit() {
        ViewFixture f;
        showTenfold(f);
        ZoneAxisWindow window(f.context);
        QVERIFY(window.waitForSection() && window.section());
        const QString path = f.folder.filePath(QStringLiteral("tenfold.pgm"));
        writePhotograph(*window.section(), truePlacement(), path);
        QVERIFY(!window.measured()->loadImage(path));
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        // No event loop runs between the two: the fit cannot be done before Escape.
        QTest::mouseClick(fitButton(window), Qt::LeftButton);
        QTest::keyClick(&window, Qt::Key_Escape);
        QVERIFY(window.measured()->waitForFit());
        QVERIFY(!window.measured()->lastFit());
        QVERIFY(window.statusText().startsWith(QStringLiteral("Fit stopped")));
        QCOMPARE(window.measured()->results().value(QStringLiteral("lblFitCentre")),
                 QStringLiteral("\u2013"));
    }

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
