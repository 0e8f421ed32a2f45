#include "app/refine_panel.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <atomic>
#include <mutex>

#include "app/intensity_fit_window.h"
#include "app/screen_fit.h"
#include "app/view_task.h"

namespace tesral {

namespace {

/** The parameters of a site, in the order of the grid's columns. */
const char* const kSiteParameters[] = {"occupancy",    "radius", "inner_radius",
                                       "window_scale", "b_par",  "b_perp"};

QString shownName(const std::string& name) {
    static const std::pair<const char*, const char*> names[] = {{"u", "U"},
                                                                {"v", "V"},
                                                                {"w", "W"},
                                                                {"eta", "η"},
                                                                {"occupancy", "occup."},
                                                                {"radius", "radius"},
                                                                {"inner_radius", "inner r"},
                                                                {"window_scale", "window"},
                                                                {"b_par", "B∥"},
                                                                {"b_perp", "B⊥"}};
    for (const auto& [key, text] : names)
        if (name == key) return QString::fromUtf8(text);
    return QString::fromStdString(name);
}

bool isSiteParameter(const std::string& name) {
    return std::any_of(std::begin(kSiteParameters), std::end(kSiteParameters),
                       [&](const char* p) { return name == p; });
}

/** "wR2" for intensities, "R_wp" for patterns. */
QString rName(physics::ObservationKind kind) {
    return kind == physics::ObservationKind::Pattern ? QStringLiteral("R_wp")
                                                     : QStringLiteral("wR2");
}

QString percent(double r) {
    return QStringLiteral("%1 %").arg(100.0 * r, 0, 'f', 2);
}

QString meritText(physics::ObservationKind kind, const physics::FiguresOfMerit& m) {
    const bool intensities = kind == physics::ObservationKind::Intensities ||
                             (kind == physics::ObservationKind::PeakList && m.wr2 > 0.0);
    if (intensities)
        return QStringLiteral("R1 = %1, wR2 = %2, goodness of fit %3")
            .arg(percent(m.r1), percent(m.wr2))
            .arg(m.goof, 0, 'f', 3);
    return QStringLiteral("R_p = %1, R_wp = %2, R_exp = %3, χ² = %4")
        .arg(percent(m.rp), percent(m.rwp), percent(m.rexp))
        .arg(m.chi2, 0, 'f', 3);
}

QString number(double v) {
    return QString::number(v, 'g', 7);
}

}  // namespace

ParameterGroups groupParameters(const std::vector<std::string>& names) {
    ParameterGroups g;
    for (const std::string& name : names) {
        if (name == "phason" || name.rfind("phason.", 0) == 0) {
            g.strain.push_back(name);
            continue;
        }
        const std::size_t dot = name.rfind('.');
        if (dot == std::string::npos) {
            (isSiteParameter(name) ? g.shared : g.globals).push_back(name);
            continue;
        }
        const std::string label = name.substr(0, dot);
        auto it = std::find_if(g.sites.begin(), g.sites.end(),
                               [&](const auto& site) { return site.first == label; });
        if (it == g.sites.end()) it = g.sites.insert(g.sites.end(), {label, {}});
        it->second.push_back(name.substr(dot + 1));
    }
    return g;
}

struct RefinePanel::IterationLog {
    std::mutex mutex;
    std::vector<std::pair<int, double>> entries;
    /** Stops the refinement between iterations; the values so far are kept. */
    std::atomic<bool> stop{false};
};

RefinePanel::RefinePanel(QWidget* parent)
    : QWidget(parent, Qt::Window), refiner_(&physics::refineModel), task_(new ViewTask(this)) {
    setObjectName(QStringLiteral("refinePanel"));
    setWindowTitle(tr("Refine the model"));

    boxes_ = new QWidget;
    boxes_->setObjectName(QStringLiteral("refineParameters"));
    auto* scroll = new QScrollArea;
    scroll->setWidget(boxes_);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* parameters = new QGroupBox(tr("Refine"));
    auto* parameterLayout = new QVBoxLayout(parameters);
    parameterLayout->addWidget(scroll);

    background_ = new QSpinBox;
    background_->setObjectName(QStringLiteral("refineBackgroundTerms"));
    background_->setRange(1, 12);
    background_->setValue(4);
    iterations_ = new QSpinBox;
    iterations_->setObjectName(QStringLiteral("refineMaxIterations"));
    iterations_->setRange(1, 500);
    iterations_->setValue(30);
    auto* numbers = new QHBoxLayout;
    numbers->addWidget(new QLabel(tr("Background terms")));
    numbers->addWidget(background_);
    numbers->addWidget(new QLabel(tr("Max. iterations")));
    numbers->addWidget(iterations_);
    numbers->addStretch();

    const auto button = [this](const QString& text, const char* name) {
        auto* b = new QPushButton(text);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    startButton_ = button(tr("Start"), "refineStart");
    stopButton_ = button(tr("Stop"), "refineStop");
    applyButton_ = button(tr("Apply to model"), "refineApply");
    restoreButton_ = button(tr("Restore previous model"), "refineRestore");
    intensityButton_ = button(tr("I calc vs I obs…"), "refineIntensities");
    auto* run = new QHBoxLayout;
    run->addWidget(startButton_);
    run->addWidget(stopButton_);
    run->addStretch();
    auto* use = new QHBoxLayout;
    use->addWidget(applyButton_);
    use->addWidget(restoreButton_);
    use->addWidget(intensityButton_);
    use->addStretch();

    source_ = new QLabel;
    source_->setObjectName(QStringLiteral("refineSource"));
    source_->setWordWrap(true);
    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("refineStatus"));
    status_->setWordWrap(true);
    progress_ = new QPlainTextEdit;
    progress_->setObjectName(QStringLiteral("refineProgress"));
    progress_->setReadOnly(true);
    progress_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    progress_->setMaximumHeight(110);
    table_ = new QTableWidget(0, 4);
    table_->setObjectName(QStringLiteral("refineTable"));
    table_->setHorizontalHeaderLabels({tr("Parameter"), tr("Start"), tr("Refined"), tr("su")});
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);

