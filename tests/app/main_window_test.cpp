// The main window driven as a user drives it: the run with F5, its progress and Escape, the
// list, the Table menu, the failures, the question before a very large run and the
// intensities of a model.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "app/calculation_document.h"
#include "app/input_panel.h"
#include "app/intensity_model_dialog.h"
#include "app/main_window.h"
#include "app/plot_view.h"
#include "app/program_folder.h"
#include "app/reflection_list_model.h"
#include "physics/model_file.h"
#include "window_driver.h"

using namespace tesral;
using namespace tesral::test;

class MainWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();
    void controlsCarryTheirNames();
    void noDataBeforeAnyRun();
    void defaultRunMatchesTheCommandLineReport();
    void escapeCancelsALongRun();
    void failedRunKeepsThePreviousResults();
    void veryLargeRunIsAskedAboutFirst();
    void columnItemsRewriteTheList();
    void headersDescribeTheRunOfTheRows();
    void emptyRunClearsThePlotsAndSaysWhy_data();
    void emptyRunClearsThePlotsAndSaysWhy();
    void intensitiesFillTheListColumns();
    void anApproximantRunShowsItsCellIndices();
    void modelEditMarksTheShownRunStale();
    void wavelengthFieldShowsTheModelsRadiation();

  private:
    /** Presses F5 and waits until the run has ended. */
    bool runWithF5();
    QAction* action(const char* name) { return window_->findChild<QAction*>(QLatin1String(name)); }
    InputPanel* panel() { return window_->findChild<InputPanel*>(QStringLiteral("frRight")); }
    ReflectionListModel* list() {
        auto* view = window_->findChild<QListView*>(QStringLiteral("rtf"));
        return qobject_cast<ReflectionListModel*>(view->model());
    }

    static physics::StructureModel penrose() {
        return *physics::loadModel(TESRAL_MODELS_DIR "/decagonal-penrose.toml").model;
    }

    /** The plot box `name` shows a line of words across its middle and nothing else. */
    bool showsWordsOnly(const char* name) {
        const QImage picture = window_->findChild<PlotView*>(QLatin1String(name))->picture();
        const QRgb background = picture.pixel(0, 0);
        int written = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                if (picture.pixel(x, y) != background) {
                    if (std::abs(y - picture.height() / 2) >= 20) return false;
                    ++written;
                }
        return written > 0;
    }

    QTemporaryDir workingFolder_;
    MainWindow* window_ = nullptr;
};

void MainWindowTest::init() {
    window_ = new MainWindow(workingFolder_.path());
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_));
}

void MainWindowTest::cleanup() {
    delete window_;
    window_ = nullptr;
}

bool MainWindowTest::runWithF5() {
    // F5 reaches the window once it is active again, after a dialog or a message box.
    window_->activateWindow();
    if (!QTest::qWaitForWindowActive(window_)) return false;
    QSignalSpy ended(window_, &MainWindow::runEnded);
    QTest::keyClick(window_, Qt::Key_F5);
    return ended.count() > 0 || ended.wait(60000);
}

void MainWindowTest::controlsCarryTheirNames() {
    QCOMPARE(window_->objectName(), QStringLiteral("Form1"));
    QCOMPARE(window_->windowTitle(), QStringLiteral("Tesral - Quasicrystal Reflection Generator"));
    for (const char* name : {"pb2D", "pb3D", "rtf", "frTop", "frBottom", "frRight", "frPlot",
                             "frPROG", "LPROG", "ProgressBar1", "slRFAC", "bBig2D", "bBig3D",
                             "bINC2D", "Status", "Panel1", "Panel5", "Toolbar1", "cbIntensities"})
        QVERIFY2(window_->findChild<QObject*>(QLatin1String(name)), name);
    const std::pair<const char*, const char*> captions[] = {{"mnuFile1", "New"},
                                                            {"mnuFile4", "Save reflection list"},
                                                            {"mnuFile11", "Exit"},
                                                            {"mnuTable1", "xyz coordinates"},
                                                            {"mnuTable5", "qe, qi"},
                                                            {"mnuTable6", "Wordpad"},
                                                            {"mnuTable7", "|H⊥|"},
                                                            {"mnuTable8", "I"},
                                                            {"mnuView8", "Highlight directions"},
                                                            {"mnuView9", "Spot size ~ intensity"},
                                                            {"mnuView10", "Intensity model..."},
                                                            {"mnuHelp6", "Documentation"}};
    for (auto [name, caption] : captions)
        QCOMPARE(action(name)->text(), QString::fromUtf8(caption));
    QStringList tips;
    for (QAction* a : window_->findChild<QToolBar*>(QStringLiteral("Toolbar1"))->actions())
        if (!a->isSeparator() && !a->toolTip().isEmpty() && a->icon().isNull() == false)
            tips << a->toolTip();
    QCOMPARE(tips, (QStringList{"new ", "save ", "copy to clipboard", "print graphics",
                                "invert background color", "execute calculation"}));
    QCOMPARE(action("mnuFile4")->shortcut(), QKeySequence(QKeySequence::Save));
    QCOMPARE(action("Toolbar1Button6")->shortcut(), QKeySequence(Qt::Key_F5));
}

