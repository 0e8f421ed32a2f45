#pragma once

#include <QMainWindow>
#include <QTimer>
#include <array>
#include <memory>
#include <optional>

#include "app/calculation_document.h"
#include "app/command.h"
#include "app/run_controller.h"
#include "app/run_size.h"
#include "app/window_session.h"
#include "plots/plot_options.h"

class QLabel;
class QListView;
class QProgressBar;
class QStackedWidget;

namespace tesral {

class InputPanel;
class PlotBoxes;
class PlotView;
class ReflectionListModel;

/**
 * The main window Form1: input panel, toolbar, plots, reflection list and status bar. It
 * lays them out and wires them; the menu items and buttons are commands over the session
 * (menu_builders), and the run goes to a worker thread while the window stays responsive.
 */
class MainWindow : public QMainWindow {
    Q_OBJECT

  public:
    /**
     * `workingFolder` holds this window's working files; by default the program's folder
     * (defaultWorkingFolder()).
     */
    explicit MainWindow(const QString& workingFolder = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    /** Runs larger than this many rows (or than free memory or disk) are asked about first. */
    static constexpr BoxCount kAskAboveRows = kLargeRunRows;

    Session& session() { return session_.core(); }
    /** The shown run's calculation and the intensity model with its use. */
    CalculationDocument& document() { return document_; }
    /** A working file of this window, such as "tmp.hkl". */
    QString workingFile(const QString& name) const { return session_.workingFile(name); }
    bool running() const { return runner_.running(); }
    /** The text of status panel 1..5. */
    QString statusText(int panel) const;
    /** largeViewOpen, and the kind it shows (largeViewShows3D). */
    bool largeViewOpen() const;
    bool largeViewShows3D() const;
    /** The box a command takes the plot of `kind` from: the large view when it shows it. */
    PlotView* sourceBox(PlotKind kind) const;

  public slots:
    void executeCalculation();
    /** New: the results go; refused during a run. */
    void clearResults();
    /** The list search, as bRTFFIND does it. */
    void findInList();
    /**
     * Applies "Tesral.cfg" to the input panel as far as it reads; the rest stays. The
     * intensity settings beside it are applied whole or not at all.
     */
    void loadSettings();
    /**
     * Writes the input panel to "Tesral.cfg" and the intensity settings beside it; a file that
     * cannot be written is ignored.
     */
    void saveSettings();

  signals:
    /** A run has ended (completed, cancelled or failed) and the window shows its outcome. */
    void runEnded();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    /** Every closing of the window keeps the inputs for the next start. */
    void closeEvent(QCloseEvent* event) override;

  private:
    // Construction.
    QWidget* createCentralArea();
    QWidget* createPanelArea();
    QWidget* createPlotStrip();
    QWidget* createProgressStrip();
    void createStatusBar();
    void createMenus();
    void createToolBar();
    void connectSession();
    void connectDocument();
    /** The wavelength field shows the wavelength of the next run's radiation. */
    void showWavelengthInUse();

    // Start-up and the configuration file.
    void startUp();
    void sizeToScreen();

    // The run.
    void onRunFinished(const std::shared_ptr<RunOutcome>& outcome);
    void showProgress();
    void setRunning(bool running);
    /** The rows, memory and list-file bytes a run may need, and what is free. */
    RunSize runSize(const PreparedRun& run) const;
    bool confirmLargeRun(const PreparedRun& run);
    void setStatusText(int panel, const QString& text);

    WindowSession session_;
    CalculationDocument document_;
    /** The calculation of the running run, shown once it is published. */
    std::optional<physics::Calculation> running_;
    RunController runner_;
    QTimer progressTimer_;
    bool cancelRequested_ = false;
    /** Why the running run may keep nothing, from its inputs; empty when they tell nothing. */
    QString emptyRunNote_;
    /** What the commands work on; filled once the parts exist. */
    CommandContext commands_;

    InputPanel* panel_ = nullptr;
    PlotBoxes* plots_ = nullptr;
    QStackedWidget* toolStrips_ = nullptr;  // the plot controls or the progress display
    QStackedWidget* pages_ = nullptr;       // the normal view and the large view
    QWidget* plotStrip_ = nullptr;
    QWidget* progressStrip_ = nullptr;
    QLabel* progressLabel_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QListView* listView_ = nullptr;
    ReflectionListModel* listModel_ = nullptr;
    std::array<QLabel*, 5> statusPanels_{};
};

}  // namespace tesral
