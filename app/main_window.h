#pragma once

#include <QMainWindow>
#include <QTimer>
#include <array>
#include <memory>
#include <optional>
#include <string>

#include "app/run_controller.h"
#include "app/run_size.h"
#include "app/session.h"
#include "plots/plot_options.h"
#include "report/report_search.h"
#include "report/report_writer.h"

class QAction;
class QGroupBox;
class QLabel;
class QListView;
class QMenu;
class QProgressBar;
class QScrollBar;
class QStackedWidget;
class QStatusBar;
class QToolBar;
class QToolButton;

namespace tesral {

class InputPanel;
class LargeView;
class PlotView;
class ReflectionListModel;
class ZoomButtons;

/**
 * The main window Form1: input panel, toolbar, plots, reflection list and status bar. Every
 * command is a slot here; the run goes to a worker thread and the window stays responsive.
 */
class MainWindow : public QMainWindow {
    Q_OBJECT

  public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    /** Runs larger than this many rows (or than free memory) are asked about first. */
    static constexpr BoxCount kAskAboveRows = 50'000'000;
    /** Bytes one kept row costs the window: the engine's and the 3D plot's. */
    static constexpr std::size_t kBytesPerRow = kEngineBytesPerRow + sizeof(ProjectedPoint);

    Session& session() { return session_; }
    bool running() const { return runner_.running(); }
    /** The text of status panel 1..5. */
    QString statusText(int panel) const;
    /** largeViewOpen, and the kind it shows (largeViewShows3D). */
    bool largeViewOpen() const { return largeViewOpen_; }
    bool largeViewShows3D() const;
    /** The box a command takes the plot of `kind` from: the large view when it shows it. */
    PlotView* sourceBox(PlotKind kind) const;

  public slots:
    void executeCalculation();
    void clearResults();
    void invertBackground();
    void redrawPlots();
    void saveTable();
    void copyList();
    void openInWordProcessor();
    void refreshList();
    void findInList();

    // Plot output: the picture comes from the source box of the kind.
    void savePlotBitmap(tesral::PlotKind kind);
    void copyPlotBitmap(tesral::PlotKind kind);
    void printPlot(tesral::PlotKind kind);
    void printList();
    void copyPlotAsMetafile(tesral::PlotKind kind);

    // The large view.
    void openLargeView(tesral::PlotKind kind);
    void closeLargeView();
    /** Applies "Tesral.cfg" to the input panel as far as it reads; the rest stays. */
    void loadSettings();
    /** Writes the input panel to "Tesral.cfg"; a file that cannot be written is ignored. */
    void saveSettings();
    /** View > Used matrices: the basis of the inputs as they stand, in viewMX. */
    void showUsedMatrices();
    /** Help > About: frmSplash. */
    void showAbout();

  signals:
    /** A run has ended (completed, cancelled or failed) and the window shows its outcome. */
    void runEnded();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    /** Every closing of the window keeps the inputs for the next start. */
    void closeEvent(QCloseEvent* event) override;

  private:
    // Construction.
    void createActions();
    void createMenus();
    void createToolBar();
    QWidget* createPlotStrip();
    QWidget* createProgressStrip();
    QWidget* createCentralArea();
    void createStatusBar();
    QAction* addAction(QMenu* menu, const char* name, const QString& caption);
    void connectHelpMenu();

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
    /** Draws the session's plot in `view`, or says there are no reflections; false on a fault. */
    bool drawPlotIn(PlotView* view);
    void setStatusText(int panel, const QString& text);

    // Output.
    ReportOptions reportOptions(int indexDimension) const;
    /** How writing the session's rows to a file ended. */
    enum class ListWrite { Written, Cancelled, Failed };
    /**
     * Writes the session's rows under `header`, with a cancellable progress dialog when it
     * takes a while; a cancelled or failed write keeps the old file. `error` gets the reason.
     */
    ListWrite writeList(const QString& path, const RunHeader& header, QString& error,
                        SafeFile::Accept accept = SafeFile::Accept::AnyFile);
    /** Shows the session's rows under `header`, as the list file was written. */
    void showListOfSession(const RunHeader& header, bool listFileWritten);
    bool haveData();
    void showWriteError(const QString& path, const QString& reason);
    void chooseOutput(const QString& caption, QAction* source);
    /** Where a plot of `kind` is drawn after a zoom: its box, the large view, or nowhere. */
    void redrawAfterZoom(PlotKind kind);
    void toggleColumn();

    Session session_;
    PlotOptions plotOptions_;
    RunController runner_;
    QTimer progressTimer_;
    bool cancelRequested_ = false;
    /** Why the running run may keep nothing, from its inputs; empty when they tell nothing. */
    QString emptyRunNote_;

    InputPanel* panel_ = nullptr;
    PlotView* pb2D_ = nullptr;
    PlotView* pb3D_ = nullptr;
    ZoomButtons* zoom_ = nullptr;
    QToolButton* bBig2D_ = nullptr;
    QToolButton* bBig3D_ = nullptr;
    QScrollBar* slRFAC_ = nullptr;
    QStackedWidget* strips_ = nullptr;
    QStackedWidget* pages_ = nullptr;  // the normal view and the large view
    LargeView* frBig_ = nullptr;
    bool largeViewOpen_ = false;
    QWidget* frPlot_ = nullptr;
    QWidget* frPROG_ = nullptr;
    QLabel* LPROG_ = nullptr;
    QProgressBar* ProgressBar1_ = nullptr;
    QListView* rtf_ = nullptr;
    /** The last search's text and hit; without a hit the next search starts at the top. */
    std::string searchText_;
    std::optional<TextPlace> searchHit_;
    /** "tmp.hkl" holds the text the list shows. */
    bool listFileCurrent_ = false;
    ReflectionListModel* listModel_ = nullptr;
    QToolBar* Toolbar1_ = nullptr;
    std::array<QLabel*, 5> statusPanels_{};

    // Toolbar buttons 1..6: new, save, copy, print, invert background, execute.
    std::array<QAction*, 6> toolActions_{};
    std::array<QAction*, 14> fileActions_{};  // mnuFile1..13 at their numbers
    std::array<QAction*, 7> tableActions_{};  // mnuTable1..6
    std::array<QAction*, 9> viewActions_{};   // mnuView1..8
    std::array<QAction*, 7> helpActions_{};   // mnuHelp1..6
    /** Commands refused while a run fills the session. */
    std::vector<QObject*> busyRefused_;
};

}  // namespace tesral
