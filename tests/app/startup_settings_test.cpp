// Start-up and "Tesral.cfg": a first start, files restored (also damaged ones), closing
// during a run, tesral-cli --config against the window, and the intensity settings kept
// beside the file.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "app/input_panel.h"
#include "app/intensity_model_dialog.h"
#include "app/intensity_settings.h"
#include "app/limit_spinner.h"
#include "app/main_window.h"
#include "app/program_folder.h"
#include "engine/wavelength.h"
#include "physics/model_file.h"
#include "report/config_file.h"
#include "window_driver.h"

using namespace tesral;

namespace {

const QByteArray kDefaultFile = QByteArray::fromStdString(configText(ConfigValues{}));

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/** The default file with lines `number` (1..16) replaced. */
QByteArray defaultsWith(std::initializer_list<std::pair<int, const char*>> lines) {
    QList<QByteArray> all = kDefaultFile.split('\n');
    for (auto [number, text] : lines) all[number - 1] = QByteArray(text) + '\r';
    return all.join('\n');
}

bool isNamedPipe(const QString& path) {
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISFIFO(st.st_mode);
}

/**
 * Lets whoever waits on the named pipe `path` go on after a few seconds, so that a test of a
 * window that should not wait fails instead of hanging: opening the pipe both ways never
 * waits and releases a waiting reader or writer; what is written is read away.
 */
class PipeWatchdog {
  public:
    explicit PipeWatchdog(const QString& path)
        : thread_([this, name = QFile::encodeName(path)] {
              using namespace std::chrono_literals;
              for (int i = 0; i < 500 && !stop_; ++i) std::this_thread::sleep_for(10ms);
              while (!stop_) {
                  const int fd = ::open(name.constData(), O_RDWR | O_NONBLOCK);
                  char buffer[1 << 16];
                  for (int i = 0; i < 100 && !stop_; ++i) {
                      while (fd >= 0 && ::read(fd, buffer, sizeof buffer) > 0) {
                      }
                      std::this_thread::sleep_for(10ms);
                  }
                  if (fd >= 0) ::close(fd);
              }
          }) {}
    ~PipeWatchdog() {
        stop_ = true;
        thread_.join();
    }

  private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace

class StartupSettingsTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void init() {
        QFile::remove(config_);
        QFile::remove(intensitySettingsFile());
    }
    void firstStartShowsTheDefaultsAndClosingWritesTheFile();
    void savedFileIsRestored_data();
    void savedFileIsRestored();
    void closingDuringARunStillSaves();
    void commandLineConfigGivesTheWindowsReport();
    void intensitySettingsSurviveARestart();
    void dialogsPhasonStrainRunsAndIsKept();
    void unreadableIntensitySettingsAreKept();
    void namedPipesAreLeftAlone();
    void fileSizeLimitGivesAMessage();
    void runUnderFileSizeLimit();  // the child process of fileSizeLimitGivesAMessage

  private:
    /** Writes `file` as "Tesral.cfg" (none when null) and opens the window on it. */
    bool openWindow(const QByteArray& file = {});
    InputPanel* panel() { return window_->findChild<InputPanel*>(QStringLiteral("frRight")); }

    QTemporaryDir folder_;
    QTemporaryDir workingFolder_;
    QString config_;
    std::unique_ptr<MainWindow> window_;
};

void StartupSettingsTest::initTestCase() {
    qputenv("TESRAL_CONFIG_DIR", QFile::encodeName(folder_.path()));
    config_ = configFile();
    QCOMPARE(config_, QDir(folder_.path()).filePath(QStringLiteral("Tesral.cfg")));
}

bool StartupSettingsTest::openWindow(const QByteArray& file) {
    QFile out(config_);
    if (!file.isNull() && !(out.open(QIODevice::WriteOnly) && out.write(file) == file.size()))
        return false;
    out.close();
    window_ = std::make_unique<MainWindow>(workingFolder_.path());
    window_->show();
    return QTest::qWaitForWindowExposed(window_.get());
}

void StartupSettingsTest::firstStartShowsTheDefaultsAndClosingWritesTheFile() {
    QVERIFY(openWindow());
    InputPanel* p = panel();
    QVERIFY(p->groupList(1)->isVisible());
    QCOMPARE(p->groupList(1)->currentText(), QStringLiteral("P10.5/mmc"));
    QCOMPARE(p->anodeList()->currentText(), QStringLiteral("Mo"));
    QCOMPARE(p->wavelengthField()->text().toStdString(), wavelengthText(meanWavelength(0)));
    // The available area, frame included, and not much less.
    const QRect area = window_->screen()->availableGeometry();
    QVERIFY(area.contains(window_->frameGeometry()));
    QVERIFY(window_->width() >= area.width() - 40 && window_->height() >= area.height() - 80);
    QVERIFY(QDir(window_->workingFile(QStringLiteral("data"))).exists());

    QVERIFY(window_->close());
    QCOMPARE(fileBytes(config_).count("\r\n"), 16);
    QCOMPARE(fileBytes(config_), kDefaultFile);
}

void StartupSettingsTest::savedFileIsRestored_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("written");  // by the next closing
    QTest::addColumn<bool>("icosahedral");
    QTest::addColumn<QString>("status");  // what the status bar says about the file

