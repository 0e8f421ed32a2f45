// The powder pattern window: the pattern of the shown run worked out off the user-interface
// thread, its title, following the runs and going stale, the three radiations, a measured
// file, the refinement and its constants taken back, and the pictures.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include "app/input_panel.h"
#include "app/main_window.h"
#include "app/powder_plot_widget.h"
#include "app/powder_window.h"
#include "physics/one_site_model.h"
#include "plots/picture_settings.h"
#include "plots/plot_print.h"
#include "plots/powder_picture.h"
#include "view_fixture.h"

using namespace tesral;

namespace {

RunInputs alCuFeInputs(const char* a, const char* wavelength = "1.5406") {
    RunInputs in;
    in.system = QuasicrystalSystem::Icosahedral;
    in.groupPosition = 0;
    in.a = a;
    in.wavelength = wavelength;
    in.loopLimits.fill("1");
    return in;
}

/** The pixel column of 2-theta in the plot. */
double pixelOf(const PowderPlotWidget& plot, double twoTheta) {
    return powderFrame(plot.data(), plot.screenTarget()).xOf(twoTheta) /
           plot.screenTarget().twipsPerPixelX;
}

const QString kSynthetic = QStringLiteral(TESRAL_EXAMPLES_DIR "/i-alcufe-synthetic.xy");

}  // namespace

class PowderWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void showsThePatternOfTheRunAndFollowsIt() {
        ViewFixture f;
        f.show(alCuFeInputs("4.46891"));
        PowderWindow window(f.context);
        window.resize(1000, 700);
        window.show();
        QVERIFY(window.calculate());
        QVERIFY(window.computing());  // on a worker: the window goes on meanwhile
        QVERIFY(window.waitForPattern());
        PowderPlotWidget* plot = window.plot();
        QVERIFY(plot->hasPattern());
        QVERIFY(window.statusText().contains(QStringLiteral("lines")));
        QVERIFY2(plot->title().startsWith(QStringLiteral("icosahedral, a = 4.46891 \u00c5, X-rays, "
                                                         "wavelength 1.5406")),
                 qPrintable(plot->title()));
        const QString tip = plot->lineTipAt(pixelOf(*plot, 42.825));
        QVERIFY2(tip.contains(QStringLiteral("N/M = 18/29")), qPrintable(tip));
        // The wheel's zoom halves the range about its centre; a double click shows it all.
        const double width = plot->viewStop() - plot->viewStart();
        plot->zoom(2.0, 45.0);
        QCOMPARE(plot->viewStop() - plot->viewStart(), width / 2.0);
        QTest::mouseDClick(plot, Qt::LeftButton);
        QCOMPARE(plot->viewStop() - plot->viewStart(), width);

