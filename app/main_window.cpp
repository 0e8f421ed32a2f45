#include "app/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QProgressBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/input_panel.h"
#include "app/large_view.h"
#include "app/menu_builders.h"
#include "app/plot_boxes.h"
#include "app/plot_view.h"
#include "app/program_folder.h"
#include "app/reflection_list_model.h"
#include "app/zoom_buttons.h"

namespace tesral {

namespace {

/** The status panel of short messages: a search's miss or wrap. */
constexpr int kMessagePanel = 3;
/** The status panel that says the shown run no longer matches the model. */
constexpr int kStalePanel = 4;

}  // namespace

MainWindow::MainWindow(const QString& workingFolder, QWidget* parent)
    : QMainWindow(parent),
      session_(workingFolder.isEmpty() ? defaultWorkingFolder() : workingFolder) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Tesral - Quasicrystal Reflection Generator"));
    pages_ = new QStackedWidget;
    plots_ = new PlotBoxes(session_, pages_, this);
    setCentralWidget(createCentralArea());
    createStatusBar();
    commands_.session = &session_;
    commands_.document = &document_;
    commands_.window = this;
    commands_.plots = plots_;
    commands_.listModel = listModel_;
    commands_.listView = listView_;
    commands_.panel = panel_;
    commands_.messagePanel = statusPanels_[kMessagePanel - 1];
    createMenus();
    createToolBar();
    attachLargeViewButtons(*plots_->largeView(), commands_);
    attachFind(commands_);
    connectSession();
    connectDocument();

    progressTimer_.setInterval(50);
    connect(&progressTimer_, &QTimer::timeout, this, &MainWindow::showProgress);
    connect(&runner_, &RunController::finished, this, &MainWindow::onRunFinished);
    // The window sees Escape before its controls.
    qApp->installEventFilter(this);
    startUp();
}

MainWindow::~MainWindow() {
    qApp->removeEventFilter(this);
    runner_.cancel();
    // The list reads the session's table: let it go first.
    listModel_->clear();
}

void MainWindow::createMenus() {
    const auto menu = [this](const char* name, const QString& caption) {
        QMenu* created = menuBar()->addMenu(caption);
        created->setObjectName(QLatin1String(name));
        return created;
    };
    buildFileMenu(*menu("mnuFile", QStringLiteral("&File")), commands_);
    buildTableMenu(*menu("mnuTable", QStringLiteral("&Table")), commands_);
    buildViewMenu(*menu("mnuView", QStringLiteral("&View")), commands_);
    buildHelpMenu(*menu("mnuHelp", QStringLiteral("&Help")), commands_);
}

void MainWindow::createToolBar() {
    QToolBar* toolBar = addToolBar(QStringLiteral("Toolbar1"));
    toolBar->setObjectName(QStringLiteral("Toolbar1"));
    toolBar->setMovable(false);
    toolBar->setFloatable(false);
    buildToolBar(*toolBar, commands_, [this] { executeCalculation(); });
    toolBar->addSeparator();
    // The plot controls and the progress display share one place.
    toolStrips_ = new QStackedWidget;
    toolStrips_->addWidget(createPlotStrip());
    toolStrips_->addWidget(createProgressStrip());
    toolStrips_->setCurrentWidget(plotStrip_);
    toolBar->addWidget(toolStrips_);
}

QWidget* MainWindow::createPlotStrip() {
    plotStrip_ = new QWidget;
    plotStrip_->setObjectName(QStringLiteral("frPlot"));
    auto* zoom = new ZoomButtons(plots_->options());
    connect(zoom, &ZoomButtons::zoomChanged, plots_, &PlotBoxes::redrawAfterZoom);
    auto* spots = new QLabel(QStringLiteral("spots:"));
    auto* spotSlider = new QScrollBar(Qt::Horizontal);
    spotSlider->setObjectName(QStringLiteral("slRFAC"));
    spotSlider->setRange(0, kSpotSliderMaximum);
    spotSlider->setValue(plots_->options().spotSlider);
    spotSlider->setMinimumWidth(140);
    connect(spotSlider, &QScrollBar::valueChanged, plots_, &PlotBoxes::setSpotSlider);
    auto* layout = new QHBoxLayout(plotStrip_);
    layout->setContentsMargins(4, 0, 4, 0);
    layout->addWidget(zoom);
    layout->addSpacing(12);
    layout->addWidget(buildLargeViewButton(commands_, PlotKind::ZeroLayer));
    layout->addWidget(buildLargeViewButton(commands_, PlotKind::ThreeD));
    layout->addSpacing(12);
    layout->addWidget(spots);
    layout->addWidget(spotSlider);
    layout->addStretch();
    return plotStrip_;
}

QWidget* MainWindow::createProgressStrip() {
    progressStrip_ = new QWidget;
    progressStrip_->setObjectName(QStringLiteral("frPROG"));
    progressLabel_ = new QLabel(QStringLiteral("calculating ..."));
    progressLabel_->setObjectName(QStringLiteral("LPROG"));
    progressBar_ = new QProgressBar;
    progressBar_->setObjectName(QStringLiteral("ProgressBar1"));
    progressBar_->setMinimumWidth(240);
    auto* layout = new QHBoxLayout(progressStrip_);
    layout->setContentsMargins(4, 0, 30, 0);
    layout->addWidget(progressLabel_);
    layout->addWidget(progressBar_, 1);
    return progressStrip_;
}

