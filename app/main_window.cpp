#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QProgressBar>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/input_panel.h"
#include "app/large_view.h"
#include "app/plot_view.h"
#include "app/reflection_list_model.h"
#include "app/toolbar_icons.h"
#include "app/zoom_buttons.h"

namespace tesral {

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Tesral - Quasicrystal Reflection Generator"));
    setMinimumSize(800, 600);
    createActions();
    createMenus();
    createToolBar();
    setCentralWidget(createCentralArea());
    createStatusBar();

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

QAction* MainWindow::addAction(QMenu* menu, const char* name, const QString& caption) {
    auto* action = new QAction(caption, this);
    action->setObjectName(QLatin1String(name));
    if (menu) menu->addAction(action);
    return action;
}

void MainWindow::createActions() {
    const char* names[6] = {"Toolbar1Button1", "Toolbar1Button2", "Toolbar1Button3",
                            "Toolbar1Button4", "Toolbar1Button5", "Toolbar1Button6"};
    const QString captions[6] = {QStringLiteral("New"),
                                 QStringLiteral("Save"),
                                 QStringLiteral("Copy"),
                                 QStringLiteral("Print"),
                                 QStringLiteral("Invert background"),
                                 QStringLiteral("Execute calculation")};
    const QString tips[6] = {QStringLiteral("new "),
                             QStringLiteral("save "),
                             QStringLiteral("copy to clipboard"),
                             QStringLiteral("print graphics"),
                             QStringLiteral("invert background color"),
                             QStringLiteral("execute calculation")};
    for (int i = 0; i < 6; ++i) {
        toolActions_[i] = addAction(nullptr, names[i], captions[i]);
        toolActions_[i]->setToolTip(tips[i]);
        toolActions_[i]->setIcon(toolbarIcon(static_cast<ToolbarIcon>(i)));
    }
    toolActions_[5]->setShortcut(QKeySequence(Qt::Key_F5));
    connect(toolActions_[0], &QAction::triggered, this, &MainWindow::clearResults);
    connect(toolActions_[1], &QAction::triggered, this,
            [this] { chooseOutput(QStringLiteral("Save"), toolActions_[1]); });
    connect(toolActions_[2], &QAction::triggered, this,
            [this] { chooseOutput(QStringLiteral("Copy"), toolActions_[2]); });
    connect(toolActions_[3], &QAction::triggered, this,
            [this] { chooseOutput(QStringLiteral("Print"), toolActions_[3]); });
    connect(toolActions_[4], &QAction::triggered, this, &MainWindow::invertBackground);
    connect(toolActions_[5], &QAction::triggered, this, &MainWindow::executeCalculation);
}

void MainWindow::createMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    auto& f = fileActions_;
    f[1] = addAction(file, "mnuFile1", QStringLiteral("New"));
    f[1]->setShortcut(QKeySequence::New);
    file->addSeparator();
    f[2] = addAction(file, "mnuFile2", QStringLiteral("Save 2D as BMP"));
    f[3] = addAction(file, "mnuFile3", QStringLiteral("Save 3D as BMP"));
    f[4] = addAction(file, "mnuFile4", QStringLiteral("Save reflection list"));
    f[4]->setShortcut(QKeySequence::Save);
    file->addSeparator();
    f[5] = addAction(file, "mnuFile5", QStringLiteral("Print 2D plot"));
    f[6] = addAction(file, "mnuFile6", QStringLiteral("Print 3D plot"));
    f[7] = addAction(file, "mnuFile7", QStringLiteral("Print reflection list"));
    file->addSeparator();
    f[8] = addAction(file, "mnuFile8", QStringLiteral("Copy 2D as WMF"));
    f[12] = addAction(file, "mnuFile12", QStringLiteral("Copy 2D as BMP"));
    f[9] = addAction(file, "mnuFile9", QStringLiteral("Copy 3D as WMF"));
    f[13] = addAction(file, "mnuFile13", QStringLiteral("Copy 3D as BMP"));
    f[10] = addAction(file, "mnuFile10", QStringLiteral("Copy reflection list"));
    file->addSeparator();
    f[11] = addAction(file, "mnuFile11", QStringLiteral("Exit"));
    f[11]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(f[1], &QAction::triggered, this, &MainWindow::clearResults);
    connect(f[4], &QAction::triggered, this, &MainWindow::saveTable);
    connect(f[10], &QAction::triggered, this, &MainWindow::copyList);
    connect(f[11], &QAction::triggered, this, &QWidget::close);
    const auto forKind = [this](QAction* action, void (MainWindow::*command)(PlotKind),
                                PlotKind kind) {
        connect(action, &QAction::triggered, this,
                [this, command, kind] { (this->*command)(kind); });
    };
    forKind(f[2], &MainWindow::savePlotBitmap, PlotKind::ZeroLayer);
    forKind(f[3], &MainWindow::savePlotBitmap, PlotKind::ThreeD);
    forKind(f[5], &MainWindow::printPlot, PlotKind::ZeroLayer);
    forKind(f[6], &MainWindow::printPlot, PlotKind::ThreeD);
    connect(f[7], &QAction::triggered, this, &MainWindow::printList);
    forKind(f[12], &MainWindow::copyPlotBitmap, PlotKind::ZeroLayer);
    forKind(f[13], &MainWindow::copyPlotBitmap, PlotKind::ThreeD);
    forKind(f[8], &MainWindow::copyPlotAsMetafile, PlotKind::ZeroLayer);
    forKind(f[9], &MainWindow::copyPlotAsMetafile, PlotKind::ThreeD);

