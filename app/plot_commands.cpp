#include "app/plot_commands.h"

#include <QAction>

#include "app/plot_boxes.h"
#include "app/plot_view.h"

namespace tesral {

PictureSource plotPicture(const CommandContext& context, std::optional<PlotKind> kind) {
    return PictureSource([&context, kind]() -> PictureView* {
        const PlotBoxes& plots = *context.plots;
        return plots.sourceBox(kind.value_or(plots.largeBox()->kind()));
    });
}

PictureFiles plotFiles() {
    return {pictureFileFilter(QStringLiteral("BMP")), QStringLiteral("bmp"),
            QStringLiteral("Save Bitmap (*.BMP)")};
}

LargeViewCommand::LargeViewCommand(QAction* action, CommandContext& context, PlotKind kind)
    : Command(action, context), kind_(kind) {}

void LargeViewCommand::onTriggered() {
    context_.plots->toggleLargeView(kind_);
}

void CloseLargeViewCommand::onTriggered() {
    context_.plots->closeLargeView();
}

void InvertBackgroundCommand::onTriggered() {
    context_.plots->invertColours();
}

PlotFlagCommand::PlotFlagCommand(QAction* action, CommandContext& context, PlotFlag flag)
    : Command(action, context), flag_(flag) {
    action->setCheckable(true);
    showCheck();
    // A colour option switches another off: every item follows the options.
    connect(context.plots, &PlotBoxes::optionsChanged, this, &PlotFlagCommand::showCheck);
}

void PlotFlagCommand::onTriggered() {
    context_.plots->toggleFlag(flag_);
}

void PlotFlagCommand::showCheck() {
    action()->setChecked(flagValue(context_.plots->options(), flag_));
}

}  // namespace tesral
