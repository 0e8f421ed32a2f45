#pragma once

#include <QObject>

#include "plots/plot_options.h"

class QStackedWidget;

namespace tesral {

class LargeView;
class PlotView;
class WindowSession;

/**
 * The three plot boxes (pb2D, pb3D and the large view's pbBig) and the options they draw
 * with. The boxes follow the session themselves; this knows which box shows which plot,
 * opens and closes the large view, and redraws after a change of options or colours.
 */
class PlotBoxes : public QObject {
    Q_OBJECT

  public:
    /**
     * Makes the boxes pb2D, pb3D and the large view frBig, for the owner to lay out: `pages`
     * gets the normal view at index 0 and largeView().
     */
    PlotBoxes(WindowSession& session, QStackedWidget* pages, QObject* parent = nullptr);

    PlotOptions& options() { return options_; }
    const PlotOptions& options() const { return options_; }
    WindowSession& session() const { return session_; }

    PlotView* box(PlotKind kind) const;
    PlotView* largeBox() const;
    LargeView* largeView() const { return large_; }
    /** The box a command takes the plot of `kind` from: the large view when it shows it. */
    PlotView* sourceBox(PlotKind kind) const;
    bool largeViewOpen() const { return largeViewOpen_; }
    bool largeViewShows3D() const;

    /** Opens the large view on `kind`; the same kind again closes it. */
    void toggleLargeView(PlotKind kind);
    void closeLargeView();

    /** Redraws every shown box from the session; nothing before a run or while one runs. */
    void redrawAll();
    /** After a zoom of `kind`: its box, or the large view when that shows it. */
    void redrawAfterZoom(PlotKind kind);
    /** Black on white and back, in all three boxes. */
    void invertColours();
    /** Toggles a View flag (and what goes with it), then redraws. */
    void toggleFlag(PlotFlag flag);
    /** Spot size: the slider position 0..kSpotSliderMaximum. */
    void setSpotSlider(int value);

  signals:
    /** The View flags changed; their check marks follow. */
    void optionsChanged();

  private:
    void setLargeViewOpen(bool open);

    WindowSession& session_;
    PlotOptions options_;  // before the boxes, which draw with it
    QStackedWidget* pages_;
    PlotView* zeroLayer_;
    PlotView* threeD_;
    LargeView* large_;
    bool largeViewOpen_ = false;
};

}  // namespace tesral