    auto* left = new QVBoxLayout;
    left->addWidget(parameters, 1);
    left->addLayout(numbers);
    left->addLayout(run);
    left->addLayout(use);
    auto* right = new QVBoxLayout;
    right->addWidget(source_);
    right->addWidget(status_);
    right->addWidget(progress_);
    right->addWidget(table_, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 3);
    layout->addLayout(right, 2);
    roomForButtonText(*this);
    fitToScreen(*this, QSize(1000, 500));

    poll_ = new QTimer(this);
    poll_->setInterval(50);
    connect(poll_, &QTimer::timeout, this, &RefinePanel::pollIterations);
    connect(startButton_, &QPushButton::clicked, this, [this] { start(); });
    connect(stopButton_, &QPushButton::clicked, this, &RefinePanel::stop);
    connect(applyButton_, &QPushButton::clicked, this, &RefinePanel::applyRequested);
    connect(restoreButton_, &QPushButton::clicked, this, &RefinePanel::restoreRequested);
    connect(intensityButton_, &QPushButton::clicked, this, &RefinePanel::showIntensityView);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &RefinePanel::stop);
    connect(task_, &ViewTask::runningChanged, this, [this](bool on) {
        if (on)
            poll_->start();
        else
            poll_->stop();
        updateButtons();
    });
    clearStart(tr("Load a measured pattern in the powder view and calculate its pattern."));
}

RefinePanel::~RefinePanel() {
    // The worker watches the log's flag, not the task's: stop it before the task waits.
    if (log_) log_->stop = true;
    delete task_;
}

void RefinePanel::setStart(physics::Calculation start, physics::Observations data,
                           physics::RefineOptions options) {
    const physics::StructureModel model = start.model ? *start.model : physics::StructureModel{};
    rebuildBoxes(physics::refinableNames(model, start.parameters.system));
    start_ = std::move(start);
    data_ = std::move(data);
    options_ = std::move(options);
    const QString kind = data_.kind == physics::ObservationKind::Intensities ? tr("intensities")
                         : data_.kind == physics::ObservationKind::PeakList  ? tr("peaks")
                                                                             : tr("points");
    source_->setText(tr("%1: %2 %3; the model and constants of the run, a = %4 Å.")
                         .arg(QFileInfo(QString::fromStdString(data_.source)).fileName())
                         .arg(data_.kind == physics::ObservationKind::Intensities
                                  ? data_.reflections.size()
                                  : data_.twoTheta.size())
                         .arg(kind)
                         .arg(start_->parameters.a, 0, 'g', 7));
    updateButtons();
}

void RefinePanel::clearStart(const QString& why) {
    start_.reset();
    source_->setText(why);
    updateButtons();
}

