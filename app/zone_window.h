#pragma once

// The "Zone axis" window: the section of the last run perpendicular to a chosen axis.

#include <QRect>
#include <QWidget>
#include <memory>
#include <optional>

#include "app/command.h"
#include "engine/zone_section.h"
#include "physics/structure_model.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tesral {

class WindowSession;
class ZonePatternView;

/**
 * wndZoneAxis: a preset drop-down (cmbZonePreset), the axis indices (tfZoneAxis), the
 * reflection x runs along (tfZoneXAxis; empty: the shortest of the section), the slab
 * (tfZoneSlab, 1/angstrom) and camera length (tfZoneCamera, mm), the pattern (pbZone) and
 * the buttons to draw, save, copy, print and enlarge it. Follows the session: each
 * published run is drawn again along the same axis. Bad input shows in lblZoneStatus.
 */
class ZoneAxisWindow : public QWidget {
    Q_OBJECT

  public:
    /**
     * `model`, the window's intensity model, may be null; when the session's run had
     * intensities, the section gets this model's. It must outlive this window.
     */
    ZoneAxisWindow(WindowSession& session, const physics::StructureModel* model = nullptr,
                   QWidget* parent = nullptr);

    /** Draws the section of the fields' axis; false (and a message) when it cannot. */
    bool drawSection();
    /** Writes the pattern to `path` in the format of its extension; the reason on failure. */
    std::optional<QString> savePicture(const QString& path) const;
    /** The section drawn last; null before one or after the session changed. */
    const ZoneSection* section() const { return section_.get(); }
    QString statusText() const;

  private:
    void fillPresets();
    void presetChosen(int index);
    void save();
    void copy();
    void print();
    void toggleLarge();

    WindowSession& session_;
    const physics::StructureModel* model_;
    std::unique_ptr<ZoneSection> section_;
    QComboBox* presets_;
    QLineEdit* axis_;
    QLineEdit* xAxis_;
    QLineEdit* slab_;
    QLineEdit* camera_;
    QLabel* status_;
    ZonePatternView* view_;
    /** Where the window stood before the large view. */
    std::optional<QRect> normalGeometry_;
};

/** View > Zone axis...: opens (or raises) the window. */
class ZoneAxisCommand : public Command {
    Q_OBJECT
  public:
    using Command::Command;
    void onTriggered() override { openZoneWindow(context_); }
    static ZoneAxisWindow* openZoneWindow(CommandContext& context);
};

}  // namespace tesral
