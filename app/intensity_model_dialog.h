#pragma once

#include <QDialog>
#include <optional>

#include "physics/structure_model.h"

class QComboBox;
class QLineEdit;
class QTableWidget;

namespace tesral {

/**
 * View > Intensity model (dlgModel): the sites of the model in a table, one row each, the
 * radiation and the model's name, and the model file's load and save. It edits a copy; OK
 * hands the edited model back through model() once every cell reads.
 */
class IntensityModelDialog : public QDialog {
    Q_OBJECT

  public:
    /** The columns of the site table (tblSites). */
    enum Column {
        Label,
        Element,
        Position,
        Domain,
        Radius,
        InnerRadius,
        Scale,
        InnerScale,
        Pentagon,
        Occupancy,
        BPar,
        BPerp,
    };

    /** `indexDimension` (5 or 6) gives a new site its position count and domain. */
    IntensityModelDialog(const physics::StructureModel& model, int indexDimension,
                         QWidget* parent = nullptr);

    /** The model accepted with OK. */
    const physics::StructureModel& model() const { return model_; }

    /** Shows `model` (model --> ui). */
    void showModel(const physics::StructureModel& model);
    /**
     * The model as the dialog shows it (ui --> model), element symbols written as the tables
     * write them ("Fe"), or nothing when a cell cannot be read or a value cannot be used;
     * `problem` then names every faulty cell (site and column heading), one a line, and
     * `faultyRows` lists their rows.
     */
    std::optional<physics::StructureModel> editedModel(QString* problem = nullptr,
                                                       QList<int>* faultyRows = nullptr) const;

    /** Shows the model file at `path`; a file with anything wrong changes nothing: its message. */
    QString loadFile(const QString& path);
    /** Writes the edited model to `path`; why it could not, empty when it did (faulty rows
     *  are selected). */
    QString saveFile(const QString& path);

    /** Where Load and Save start when the shipped models (beside the manual) are missing. */
    void setFolder(const QString& folder) { folder_ = folder; }
    /** Where Load and Save start: the shipped models' folder, else setFolder's. */
    QString startFolder() const;

    QTableWidget* siteTable() const { return table_; }
    /** The domain list of a row of the site table. */
    QComboBox* domainList(int row) const;

  public slots:
    void accept() override;
    void addSite();
    /** Removes the selected rows, or the last one when none is selected. */
    void removeSites();

  private:
    void appendRow(const physics::Site& site);
    /** The cells the row's domain uses are editable, the others greyed. */
    void showDomainCells(int row);
    void showRadiationFields();
    /** Selects the rows of faulty cells. */
    void showFaultyRows(const QList<int>& rows);
    void askLoad();
    void askSave();

    physics::StructureModel model_;
    int indexDimension_;
    QString folder_;
    QLineEdit* nameField_;
    QComboBox* radiationList_;
    QLineEdit* kilovoltsField_;
    QLineEdit* wavelengthField_;
    QLineEdit* strainField_;  // the phason strain, row-major; empty: none
    QTableWidget* table_;
};

}  // namespace tesral
