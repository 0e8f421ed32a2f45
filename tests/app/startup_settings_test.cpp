// Start-up and "Tesral.cfg": the defaults of a first start, the file written on closing,
// files restored (also damaged ones), and tesral-cli --config against the window.

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/input_panel.h"
#include "app/limit_spinner.h"
#include "app/main_window.h"
#include "app/program_folder.h"
#include "engine/wavelength.h"
#include "report/config_file.h"

using namespace tesral;

namespace {

const QByteArray kDefaultFile = QByteArray::fromStdString(configText(ConfigValues{}));

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

/** The default file with lines `number` (1..16) replaced. */
QByteArray defaultsWith(std::initializer_list<std::pair<int, const char*>> lines) {
    QList<QByteArray> all = kDefaultFile.split('\n');
    for (auto [number, text] : lines) all[number - 1] = QByteArray(text) + '\r';
    return all.join('\n');
}

InputPanel* panelOf(MainWindow& window) {
    return window.findChild<InputPanel*>(QStringLiteral("frRight"));
}

}  // namespace

class StartupSettingsTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void init();
    void firstStartShowsTheDefaultsAndClosingWritesTheFile();
    void savedFileIsRestored_data();
    void savedFileIsRestored();
    void icosahedralFileShowsH6AndHidesC();
    void closingDuringARunStillSaves();
    void commandLineConfigGivesTheWindowsReport();

  private:
    std::unique_ptr<MainWindow> openWindow();
    QTemporaryDir folder_;
    QString config_;
};

void StartupSettingsTest::initTestCase() {
    QVERIFY(folder_.isValid());
    qputenv("TESRAL_CONFIG_DIR", QFile::encodeName(folder_.path()));
    config_ = configFile();
    QCOMPARE(config_, QDir(folder_.path()).filePath(QStringLiteral("Tesral.cfg")));
}

void StartupSettingsTest::init() {
    QFile::remove(config_);
}

std::unique_ptr<MainWindow> StartupSettingsTest::openWindow() {
    auto window = std::make_unique<MainWindow>();
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get())) return nullptr;
    return window;
}

void StartupSettingsTest::firstStartShowsTheDefaultsAndClosingWritesTheFile() {
    auto window = openWindow();
    QVERIFY(window);
    InputPanel* p = panelOf(*window);
    QCOMPARE(p->cmbSystem->currentText(), QStringLiteral("Decagonal"));
    QVERIFY(p->cmbSG10->isVisible());
    QCOMPARE(p->cmbSG10->currentIndex(), 13);
    QCOMPARE(p->cmbSG10->currentText(), QStringLiteral("P10.5/mmc"));
    QVERIFY(p->rbYamamoto->isChecked());
    QCOMPARE(p->cmbAnode->currentText(), QStringLiteral("Mo"));
    QCOMPARE(p->tfWL->text().toStdString(), wavelengthText(meanWavelength(0)));
    QCOMPARE(p->tfFind->text(), QStringLiteral("0   2   2   1   0"));
    const QSize screen = window->screen()->availableGeometry().size();
    QCOMPARE(window->size(), screen.expandedTo(QSize(800, 600)));
    QVERIFY(QDir(programFile(QStringLiteral("data"))).exists());

    QVERIFY(window->close());
    const QByteArray written = fileBytes(config_);
    QCOMPARE(written.count("\r\n"), 16);
    QCOMPARE(written, kDefaultFile);
}