    QMenu* table = menuBar()->addMenu(QStringLiteral("&Table"));
    table->setObjectName(QStringLiteral("mnuTable"));
    auto& t = tableActions_;
    t[1] = addAction(table, "mnuTable1", QStringLiteral("xyz coordinates"));
    t[2] = addAction(table, "mnuTable2", QStringLiteral("Indices"));
    t[3] = addAction(table, "mnuTable3", QStringLiteral("Theta"));
    t[4] = addAction(table, "mnuTable4", QStringLiteral("d-Spacing"));
    t[5] = addAction(table, "mnuTable5", QStringLiteral("qe, qi"));
    for (int i = 1; i <= 5; ++i) {
        t[i]->setCheckable(true);
        t[i]->setChecked(true);
        connect(t[i], &QAction::triggered, this, &MainWindow::toggleColumn);
    }
    table->addSeparator();
    t[6] = addAction(table, "mnuTable6", QStringLiteral("Wordpad"));
    t[6]->setEnabled(false);
    connect(t[6], &QAction::triggered, this, &MainWindow::openInWordProcessor);

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("mnuView"));
    viewActions_[1] = addAction(view, "mnuView1", QStringLiteral("Used matrices"));
    view->addSeparator();
    for (const PlotFlagItem& item : kPlotFlagItems) {
        const QByteArray name(item.objectName.data(), static_cast<int>(item.objectName.size()));
        QAction* action = addAction(
            view, name.constData(),
            QString::fromLatin1(item.caption.data(), static_cast<int>(item.caption.size())));
        action->setCheckable(true);
        action->setChecked(flagValue(plotOptions_, item.flag));
        viewActions_[name.back() - '0'] = action;
        connect(action, &QAction::triggered, this, [this, flag = item.flag] {
            toggleFlag(plotOptions_, flag);
            for (const PlotFlagItem& other : kPlotFlagItems)
                viewActions_[other.objectName.back() - '0']->setChecked(
                    flagValue(plotOptions_, other.flag));
            redrawPlots();
        });
    }

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    auto& h = helpActions_;
    h[6] = addAction(help, "mnuHelp6", QStringLiteral("Documentation"));
    h[6]->setShortcut(QKeySequence::HelpContents);
    help->addSeparator();
    h[5] = addAction(help, "mnuHelp5", QStringLiteral("Tesral website"));
    h[1] = addAction(help, "mnuHelp1", QStringLiteral("Dravok website"));
    h[2] = addAction(help, "mnuHelp2", QStringLiteral("Orvane's website"));
    h[3] = addAction(help, "mnuHelp3", QStringLiteral("Quasicrystal website"));
    help->addSeparator();
    h[4] = addAction(help, "mnuHelp4", QStringLiteral("About"));
    connectHelpMenu();
    connect(viewActions_[1], &QAction::triggered, this, &MainWindow::showUsedMatrices);

    busyRefused_.assign(toolActions_.begin(), toolActions_.end());
    for (int i : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 13}) busyRefused_.push_back(f[i]);
    for (int i = 1; i <= 5; ++i) busyRefused_.push_back(t[i]);
    for (int i = 2; i <= 8; ++i) busyRefused_.push_back(viewActions_[i]);
}

