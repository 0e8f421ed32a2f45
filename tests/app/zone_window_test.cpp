// The zone-axis window: presets, the whole section of the shown run worked out off the
// user-interface thread, bad input and the state before a run in its status line, the
// pictures and the spot under the mouse.

#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QTest>

#include "app/zone_view.h"
#include "app/zone_window.h"
#include "physics/one_site_model.h"
#include "plots/picture_settings.h"
#include "view_fixture.h"

using namespace tesral;

namespace {

RunInputs decagonalInputs(const char* limits) {
    RunInputs in;
    in.system = QuasicrystalSystem::Decagonal;
    in.loopLimits = {limits, limits, limits, limits, "2", "0"};
    in.qiMax = std::string("1.5");
    return in;
}

QLineEdit* axisField(const ZoneAxisWindow& window) {
    return window.findChild<QLineEdit*>(QStringLiteral("tfZoneAxis"));
}

}  // namespace

class ZoneWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void presetsDrawTheWholeSectionOfTheRun() {
        ViewFixture f;
        f.show(decagonalInputs("1"));
        ZoneAxisWindow window(f.context);
        auto* presets = window.findChild<QComboBox*>(QStringLiteral("cmbZonePreset"));
        QCOMPARE(presets->count(), 4);
        QCOMPARE(presets->itemText(0), QStringLiteral("periodic"));
        QCOMPARE(axisField(window)->text(), QStringLiteral("0,0,0,0,1"));
        QVERIFY(window.computing());  // the section is worked out on a worker
        QVERIFY(window.waitForSection());
        QVERIFY(window.section());
        // Limits 1 cut the periodic section to a few rows; the window shows it whole.
        const RunResult run = runGeneration(decagonalInputs("1"));
        std::size_t zeroLayer = 0;
        for (const ReflectionRecord& row : run.table) zeroLayer += row.h(4) == 0.0f;
        QVERIFY2(window.section()->run.table.size() > 2 * zeroLayer,
                 qPrintable(window.statusText()));
        QVERIFY(window.statusText().endsWith(QStringLiteral("reflections in the section")));
        // Indices typed with blanks; a named axis selects its name.
        axisField(window)->setText(QStringLiteral("1 0 0 0 0"));
        QVERIFY(window.drawSection() && window.waitForSection());
        QCOMPARE(presets->currentText(), QStringLiteral("twofold-a"));

        // The spot under the pointer names its indices, separated by blanks.
        auto* view = window.findChild<ZonePatternView*>(QStringLiteral("pbZone"));
        view->resize(400, 400);
        const PlotTarget target = pictureTarget(view->pictureSettings());
        const ZoneLayout layout = zoneLayout(view->data(), view->options(), target);
        const ZoneSpot& spot = window.section()->spots.back();
        const QPointF at(layout.x(spot.u) / target.twipsPerPixelX,
                         layout.y(spot.v) / target.twipsPerPixelY);
        const QString label = view->spotLabelAt(at);
        QCOMPARE(label.split(QLatin1Char(' ')).size(), 5);

        const QString path = f.folder.filePath(QStringLiteral("zone.svg"));
        QVERIFY(!window.savePicture(path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("zone axis [1 0 0 0 0] (twofold-a)"));
    }

    void theRunsModelGivesTheIntensitiesAndAnEditMakesItStale() {
        ViewFixture f;
        physics::StructureModel model;
        for (const double z : {0.0, 0.5}) {
            physics::Site site;
            site.element = "Al";
            site.position = {0, 0, 0, 0, z};
            site.domain = {physics::DomainShape::Disc, 3.0};
            model.sites.push_back(site);
        }
        f.show(decagonalInputs("3"), model);
        ZoneAxisWindow window(f.context);
        window.waitForSection();
        // Twofold-a holds rows of every h5: the equal layers half a period apart put out the odd.
        axisField(window)->setText(QStringLiteral("1,0,0,0,0"));
        QVERIFY(window.drawSection() && window.waitForSection());
        bool odd = false, strong = false;
        for (const ReflectionRecord& row : window.section()->run.table) {
            if (static_cast<int>(row.h(4)) % 2 != 0) {
                odd = true;
                QCOMPARE(row.v[kIntensity], 0.0f);
            }
            strong = strong || row.v[kIntensity] == 100.0f;
        }
        QVERIFY(odd && strong);
        f.editModel();  // a model edit after the run
        QVERIFY2(window.statusText().contains(QStringLiteral("Stale")),
                 qPrintable(window.statusText()));
    }