void MainWindowTest::noDataBeforeAnyRun() {
    for (const char* name : {"mnuFile4", "mnuFile10"}) {
        MessageBoxAnswer answer;
        answer.expect(QMessageBox::Ok);
        action(name)->trigger();
        QVERIFY2(answer.seen, name);
        QCOMPARE(answer.text, QStringLiteral("no data"));
    }
    QVERIFY(!action("mnuTable6")->isEnabled());
}

void MainWindowTest::defaultRunMatchesTheCommandLineReport() {
    QVERIFY(runWithF5());
    QVERIFY(window_->session().calculated());
    const QByteArray expected = fileBytes(QStringLiteral(TESRAL_GOLDEN_DIR "/default.out"));
    QVERIFY(!expected.isEmpty());
    QCOMPARE(fileBytes(window_->workingFile(QStringLiteral("tmp.hkl"))), expected);

    const std::size_t rows = window_->session().reflectionCount();
    QCOMPARE(list()->lineCount(), rows + 7);
    QCOMPARE(QByteArray::fromStdString(list()->lineText(8) + "\r\n"),
             expected.split('\n').at(8) + '\n');
    QCOMPARE(window_->statusText(1), QStringLiteral("%1 reflections").arg(rows));
    QCOMPARE(window_->statusText(2), QStringLiteral("of 3124 loops"));
    QVERIFY(window_->statusText(5).startsWith(QStringLiteral("extinction rules: ")));
    QVERIFY(action("mnuTable6")->isEnabled());
    QVERIFY(window_->findChild<QWidget*>(QStringLiteral("frPlot"))->isVisible());

    // "New" empties the list, the plots and the count.
    action("mnuFile1")->trigger();
    QCOMPARE(list()->lineCount(), std::size_t{0});
    QCOMPARE(window_->statusText(1), QString());
    QVERIFY(!window_->session().calculated());
}

void MainWindowTest::escapeCancelsALongRun() {
    QVERIFY(runWithF5());
    // About ten million reflections: long enough to be stopped halfway.
    InputPanel* p = panel();
    p->systemList()->setCurrentIndex(0);
    for (int i = 0; i < 5; ++i) p->loopLimitField(i)->setText(QStringLiteral("12"));
    p->thetaMaxField()->setText(QStringLiteral("180"));
    p->qiMaxField()->setText(QStringLiteral("1E9"));

    QSignalSpy ended(window_, &MainWindow::runEnded);
    QTest::keyClick(window_, Qt::Key_F5);
    QVERIFY(window_->running());
    // The window answers while the run works; the commands that touch results are off.
    QTest::qWait(100);
    QVERIFY(!action("Toolbar1Button6")->isEnabled());
    QVERIFY(!action("mnuFile1")->isEnabled());
    QVERIFY(!action("mnuTable2")->isEnabled());
    QVERIFY(window_->findChild<QWidget*>(QStringLiteral("frPROG"))->isVisible());
    QCOMPARE(window_->statusText(2), QStringLiteral("of 9765624 loops"));
    QTest::keyClick(panel()->latticeAField(), Qt::Key_Escape);
    QVERIFY(ended.wait(5000));
    QVERIFY(!window_->running());
    QVERIFY(!window_->session().calculated());
    QCOMPARE(list()->lineCount(), std::size_t{0});
    QCOMPARE(window_->statusText(1), QString());  // not the count of the run before
    QVERIFY(action("Toolbar1Button6")->isEnabled());

    MessageBoxAnswer answer;
    answer.expect(QMessageBox::Ok);
    action("mnuFile4")->trigger();
    QCOMPARE(answer.text, QStringLiteral("no data"));
}