void MainWindow::createToolBar() {
    Toolbar1_ = addToolBar(QStringLiteral("Toolbar1"));
    Toolbar1_->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1_->setMovable(false);
    Toolbar1_->setFloatable(false);
    for (QAction* action : toolActions_) Toolbar1_->addAction(action);
    Toolbar1_->addSeparator();
    // The plot controls and the progress display share one place.
    strips_ = new QStackedWidget;
    strips_->addWidget(createPlotStrip());
    strips_->addWidget(createProgressStrip());
    strips_->setCurrentWidget(frPlot_);
    Toolbar1_->addWidget(strips_);
}

QWidget* MainWindow::createPlotStrip() {
    frPlot_ = new QWidget;
    frPlot_->setObjectName(QStringLiteral("frPlot"));
    zoom_ = new ZoomButtons(plotOptions_);
    connect(zoom_, &ZoomButtons::zoomChanged, this, &MainWindow::redrawAfterZoom);
    const auto bigButton = [](const char* name, const QString& text) {
        auto* button = new QToolButton;
        button->setObjectName(QLatin1String(name));
        button->setText(text);
        button->setToolTip(QStringLiteral("view in large window"));
        return button;
    };
    bBig2D_ = bigButton("bBig2D", QStringLiteral("2D"));
    bBig3D_ = bigButton("bBig3D", QStringLiteral("3D"));
    connect(bBig2D_, &QToolButton::clicked, this, [this] { openLargeView(PlotKind::ZeroLayer); });
    connect(bBig3D_, &QToolButton::clicked, this, [this] { openLargeView(PlotKind::ThreeD); });
    auto* spots = new QLabel(QStringLiteral("spots:"));
    slRFAC_ = new QScrollBar(Qt::Horizontal);
    slRFAC_->setObjectName(QStringLiteral("slRFAC"));
    slRFAC_->setRange(0, kSpotSliderMaximum);
    slRFAC_->setValue(plotOptions_.spotSlider);
    slRFAC_->setMinimumWidth(140);
    connect(slRFAC_, &QScrollBar::valueChanged, this, [this](int value) {
        plotOptions_.spotSlider = value;
        if (session_.calculated()) redrawPlots();
    });
    auto* layout = new QHBoxLayout(frPlot_);
    layout->setContentsMargins(4, 0, 4, 0);
    layout->addWidget(zoom_);
    layout->addSpacing(12);
    layout->addWidget(bBig2D_);
    layout->addWidget(bBig3D_);
    layout->addSpacing(12);
    layout->addWidget(spots);
    layout->addWidget(slRFAC_);
    layout->addStretch();
    busyRefused_.insert(busyRefused_.end(), {zoom_, slRFAC_, bBig2D_, bBig3D_});
    return frPlot_;
}

QWidget* MainWindow::createProgressStrip() {
    frPROG_ = new QWidget;
    frPROG_->setObjectName(QStringLiteral("frPROG"));
    LPROG_ = new QLabel(QStringLiteral("calculating ..."));
    LPROG_->setObjectName(QStringLiteral("LPROG"));
    ProgressBar1_ = new QProgressBar;
    ProgressBar1_->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1_->setMinimumWidth(240);
    auto* layout = new QHBoxLayout(frPROG_);
    layout->setContentsMargins(4, 0, 30, 0);
    layout->addWidget(LPROG_);
    layout->addWidget(ProgressBar1_, 1);
    return frPROG_;
}