void RefinePanel::rebuildBoxes(const std::vector<std::string>& names) {
    std::vector<std::string> ticked = vary();
    if (boxByName_.empty()) ticked = {"scale", "background"};
    std::vector<std::string> old;
    for (const auto& [name, box] : boxByName_) old.push_back(name);
    if (old == names) return;
    boxByName_.clear();
    delete boxes_->layout();
    for (QWidget* child : boxes_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) delete child;

    auto* grid = new QGridLayout(boxes_);
    const auto makeBox = [&](const std::string& name, const QString& text) {
        auto* b = new QCheckBox(text);
        b->setObjectName(QStringLiteral("refineVary:") + QString::fromStdString(name));
        b->setChecked(std::find(ticked.begin(), ticked.end(), name) != ticked.end());
        boxByName_.emplace_back(name, b);
        return b;
    };
    const ParameterGroups groups = groupParameters(names);
    // The globals five to a row, then the site grid: one column per parameter.
    constexpr int kPerRow = 5;
    int row = 0;
    for (std::size_t i = 0; i < groups.globals.size(); ++i) {
        const std::string& name = groups.globals[i];
        grid->addWidget(makeBox(name, shownName(name)), row + static_cast<int>(i) / kPerRow,
                        1 + static_cast<int>(i) % kPerRow);
    }
    row += (static_cast<int>(groups.globals.size()) + kPerRow - 1) / kPerRow;
    if (!groups.strain.empty()) {
        // The isotropic part, then the matrix's elements in their rows and columns.
        grid->addWidget(new QLabel(tr("Phason strain")), row, 0);
        int rows = 1;
        for (const std::string& name : groups.strain) {
            if (name == "phason") {
                QCheckBox* b = makeBox(name, tr("isotropic"));
                b->setToolTip(QStringLiteral("phason"));
                grid->addWidget(b, row, 1);
                continue;
            }
            const int i = name[7] - '1', j = name[8] - '1';
            QCheckBox* b =
                makeBox(name, QStringLiteral("M") + QString::fromStdString(name.substr(7)));
            b->setToolTip(QString::fromStdString(name));
            grid->addWidget(b, row + i, 2 + j);
            rows = std::max(rows, i + 1);
        }
        row += rows;
    }
    if (!groups.shared.empty() || !groups.sites.empty()) {
        auto* heading = new QLabel(tr("Sites"));
        heading->setObjectName(QStringLiteral("refineSitesHeading"));
        grid->addWidget(heading, row, 0);
        int column = 1;
        for (const char* p : kSiteParameters) {
            auto* head = new QLabel(shownName(p));
            head->setToolTip(QString::fromLatin1(p));
            grid->addWidget(head, row, column++);
        }
        ++row;
    }
    const auto siteRow = [&](const QString& label, const std::string& prefix,
                             const std::vector<std::string>& parameters) {
        grid->addWidget(new QLabel(label), row, 0);
        for (int column = 0; column < static_cast<int>(std::size(kSiteParameters)); ++column) {
            const std::string p = kSiteParameters[column];
            if (std::find(parameters.begin(), parameters.end(), p) == parameters.end()) continue;
            QCheckBox* b = makeBox(prefix + p, QString());
            b->setToolTip(QString::fromStdString(prefix + p));
            grid->addWidget(b, row, column + 1);
        }
        ++row;
    };
    if (!groups.shared.empty()) siteRow(tr("all sites"), "", groups.shared);
    for (const auto& [label, parameters] : groups.sites)
        siteRow(QString::fromStdString(label), label + ".", parameters);
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(kPerRow + 2, 1);
}

std::vector<std::string> RefinePanel::vary() const {
    std::vector<std::string> out;
    for (const auto& [name, box] : boxByName_)
        if (box->isChecked()) out.push_back(name);
    return out;
}

QCheckBox* RefinePanel::box(const std::string& name) const {
    for (const auto& [n, b] : boxByName_)
        if (n == name) return b;
    return nullptr;
}

bool RefinePanel::running() const {
    return task_->running();
}

bool RefinePanel::waitForFinished(int milliseconds) {
    return task_->waitForFinished(milliseconds);
}