    const QByteArray icosahedral = defaultsWith(
        {{1, " 3 "}, {2, " 5 "}, {5, "9.5"}, {11, "4"}, {12, " 1 "}, {14, "40"}, {16, "1 0"}});
    QTest::newRow("icosahedral") << icosahedral << icosahedral << true << QString();
    QTest::newRow("byte-order mark, CR line ends")
        << "\xEF\xBB\xBF" + QByteArray(icosahedral).replace("\r\n", "\r") << icosahedral << true
        << QString();
    // Octagonal with its default group P8/mmm; nothing after line 1 is applied.
    QTest::newRow("group index out of range")
        << QByteArray(" 0 \r\n 99 \r\nFalse\r\n3.3\r\n") << defaultsWith({{1, " 0 "}, {2, " 31 "}})
        << false << QString();
    QTest::newRow("False on line 3")
        << defaultsWith({{3, "False"}}) << defaultsWith({{3, "False"}}) << false << QString();
    const QByteArray comma = defaultsWith({{4, "2,82"}, {16, "0, 2, 2"}});
    QTest::newRow("comma in a text") << comma << comma << false << QString();
    QTest::newRow("truncated after line 7")
        << QByteArray(" 2 \r\n 3 \r\nFalse\r\n4.1\r\n8\r\n3\r\n3")
        << defaultsWith(
               {{1, " 2 "}, {2, " 3 "}, {3, "False"}, {4, "4.1"}, {5, "8"}, {6, "3"}, {7, "3"}})
        << false << QString();
    QByteArray garbage(4096, '\0');
    for (int i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<char>((i * 7919) % 251);
    QTest::newRow("binary garbage") << garbage << kDefaultFile << false
                                    << QStringLiteral("nothing in Tesral.cfg could be applied");
}

void StartupSettingsTest::savedFileIsRestored() {
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, written);
    QFETCH(bool, icosahedral);
    QFETCH(QString, status);
    QVERIFY(openWindow(file));
    QCOMPARE(window_->statusText(5), status);
    InputPanel* p = panel();
    // c and its label give way to h6 with its spinner and label.
    for (QWidget* w : std::initializer_list<QWidget*>{p->loopLimitField(5), p->loopLimitSpinner(5),
                                                      p->h6Label()})
        QCOMPARE(w->isVisible(), icosahedral);
    QCOMPARE(p->latticeCField()->isVisible() || p->latticeCLabel()->isVisible(), !icosahedral);
    QVERIFY(window_->close());
    QCOMPARE(fileBytes(config_), written);
}

void StartupSettingsTest::closingDuringARunStillSaves() {
    QVERIFY(openWindow());
    panel()->systemList()->setCurrentIndex(0);
    for (int i = 0; i < 5; ++i) panel()->loopLimitField(i)->setText(QStringLiteral("12"));
    panel()->thetaMaxField()->setText(QStringLiteral("180"));
    panel()->qiMaxField()->setText(QStringLiteral("1E9"));
    window_->executeCalculation();
    QVERIFY(window_->running());
    QVERIFY(window_->close());
    QVERIFY(fileBytes(config_).startsWith(" 0 \r\n 31 \r\nTrue\r\n2.82\r\n12.06\r\n12\r\n"));
    window_.reset();  // the run is cancelled and waited for
}

