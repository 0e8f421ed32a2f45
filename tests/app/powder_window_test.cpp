// The powder pattern window: the pattern of the panel's inputs, a measured file, the
// refinement and its constants taken back into the panel, zoom and the line under the mouse.

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include "app/input_panel.h"
#include "app/main_window.h"
#include "app/powder_plot_widget.h"
#include "app/powder_window.h"
#include "plots/picture_settings.h"

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

/** The pixel column of 2-theta in the plot. */
double pixelOf(const PowderPlotWidget& plot, double twoTheta) {
    PlotTarget t;
    t.width = plot.width() * 15.0;
    t.height = plot.height() * 15.0;
    t.font = defaultPlotFont();
    return powderFrame(plot.data(), t).xOf(twoTheta) / 15.0;
}

}  // namespace

class PowderWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void showsThePatternAndTellsTheLineUnderTheMouse() {
        InputPanel panel;
        panel.setInputs(alCuFeInputs("4.46891"));
        PowderWindow window(&panel);
        window.resize(1000, 700);
        window.show();
        QVERIFY(window.calculate());
        PowderPlotWidget* plot = window.plot();
        QVERIFY(plot->hasPattern());
        QVERIFY(window.statusText().contains(QStringLiteral("lines")));
        const QString tip = plot->lineTipAt(pixelOf(*plot, 42.825));
        QVERIFY2(tip.contains(QStringLiteral("N/M = 18/29")), qPrintable(tip));
        QVERIFY(tip.contains(QStringLiteral("2 1 1 1 1 1")));
        // The wheel's zoom halves the range about its centre; a double click shows it all.
        const double width = plot->viewStop() - plot->viewStart();
        plot->zoom(2.0, 45.0);
        QCOMPARE(plot->viewStop() - plot->viewStart(), width / 2.0);
        QTest::mouseDClick(plot, Qt::LeftButton);
        QCOMPARE(plot->viewStop() - plot->viewStart(), width);

        QTemporaryDir dir;
        const QString png = dir.filePath(QStringLiteral("powder.png"));
        QCOMPARE(window.savePicture(png), QString());
        QFile file(png);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.read(4).endsWith("PNG"));
    }

    void usesTheWindowsModelWhenIntensitiesAreOn() {
        InputPanel panel;
        panel.setInputs(alCuFeInputs("4.46891"));
        // A disc is a domain of the axial systems: the pattern of this model cannot be made.
        physics::StructureModel model;
        model.sites.push_back({.element = "Al",
                               .position = std::vector<double>(6, 0.0),
                               .domain = {physics::DomainShape::Disc, 5.0}});
        PowderWindow window(&panel, &model);
        QVERIFY(window.calculate());  // the box is off: one Al site with the tiling's window
        panel.intensitiesBox()->setChecked(true);
        QVERIFY(!window.calculate());
        QVERIFY2(window.statusText().contains(QStringLiteral("disc")),
                 qPrintable(window.statusText()));
    }

    void theViewMenuOpensThePatternOfThePanel() {
        QTemporaryDir folder;
        MainWindow main(folder.path());
        main.findChild<InputPanel*>(QStringLiteral("frRight"))->setInputs(alCuFeInputs("4.46891"));
        auto* item = main.findChild<QAction*>(QStringLiteral("mnuViewPowder"));
        QVERIFY(item);
        item->trigger();
        auto* window = main.findChild<PowderWindow*>(QStringLiteral("powderWindow"));
        QVERIFY(window && window->isVisible());
        QVERIFY(window->plot()->hasPattern());
        // A second time raises the same window.
        item->trigger();
        QCOMPARE(main.findChildren<PowderWindow*>().size(), 1);
    }

    void refinesFromAMeasuredFileAndFillsThePanel() {
        InputPanel panel;
        panel.setInputs(alCuFeInputs("4.455"));
        PowderWindow window(&panel);
        QVERIFY(window.calculate());

        QTemporaryDir dir;
        const QString bad = dir.filePath(QStringLiteral("bad.xy"));
        QFile file(bad);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("10 1\nabc\n");
        file.close();
        QVERIFY(!window.loadMeasured(bad));
        QVERIFY2(window.statusText().endsWith(QStringLiteral("bad.xy:2: no numbers")),
                 qPrintable(window.statusText()));

        QVERIFY(window.loadMeasured(QStringLiteral(TESRAL_EXAMPLES_DIR "/i-alcufe-synthetic.xy")));
        QVERIFY(window.refine());
        QVERIFY(window.resultText().contains(QStringLiteral("18/29")));
        QVERIFY(window.resultText().contains(QStringLiteral("a6D = 6.3")));
        QVERIFY(std::fabs(window.refinement()->a * std::sqrt(2.0) - 6.32) < 0.001);
        window.useRefined();
        QVERIFY(panel.latticeAField()->text().startsWith(QStringLiteral("4.468")));
    }
};

QTEST_MAIN(PowderWindowTest)
#include "powder_window_test.moc"