QWidget* MainWindow::createCentralArea() {
    auto* plotFrame = new QGroupBox(QStringLiteral("0. layer - 2D , 3D"));
    plotFrame->setObjectName(QStringLiteral("frTop"));
    auto* plots = new QHBoxLayout(plotFrame);
    plots->addWidget(plots_->box(PlotKind::ZeroLayer), 1);
    plots->addWidget(plots_->box(PlotKind::ThreeD), 1);

    auto* listFrame = new QGroupBox(QStringLiteral("reflection list"));
    listFrame->setObjectName(QStringLiteral("frBottom"));
    listView_ = new QListView;
    listView_->setObjectName(QStringLiteral("rtf"));
    listModel_ = new ReflectionListModel(this);
    QFont listFont(QStringLiteral("Courier New"));
    listFont.setStyleHint(QFont::Monospace);
    listFont.setPointSizeF(9.75);
    listModel_->setFont(listFont);
    listView_->setFont(listFont);
    listView_->setModel(listModel_);
    listView_->setUniformItemSizes(true);
    listView_->setWordWrap(false);
    listView_->setTextElideMode(Qt::ElideNone);
    listView_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    auto* list = new QVBoxLayout(listFrame);
    list->addWidget(listView_);
    listFrame->setFixedHeight(230);

    auto* left = new QVBoxLayout;
    left->addWidget(plotFrame, 1);
    left->addWidget(listFrame);
    auto* normal = new QWidget;
    auto* layout = new QHBoxLayout(normal);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(left, 1);
    layout->addWidget(createPanelArea());

    // The large view lies over the whole client area below the toolbar.
    pages_->addWidget(normal);
    pages_->addWidget(plots_->largeView());
    return pages_;
}

QWidget* MainWindow::createPanelArea() {
    panel_ = new InputPanel;
    // A low screen (or a large scale factor) scrolls the panel instead of squashing its fields.
    auto* area = new QScrollArea;
    area->setObjectName(QStringLiteral("panelScroll"));
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area->setWidget(panel_);
    const int bar = area->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, area);
    area->setFixedWidth(panel_->width() + bar);
    area->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);
    return area;
}

void MainWindow::createStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("Status"));
    for (int i = 0; i < 5; ++i) {
        auto* label = new QLabel;
        label->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        label->setMinimumWidth(i == 4 ? 200 : 110);
        // The minimum width set here, not the text's, bounds the window: a long message is cut
        // (its tooltip has it all) instead of widening the window past the screen.
        label->setFrameShape(QFrame::StyledPanel);
        bar->addWidget(label, i == 4 ? 1 : 0);
        statusPanels_[i] = label;
    }
}

void MainWindow::connectSession() {
    listModel_->follow(
        session_, [this](int indexDimension) { return commands_.reportOptions(indexDimension); });
    connect(&session_, &WindowSession::published, listView_, &QListView::scrollToTop);
    connect(&session_, &WindowSession::cleared, this, [this] {
        commands_.listFileCurrent = false;
        setStatusText(1, QString());  // nothing is shown, so no count either
        document_.clearShown();
    });
    // The zoom, the spot size and the large-view buttons wait for the run.
    connect(&session_, &WindowSession::busyChanged, plotStrip_,
            [this](bool busy) { plotStrip_->setEnabled(!busy); });
}

void MainWindow::connectDocument() {
    // The box shows the document's use; the document is told of every click.
    connect(panel_->intensitiesBox(), &QCheckBox::toggled, &document_,
            &CalculationDocument::setUseIntensities);
    connect(&document_, &CalculationDocument::modelChanged, this, [this] {
        panel_->setUseIntensities(document_.useIntensities());
        showWavelengthInUse();
    });
    connect(&document_, &CalculationDocument::staleChanged, this, [this](bool stale) {
        setStatusText(
            kStalePanel,
            stale ? QStringLiteral("the model changed: press F5 to run it again") : QString());
    });
}

void MainWindow::showWavelengthInUse() {
    // X-rays take the panel's wavelength; the other radiations bring their own.
    const physics::Radiation radiation = document_.radiationForRun();
    if (radiation.kind == physics::RadiationKind::XRay) {
        panel_->showModelWavelength(std::nullopt);
        return;
    }
    const double wavelength = physics::wavelengthFor(radiation, 0.0);
    panel_->showModelWavelength(
        wavelength, QString::fromStdString(physics::radiationText(radiation, wavelength)) +
                        QStringLiteral(" (the intensity model's radiation)"));
}

QString MainWindow::statusText(int panel) const {
    return panel >= 1 && panel <= 5 ? statusPanels_[panel - 1]->text() : QString();
}

void MainWindow::setStatusText(int panel, const QString& text) {
    if (panel < 1 || panel > 5) return;
    statusPanels_[panel - 1]->setText(text);
    statusPanels_[panel - 1]->setToolTip(text);
}

bool MainWindow::largeViewOpen() const {
    return plots_->largeViewOpen();
}

bool MainWindow::largeViewShows3D() const {
    return plots_->largeViewShows3D();
}

PlotView* MainWindow::sourceBox(PlotKind kind) const {
    return plots_->sourceBox(kind);
}

void MainWindow::clearResults() {
    if (!runner_.running()) session_.clear();
}

void MainWindow::findInList() {
    emit panel_->findRequested();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this) {
        cancelRequested_ = true;
        if (runner_.running()) runner_.cancel();
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace tesral
