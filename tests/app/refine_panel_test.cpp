// The powder view's refinement panel: a pattern made from a model refined back, the result
// applied to the model and the constants and taken back, a run stopped, and the view of
// I_calc against I_obs for a list of intensities.

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <cmath>

#include "app/input_panel.h"
#include "app/intensity_fit_window.h"
#include "app/powder_plot_widget.h"
#include "app/powder_window.h"
#include "app/refine_panel.h"
#include "view_fixture.h"

using namespace tesral;

namespace {

RunInputs alCuFeInputs(const char* a) {
    RunInputs in;
    in.system = QuasicrystalSystem::Icosahedral;
    in.groupPosition = 0;
    in.a = a;
    in.wavelength = "1.5406";
    in.loopLimits.fill("1");
    return in;
}

physics::StructureModel sphereModel(const char* domain = "sphere:6.4") {
    physics::StructureModel model =
        physics::oneSiteModel(QuasicrystalSystem::Icosahedral, domain, "Al");
    model.sites[0].label = "Al1";
    return model;
}

/** The pattern of `calculation` on 20..80 degrees, times 1000 over a background of 50 counts. */
QString writePattern(const QString& path, const physics::Calculation& calculation, double zero) {
    physics::PowderRequest request;
    request.grid = {20.0, 80.0, 0.02};
    request.shape = {0, 0, 0.01, 0.5};
    request.zero = zero;
    const physics::PowderResult pattern = physics::powder(calculation, request);
    QFile file(path);
    if (!pattern.ok() || !file.open(QIODevice::WriteOnly)) return {};
    for (std::size_t i = 0; i < pattern.profile.size(); ++i)
        file.write(QByteArray::number(20.0 + 0.02 * static_cast<double>(i), 'f', 2) + ' ' +
                   QByteArray::number(50.0 + 10.0 * pattern.profile[i], 'f', 3) + '\n');
    return path;
}

/** A refinement that runs until it is stopped, one iteration each 10 ms. */
physics::ModelRefinement untilStopped(const physics::Calculation& start,
                                      const physics::Observations&,
                                      const physics::RefineOptions& options,
                                      const physics::Watch& watch,
                                      const std::function<void(int, double)>& onIteration) {
    physics::ModelRefinement r;
    for (int i = 1; !(watch.stop && *watch.stop); ++i) {
        onIteration(i, 1.0 / i);
        r.iterations = i;
        QThread::msleep(10);
    }
    r.cancelled = true;
    r.model = *start.model;
    r.a = start.parameters.a;
    r.shape = options.shape;
    for (const std::string& name : options.vary) r.parameters.push_back({name, 1.0, 1.0, 0.0});
    return r;
}

}  // namespace

class RefinePanelTest : public QObject {
    Q_OBJECT

  private slots:
    // A pattern made with a 0.3 % larger a, a larger sphere and a zero shift refines back;
    // Apply writes the model and the constants, Restore takes them back.
    void refinesAppliesAndRestores() {
        ViewFixture f;
        InputPanel inputs;
        f.context.panel = &inputs;
        const physics::StructureModel model = sphereModel();
        std::string error;
        auto truth =
            physics::calculationFrom(alCuFeInputs("4.48232"), sphereModel("sphere:6.8"), error);
        QVERIFY(truth);
        const QString measured =
            writePattern(f.folder.filePath(QStringLiteral("made.xy")), *truth, 0.03);
        QVERIFY(!measured.isEmpty());

        inputs.setInputs(alCuFeInputs("4.46891"));
        f.show(alCuFeInputs("4.46891"), model);
        PowderWindow window(f.context);
        window.twoTheta()->setText(QStringLiteral("20:80:0.02"));
        QVERIFY(window.calculate() && window.waitForPattern());
        QVERIFY(window.loadMeasured(measured));
        RefinePanel* panel = window.showRefinePanel();
        for (const char* name : {"scale", "zero", "a", "background", "Al1.radius"}) {
            QVERIFY2(panel->box(name), name);
            panel->box(name)->setChecked(true);
        }
        QVERIFY(!panel->box("c"));  // icosahedral: no c
        for (const char* name : {"phason", "phason.11", "phason.33"})
            QVERIFY2(panel->box(name), name);
        QVERIFY(!panel->box("phason.44"));
        QVERIFY(panel->start());
        QVERIFY(panel->running());
        QVERIFY(panel->waitForFinished());
        QVERIFY(window.waitForPattern());  // the refined pattern under the fit
        QVERIFY2(panel->result() && panel->result()->ok(), qPrintable(panel->statusText()));
        const physics::ModelRefinement r = *panel->result();
        QVERIFY2(std::fabs(r.a - 4.48232) < 2e-4, qPrintable(QString::number(r.a, 'f', 6)));
        QVERIFY2(std::fabs(r.model.sites[0].domain.radius - 6.8) < 0.1,
                 qPrintable(QString::number(r.model.sites[0].domain.radius)));
        QVERIFY(panel->progressText().contains(QStringLiteral("R_wp")));
        QVERIFY(panel->statusText().contains(QStringLiteral("R_wp")));
        QCOMPARE(panel->table()->rowCount(), static_cast<int>(r.parameters.size()));
        QCOMPARE(panel->table()->item(0, 0)->text(), QStringLiteral("scale"));
        QVERIFY(window.plot()->hasFit());
        QVERIFY(window.plot()->title().contains(QStringLiteral("refined")));

        auto* apply = panel->findChild<QPushButton*>(QStringLiteral("refineApply"));
        auto* restore = panel->findChild<QPushButton*>(QStringLiteral("refineRestore"));
        QVERIFY(apply->isEnabled() && !restore->isEnabled());
        apply->click();
        QCOMPARE(f.document.model(), r.model);
        QVERIFY(f.document.useIntensities());
        QCOMPARE(inputs.latticeAField()->text(), QString::number(r.a, 'f', 5));
        QVERIFY(window.findChild<QLineEdit*>(QStringLiteral("powderZero"))
                    ->text()
                    .startsWith(QStringLiteral("0.03")));
        QVERIFY(window.waitForPattern());
        QVERIFY(!apply->isEnabled() && restore->isEnabled());

        restore->click();
        QCOMPARE(f.document.model(), model);
        QCOMPARE(inputs.latticeAField()->text(), QStringLiteral("4.46891"));
        QVERIFY(window.findChild<QLineEdit*>(QStringLiteral("powderZero"))->text().isEmpty());
        QVERIFY(!restore->isEnabled());
        QVERIFY(window.waitForPattern());
    }

