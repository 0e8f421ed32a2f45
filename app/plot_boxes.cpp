#include "app/plot_boxes.h"

#include <QLayout>
#include <QStackedWidget>

#include "app/large_view.h"
#include "app/plot_view.h"
#include "app/window_session.h"
#include "plots/placeable_metafile.h"

namespace tesral {

PlotBoxes::PlotBoxes(WindowSession& session, QStackedWidget* pages, QObject* parent)
    : QObject(parent),
      session_(session),
      pages_(pages),
      zeroLayer_(new PlotView(session.core(), options_, PlotKind::ZeroLayer)),
      threeD_(new PlotView(session.core(), options_, PlotKind::ThreeD)),
      large_(new LargeView(session.core(), options_)) {
    zeroLayer_->setObjectName(QStringLiteral("pb2D"));
    threeD_->setObjectName(QStringLiteral("pb3D"));
    for (PlotView* view : {zeroLayer_, threeD_, largeBox()}) view->follow(session_);
}

PlotView* PlotBoxes::box(PlotKind kind) const {
    return kind == PlotKind::ThreeD ? threeD_ : zeroLayer_;
}

PlotView* PlotBoxes::largeBox() const {
    return large_->plot();
}

PlotView* PlotBoxes::sourceBox(PlotKind kind) const {
    if (largeViewOpen_ && largeBox()->kind() == kind) return largeBox();
    return box(kind);
}

bool PlotBoxes::largeViewShows3D() const {
    return largeViewOpen_ && large_->shows3D();
}

void PlotBoxes::toggleLargeView(PlotKind kind) {
    // The same button again closes the view; the other one switches the plot it shows.
    if (largeViewOpen_ && largeBox()->kind() == kind) {
        closeLargeView();
        return;
    }
    PlotView* big = largeBox();
    big->setKind(kind);
    big->setColours(zeroLayer_->backgroundColour(), zeroLayer_->foregroundColour());
    setLargeViewOpen(true);
    pages_->setCurrentWidget(large_);
    // Laid out anew before drawing, so the picture has the size of the open view.
    pages_->currentWidget()->layout()->activate();
    if (!big->drawSession()) big->clearPicture();
}

void PlotBoxes::closeLargeView() {
    setLargeViewOpen(false);
    largeBox()->setKind(PlotKind::ZeroLayer);
    pages_->setCurrentIndex(0);
    redrawAll();
}

void PlotBoxes::setLargeViewOpen(bool open) {
    largeViewOpen_ = open;
    // Every plot's metafile copy takes the large view's units while it is open.
    for (PlotView* view : {zeroLayer_, threeD_, largeBox()})
        view->setMetafileUnitsPerInch(open ? kLargeViewUnitsPerInch : kTwipsPerInch);
}

void PlotBoxes::redrawAll() {
    if (!session_.calculated() || session_.busy()) return;
    zeroLayer_->drawSession();
    threeD_->drawSession();
    if (largeViewOpen_) largeBox()->drawSession();
}

void PlotBoxes::redrawAfterZoom(PlotKind kind) {
    if (!largeViewOpen_)
        box(kind)->drawSession();
    else if (largeBox()->kind() == kind)
        largeBox()->drawSession();
}

void PlotBoxes::invertColours() {
    const bool black = zeroLayer_->backgroundColour() == kBlack;
    const QRgb background = black ? kWhite : kBlack;
    const QRgb foreground = black ? kBlack : kWhite;
    for (PlotView* view : {zeroLayer_, threeD_, largeBox()}) {
        view->setColours(background, foreground);
        if (!session_.calculated()) view->clearPicture();
    }
    redrawAll();
}

void PlotBoxes::toggleFlag(PlotFlag flag) {
    tesral::toggleFlag(options_, flag);
    emit optionsChanged();
    redrawAll();
}

void PlotBoxes::setSpotSlider(int value) {
    options_.spotSlider = value;
    redrawAll();
}

}  // namespace tesral
