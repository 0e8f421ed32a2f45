#include "app/structure_window.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QShortcut>
#include <QVBoxLayout>
#include <cmath>

#include "app/calculation_document.h"
#include "app/picture_commands.h"
#include "app/screen_fit.h"
#include "app/structure_view.h"
#include "app/view_document.h"
#include "app/view_task.h"
#include "engine/groups.h"
#include "engine/zone_axis.h"
#include "physics/structure_patch.h"
#include "physics/structure_slab.h"

namespace tesral {
namespace {

const QString kRunFirst =
    QStringLiteral("Run a calculation first (F5): the atoms sit on its lattice.");
const QString kModelFirst = QStringLiteral(
    "Choose a structure model first (View > Intensity model...): its sites make the atoms.");

/** The number in `field`; `empty` when it holds none, nothing when it is not a number. */
std::optional<double> numberIn(const QLineEdit* field, std::optional<double> empty = {}) {
    const QString text = field->text().trimmed();
    if (text.isEmpty()) return empty;
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

struct SlabRequest {
    physics::Calculation calculation;
    physics::PatchRequest patch;
    AxisIndices axis{};
    QString axisName;
    double thickness = 1.0;
    std::optional<double> height;
};

/** The slab of the request's patch; null when stopped. `total` gets the patch's atoms. */
std::shared_ptr<StructureSlab> makeSlab(const SlabRequest& request, const physics::Watch& watch,
                                        std::size_t& total) {
    physics::PatchRequest patch = request.patch;
    patch.stop = watch.stop;
    const std::vector<physics::StructureAtom> atoms =
        physics::calculationPatch(request.calculation, patch);
    if (watch.stop && *watch.stop) return nullptr;
    total = atoms.size();
    const physics::StructureSlab cut = physics::structureSlab(
        request.calculation, atoms, request.axis, request.thickness, request.height);
    auto slab = std::make_shared<StructureSlab>();
    for (const physics::StructureAtom& a : cut.atoms) slab->atoms.push_back({a.position, a.site});
    for (const physics::Site& site : request.calculation.model->sites)
        slab->siteElements.push_back(QString::fromStdString(site.element));
    slab->tilingSites = cut.tilingSites;
    slab->tilingEdge = cut.tilingEdge;
    slab->axis = cut.axis;
    slab->height = cut.height;
    slab->thickness = cut.thickness;
    const double height = cut.height;
    slab->radius = patch.radius;
    slab->title = QStringLiteral("%1 slab %2 \u00c5 thick at %3 \u00c5")
                      .arg(request.axisName)
                      .arg(request.thickness)
                      .arg(height, 0, 'f', 3);
    return slab;
}

}  // namespace

StructureWindow::StructureWindow(CommandContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window),
      context_(context),
      document_(viewDocument(context)),
      axes_(new QComboBox),
      radius_(new QLineEdit(QStringLiteral("30"))),
      thickness_(new QLineEdit),
      height_(new QLineEdit),
      shift_(new QLineEdit),
      edges_(new QCheckBox(QStringLiteral("Tile edges"))),
      status_(new QLabel),
      progress_(new QProgressBar),
      view_(new StructureView),
      task_(new ViewTask(this)) {
    setObjectName(QStringLiteral("wndStructure"));
    setWindowTitle(QStringLiteral("Structure"));
    axes_->setObjectName(QStringLiteral("cmbStructureAxis"));
    radius_->setObjectName(QStringLiteral("tfStructureRadius"));
    thickness_->setObjectName(QStringLiteral("tfStructureThickness"));
    height_->setObjectName(QStringLiteral("tfStructureHeight"));
    height_->setPlaceholderText(QStringLiteral("nearest atom"));
    shift_->setObjectName(QStringLiteral("tfStructureShift"));
    shift_->setPlaceholderText(QStringLiteral("0"));
    edges_->setObjectName(QStringLiteral("chkStructureEdges"));
    edges_->setToolTip(
        QStringLiteral("The tiling's edges between the atoms of exact windows; the atoms of "
                       "other sites joined at their site's shortest distance (within 1 %)"));
    status_->setObjectName(QStringLiteral("lblStructureStatus"));
    status_->setWordWrap(true);
    progress_->setObjectName(QStringLiteral("structureProgress"));
    progress_->setRange(0, 0);  // no fraction: a busy bar
    progress_->setFormat(QStringLiteral("Escape stops"));
    progress_->hide();
    view_->setObjectName(QStringLiteral("pbStructure"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Slab normal"), axes_);
    form->addRow(QStringLiteral("Radius (\u00c5)"), radius_);
    form->addRow(QStringLiteral("Thickness (\u00c5)"), thickness_);
    form->addRow(QStringLiteral("Height (\u00c5)"), height_);
    form->addRow(QStringLiteral("Phason shift (\u00c5)"), shift_);
    form->addRow(edges_);
    auto* controls = new QVBoxLayout;
    controls->addLayout(form);
    addPictureButtons(*controls, *this, context, *view_, "Structure", [this] { drawSlab(); });
    controls->addWidget(progress_);
    controls->addWidget(status_);
    controls->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(view_, 1);
    fitToScreen(*this, QSize(1000, 680));

    connect(axes_, &QComboBox::activated, this, [this] { drawSlab(); });
    for (QLineEdit* field : {radius_, thickness_, height_, shift_})
        connect(field, &QLineEdit::returnPressed, this, &StructureWindow::drawSlab);
    connect(edges_, &QCheckBox::toggled, view_, &StructureView::setEdges);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &StructureWindow::cancel);
    connect(task_, &ViewTask::runningChanged, progress_, &QWidget::setVisible);
    connect(task_, &ViewTask::failed, this, [this](const QString& why) { fail(why, true); });
    connect(&document_, &CalculationDocument::runChanged, this, &StructureWindow::documentChanged);
    connect(&document_, &CalculationDocument::modelChanged, this,
            &StructureWindow::documentChanged);
    fillAxes();
    if (!document_.shown()) fail(kRunFirst, true);
}

StructureWindow::~StructureWindow() = default;

QString StructureWindow::statusText() const {
    return status_->text();
}

bool StructureWindow::computing() const {
    return task_->running();
}

bool StructureWindow::waitForSlab(int milliseconds) {
    return task_->waitForFinished(milliseconds);
}

void StructureWindow::cancel() {
    if (!task_->running()) return;
    task_->cancel();
    status_->setText(QStringLiteral("Stopped: the picture shown is the one before."));
}

void StructureWindow::fail(const QString& why, bool inPicture) {
    if (inPicture) view_->showMessage(why);
    status_->setText(why);
}

void StructureWindow::documentChanged() {
    fillAxes();
    if (!document_.shown()) {
        task_->cancel();
        fail(kRunFirst, true);
        return;
    }
    if (isVisible()) drawSlab();
}

void StructureWindow::fillAxes() {
    const physics::Calculation* shown = document_.shown();
    if (!shown) return;
    const QuasicrystalSystem system = shown->parameters.system;
    if (filledFor_ == int(system)) return;
    filledFor_ = int(system);
    axes_->clear();
    for (const ZonePreset& p : physics::slabAxes(system))
        axes_->addItem(QString::fromLatin1(p.name.data(), qsizetype(p.name.size())));
    axes_->setEnabled(axes_->count() > 1);
    // A layer of the axial systems; a slab with a few layers of the icosahedral.
    thickness_->setText(system == QuasicrystalSystem::Icosahedral ? QStringLiteral("3")
                                                                  : QStringLiteral("1"));
}

bool StructureWindow::drawSlab() {
    const physics::Calculation* shown = document_.shown();
    if (!shown) {
        fail(kRunFirst, true);
        return false;
    }
    if (document_.model().sites.empty()) {
        fail(kModelFirst, true);
        return false;
    }
    const QuasicrystalSystem system = shown->parameters.system;
    SlabRequest request;
    const std::optional<double> radius = numberIn(radius_);
    if (!radius || !(*radius > 0.0)) {
        fail(QStringLiteral("The radius must be a number above 0 (\u00c5)."), false);
        return false;
    }
    request.patch.radius = *radius;
    const std::optional<double> thickness = numberIn(thickness_);
    if (!thickness || !(*thickness > 0.0)) {
        fail(QStringLiteral("The thickness must be a number above 0 (\u00c5)."), false);
        return false;
    }
    request.thickness = *thickness;
    if (!height_->text().trimmed().isEmpty()) {
        request.height = numberIn(height_);
        if (!request.height) {
            fail(QStringLiteral("The height must be a number (\u00c5), or empty."), false);
            return false;
        }
    }
    const int components = system == QuasicrystalSystem::Icosahedral ? 3 : 2;
    const QStringList parts =
        shift_->text().split(QRegularExpression(QStringLiteral("[,\\s]+")), Qt::SkipEmptyParts);
    bool shiftOk = parts.isEmpty() || parts.size() == components;
    for (int i = 0; shiftOk && i < parts.size(); ++i) {
        const double value = parts[i].toDouble(&shiftOk);
        shiftOk = shiftOk && std::isfinite(value);
        request.patch.phasonShift[size_t(i)] = value;
    }
    if (!shiftOk) {
        fail(QStringLiteral("The phason shift takes %1 numbers (\u00c5), or none.").arg(components),
             false);
        return false;
    }
    const std::vector<ZonePreset> axes = physics::slabAxes(system);
    const int chosen = std::clamp(axes_->currentIndex(), 0, int(axes.size()) - 1);
    request.axis = axes[size_t(chosen)].axis;
    request.axisName = axes_->itemText(chosen);
    request.calculation = *shown;
    request.calculation.model = document_.model();

    status_->setText(QStringLiteral("Making the atoms (Escape stops it)..."));
    task_->start([this, request](const physics::Watch& watch) -> std::function<void()> {
        std::size_t total = 0;
        std::shared_ptr<StructureSlab> slab = makeSlab(request, watch, total);
        if (!slab) return {};
        return [this, slab, total] {
            view_->showSlab(slab);
            status_->setText(QStringLiteral("%1 atoms in the slab, of %2 in the patch")
                                 .arg(slab->atoms.size())
                                 .arg(total));
        };
    });
    return true;
}

StructureWindow* StructureCommand::openStructureWindow(CommandContext& context) {
    auto* window = context.window ? context.window->findChild<StructureWindow*>() : nullptr;
    if (!window) window = new StructureWindow(context, context.window);
    window->show();
    window->raise();
    window->drawSlab();
    return window;
}

}  // namespace tesral