void StartupSettingsTest::savedFileIsRestored_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("written");  // by the next closing

    const QByteArray icosahedral = defaultsWith({{1, " 3 "},
                                                 {2, " 5 "},
                                                 {5, "9.5"},
                                                 {6, "1"},
                                                 {11, "4"},
                                                 {12, " 1 "},
                                                 {14, "40"},
                                                 {16, "1  0  0"}});
    QTest::newRow("icosahedral") << icosahedral << icosahedral;
    // The octagonal system with its default group P8/mmm; nothing after line 1.
    QTest::newRow("group index out of range")
        << QByteArray(" 0 \r\n 99 \r\nFalse\r\n3.3\r\n") << defaultsWith({{1, " 0 "}, {2, " 31 "}});
    QTest::newRow("False on line 3")
        << defaultsWith({{3, "False"}}) << defaultsWith({{3, "False"}});
    const QByteArray comma = defaultsWith({{4, "2,82"}, {16, "0, 2, 2"}});
    QTest::newRow("comma in a text") << comma << comma;
    QTest::newRow("truncated after line 7")
        << QByteArray(" 2 \r\n 3 \r\nFalse\r\n4.1\r\n8\r\n3\r\n3")
        << defaultsWith(
               {{1, " 2 "}, {2, " 3 "}, {3, "False"}, {4, "4.1"}, {5, "8"}, {6, "3"}, {7, "3"}});
    QByteArray garbage(4096, '\0');
    for (int i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<char>((i * 7919) % 251);
    QTest::newRow("binary garbage") << garbage << kDefaultFile;
}

void StartupSettingsTest::savedFileIsRestored() {
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, written);
    writeBytes(config_, file);
    auto window = openWindow();
    QVERIFY(window);
    QVERIFY(window->close());
    QCOMPARE(fileBytes(config_), written);
}

void StartupSettingsTest::icosahedralFileShowsH6AndHidesC() {
    writeBytes(config_, defaultsWith({{1, " 3 "}, {2, " 5 "}, {12, " 1 "}}));
    auto window = openWindow();
    QVERIFY(window);
    InputPanel* p = panelOf(*window);
    QVERIFY(p->cmbSG20->isVisible());
    QCOMPARE(p->cmbSG20->currentIndex(), 5);
    QVERIFY(!p->tfC->isVisible());
    QVERIFY(!p->Label4->isVisible());
    for (QWidget* h6 : {static_cast<QWidget*>(p->tfH[5]), static_cast<QWidget*>(p->up6),
                        static_cast<QWidget*>(p->Lhkl2)})
        QVERIFY(h6->isVisible());
    // The wavelength comes from the anode, Cu.
    QCOMPARE(p->tfWL->text().toStdString(), wavelengthText(meanWavelength(1)));
}

void StartupSettingsTest::closingDuringARunStillSaves() {
    auto window = openWindow();
    QVERIFY(window);
    InputPanel* p = panelOf(*window);
    p->cmbSystem->setCurrentIndex(0);
    for (int i = 0; i < 5; ++i) p->tfH[i]->setText(QStringLiteral("12"));
    p->tfTH2->setText(QStringLiteral("180"));
    p->tfQI->setText(QStringLiteral("1E9"));
    window->executeCalculation();
    QVERIFY(window->running());
    QVERIFY(window->close());
    QVERIFY(fileBytes(config_).startsWith(" 0 \r\n 31 \r\nTrue\r\n2.82\r\n12.06\r\n12\r\n"));
    window.reset();  // the run is cancelled and waited for
}

void StartupSettingsTest::commandLineConfigGivesTheWindowsReport() {
    const QByteArray file = defaultsWith({{1, " 0 "},
                                          {2, " 5 "},
                                          {3, "False"},
                                          {4, "2.5"},
                                          {5, "10"},
                                          {12, " 2 "},
                                          {14, "35"},
                                          {15, "1.2"}});
    writeBytes(config_, file);
    auto window = openWindow();
    QVERIFY(window);
    QSignalSpy ended(window.get(), &MainWindow::runEnded);
    window->executeCalculation();
    QVERIFY(ended.count() > 0 || ended.wait(60000));
    QVERIFY(window->session().calculated());
    const QByteArray fromWindow = fileBytes(programFile(QStringLiteral("tmp.hkl")));

    QProcess cli;
    cli.start(qEnvironmentVariable("TESRAL_CLI"), {"report", "--config", config_});
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitCode(), 0);
    const QByteArray fromCli = cli.readAllStandardOutput();
    QVERIFY(fromCli.startsWith("TESRAL REPORT - "));
    QCOMPARE(fromCli, fromWindow);
}

QTEST_MAIN(StartupSettingsTest)
#include "startup_settings_test.moc"
