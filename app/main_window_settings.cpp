// Start-up in its defined state, and the inputs kept from one use to the next in
// "Tesral.cfg"; the intensity model and "use intensities" in a second file beside it.

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>

#include "app/input_panel.h"
#include "app/intensity_settings.h"
#include "app/main_window.h"
#include "app/native_files.h"
#include "app/program_folder.h"
#include "app/screen_fit.h"
#include "report/config_file.h"

namespace tesral {

namespace {

/** The panel as the configuration file keeps it (ui --> ConfigValues). */
ConfigValues configOf(const InputPanel& panel) {
    ConfigValues values;
    values.inputs = panel.inputs();
    values.anodePosition = panel.anodePosition();
    values.searchText = panel.searchText().toStdString();
    return values;
}

/**
 * Applies the intensity settings file to the document's model and its use; a file with
 * anything wrong applies nothing. Returns what the status bar should say, empty for nothing.
 */
QString applyIntensitySettings(CalculationDocument& document) {
    const QString path = intensitySettingsFile();
    const std::optional<IntensitySettingsLoad> load = readIntensitySettings(path);
    if (!load) return QString();  // a first start
    if (!load->settings)
        return QStringLiteral("%1 was not read: %2")
            .arg(QFileInfo(path).fileName(), QString::fromStdString(load->error));
    document.setModel(load->settings->model);
    document.setUseIntensities(load->settings->use);
    return QString();
}

}  // namespace

void MainWindow::startUp() {
    // The input panel has come up with its lists filled, the anode "Mo" and its wavelength,
    // and decagonal P10.5/mmc; the plot options and their View check marks are at their
    // defaults.
    sizeToScreen();
    loadSettings();
#ifndef QT_NO_SESSIONMANAGER
    // Logging off ends the program without closing its window.
    connect(qApp, &QGuiApplication::commitDataRequest, this, &MainWindow::saveSettings);
#endif
}

void MainWindow::sizeToScreen() {
    // The whole available area, never more: at a scale factor of 2 a 1080-line screen has
    // room for 540 lines of the window.
    const QRect area = screen()->availableGeometry();
    setWindowState(Qt::WindowNoState);
    move(area.topLeft());
    fitToScreen(*this, area.size());
}

void MainWindow::loadSettings() {
    if (const QString note = applyIntensitySettings(document_); !note.isEmpty())
        setStatusText(5, note);
    // Lines the file does not reach keep what the panel shows.
    ConfigValues values = configOf(*panel_);
    const QString path = configFile();
    const QFileInfo file(path);
    std::string reason;
    const std::optional<int> applied = readConfigFile(nativePath(path), values, &reason);
    // A first start has no file yet: nothing to say.
    if (!applied && (file.exists() || file.isSymLink()))
        setStatusText(5, QStringLiteral("%1 was not read: %2")
                             .arg(file.fileName(), QString::fromStdString(reason)));
    if (applied && *applied == 0)
        setStatusText(5, QStringLiteral("nothing in %1 could be applied").arg(file.fileName()));
    if (!applied || *applied == 0) return;
    // The anode before the texts: choosing it rewrites the wavelength field, which
    // setInputs then sets to the wavelength read.
    panel_->setAnodePosition(values.anodePosition);
    panel_->setInputs(values.inputs);
    panel_->setSearchText(QString::fromStdString(values.searchText));
}

void MainWindow::saveSettings() {
    const QString path = configFile();
    QDir().mkpath(QFileInfo(path).absolutePath());
    // A file that cannot be written is ignored, as one that cannot be read; anything but a
    // regular file (a named pipe would wait for a reader) is left alone.
    (void)writeConfigFile(nativePath(path), configOf(*panel_));
    const IntensitySettings intensities{document_.model(), document_.useIntensities()};
    (void)writeIntensitySettings(intensitySettingsFile(), intensities);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    saveSettings();
    QMainWindow::closeEvent(event);
}

}  // namespace tesral