QWidget* MainWindow::createCentralArea() {
    auto* frTop = new QGroupBox(QStringLiteral("0. layer - 2D , 3D"));
    frTop->setObjectName(QStringLiteral("frTop"));
    pb2D_ = new PlotView(session_, plotOptions_, PlotKind::ZeroLayer);
    pb2D_->setObjectName(QStringLiteral("pb2D"));
    pb3D_ = new PlotView(session_, plotOptions_, PlotKind::ThreeD);
    pb3D_->setObjectName(QStringLiteral("pb3D"));
    auto* plots = new QHBoxLayout(frTop);
    plots->addWidget(pb2D_, 1);
    plots->addWidget(pb3D_, 1);

    auto* frBottom = new QGroupBox(QStringLiteral("reflection list"));
    frBottom->setObjectName(QStringLiteral("frBottom"));
    rtf_ = new QListView;
    rtf_->setObjectName(QStringLiteral("rtf"));
    listModel_ = new ReflectionListModel(this);
    QFont listFont(QStringLiteral("Courier New"));
    listFont.setStyleHint(QFont::Monospace);
    listFont.setPointSizeF(9.75);
    listModel_->setFont(listFont);
    rtf_->setFont(listFont);
    rtf_->setModel(listModel_);
    rtf_->setUniformItemSizes(true);
    rtf_->setWordWrap(false);
    rtf_->setTextElideMode(Qt::ElideNone);
    rtf_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    auto* list = new QVBoxLayout(frBottom);
    list->addWidget(rtf_);
    frBottom->setFixedHeight(230);

    auto* left = new QVBoxLayout;
    left->addWidget(frTop, 1);
    left->addWidget(frBottom);
    panel_ = new InputPanel;
    connect(panel_, &InputPanel::findRequested, this, &MainWindow::findInList);
    auto* normal = new QWidget;
    auto* layout = new QHBoxLayout(normal);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(left, 1);
    layout->addWidget(panel_);

    // The large view lies over the whole client area below the toolbar.
    frBig_ = new LargeView(session_, plotOptions_);
    connect(frBig_->btCloseBig, &QToolButton::clicked, this, &MainWindow::closeLargeView);
    connect(frBig_->btSaveBig, &QToolButton::clicked, this,
            [this] { savePlotBitmap(frBig_->pbBig->kind()); });
    connect(frBig_->btPrintBig, &QToolButton::clicked, this,
            [this] { printPlot(frBig_->pbBig->kind()); });
    connect(frBig_->btCopyBig, &QToolButton::clicked, this,
            [this] { copyPlotAsMetafile(frBig_->pbBig->kind()); });
    busyRefused_.insert(busyRefused_.end(), {frBig_->btCopyBig, frBig_->btSaveBig,
                                             frBig_->btPrintBig, frBig_->btCloseBig});
    pages_ = new QStackedWidget;
    pages_->addWidget(normal);
    pages_->addWidget(frBig_);
    return pages_;
}

void MainWindow::createStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("Status"));
    for (int i = 0; i < 5; ++i) {
        auto* label = new QLabel;
        label->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        label->setMinimumWidth(i == 4 ? 200 : 110);
        label->setFrameShape(QFrame::StyledPanel);
        bar->addWidget(label, i == 4 ? 1 : 0);
        statusPanels_[i] = label;
    }
}

QString MainWindow::statusText(int panel) const {
    return panel >= 1 && panel <= 5 ? statusPanels_[panel - 1]->text() : QString();
}

void MainWindow::setStatusText(int panel, const QString& text) {
    if (panel >= 1 && panel <= 5) statusPanels_[panel - 1]->setText(text);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    // The words of an empty run are written anew at the new size, not stretched.
    if (event->type() == QEvent::Resize && session_.calculated() && session_.reflectionCount() == 0)
        if (auto* view = qobject_cast<PlotView*>(watched)) drawPlotIn(view);
    // A click into the list starts the next search from the top.
    if (event->type() == QEvent::MouseButtonPress && watched == rtf_->viewport())
        searchHit_.reset();
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this) {
        cancelRequested_ = true;
        if (runner_.running()) runner_.cancel();
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace tesral