void StartupSettingsTest::commandLineConfigGivesTheWindowsReport() {
    QVERIFY(openWindow(defaultsWith({{1, " 0 "},
                                     {2, " 5 "},
                                     {3, "False"},
                                     {4, "2.5"},
                                     {5, "10"},
                                     {12, " 2 "},
                                     {14, "35"},
                                     {15, "1.2"}})));
    QSignalSpy ended(window_.get(), &MainWindow::runEnded);
    window_->executeCalculation();
    QVERIFY(ended.count() > 0 || ended.wait(60000));
    QVERIFY(window_->session().calculated());

    QProcess cli;
    cli.start(qEnvironmentVariable("TESRAL_CLI"), {"report", "--config", config_});
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitCode(), 0);
    const QByteArray report = cli.readAllStandardOutput();
    QVERIFY(report.startsWith("TESRAL REPORT - "));
    QCOMPARE(report, fileBytes(window_->workingFile(QStringLiteral("tmp.hkl"))));
}

void StartupSettingsTest::intensitySettingsSurviveARestart() {
    const QString models = QStringLiteral(TESRAL_MODELS_DIR);
    physics::StructureModel penrose =
        *physics::loadModel((models + "/decagonal-penrose.toml").toStdString()).model;
    penrose.source.clear();
    for (physics::Site& site : penrose.sites) site.line = 0;
    const auto modelShown = [this] {
        physics::StructureModel shown;
        test::onNextModal<IntensityModelDialog>([&shown](IntensityModelDialog& dialog) {
            shown = *dialog.editedModel();
            dialog.reject();
        });
        window_->findChild<QAction*>(QStringLiteral("mnuView10"))->trigger();
        return shown;
    };

    QVERIFY(openWindow());
    QVERIFY(!panel()->useIntensities());
    test::onNextModal<IntensityModelDialog>([&models](IntensityModelDialog& dialog) {
        dialog.loadFile(models + "/decagonal-penrose.toml");
        dialog.accept();
    });
    window_->findChild<QAction*>(QStringLiteral("mnuView10"))->trigger();
    panel()->intensitiesBox()->setChecked(true);
    QVERIFY(window_->close());
    // Tesral.cfg keeps its sixteen lines; the model and the box are in the other file.
    QCOMPARE(fileBytes(config_), kDefaultFile);
    QVERIFY(fileBytes(intensitySettingsFile()).startsWith("# Tesral"));

    QVERIFY(openWindow());
    QVERIFY(panel()->useIntensities());
    QVERIFY(modelShown() == penrose);
    QVERIFY(window_->close());

    // A damaged file applies nothing and says where it is wrong.
    QFile damaged(intensitySettingsFile());
    QVERIFY(damaged.open(QIODevice::WriteOnly));
    damaged.write("use_intensities = true\n\nname = 3\n");
    damaged.close();
    QVERIFY(openWindow());
    QVERIFY(!panel()->useIntensities());
    QVERIFY(modelShown().sites.empty());
    QVERIFY2(window_->statusText(5).startsWith(
                 QStringLiteral("Tesral-intensities.toml was not read: %1:3: ")
                     .arg(QDir::toNativeSeparators(intensitySettingsFile()))),
             qPrintable(window_->statusText(5)));
}