    // Escape, in the panel or in the powder view, ends a run between iterations; its values
    // so far are kept.
    void escapeStopsARun_data() {
        QTest::addColumn<bool>("inPowderView");
        QTest::newRow("in the panel") << false;
        QTest::newRow("in the powder view") << true;
    }
    void escapeStopsARun() {
        QFETCH(bool, inPowderView);
        ViewFixture f;
        f.show(alCuFeInputs("4.46891"), sphereModel());
        PowderWindow window(f.context);
        RefinePanel& panel = *window.showRefinePanel();
        panel.setRefiner(&untilStopped);
        physics::Observations data;
        data.twoTheta = {20.0, 21.0};
        data.value = {1.0, 2.0};
        panel.setStart(*f.document.shown(), data, {});
        QWidget* keys = inPowderView ? static_cast<QWidget*>(&window) : &panel;
        keys->show();
        keys->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(keys));
        QVERIFY(panel.start());
        QTRY_VERIFY(panel.progressText().contains(QStringLiteral("iteration 3")));
        QTest::keyClick(keys, Qt::Key_Escape);
        QVERIFY(panel.waitForFinished(5000));
        QVERIFY(panel.result() && panel.result()->cancelled);
        QVERIFY2(panel.statusText().startsWith(QStringLiteral("Stopped")),
                 qPrintable(panel.statusText()));
        QVERIFY(panel.findChild<QPushButton*>(QStringLiteral("refineStart"))->isEnabled());
    }

    // A list of integrated intensities is refined from the powder view and shown as I_calc
    // against I_obs.
    void refinesAnIntensityList() {
        ViewFixture f;
        RunInputs in = alCuFeInputs("4.56084");
        in.qiMax = "1.5";
        in.thetaMax = "40";
        f.show(in, sphereModel("sphere:6.533"));
        PowderWindow window(f.context);
        QVERIFY(window.loadMeasured(QStringLiteral(TESRAL_EXAMPLES_DIR "/i-sphere-synthetic.hkl")));
        QVERIFY2(window.statusText().contains(QStringLiteral("integrated intensities")),
                 qPrintable(window.statusText()));
        RefinePanel* panel = window.showRefinePanel();
        panel->box("background")->setChecked(false);
        for (const char* name : {"scale", "radius", "b_par"}) panel->box(name)->setChecked(true);
        QVERIFY(panel->start() && panel->waitForFinished());
        QVERIFY2(panel->result() && panel->result()->ok(), qPrintable(panel->statusText()));
        QVERIFY2(std::fabs(panel->result()->model.sites[0].domain.radius - 6.2) < 0.02,
                 qPrintable(panel->statusText()));
        QVERIFY(panel->progressText().contains(QStringLiteral("wR2")));
        IntensityFitWindow* view = panel->intensityView();
        QVERIFY(view && view->isVisible());
        QVERIFY(view->meritText().startsWith(QStringLiteral("R1 = ")));
        QVERIFY(view->worst()->rowCount() > 0);
    }

    // The reflections that fit worst come first, by their misfit over sigma.
    void intensityViewListsTheWorstFirst() {
        physics::ObservationFit good, bad, worse;
        good.observed = 100.0, good.calculated = 101.0, good.sigma = 1.0;
        bad.observed = 50.0, bad.calculated = 40.0, bad.sigma = 2.0;
        worse.observed = 10.0, worse.calculated = 30.0, worse.sigma = 1.0;
        worse.indices = {1, 0, 0, 0, 0, 1};
        IntensityFitWindow window;
        physics::FiguresOfMerit merit;
        merit.r1 = 0.0512;
        merit.wr2 = 0.1234;
        window.setFit({good, bad, worse}, merit);
        QVERIFY(window.meritText().contains(QStringLiteral("R1 = 5.12 %")));
        QVERIFY(window.meritText().contains(QStringLiteral("wR2 = 12.34 %")));
        QCOMPARE(window.worst()->rowCount(), 3);
        QCOMPARE(window.worst()->item(0, 0)->text(), QStringLiteral("1 0 0 0 0 1"));
        QCOMPARE(window.worst()->item(0, 5)->text(), QStringLiteral("-20.0"));
        QCOMPARE(window.worst()->item(1, 5)->text(), QStringLiteral("5.0"));
        QVERIFY(window.view()->hasPicture());
    }
};

QTEST_MAIN(RefinePanelTest)
#include "refine_panel_test.moc"
