// The zone-axis window: presets, the section of the published run, bad input and an empty
// section in its status line, saving, and the spot under the mouse.

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include "app/window_session.h"
#include "app/zone_view.h"
#include "app/zone_window.h"
#include "plots/picture_settings.h"

using namespace tesral;

namespace {

RunResult decagonalRun(const char* limits) {
    RunInputs in;
    in.system = QuasicrystalSystem::Decagonal;
    in.loopLimits = {limits, limits, limits, limits, "2", "0"};
    in.qiMax = std::string("1.5");
    return runGeneration(in);
}

}  // namespace

class ZoneWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void presetsDrawTheSectionOfTheRun() {
        QTemporaryDir folder;
        WindowSession session(folder.path());
        session.publish(decagonalRun("3"), {});
        ZoneAxisWindow window(session);
        auto* presets = window.findChild<QComboBox*>(QStringLiteral("cmbZonePreset"));
        QVERIFY(presets);
        QCOMPARE(presets->count(), 4);
        QCOMPARE(presets->itemText(0), QStringLiteral("periodic"));
        QCOMPARE(window.findChild<QLineEdit*>(QStringLiteral("tfZoneAxis"))->text(),
                 QStringLiteral("0,0,0,0,1"));
        QVERIFY(window.section());
        std::size_t zeroLayer = 0;
        for (const ReflectionRecord& row : session.core().result().table)
            zeroLayer += row.h(4) == 0.0f;
        QCOMPARE(window.section()->run.table.size(), zeroLayer);
        QVERIFY(window.statusText().endsWith(QStringLiteral("reflections in the section")));
        // Indices of a named axis select its name.
        window.findChild<QLineEdit*>(QStringLiteral("tfZoneAxis"))
            ->setText(QStringLiteral("1,0,0,0,0"));
        QVERIFY(window.drawSection());
        QCOMPARE(presets->currentText(), QStringLiteral("twofold-a"));
        window.findChild<QLineEdit*>(QStringLiteral("tfZoneAxis"))
            ->setText(QStringLiteral("0,0,0,0,1"));
        QVERIFY(window.drawSection());

        // The spot under the pointer names its indices.
        auto* view = window.findChild<ZonePatternView*>(QStringLiteral("pbZone"));
        view->resize(400, 400);
        PictureSettings settings;
        settings.size = view->size();
        const PlotTarget target = pictureTarget(settings);
        const ZoneLayout layout = zoneLayout(view->data(), view->options(), target);
        const ZoneSpot& spot = window.section()->spots.front();
        const QPointF at(layout.x(spot.u) / target.twipsPerPixelX,
                         layout.y(spot.v) / target.twipsPerPixelY);
        QCOMPARE(view->spotLabelAt(at), indexLabel(window.section()->run.table.front(), 5));

        const QString path = folder.filePath(QStringLiteral("zone.svg"));
        QVERIFY(!window.savePicture(path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("zone axis [0 0 0 0 1] (periodic)"));
    }

    void aRunWithIntensitiesGivesTheSectionItsModel() {
        QTemporaryDir folder;
        WindowSession session(folder.path());
        RunResult run = decagonalRun("3");
        run.header.modelText = "model: two discs";
        session.publish(std::move(run), {});
        physics::StructureModel model;
        for (const double z : {0.0, 0.5})
            model.sites.push_back({.element = "Al",
                                   .position = {0, 0, 0, 0, z},
                                   .domain = {physics::DomainShape::Disc, 3.0}});
        ZoneAxisWindow window(session, &model);
        // Twofold-a holds rows of every h5: the equal layers half a period apart put out the odd.
        window.findChild<QLineEdit*>(QStringLiteral("tfZoneAxis"))
            ->setText(QStringLiteral("1,0,0,0,0"));
        QVERIFY(window.drawSection());
        bool odd = false, strong = false;
        for (const ReflectionRecord& row : window.section()->run.table) {
            if (static_cast<int>(row.h(4)) % 2 != 0) {
                odd = true;
                QCOMPARE(row.v[kIntensity], 0.0f);
            }
            strong = strong || row.v[kIntensity] == 100.0f;
        }
        QVERIFY(odd && strong);
    }

    void badAxesAndEmptySectionsShowInTheStatusLine() {
        QTemporaryDir folder;
        WindowSession session(folder.path());
        session.publish(decagonalRun("0"), {});  // only h5 varies: the zero layer is empty
        ZoneAxisWindow window(session);
        QCOMPARE(window.statusText(), kEmptySectionText);
        auto* axis = window.findChild<QLineEdit*>(QStringLiteral("tfZoneAxis"));
        axis->setText(QStringLiteral("0,0,0,0,0"));
        QVERIFY(!window.drawSection());
        QVERIFY(window.statusText().startsWith(QStringLiteral("the zone axis cannot be zero")));
        axis->setText(QStringLiteral("1,2,3"));
        QVERIFY(!window.drawSection());
        QVERIFY(window.statusText().contains(QStringLiteral("needs 5 indices")));
    }
};

QTEST_MAIN(ZoneWindowTest)
#include "zone_window_test.moc"