void StartupSettingsTest::dialogsPhasonStrainRunsAndIsKept() {
    const auto editModel = [this](const std::function<void(IntensityModelDialog&)>& edit) {
        test::onNextModal<IntensityModelDialog>(edit);
        window_->findChild<QAction*>(QStringLiteral("mnuView10"))->trigger();
    };
    const auto strainField = [](IntensityModelDialog& dialog) {
        return dialog.findChild<QLineEdit*>(QStringLiteral("tfPhasonStrain"));
    };
    QVERIFY(openWindow());
    panel()->systemList()->setCurrentIndex(1);  // decagonal
    editModel([&](IntensityModelDialog& dialog) {
        dialog.loadFile(QStringLiteral(TESRAL_MODELS_DIR "/decagonal-penrose.toml"));
        strainField(dialog)->setText(QStringLiteral("0.01, 0, 0"));  // one number short
        QString problem;
        QVERIFY(!dialog.editedModel(&problem));
        QVERIFY2(problem.contains(QStringLiteral("2 x 2 matrix of 4 finite numbers: '0.01, 0, 0'")),
                 qPrintable(problem));
        strainField(dialog)->setText(QStringLiteral("0.01, 0, 0, 0.002"));
        dialog.accept();
    });
    panel()->intensitiesBox()->setChecked(true);
    QSignalSpy ended(window_.get(), &MainWindow::runEnded);
    window_->executeCalculation();
    QVERIFY(ended.count() > 0 || ended.wait(60000));
    QVERIFY(fileBytes(window_->workingFile(QStringLiteral("tmp.hkl")))
                .contains("\r\nphason strain M = [[0.01, 0], [0, 0.002]]\r\n"));
    // The name field edited again rebuilds the model from the fields: the strain stays.
    editModel([](IntensityModelDialog& dialog) {
        dialog.findChild<QLineEdit*>(QStringLiteral("tfModelName"))->setText(QStringLiteral("x"));
        dialog.accept();
    });
    QVERIFY(window_->close());
    QCOMPARE(fileBytes(config_), kDefaultFile);
    QVERIFY(
        fileBytes(intensitySettingsFile()).contains("[phason]\nstrain = [[0.01, 0], [0, 0.002]]"));
    QVERIFY(openWindow());
    editModel([&](IntensityModelDialog& dialog) {
        QCOMPARE(strainField(dialog)->text(), QStringLiteral("0.01, 0, 0, 0.002"));
        dialog.reject();
    });
    QVERIFY(window_->close());
}

void StartupSettingsTest::unreadableIntensitySettingsAreKept() {
    const QByteArray model = fileBytes(QStringLiteral(TESRAL_MODELS_DIR "/decagonal-penrose.toml"));
    QByteArray utf16("\xFF\xFE");
    for (const char c : "use_intensities = true\n" + model) utf16 += QByteArray(1, c) + '\0';
    QByteArray padded = "use_intensities = true\n" + model;
    while (padded.size() < 1'480'000) padded += "# " + QByteArray(70, 'x') + "\n";
    const struct {
        QByteArray bytes;
        const char* status;  // after "Tesral-intensities.toml was not read: <path>"; null: read
    } cases[] = {
        {"[" + QByteArray(300000 * 2, 'a').replace("aa", "a.") + "]\n",
         ":1: the line is longer than 10000 characters"},
        {"[[[\n", ":1: a table header must name a table"},
        {"use_intensities = true\n" + QByteArray(model).replace("\"Al\"", "\"Xx\""), ":"},
        {"\xEF\xBB\xBFuse_intensities = true\n" + model, nullptr},
        {utf16, nullptr},
        {padded, nullptr},
    };
    const QString beside = intensitySettingsBeside(intensitySettingsFile());
    for (const auto& c : cases) {
        QFile::remove(beside);
        QFile file(intensitySettingsFile());
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(c.bytes) == c.bytes.size());
        file.close();
        QVERIFY(openWindow());
        if (!c.status) {
            QCOMPARE(window_->statusText(5), QString());
            QVERIFY(panel()->useIntensities());
            QVERIFY(window_->close());
            QVERIFY(!QFile::exists(beside));
            continue;
        }
        const QString said = window_->statusText(5);
        QVERIFY2(said.startsWith(QStringLiteral("Tesral-intensities.toml was not read: %1%2")
                                     .arg(QDir::toNativeSeparators(intensitySettingsFile()),
                                          QLatin1String(c.status))),
                 qPrintable(said.left(300)));
        QVERIFY2(said.endsWith(QStringLiteral("(kept as it is; the window's settings go to %1)")
                                   .arg(QDir::toNativeSeparators(beside))),
                 qPrintable(said.left(300)));
        QVERIFY(window_->close());
        QVERIFY(fileBytes(intensitySettingsFile()) == c.bytes);
        QVERIFY(fileBytes(beside).startsWith("# Tesral"));
    }
    QFile::remove(beside);
}

