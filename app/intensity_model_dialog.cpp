#include "app/intensity_model_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>

#include "app/documents.h"
#include "app/native_files.h"
#include "app/save_dialog.h"
#include "engine/run_parameters.h"
#include "physics/model_check.h"
#include "physics/model_file.h"
#include "physics/model_file_names.h"

namespace tesral {

namespace {

using physics::DomainShape;
using physics::RadiationKind;

QString headingOf(std::string_view key) {
    const std::string_view heading = physics::headingOf(key);
    return QString::fromUtf8(heading.data(), static_cast<qsizetype>(heading.size()));
}

/** A check's message with its key named as the table's column is ("B∥ (Å²) must be ..."). */
QString inTableWords(const physics::FieldProblem& p) {
    QString what = QString::fromStdString(p.what);
    const QString key = QString::fromStdString(p.field);
    if (what.startsWith(key)) what.replace(0, key.size(), headingOf(p.field));
    return what;
}

/** "fe" as "Fe": symbols as the tables write them. */
QString elementSymbol(const QString& text) {
    return text.left(1).toUpper() + text.mid(1).toLower();
}

/** The folder of the shipped models, beside the manual; empty when it is not there. */
QString shippedModelsFolder() {
    return documentationPage(QStringLiteral("models"));
}

QString numberText(double value) {
    return QString::number(value, 'g', 10);
}

QString positionText(const std::vector<double>& position) {
    QStringList numbers;
    for (double v : position) numbers << numberText(v);
    return numbers.join(QLatin1Char(' '));
}

QString cellText(const QTableWidget* table, int row, int column) {
    const QTableWidgetItem* item = table->item(row, column);
    return item ? item->text().trimmed() : QString();
}

/** Reads the cells of a row; each problem names the site and the column. */
class RowReader {
  public:
    RowReader(const QTableWidget* table, int row) : table_(table), row_(row) {}

    double number(int column) {
        const QString text = cellText(table_, row_, column);
        bool ok = false;
        const double value = text.toDouble(&ok);
        if (!ok) fail(column, QStringLiteral("is not a number: '%1'").arg(text));
        return value;
    }

    int integer(int column) {
        const QString text = cellText(table_, row_, column);
        bool ok = false;
        const int value = text.toInt(&ok);
        if (!ok) fail(column, QStringLiteral("is not a whole number: '%1'").arg(text));
        return value;
    }

    std::vector<double> numbers(int column) {
        const QString text = cellText(table_, row_, column);
        std::vector<double> values;
        bool ok = true;
        for (const QString& part :
             text.split(QRegularExpression(QStringLiteral("[\\s,;]+")), Qt::SkipEmptyParts)) {
            bool read = false;
            values.push_back(part.toDouble(&read));
            ok = ok && read;
        }
        if (!ok)
            fail(column, QStringLiteral("is not a number: '%1'").arg(text));
        else if (values.size() != 5 && values.size() != 6)
            fail(column, QStringLiteral("needs 5 or 6 numbers, not '%1'").arg(text));
        return values;
    }

    const QStringList& problems() const { return problems_; }

  private:
    void fail(int column, const QString& what) {
        problems_ << QStringLiteral("site %1: %2 %3")
                         .arg(row_ + 1)
                         .arg(table_->horizontalHeaderItem(column)->text(), what);
    }