void MainWindowTest::failedRunKeepsThePreviousResults() {
    QVERIFY(runWithF5());
    const std::size_t rows = window_->session().reflectionCount();
    panel()->latticeAField()->setText(QStringLiteral("0"));
    MessageBoxAnswer answer;
    answer.expect(QMessageBox::Ok);
    QTest::keyClick(window_, Qt::Key_F5);
    QVERIFY(answer.seen);
    QCOMPARE(answer.text, QString::fromStdString(kLatticeConstantsMessage));
    QVERIFY(window_->session().calculated());
    QCOMPARE(window_->session().reflectionCount(), rows);
    QCOMPARE(list()->lineCount(), rows + 7);
}

void MainWindowTest::veryLargeRunIsAskedAboutFirst() {
    InputPanel* p = panel();
    for (int i = 0; i < 5; ++i) p->loopLimitField(i)->setText(QStringLiteral("32767"));
    p->thetaMaxField()->setText(QStringLiteral("180"));
    p->qiMaxField()->setText(QStringLiteral("1E9"));
    MessageBoxAnswer answer;
    answer.expect(QMessageBox::No);
    QTest::keyClick(window_, Qt::Key_F5);
    QVERIFY(answer.seen);
    QVERIFY(answer.text.startsWith(QStringLiteral(
        "This run may produce up to 1,208,833,588,708,967,444,709,375 reflections, about ")));
    QVERIFY(answer.text.contains(QStringLiteral(" TB of memory and ")));
    QVERIFY(answer.text.contains(QStringLiteral(" TB of disk for the list file in ")));
    QVERIFY(answer.text.endsWith(QStringLiteral("Continue?")));
    QVERIFY(!window_->running());
    QVERIFY(!window_->session().calculated());

    // A small run is asked about too when its list file would not fit on the disk.
    RunSize size;
    size.rows = 1000;
    size.diskBytes = 72'000;
    size.freeDisk = 50'000;
    QVERIFY(size.worthAsking(MainWindow::kAskAboveRows));
    size.freeDisk = 100'000;
    QVERIFY(!size.worthAsking(MainWindow::kAskAboveRows));
}

void MainWindowTest::columnItemsRewriteTheList() {
    QVERIFY(runWithF5());
    const QString tmp = window_->workingFile(QStringLiteral("tmp.hkl"));
    QVERIFY(fileBytes(tmp).contains("   h1"));
    action("mnuTable2")->trigger();  // Indices off
    QVERIFY(!action("mnuTable2")->isChecked());
    QVERIFY(!fileBytes(tmp).contains("h1"));
    QVERIFY(list()->lineText(5).find("h1") == std::string::npos);
    for (const char* name : {"mnuTable1", "mnuTable3", "mnuTable4", "mnuTable5"})
        action(name)->trigger();
    // Nothing but the row numbers: the header is "#" and four blanks.
    QCOMPARE(list()->lineText(5), std::string("#    "));
    QCOMPARE(list()->lineText(4), std::string("-----"));
}

