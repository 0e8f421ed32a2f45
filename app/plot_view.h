#pragma once

#include <QImage>
#include <optional>

#include "app/picture_view.h"
#include "app/session.h"
#include "plots/plot_data.h"
#include "plots/plot_options.h"

namespace tesral {

class WindowSession;

/**
 * A plot box (pb2D, pb3D, pbBig): shows its last picture, scaled to its size. The 3D box
 * turns the session's points with the arrow keys and mouse drags. Its objectName is set by
 * the owner. Its pictures are the session's plot; its bitmaps are the box's picture, and
 * its printed page has the run's banner.
 */
class PlotView : public PictureView {
    Q_OBJECT

  public:
    PlotView(Session& session, const PlotOptions& options, PlotKind kind,
             QWidget* parent = nullptr);

    PlotKind kind() const { return kind_; }
    /** The large view switches between the two plots. */
    void setKind(PlotKind kind) { kind_ = kind; }

    /** A run's results, drawn or not. */
    bool hasPicture() const override { return session_.calculated(); }
    /** The plot: outlines one pixel of the default printer wide in the metafile. */
    PictureDrawing drawing() const override;
    /** tesral2D or tesral3D. */
    QString pictureName() const override;
    std::optional<QImage> bitmap() const override { return picture_; }
    /** The metafile's units per inch: kLargeViewUnitsPerInch while the large view is open. */
    void setMetafileUnitsPerInch(int units) { unitsPerInch_ = units; }

    /**
     * Follows `session`: draws each published run while the box is shown, clears on "New",
     * and is refused while a run fills the session. `session` holds the box's Session.
     */
    void follow(const WindowSession& session);

    /** Draws the plot into this box; on a fault the box keeps its previous picture. */
    bool redraw();
    /**
     * Draws the session's plot, or says there are no reflections after a run that kept
     * none; false on a fault.
     */
    bool drawSession();
    /** Clears the box to its background colour. */
    void clearPicture();
    /** Clears the box and writes `text` in its middle, in the foreground colour. */
    void showText(const QString& text);
    /** The box's persistent picture (device pixel ratio set), for copying and saving. */
    const QImage& picture() const { return picture_; }

    /** While a run fills the session the box neither redraws nor turns. */
    void setBusy(bool busy) { busy_ = busy; }

    /** Turns the 3D points about an axis and redraws, without a depth sort. */
    void rotate(int axis, float degrees);

  signals:
    /** A key or a drag turned the 3D points. */
    void pointsRotated();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    /** Keys and drags turn the points only in a 3D box with results, and not while refused. */
    bool turns() const { return kind_ == PlotKind::ThreeD && session_.calculated() && !busy_; }
    void turn(int axis, float degrees);
    void sortAll();
    /** Draws `data` into the box; on a fault the box keeps its previous picture. */
    bool show(const PlotData& data);
    /** Whether a drag draws a part of the points until the release. */
    bool thinsDrag() const;
    /** Twips per logical pixel of this box's screen (15 at 96 dots per inch). */
    double twipsPerPixel() const;
    /** A drag's redraw: all points when they are few, else a depth-sorted part of them. */
    void redrawWhileTurning();

    Session& session_;
    const PlotOptions& options_;
    bool busy_ = false;
    PlotKind kind_;
    int unitsPerInch_;
    QImage picture_;
    /** The points drawn while a drag turns many; thinned_: a drag has drawn them. */
    ProjectedPoints sample_;
    bool thinned_ = false;
    // Pointer position (twips) at the last handled drag step.
    float lastX_ = 0.0f;
    float lastY_ = 0.0f;
};

/** What the plots read of the session's results. */
PlotData plotDataOf(const Session& session);

}  // namespace tesral