    const QTableWidget* table_;
    int row_;
    QStringList problems_;
};

}  // namespace

IntensityModelDialog::IntensityModelDialog(const physics::StructureModel& model, int indexDimension,
                                           QWidget* parent)
    : QDialog(parent), model_(model), indexDimension_(indexDimension) {
    setObjectName(QStringLiteral("dlgModel"));
    setWindowTitle(QStringLiteral("Intensity model"));

    nameField_ = new QLineEdit;
    nameField_->setObjectName(QStringLiteral("tfModelName"));
    radiationList_ = new QComboBox;
    radiationList_->setObjectName(QStringLiteral("cmbRadiation"));
    radiationList_->addItems({QStringLiteral("X-rays (the panel's wavelength)"),
                              QStringLiteral("electrons"), QStringLiteral("neutrons")});
    kilovoltsField_ = new QLineEdit;
    kilovoltsField_->setObjectName(QStringLiteral("tfKilovolts"));
    kilovoltsField_->setToolTip(QStringLiteral("accelerating voltage of the electrons (kV)"));
    wavelengthField_ = new QLineEdit;
    wavelengthField_->setObjectName(QStringLiteral("tfNeutronWavelength"));
    wavelengthField_->setToolTip(QStringLiteral("wavelength of the neutrons (angstrom)"));
    connect(radiationList_, &QComboBox::currentIndexChanged, this,
            &IntensityModelDialog::showRadiationFields);

    auto* radiation = new QHBoxLayout;
    radiation->addWidget(radiationList_);
    radiation->addSpacing(12);
    radiation->addWidget(new QLabel(QStringLiteral("kV")));
    radiation->addWidget(kilovoltsField_);
    radiation->addSpacing(12);
    radiation->addWidget(new QLabel(QStringLiteral("neutron wavelength (\u212b)")));
    radiation->addWidget(wavelengthField_);
    radiation->addStretch();
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("name"), nameField_);
    form->addRow(QStringLiteral("radiation"), radiation);
    strainField_ = new QLineEdit;
    strainField_->setObjectName(QStringLiteral("tfPhasonStrain"));
    strainField_->setPlaceholderText(QStringLiteral("none"));
    strainField_->setToolTip(
        indexDimension_ == 6
            ? QStringLiteral("the phason strain M, 9 numbers row by row (rows perpendicular, "
                             "columns parallel x, y, z); empty for none")
            : QStringLiteral("the in-plane phason strain M, 4 numbers row by row (rows "
                             "perpendicular, columns parallel x, y); empty for none"));
    form->addRow(QStringLiteral("phason strain"), strainField_);

    table_ = new QTableWidget(0, static_cast<int>(physics::kSiteKeys.size()));
    table_->setObjectName(QStringLiteral("tblSites"));
    QStringList headings;
    for (const physics::SiteKey& key : physics::kSiteKeys) headings << headingOf(key.key);
    table_->setHorizontalHeaderLabels(headings);
    table_->setToolTip(
        QStringLiteral("label: names the site's refinement parameters (Pd1), unique; "
                       "position: 5 or 6 fractions of the direct basis; R: the radius of a "
                       "sphere or disc; scale and pentagon (0 the decagon, 1..4 the Penrose "
                       "pentagons): a window; an inner R or scale above 0 makes a shell"));
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setSectionResizeMode(Position, QHeaderView::Stretch);
    table_->setWordWrap(false);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);

    const auto button = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    QPushButton* add = button("bAddSite", QStringLiteral("Add site"));
    QPushButton* remove = button("bRemoveSite", QStringLiteral("Remove site"));
    QPushButton* load = button("bLoadModel", QStringLiteral("Load..."));
    QPushButton* save = button("bSaveModel", QStringLiteral("Save..."));
    connect(add, &QPushButton::clicked, this, &IntensityModelDialog::addSite);
    connect(remove, &QPushButton::clicked, this, &IntensityModelDialog::removeSites);
    connect(load, &QPushButton::clicked, this, &IntensityModelDialog::askLoad);
    connect(save, &QPushButton::clicked, this, &IntensityModelDialog::askSave);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &IntensityModelDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &IntensityModelDialog::reject);
    auto* row = new QHBoxLayout;
    for (QPushButton* b : {add, remove, load, save}) row->addWidget(b);
    row->addStretch();
    row->addWidget(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(table_, 1);
    layout->addLayout(row);
    resize(900, 420);
    showModel(model_);
}

QComboBox* IntensityModelDialog::domainList(int row) const {
    return qobject_cast<QComboBox*>(table_->cellWidget(row, Domain));
}

void IntensityModelDialog::showModel(const physics::StructureModel& model) {
    nameField_->setText(QString::fromStdString(model.name));
    radiationList_->setCurrentIndex(static_cast<int>(model.radiation.kind));
    kilovoltsField_->setText(numberText(model.radiation.kilovolts));
    wavelengthField_->setText(numberText(model.radiation.wavelength));
    showRadiationFields();
    QStringList strain;
    if (const auto& m = model.phasonStrain)
        for (int k = 0; k < m->size * m->size; ++k)
            strain << numberText(m->values[static_cast<std::size_t>(k)]);
    strainField_->setText(strain.join(QStringLiteral(", ")));
    table_->setRowCount(0);
    for (const physics::Site& site : model.sites) appendRow(site);
}

void IntensityModelDialog::showRadiationFields() {
    const auto kind = static_cast<RadiationKind>(radiationList_->currentIndex());
    kilovoltsField_->setEnabled(kind == RadiationKind::Electron);
    wavelengthField_->setEnabled(kind == RadiationKind::Neutron);
}