void StartupSettingsTest::namedPipesAreLeftAlone() {
    // Start-up and closing do not wait for a reader or writer of "Tesral.cfg".
    QCOMPARE(::mkfifo(QFile::encodeName(config_).constData(), 0600), 0);
    const QString list = QDir(workingFolder_.path()).filePath(QStringLiteral("tmp.hkl"));
    QFile::remove(list);
    QCOMPARE(::mkfifo(QFile::encodeName(list).constData(), 0600), 0);
    const auto cleanUp = qScopeGuard([&list] { QFile::remove(list); });
    const PipeWatchdog configWatch(config_), listWatch(list);
    QVERIFY(openWindow());
    QCOMPARE(window_->statusText(5), QStringLiteral("Tesral.cfg was not read: not a regular file"));

    // The run would end writing "tmp.hkl": it does not start.
    test::MessageBoxAnswer box;
    box.expect(QMessageBox::Ok);
    window_->executeCalculation();
    QVERIFY(box.seen);
    QVERIFY(box.text.endsWith(QStringLiteral("tmp.hkl: not a regular file")));
    QVERIFY(!window_->running());

    // The other working files: a run without the pipe, then copies onto pipes.
    QFile::remove(list);
    QSignalSpy ended(window_.get(), &MainWindow::runEnded);
    window_->executeCalculation();
    QVERIFY(ended.wait(30000));
    const QStringList others{window_->workingFile(QStringLiteral("clipboard.hkl")),
                             window_->workingFile(QStringLiteral("a.wmf")), list};
    for (const QString& other : others) {
        QFile::remove(other);
        QCOMPARE(::mkfifo(QFile::encodeName(other).constData(), 0600), 0);
    }
    const auto cleanUpOthers = qScopeGuard([&others] {
        for (const QString& other : others) QFile::remove(other);
    });
    const PipeWatchdog clipboardWatch(others[0]), metafileWatch(others[1]), refreshWatch(list);
    // Copy reflection list, Copy 2D as WMF, and a column item, which rewrites the list file.
    const auto item = [this](const char* name) {
        return window_->findChild<QAction*>(QLatin1String(name));
    };
    const std::function<void()> commands[] = {[&] { item("mnuFile10")->trigger(); },
                                              [&] { item("mnuFile8")->trigger(); },
                                              [&] { item("mnuTable1")->trigger(); }};
    for (int i = 0; i < 3; ++i) {
        test::MessageBoxAnswer refused;
        refused.expect(QMessageBox::Ok);
        commands[i]();
        QTRY_VERIFY(refused.seen);
        QVERIFY2(refused.text.endsWith(QStringLiteral(": not a regular file")),
                 qPrintable(refused.text));
        QVERIFY(isNamedPipe(others[i]));
    }

    QVERIFY(window_->close());
    window_.reset();
    QVERIFY(isNamedPipe(config_));
}

void StartupSettingsTest::fileSizeLimitGivesAMessage() {
    // The window runs in a child process whose file-size limit lies below the list file.
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TESRAL_FILE_SIZE_CHILD"), QStringLiteral("1"));
    child.setProcessEnvironment(environment);
    child.setChildProcessModifier([] {
        const rlimit limit{50 * 512, 50 * 512};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    child.start(QCoreApplication::applicationFilePath(), {"runUnderFileSizeLimit"});
    QVERIFY(child.waitForFinished(60000));
    QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
             child.readAllStandardOutput().constData());
}

void StartupSettingsTest::runUnderFileSizeLimit() {
    if (!qEnvironmentVariableIsSet("TESRAL_FILE_SIZE_CHILD"))
        QSKIP("the child process of fileSizeLimitGivesAMessage");
    reportWriteSignalsAsErrors();
    QVERIFY(openWindow());
    QSignalSpy ended(window_.get(), &MainWindow::runEnded);
    test::MessageBoxAnswer box;
    box.expect(QMessageBox::Ok, 6000);
    window_->executeCalculation();
    QVERIFY(ended.count() > 0 || ended.wait(60000));
    QTRY_VERIFY(box.seen);
    QVERIFY2(box.text.endsWith(QStringLiteral("tmp.hkl: File too large")), qPrintable(box.text));
    QDirIterator leftOver(workingFolder_.path(), {QStringLiteral(".tmp.hkl.tesral-*")},
                          QDir::Hidden | QDir::Files);
    QVERIFY(!leftOver.hasNext());
}

QTEST_MAIN(StartupSettingsTest)
#include "startup_settings_test.moc"