void MainWindowTest::headersDescribeTheRunOfTheRows() {
    QVERIFY(runWithF5());
    panel()->latticeAField()->setText(QStringLiteral("9.99"));
    panel()->anodeList()->setCurrentIndex(panel()->anodeList()->count() - 1);
    QVERIFY(panel()->wavelengthField()->text() != QStringLiteral("0.7106867"));
    const auto describesTheRun = [](const QByteArray& text) {
        return text.contains("a = 2.82,") && text.contains("wavelength = 0.7106867,") &&
               !text.contains("9.99");
    };
    // Saved under a name typed without extension.
    QTemporaryDir dir;
    FileDialogAnswer save;
    save.expect(dir.filePath(QStringLiteral("mylist")));
    action("mnuFile4")->trigger();
    QVERIFY(save.seen);
    QVERIFY(describesTheRun(fileBytes(dir.filePath(QStringLiteral("mylist.hkl")))));
    action("mnuTable1")->trigger();  // a column toggle writes the list anew
    QVERIFY(describesTheRun(fileBytes(window_->workingFile(QStringLiteral("tmp.hkl")))));
    QByteArray shown;
    for (std::size_t line = 0; line < 4; ++line) shown += list()->lineText(line) + "\n";
    QVERIFY(describesTheRun(shown));
}

void MainWindowTest::emptyRunClearsThePlotsAndSaysWhy_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("status");
    QTest::newRow("theta") << "tfTH2"
                           << "0.5"
                           << "0 reflections: theta max is below theta min";
    QTest::newRow("limit") << "tfH0"
                           << "-1"
                           << "0 reflections: a loop limit is negative";
    QTest::newRow("wavelength") << "tfWL"
                                << "0,7"
                                << "0 reflections: the wavelength '0,7' is not a number";
}

void MainWindowTest::emptyRunClearsThePlotsAndSaysWhy() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, status);
    QVERIFY(runWithF5());
    panel()->findChild<QLineEdit*>(field)->setText(text);
    QVERIFY(runWithF5());
    QCOMPARE(window_->session().reflectionCount(), std::size_t{0});
    QCOMPARE(window_->statusText(1), status);
    // Nothing of the earlier pattern is left: only the words in the middle of each box.
    for (const char* name : {"pb2D", "pb3D"}) QVERIFY2(showsWordsOnly(name), name);
}

// The approximant field strains the run; the Table menu's hkl item shows the cell's indices.
void MainWindowTest::anApproximantRunShowsItsCellIndices() {
    panel()->systemList()->setCurrentIndex(3);  // icosahedral
    panel()->findChild<QLineEdit*>(QStringLiteral("tfA"))->setText(QStringLiteral("4.46891"));
    panel()->findChild<QLineEdit*>(QStringLiteral("tfApproximant"))->setText(QStringLiteral("1/1"));
    QCOMPARE(action("mnuTable9")->text(), QStringLiteral("hkl (approximant)"));
    action("mnuTable9")->trigger();
    QVERIFY(runWithF5());
    const QByteArray tmp = fileBytes(window_->workingFile(QStringLiteral("tmp.hkl")));
    QVERIFY(tmp.contains("approximant 1/1, cubic a = 12.3019 A\r\n"));
    QVERIFY(tmp.contains("  h6    h    k    l     Theta"));
    QVERIFY(tmp.contains("  1   1    7    2    3  13.14660"));
    panel()->findChild<QLineEdit*>(QStringLiteral("tfApproximant"))->clear();
    action("mnuTable9")->trigger();
}