void IntensityModelDialog::appendRow(const physics::Site& site) {
    const int row = table_->rowCount();
    table_->insertRow(row);
    const auto set = [&](int column, const QString& text) {
        table_->setItem(row, column, new QTableWidgetItem(text));
    };
    set(Label, QString::fromStdString(site.label));
    set(Element, QString::fromStdString(site.element));
    set(Position, positionText(site.position));
    set(Radius, numberText(site.domain.radius));
    set(InnerRadius, numberText(site.domain.innerRadius));
    set(Scale, numberText(site.domain.scale));
    set(InnerScale, numberText(site.domain.innerScale));
    set(Pentagon, QString::number(site.domain.pentagon));
    set(Occupancy, numberText(site.occupancy));
    set(BPar, numberText(site.bParallel));
    set(BPerp, numberText(site.bPerpendicular));
    auto* domain = new QComboBox;
    for (const std::string_view name : physics::kDomainNames)
        domain->addItem(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    domain->setCurrentIndex(static_cast<int>(site.domain.shape));
    table_->setCellWidget(row, Domain, domain);
    showDomainCells(row);
    connect(domain, &QComboBox::currentIndexChanged, this, [this, domain] {
        for (int r = 0; r < table_->rowCount(); ++r)
            if (domainList(r) == domain) showDomainCells(r);
    });
}

void IntensityModelDialog::showDomainCells(int row) {
    // A sphere or disc has a radius; a window a scale and, decagonal, a pentagon.
    const bool window = domainList(row)->currentIndex() == static_cast<int>(DomainShape::Window);
    const auto enable = [this, row](int column, bool on) {
        QTableWidgetItem* item = table_->item(row, column);
        const Qt::ItemFlags used = Qt::ItemIsEnabled | Qt::ItemIsEditable;
        item->setFlags(on ? item->flags() | used : item->flags() & ~used);
    };
    enable(Radius, !window);
    enable(InnerRadius, !window);
    enable(Scale, window);
    enable(InnerScale, window);
    enable(Pentagon, window);
}

void IntensityModelDialog::addSite() {
    // The tiling's own window fits every system; a sphere or disc needs its radius.
    physics::Site site;
    site.element = "Al";
    site.position.assign(indexDimension_ == 6 ? 6 : 5, 0.0);
    site.domain.shape = DomainShape::Window;
    site.domain.radius = 1.0;
    appendRow(site);
    table_->setCurrentCell(table_->rowCount() - 1, Element);
}

void IntensityModelDialog::removeSites() {
    QList<int> rows;
    for (const QModelIndex& index : table_->selectionModel()->selectedRows()) rows << index.row();
    if (rows.isEmpty() && table_->rowCount() > 0) rows << table_->rowCount() - 1;
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    for (int row : rows) table_->removeRow(row);
}

std::optional<physics::StructureModel> IntensityModelDialog::editedModel(
    QString* problem, QList<int>* faultyRows) const {
    QStringList problems;
    physics::StructureModel model;
    model.name = nameField_->text().trimmed().toStdString();
    if (physics::FieldProblem p = physics::nameProblem(model.name)) problems << inTableWords(p);
    physics::Radiation& radiation = model.radiation;
    radiation.kind = static_cast<RadiationKind>(radiationList_->currentIndex());
    // Only the field the radiation uses is read: X-rays take the run's wavelength.
    bool ok = true;
    if (radiation.kind == RadiationKind::Electron)
        radiation.kilovolts = kilovoltsField_->text().toDouble(&ok);
    if (!ok) problems << QStringLiteral("kV is not a number: '%1'").arg(kilovoltsField_->text());
    if (radiation.kind == RadiationKind::Neutron)
        radiation.wavelength = wavelengthField_->text().toDouble(&ok);
    if (!ok)
        problems << QStringLiteral("the neutron wavelength is not a number: '%1'")
                        .arg(wavelengthField_->text());
    if (ok)
        if (physics::FieldProblem p = physics::radiationProblem(radiation))
            problems << QString::fromStdString(p.what);
    // Checked as --phason-strain is, for the system of the dialog's index count.
    if (const QString text = strainField_->text().trimmed(); !text.isEmpty()) {
        const QuasicrystalSystem system =
            indexDimension_ == 6 ? QuasicrystalSystem::Icosahedral : QuasicrystalSystem::Decagonal;
        model.phasonStrain = readPhasonStrain(text.toStdString(), system);
        if (!model.phasonStrain)
            problems << QString::fromStdString(phasonStrainMessage(system)).chopped(1) +
                            QStringLiteral(": '%1'").arg(text);
    }

    for (int row = 0; row < table_->rowCount(); ++row) {
        RowReader read(table_, row);
        physics::Site site;
        site.label = cellText(table_, row, Label).toStdString();
        site.element = elementSymbol(cellText(table_, row, Element)).toStdString();
        site.position = read.numbers(Position);
        site.domain.shape = static_cast<DomainShape>(domainList(row)->currentIndex());
        site.domain.radius = read.number(Radius);
        // The other shape's inner value is not the row's: a greyed cell keeps what it showed.
        const bool window = site.domain.shape == DomainShape::Window;
        if (!window) site.domain.innerRadius = read.number(InnerRadius);
        site.domain.scale = read.number(Scale);
        if (window) site.domain.innerScale = read.number(InnerScale);
        site.domain.pentagon = read.integer(Pentagon);
        site.occupancy = read.number(Occupancy);
        site.bParallel = read.number(BPar);
        site.bPerpendicular = read.number(BPerp);
        QStringList here = read.problems();
        // The system is the run's: the fit of positions and domains is checked then.
        if (here.isEmpty())
            if (physics::FieldProblem p = physics::siteProblem(site, radiation.kind, std::nullopt))
                here << QStringLiteral("site %1: %2").arg(row + 1).arg(inTableWords(p));
        if (!here.isEmpty() && faultyRows) *faultyRows << row;
        problems << here;
        model.sites.push_back(std::move(site));
    }
    if (const auto twice = physics::repeatedLabel(model.sites)) {
        problems << QStringLiteral("site %1: label '%2' is already site %3's; labels must differ")
                        .arg(twice->later + 1)
                        .arg(QString::fromStdString(model.sites[twice->later].label))
                        .arg(twice->earlier + 1);
        if (faultyRows) *faultyRows << static_cast<int>(twice->later);
    }
    if (!problems.isEmpty()) {
        if (problem) *problem = problems.join(QLatin1Char('\n'));
        return std::nullopt;
    }
    return model;
}

QString IntensityModelDialog::loadFile(const QString& path) {
    physics::ModelLoad load = physics::loadModel(nativePath(path));
    if (!load.model) return QString::fromStdString(load.error);
    showModel(*load.model);
    return QString();
}

QString IntensityModelDialog::saveFile(const QString& path) {
    QString problem;
    QList<int> rows;
    const std::optional<physics::StructureModel> model = editedModel(&problem, &rows);
    if (!model) {
        showFaultyRows(rows);
        return problem;
    }
    if (model->sites.empty()) return QStringLiteral("the model has no sites; add one first");
    if (const auto failure = writeBytesSafely(path, physics::modelText(*model)))
        return QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(path), *failure);
    return QString();
}

