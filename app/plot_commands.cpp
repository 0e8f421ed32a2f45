#include "app/plot_commands.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QMimeData>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <cmath>

#include "app/large_view.h"
#include "app/native_files.h"
#include "app/plot_boxes.h"
#include "app/plot_view.h"
#include "app/printing.h"
#include "app/save_dialog.h"
#include "app/window_session.h"
#include "plots/placeable_metafile.h"

namespace tesral {

PlotCommand::PlotCommand(QAction* action, CommandContext& context, std::optional<PlotKind> kind)
    : Command(action, context), kind_(kind) {}

PlotKind PlotCommand::kind() const {
    return kind_.value_or(context_.plots->largeBox()->kind());
}

void CopyPlotBitmapCommand::copyBitmap(CommandContext& context, PlotKind kind) {
    if (!haveData(context)) return;
    QApplication::clipboard()->setImage(context.plots->sourceBox(kind)->picture());
}

void SavePlotBitmapCommand::saveBitmap(CommandContext& context, PlotKind kind) {
    if (!haveData(context)) return;
    const QString name =
        kind == PlotKind::ThreeD ? QStringLiteral("tesral3D.bmp") : QStringLiteral("tesral2D.bmp");
    const QString path = askSavePath(context.window, QStringLiteral("Save Bitmap (*.BMP)"),
                                     QDir(context.session->dataFolder()).filePath(name),
                                     QStringLiteral("Bitmap image (*.bmp)"), QStringLiteral("bmp"));
    if (path.isEmpty()) return;  // cancelled: nothing is written
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!context.plots->sourceBox(kind)->picture().save(&buffer, "BMP")) {
        showWriteError(context, path, QStringLiteral("the picture could not be encoded"));
        return;
    }
    if (const auto failure = writeBytesSafely(path, bytes)) showWriteError(context, path, *failure);
}

void PrintPlotCommand::printPlot(CommandContext& context, PlotKind kind) {
    if (!haveData(context)) return;
    const Session& session = context.session->core();
    const RunHeader& header = session.result().header;
    const PlotData data = plotDataOf(session);
    const PlotOptions& options = context.plots->options();
    const QString name =
        kind == PlotKind::ThreeD ? QStringLiteral("tesral3D.pdf") : QStringLiteral("tesral2D.pdf");
    const QString error = printDocument(context.window, context.session->dataFolder(), name,
                                        [&](QPainter& painter, QPagedPaintDevice& device) {
                                            drawPrintedPlot(painter, printablePageSize(device),
                                                            1440.0 / device.logicalDpiX(), kind,
                                                            data, options, header);
                                        });
    if (!error.isEmpty()) showWarning(context, error);
}

void CopyMetafileCommand::copyMetafile(CommandContext& context, PlotKind kind) {
    if (!haveData(context)) return;
    QApplication::clipboard()->clear();
    PlotView* box = context.plots->sourceBox(kind);
    // Outlines one printer pixel wide, in twips.
    const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    const int dpi = printer.isNull() ? kPdfResolution : QPrinter(printer).resolution();
    const int penWidth = static_cast<int>(std::lrint(1440.0 / dpi));
    const int unitsPerInch =
        context.plots->largeViewOpen() ? kLargeViewUnitsPerInch : kTwipsPerInch;
    const std::optional<ClipboardPictures> pictures =
        box->redrawForClipboard(penWidth, unitsPerInch);
    if (!pictures) return;  // nothing to scale by: the box keeps its picture
    if (pictures->wmf.isEmpty()) {
        showWarning(context, pictures->wmfError);
        return;
    }
    const QString path = context.session->workingFile(QStringLiteral("a.wmf"));
    if (const auto failure =
            writeBytesSafely(path, pictures->wmf, SafeFile::Accept::RegularFilesOnly))
        showWriteError(context, path, *failure);

    // The metafile, and the same picture as SVG and as a bitmap for programs without a
    // metafile reader.
    auto* data = new QMimeData;
    data->setData(QStringLiteral("image/x-wmf"), pictures->wmf);
    if (!pictures->svg.isEmpty()) data->setData(QStringLiteral("image/svg+xml"), pictures->svg);
    data->setImageData(pictures->bitmap);
    QApplication::clipboard()->setMimeData(data);
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