void MainWindowTest::intensitiesFillTheListColumns() {
    onNextModal<IntensityModelDialog>([](IntensityModelDialog& dialog) {
        QCOMPARE(dialog.loadFile(QStringLiteral(TESRAL_MODELS_DIR "/decagonal-penrose.toml")),
                 QString());
        dialog.accept();
    });
    action("mnuView10")->trigger();
    // Off by default; the box alone changes nothing until there is a run.
    QVERIFY(!action("mnuTable7")->isChecked() && !action("mnuTable8")->isChecked());
    action("mnuTable7")->trigger();
    action("mnuTable8")->trigger();
    panel()->intensitiesBox()->setChecked(true);
    QVERIFY(runWithF5());
    const QByteArray tmp = fileBytes(window_->workingFile(QStringLiteral("tmp.hkl")));
    QVERIFY(
        tmp.contains("model: Decagonal, Penrose tiling (four pentagons) (4 sites, X-rays, "
                     "wavelength 0.7106867 A)\r\n"));
    QVERIFY(tmp.contains("     Hperp         I\r\n"));
    QVERIFY(tmp.contains(" 100.00000\r\n"));
    const std::string head = list()->lineText(6);
    QVERIFY2(head.ends_with("     Hperp         I"), head.c_str());
    bool strongest = false;
    for (std::size_t line = 8; line < list()->lineCount(); ++line)
        strongest = strongest || list()->lineText(line).ends_with(" 100.00000");
    QVERIFY(strongest);
    action("mnuView9")->trigger();  // Spot size ~ intensity
    QVERIFY(!action("mnuView4")->isChecked());
    QVERIFY(!showsWordsOnly("pb2D"));

    // A model that does not fit the system: a message, and no run.
    panel()->systemList()->setCurrentIndex(3);  // icosahedral
    MessageBoxAnswer refused;
    refused.expect(QMessageBox::Ok);
    QTest::keyClick(window_, Qt::Key_F5);
    QVERIFY(refused.seen);
    QVERIFY2(refused.text.contains(QStringLiteral("position has 5 numbers")),
             qPrintable(refused.text));
    QVERIFY(!window_->running());

    // Without the box the model stays out of the run.
    panel()->systemList()->setCurrentIndex(1);
    panel()->intensitiesBox()->setChecked(false);
    QVERIFY(runWithF5());
    QVERIFY(!fileBytes(window_->workingFile(QStringLiteral("tmp.hkl"))).contains("model:"));
    // Rows without intensities are not drawn as empty plots: the boxes say why.
    QVERIFY(showsWordsOnly("pb2D") && showsWordsOnly("pb3D"));
}

void MainWindowTest::modelEditMarksTheShownRunStale() {
    CalculationDocument& document = window_->document();
    physics::StructureModel model = penrose();
    document.setModel(model);
    panel()->intensitiesBox()->setChecked(true);
    QVERIFY(document.useIntensities());
    QVERIFY(runWithF5());
    QVERIFY(document.shown() && document.shown()->model == model);
    QVERIFY(!document.stale());
    QCOMPARE(window_->statusText(4), QString());

    const QString said = QStringLiteral("the model changed: press F5 to run it again");
    model.sites.pop_back();
    document.setModel(model);
    QVERIFY(document.stale());
    QCOMPARE(window_->statusText(4), said);
    QVERIFY(runWithF5());
    QVERIFY(!document.stale());
    QCOMPARE(window_->statusText(4), QString());
    QVERIFY(document.shown()->model == model);

    // Switching the intensities off changes the run too; switching them on again does not.
    panel()->intensitiesBox()->setChecked(false);
    QCOMPARE(window_->statusText(4), said);
    panel()->intensitiesBox()->setChecked(true);
    QCOMPARE(window_->statusText(4), QString());
}

void MainWindowTest::wavelengthFieldShowsTheModelsRadiation() {
    physics::StructureModel model = penrose();
    model.radiation = {physics::RadiationKind::Electron, 200.0, 1.8};
    window_->document().setModel(model);
    QLineEdit* field = panel()->wavelengthField();
    QCOMPARE(field->text(), QStringLiteral("0.7106867"));  // intensities off: the anode's
    panel()->intensitiesBox()->setChecked(true);
    QCOMPARE(field->text(), QStringLiteral("0.0250793"));
    QVERIFY(field->isReadOnly() && !panel()->anodeList()->isEnabled());
    QCOMPARE(panel()->inputs().wavelength, std::string("0.7106867"));
    QVERIFY(runWithF5());
    const QByteArray tmp = fileBytes(window_->workingFile(QStringLiteral("tmp.hkl")));
    QVERIFY(tmp.contains("wavelength = 0.0250793,"));
    QVERIFY(tmp.contains("electrons 200 kV, wavelength 0.0250793 A"));

    model.radiation.kind = physics::RadiationKind::Neutron;
    window_->document().setModel(model);
    QCOMPARE(field->text(), QStringLiteral("1.8"));
    model.radiation.kind = physics::RadiationKind::XRay;
    window_->document().setModel(model);
    QCOMPARE(field->text(), QStringLiteral("0.7106867"));
    QVERIFY(!field->isReadOnly() && panel()->anodeList()->isEnabled());
    QVERIFY(!field->isEnabled());  // Mo: the anode's wavelength, as before
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