void IntensityModelDialog::askLoad() {
    QFileDialog dialog(this, QStringLiteral("Load intensity model"), startFolder(),
                       QStringLiteral("Model files (*.toml);;All files (*)"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString problem = loadFile(dialog.selectedFiles().constFirst());
    if (!problem.isEmpty()) QMessageBox::warning(this, windowTitle(), problem);
}

void IntensityModelDialog::askSave() {
    const QString suggested = QDir(startFolder()).filePath(QStringLiteral("model.toml"));
    const QString path =
        askSavePath(this, QStringLiteral("Save intensity model"), suggested,
                    QStringLiteral("Model files (*.toml)"), QStringLiteral("toml"));
    if (path.isEmpty()) return;
    const QString problem = saveFile(path);
    if (!problem.isEmpty()) QMessageBox::warning(this, windowTitle(), problem);
}

QString IntensityModelDialog::startFolder() const {
    const QString shipped = shippedModelsFolder();
    return shipped.isEmpty() ? folder_ : shipped;
}

void IntensityModelDialog::showFaultyRows(const QList<int>& rows) {
    table_->clearSelection();
    for (const int row : rows) table_->selectRow(row);
    if (!rows.isEmpty()) table_->scrollToItem(table_->item(rows.constFirst(), Element));
}

void IntensityModelDialog::accept() {
    QString problem;
    QList<int> rows;
    std::optional<physics::StructureModel> model = editedModel(&problem, &rows);
    if (!model) {
        showFaultyRows(rows);
        QMessageBox::warning(this, windowTitle(), problem);
        return;
    }
    model_ = std::move(*model);
    QDialog::accept();
}

}  // namespace tesral