    // The scale bar in film millimetres uses the run's wavelength: electrons' own at 200 kV.
    void electronsScaleTheFilmByTheirWavelength() {
        ViewFixture f;
        RunInputs in = decagonalInputs("2");
        in.wavelength = "1.5406";
        f.show(in, physics::oneSiteModel(in.system, "window", "Al", "electron:200"));
        ZoneAxisWindow window(f.context);
        QVERIFY(window.waitForSection() && window.section());
        QCOMPARE(window.view()->data().wavelength, 0.0250793);
    }

    // The PDF page shows the spots at the picture's size: as much ink for the same pattern.
    void thePdfPageDrawsTheSpotsAsThePictureDoes() {
        ViewFixture f;
        f.show(decagonalInputs("2"));
        ZoneAxisWindow window(f.context);
        QVERIFY(window.waitForSection() && window.section());
        const QString pdf = f.folder.filePath(QStringLiteral("zone.pdf"));
        QVERIFY(!window.savePicture(pdf));
        QProcess raster;
        raster.start(
            QStringLiteral("pdftoppm"),
            {QStringLiteral("-r"), QStringLiteral("96"), QStringLiteral("-png"),
             QStringLiteral("-singlefile"), pdf, f.folder.filePath(QStringLiteral("page"))});
        if (!raster.waitForStarted()) QSKIP("pdftoppm is not installed");
        QVERIFY(raster.waitForFinished());
        const QImage page(f.folder.filePath(QStringLiteral("page.png")));
        QVERIFY(!page.isNull());
        // The square at the top of the page, as a picture of its size, white on black.
        const int side = page.width() - 2 * 38;  // 10 mm margins at 96 dpi
        window.view()->resize(side, side);
        const QString png = f.folder.filePath(QStringLiteral("zone.png"));
        QVERIFY(!window.savePicture(png));
        const QImage picture(png);
        const auto ink = [](const QImage& image, bool dark) {
            std::size_t n = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    n += (qGray(image.pixel(x, y)) < 128) == dark;
            return static_cast<double>(n);
        };
        const double onPage = ink(page.copy(38, 38, side, side), true);
        const double inPicture = ink(picture, false);
        QVERIFY2(onPage > 0.35 * inPicture && onPage < 1.6 * inPicture,
                 qPrintable(QStringLiteral("%1 against %2").arg(onPage).arg(inPicture)));
    }

    void badInputAndNoRunSayWhy() {
        ViewFixture f;
        ZoneAxisWindow window(f.context);
        // Before a run the status line and the picture say the same.
        QVERIFY(window.statusText().contains(QStringLiteral("F5")));
        QCOMPARE(window.view()->message(), window.statusText());
        f.show(decagonalInputs("0"));  // only h5 varies, but the whole zero layer is shown
        QVERIFY(window.drawSection() && window.waitForSection());
        QVERIFY(window.section() && !window.section()->run.table.empty());
        axisField(window)->setText(QStringLiteral("0,0,0,0,0"));
        QVERIFY(!window.drawSection());
        QVERIFY(window.statusText().startsWith(QStringLiteral("the zone axis cannot be zero")));
        axisField(window)->setText(QStringLiteral("1 2 3"));
        QVERIFY(!window.drawSection());
        QVERIFY(window.statusText().contains(QStringLiteral("needs 5 indices")));
        axisField(window)->setText(QStringLiteral("periodic"));
        window.findChild<QLineEdit*>(QStringLiteral("tfZoneXAxis"))->setText(QStringLiteral("x"));
        QVERIFY(!window.drawSection());
        QVERIFY2(window.statusText().contains(QStringLiteral("reflection")) &&
                     !window.statusText().contains(QStringLiteral("preset")),
                 qPrintable(window.statusText()));
    }
};

QTEST_MAIN(ZoneWindowTest)
#include "zone_window_test.moc"