        // The next run (F5) is drawn at once; a model edit leaves it stale until the next.
        f.show(alCuFeInputs("4.5"));
        QVERIFY(window.computing() && window.waitForPattern());
        QVERIFY(plot->title().startsWith(QStringLiteral("icosahedral, a = 4.5 \u00c5")));
        QVERIFY(!window.stale());
        f.editModel();
        QVERIFY(window.stale());
        QVERIFY(window.statusText().contains(QStringLiteral("stale")));
        QVERIFY(plot->title().endsWith(QStringLiteral("(stale)")));
    }

    // Escape stops the pattern being worked out: the one shown before stays, marked stale.
    void escapeStopsTheCalculation() {
        ViewFixture f;
        RunInputs in = alCuFeInputs("4.46891");
        in.qiMax = std::string("6");
        f.show(in);
        PowderWindow window(f.context);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QVERIFY(window.calculate());
        QTest::keyClick(&window, Qt::Key_Escape);
        QVERIFY(window.waitForPattern());
        QVERIFY(!window.plot()->hasPattern());
        QVERIFY(window.stale());
        QVERIFY2(window.statusText().contains(QStringLiteral("stopped"), Qt::CaseInsensitive),
                 qPrintable(window.statusText()));
    }

    // Each radiation as physics::powder gives it: X-rays and neutrons their own lines and
    // wavelength, electrons refused.
    void everyRadiationAsTheCalculationGivesIt() {
        const struct {
            const char* radiation;
            const char* refusal;
        } cases[] = {{"xray", ""},
                     {"neutron:1.8", ""},
                     {"electron:200", "electrons make no powder pattern"}};
        for (const auto& c : cases) {
            ViewFixture f;
            const RunInputs in = alCuFeInputs("4.46891");
            f.show(in, physics::oneSiteModel(in.system, "window", "Al", c.radiation));
            PowderWindow window(f.context);
            window.twoTheta()->setText(QStringLiteral("20:50:0.02"));
            physics::PowderRequest request;
            request.grid = {20.0, 50.0, 0.02};
            request.shape = {0, 0, 0.01, 0.5};
            const physics::PowderResult expected = physics::powder(*f.document.shown(), request);
            if (*c.refusal) {
                QVERIFY(!window.calculate());
                QVERIFY2(
                    window.statusText().contains(QLatin1String(c.refusal), Qt::CaseInsensitive),
                    qPrintable(window.statusText()));
                continue;
            }
            QVERIFY(window.calculate() && window.waitForPattern());
            QVERIFY(expected.ok());
            QCOMPARE(window.plot()->data().ticks.size(), expected.lines.size());
            QCOMPARE(window.plot()->data().profile.size(), expected.profile.size());
            for (std::size_t i = 0; i < expected.profile.size(); i += 97)
                QCOMPARE(window.plot()->data().profile[i], expected.profile[i]);
        }
    }

    void refinesTheCurrentRunOnlyAndFillsThePanel() {
        ViewFixture f;
        InputPanel panel;
        f.context.panel = &panel;
        panel.setInputs(alCuFeInputs("4.455"));
        f.show(alCuFeInputs("4.455"));
        PowderWindow window(f.context);
        QVERIFY(window.calculate() && window.waitForPattern());

        QTemporaryDir dir;
        const QString bad = dir.filePath(QStringLiteral("bad.xy"));
        QFile file(bad);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("10 1\nabc\n");
        file.close();
        QVERIFY(!window.loadMeasured(bad));
        QVERIFY2(window.statusText().endsWith(QStringLiteral("bad.xy:2: no numbers")),
                 qPrintable(window.statusText()));

        QVERIFY(window.loadMeasured(kSynthetic));
        QVERIFY(window.refine());
        QVERIFY(window.resultText().contains(QStringLiteral("18/29")));
        QVERIFY(window.resultText().contains(QStringLiteral("a6D = 6.3")));
        QVERIFY(std::fabs(window.refinement()->a * std::sqrt(2.0) - 6.32) < 0.001);
        auto* use = window.findChild<QPushButton*>(QStringLiteral("powderUseRefined"));
        QVERIFY(use->isEnabled());
        window.useRefined();
        QVERIFY(panel.latticeAField()->text().startsWith(QStringLiteral("4.468")));
        QVERIFY(!window.findChild<QLineEdit*>(QStringLiteral("powderZero"))->text().isEmpty());
        QVERIFY(window.computing());  // drawn again with the refined constants
        QVERIFY(window.waitForPattern());
        QVERIFY(window.plot()->title().contains(QStringLiteral("a = 4.468")));

        // A stale pattern is not refined.
        f.editModel();
        QVERIFY(!window.refine());
        QVERIFY(window.statusText().contains(QStringLiteral("stale")));
        QVERIFY(!use->isEnabled());

        // Another system's run takes the measured pattern and the refinement away.
        RunInputs decagonal;
        decagonal.system = QuasicrystalSystem::Decagonal;
        f.show(decagonal);
        window.show();
        QVERIFY(window.waitForPattern());
        QVERIFY(window.plot()->data().measuredTwoTheta.empty());
        QVERIFY(window.resultText().isEmpty());
    }

    // Mo lines against a Cu measurement match few peaks: a warning, and nothing to use.
    void aFitOnFewPeaksIsNotOffered() {
        ViewFixture f;
        f.show(alCuFeInputs("4.46891", "0.7107"));
        PowderWindow window(f.context);
        QVERIFY(window.calculate() && window.waitForPattern());
        QVERIFY(window.loadMeasured(kSynthetic));
        QVERIFY(!window.refine());
        QVERIFY2(window.statusText().contains(QStringLiteral("wavelength")),
                 qPrintable(window.statusText()));
        QVERIFY(!window.refinement());
        QVERIFY(!window.findChild<QPushButton*>(QStringLiteral("powderUseRefined"))->isEnabled());
        window.removeMeasured();
        QVERIFY(window.plot()->data().measuredTwoTheta.empty());
    }

    void picturesCopyAndPrintAtThePagesSize() {
        ViewFixture f;
        f.show(alCuFeInputs("4.46891"));
        PowderWindow window(f.context);
        window.resize(1000, 700);
        QVERIFY(window.calculate() && window.waitForPattern());
        PowderPlotWidget* plot = window.plot();
        const QString png = f.folder.filePath(QStringLiteral("powder.png"));
        QCOMPARE(window.savePicture(png), QString());
        QFile file(png);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.read(4).endsWith("PNG"));

        // Copy: a metafile, SVG and a bitmap.
        std::unique_ptr<QMimeData> copied(plot->clipboardData());
        QVERIFY(copied);
        QVERIFY(copied->hasFormat(QStringLiteral("image/x-wmf")));
        QVERIFY(copied->hasFormat(QStringLiteral("image/svg+xml")));
        QVERIFY(copied->hasImage());

        // The printed page: text at its point size, and the 2-theta labels apart.
        const auto pdf = renderPdfDocument(
            [plot](QPainter& painter, QPagedPaintDevice& device) {
                plot->drawPage(painter, device);
            },
            true);
        QVERIFY(pdf);
        const QString path = f.folder.filePath(QStringLiteral("printed.pdf"));
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(*pdf);
        out.close();
        QProcess text;
        text.start(QStringLiteral("pdftotext"),
                   {QStringLiteral("-bbox"), path, QStringLiteral("-")});
        if (!text.waitForStarted()) QSKIP("pdftotext is not installed");
        QVERIFY(text.waitForFinished());
        const QString html = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(html.contains(QStringLiteral(">80<")) && html.contains(QStringLiteral(">120<")),
                 qPrintable(html.mid(2000, 3000)));
        // Word heights of an 8 point font, not of one four times as large.
        static const QRegularExpression word(
            QStringLiteral("yMin=\"([0-9.]+)\" xMax=\"[0-9.]+\" yMax=\"([0-9.]+)\">"));
        auto it = word.globalMatch(html);
        int words = 0;
        while (it.hasNext()) {
            const auto m = it.next();
            const double height = m.captured(2).toDouble() - m.captured(1).toDouble();
            QVERIFY2(height < 14.0, qPrintable(m.captured(0)));
            ++words;
        }
        QVERIFY(words > 10);

        // A picture too small for the axes says so.
        PictureSettings tiny;
        tiny.size = QSize(1, 1);
        tiny.font = defaultPlotFont();
        QString reason;
        QVERIFY(!renderPowderPicture(PictureFormat::Png, plot->data(), tiny, &reason));
        QVERIFY2(reason.contains(QStringLiteral("too small")), qPrintable(reason));
    }

    // An approximant typed in the view names its lines by hkl; its box draws the quasicrystal.
    void anApproximantOffersTheQuasicrystalsPatternOverIt() {
        ViewFixture f;
        f.show(alCuFeInputs("4.46891"));
        PowderWindow window(f.context);
        window.show();
        auto* compare = window.findChild<QCheckBox*>(QStringLiteral("powderCompareQuasicrystal"));
        auto* field = window.findChild<QLineEdit*>(QStringLiteral("powderApproximant"));
        QVERIFY(compare && field);
        QVERIFY(window.calculate() && window.waitForPattern());
        QVERIFY(!compare->isVisible());  // the quasicrystal itself

        field->setText(QStringLiteral("1/1"));
        QTest::keyClick(field, Qt::Key_Return);
        QVERIFY(window.computing() && window.waitForPattern());
        PowderPlotWidget* plot = window.plot();
        QVERIFY2(plot->title().contains(QStringLiteral("approximant 1/1")),
                 qPrintable(plot->title()));
        QVERIFY(compare->isVisible() && !plot->hasCompared());
        // 3 1 0 at 22.84 degrees: a_c^2 / d^2 = 10 for a_c = 12.30 A.
        const QString tip = plot->lineTipAt(pixelOf(*plot, 22.84));
        QVERIFY2(tip.contains(QStringLiteral("hkl = 3 1 0")), qPrintable(tip));
        compare->setChecked(true);
        QVERIFY(window.computing() && window.waitForPattern());
        QVERIFY(plot->hasCompared());
        QCOMPARE(plot->data().comparedName, QStringLiteral("quasicrystal"));

        field->setText(QStringLiteral("3/1"));
        QVERIFY(!window.calculate());
        QVERIFY2(window.statusText().contains(QStringLiteral("Fibonacci")),
                 qPrintable(window.statusText()));
    }

    void theViewMenuOpensThePatternOfTheRun() {
        QTemporaryDir folder;
        MainWindow main(folder.path());
        main.findChild<InputPanel*>(QStringLiteral("frRight"))->setInputs(alCuFeInputs("4.46891"));
        auto* item = main.findChild<QAction*>(QStringLiteral("mnuViewPowder"));
        QVERIFY(item);
        item->trigger();
        auto* window = main.findChild<PowderWindow*>(QStringLiteral("powderWindow"));
        QVERIFY(window && window->isVisible());
        QVERIFY(!window->plot()->hasPattern());  // before a run: no pattern, and why
        QVERIFY(window->statusText().contains(QStringLiteral("F5")));
        // A run (F5) is drawn in the open window.
        main.findChild<QAction*>(QStringLiteral("Toolbar1Button6"))->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(window->plot()->hasPattern() && !window->computing(), 30000);
        QVERIFY(window->plot()->title().contains(QStringLiteral("4.46891")));
        // A second time raises the same window.
        item->trigger();
        QCOMPARE(main.findChildren<PowderWindow*>().size(), 1);
    }
};

QTEST_MAIN(PowderWindowTest)
#include "powder_window_test.moc"