bool RefinePanel::start() {
    if (running()) return false;
    if (!start_) {
        showStatus(tr("Nothing to refine: %1").arg(source_->text()));
        return false;
    }
    physics::RefineOptions options = options_;
    options.vary = vary();
    if (options.vary.empty()) {
        showStatus(tr("Tick the parameters to refine first."));
        return false;
    }
    options.backgroundTerms = background_->value();
    options.maxIterations = iterations_->value();
    log_ = std::make_shared<IterationLog>();
    shownIterations_ = 0;
    progress_->clear();
    showStatus(tr("Refining %1 parameters (Escape stops)…").arg(options.vary.size()));
    task_->start([log = log_, refiner = refiner_, calculation = *start_, data = data_,
                  options = std::move(options), this](const physics::Watch& taskWatch) {
        physics::Watch watch;
        watch.stop = &log->stop;
        watch.progress = taskWatch.progress;
        auto result = std::make_shared<physics::ModelRefinement>(
            refiner(calculation, data, options, watch, [log](int iteration, double r) {
                const std::lock_guard lock(log->mutex);
                log->entries.emplace_back(iteration, r);
            }));
        return std::function<void()>([this, result] { finish(std::move(*result)); });
    });
    updateButtons();
    return true;
}

void RefinePanel::stop() {
    if (log_ && running()) log_->stop = true;
}

void RefinePanel::pollIterations() {
    if (!log_) return;
    std::vector<std::pair<int, double>> fresh;
    {
        const std::lock_guard lock(log_->mutex);
        fresh.assign(log_->entries.begin() + static_cast<long>(shownIterations_),
                     log_->entries.end());
        shownIterations_ = log_->entries.size();
    }
    for (const auto& [iteration, r] : fresh)
        progress_->appendPlainText(
            tr("iteration %1: %2 = %3").arg(iteration).arg(rName(data_.kind), percent(r)));
}

void RefinePanel::finish(physics::ModelRefinement result) {
    pollIterations();
    if (!result.ok()) {
        showStatus(QString::fromStdString(result.message));
        return;
    }
    QString text = result.cancelled ? tr("Stopped after %1 iterations; the last good values are "
                                         "kept.")
                                          .arg(result.iterations)
                   : result.converged
                       ? tr("Converged in %1 iterations.").arg(result.iterations)
                       : tr("Not converged after %1 iterations.").arg(result.iterations);
    text += QLatin1Char(' ') + meritText(data_.kind, result.merit) + QLatin1Char('.');
    if (!result.warning.empty()) text += QLatin1Char(' ') + QString::fromStdString(result.warning);
    showStatus(text);
    for (const physics::Correlation& c : result.correlations)
        progress_->appendPlainText(
            tr("correlation %1 – %2: %3")
                .arg(QString::fromStdString(c.first), QString::fromStdString(c.second))
                .arg(c.value, 0, 'f', 3));
    showTable(result);
    result_ = std::move(result);
    applied_ = false;
    updateButtons();
    if (intensityView_ || data_.kind == physics::ObservationKind::Intensities) showIntensityView();
    emit refined();
}

void RefinePanel::showTable(const physics::ModelRefinement& result) {
    table_->setRowCount(static_cast<int>(result.parameters.size()));
    int row = 0;
    for (const physics::RefinedValue& p : result.parameters) {
        const QString cells[] = {QString::fromStdString(p.name), number(p.start), number(p.value),
                                 QString::number(p.su, 'g', 2)};
        for (int column = 0; column < 4; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (column > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(row, column, item);
        }
        ++row;
    }
}

void RefinePanel::showIntensityView() {
    if (!result_ || result_->observations.empty()) return;
    if (!intensityView_) intensityView_ = new IntensityFitWindow(this);
    intensityView_->setFit(result_->observations, result_->merit);
    intensityView_->show();
    intensityView_->raise();
}

void RefinePanel::setApplied(bool applied) {
    applied_ = applied;
    updateButtons();
}

void RefinePanel::setRestoreAvailable(bool available) {
    restoreAvailable_ = available;
    updateButtons();
}

void RefinePanel::updateButtons() {
    const bool busy = running();
    startButton_->setEnabled(!busy && start_.has_value());
    stopButton_->setEnabled(busy);
    applyButton_->setEnabled(!busy && result_.has_value() && !applied_);
    restoreButton_->setEnabled(!busy && restoreAvailable_);
    intensityButton_->setEnabled(result_ && !result_->observations.empty());
    background_->setEnabled(!busy);
    iterations_->setEnabled(!busy);
    boxes_->setEnabled(!busy);
}

void RefinePanel::showStatus(const QString& text) {
    status_->setText(text);
}

QString RefinePanel::statusText() const {
    return status_->text();
}

QString RefinePanel::sourceText() const {
    return source_->text();
}

QString RefinePanel::progressText() const {
    return progress_->toPlainText();
}

}  // namespace tesral
