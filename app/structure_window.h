#pragma once

// The "Structure" window: a slab of the model's atoms in real space.

#include <QWidget>
#include <memory>
#include <optional>

#include "app/command.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;

namespace tesral {

class CalculationDocument;
class StructureView;
class ViewTask;

/**
 * wndStructure: the slab's axis (cmbStructureAxis: the periodic axis of the axial systems,
 * fivefold, threefold or twofold for icosahedral), the patch's radius (tfStructureRadius, A),
 * the slab's thickness and height (tfStructureThickness, tfStructureHeight, A; no height: the
 * layer of the atom nearest the origin), the phason shift (tfStructureShift, A), the tiles'
 * edges (chkStructureEdges), the picture (pbStructure) and the buttons to draw, save, copy,
 * print and enlarge it. The atoms are the document's model on the lattice of its shown run,
 * made on a worker thread (Escape stops it); messages show in lblStructureStatus.
 */
class StructureWindow : public QWidget {
    Q_OBJECT

  public:
    /** `context.document` must be set (viewDocument). */
    explicit StructureWindow(CommandContext& context, QWidget* parent = nullptr);
    ~StructureWindow() override;

    /** Starts the patch of the fields; false (and a message) when the fields or the lack of a
     * run or model stop it. */
    bool drawSlab();
    /** Runs the event loop until the patch being made shows; false on a timeout. */
    bool waitForSlab(int milliseconds = 60000);
    bool computing() const;
    /** Stops the patch being made (Escape); what shows stays. */
    void cancel();
    QString statusText() const;
    StructureView* view() const { return view_; }

  private:
    void fillAxes();
    void documentChanged();
    void fail(const QString& why, bool inPicture);

    CommandContext& context_;
    CalculationDocument& document_;
    QComboBox* axes_;
    QLineEdit* radius_;
    QLineEdit* thickness_;
    QLineEdit* height_;
    QLineEdit* shift_;
    QCheckBox* edges_;
    QLabel* status_;
    QProgressBar* progress_;
    StructureView* view_;
    ViewTask* task_;
    /** The system the axes and the thickness were filled for. */
    std::optional<int> filledFor_;
};

/** View > Structure...: opens (or raises) the window. */
class StructureCommand : public Command {
    Q_OBJECT
  public:
    using Command::Command;
    void onTriggered() override { openStructureWindow(context_); }
    static StructureWindow* openStructureWindow(CommandContext& context);
};

}  // namespace tesral
