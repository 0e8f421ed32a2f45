#pragma once

// The "Zone axis" window: the section of the shown run perpendicular to a chosen axis.

#include <QWidget>
#include <memory>
#include <optional>

#include "app/command.h"
#include "engine/zone_section.h"
#include "physics/calculation.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;

namespace tesral {

class CalculationDocument;
class ViewTask;
class ZoneMeasuredPanel;
class ZonePatternView;

/**
 * wndZoneAxis: a preset drop-down (cmbZonePreset), the axis indices (tfZoneAxis), the
 * reflection x runs along (tfZoneXAxis; empty: the shortest of the section), the slab
 * (tfZoneSlab, 1/angstrom) and camera length (tfZoneCamera, mm), the pattern (pbZone) and
 * the buttons to draw, save, copy, print and enlarge it. Shows the document's run: each
 * published run is drawn again along the same axis; a model edit marks it stale. The
 * section is worked out on a worker thread (Escape stops it). Messages show in
 * lblZoneStatus. Beside the pattern, a measured photograph to put under it and fit it to
 * (pnlZoneMeasured).
 */
class ZoneAxisWindow : public QWidget {
    Q_OBJECT

  public:
    /** `context.document` must be set (viewDocument). */
    explicit ZoneAxisWindow(CommandContext& context, QWidget* parent = nullptr);
    ~ZoneAxisWindow() override;

    /**
     * Starts the section of the fields' axis; false (and a message) when the fields or the
     * lack of a run stop it. The section shows when the worker is done (waitForSection).
     */
    bool drawSection();
    /** Runs the event loop until the section being worked out shows; false on a timeout. */
    bool waitForSection(int milliseconds = 60000);
    bool computing() const;
    /** Stops the section being worked out and the fit being made (Escape); what shows stays. */
    void cancel();
    /** Writes the pattern to `path` in the format of its extension; the reason on failure. */
    std::optional<QString> savePicture(const QString& path) const;
    /** The section shown; null before one. */
    const ZoneSection* section() const;
    QString statusText() const;
    ZonePatternView* view() const { return view_; }
    ZoneMeasuredPanel* measured() const { return measured_; }

  private:
    void fillPresets();
    void presetChosen(int index);
    /** The preset's indices in the axis field and its section started; false when not. */
    bool showPreset(int index);
    void runChanged();
    void showResult(std::shared_ptr<physics::ZoneResult> result, const QString& title,
                    double camera, const QString& note);
    void fail(const QString& why, bool inPicture);
    void showStatus();
    void showBusy();

    CommandContext& context_;
    CalculationDocument& document_;
    std::shared_ptr<physics::ZoneResult> result_;
    QComboBox* presets_;
    QLineEdit* axis_;
    QLineEdit* xAxis_;
    QLineEdit* slab_;
    QLineEdit* camera_;
    QLabel* status_;
    QProgressBar* progress_;
    ZonePatternView* view_;
    ZoneMeasuredPanel* measured_;
    ViewTask* task_;
    QString message_;
    bool stale_ = false;
};

/** View > Zone axis...: opens (or raises) the window. */
class ZoneAxisCommand : public Command {
    Q_OBJECT
  public:
    using Command::Command;
    void onTriggered() override { openZoneWindow(context_); }
    static ZoneAxisWindow* openZoneWindow(CommandContext& context);
};

/**
 * The axis typed in a field ("1 1 0 0 0 0", "1,1,0,0,0,0" or a preset's name); the message
 * when it cannot be read.
 */
std::string parseAxisField(const QString& text, QuasicrystalSystem system, AxisIndices& axis);
/** The reflection "x along" names; the message speaks of a reflection. */
std::string parseReflectionField(const QString& text, QuasicrystalSystem system,
                                 AxisIndices& reflection);

}  // namespace tesral
