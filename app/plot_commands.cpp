// Plot output from the window: the large view, bitmaps, printing of plots and of the list.

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLayout>
#include <QListView>
#include <QMessageBox>
#include <QMimeData>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStackedWidget>
#include <cmath>

#include "app/large_view.h"
#include "app/main_window.h"
#include "app/native_files.h"
#include "app/plot_view.h"
#include "app/printing.h"
#include "app/program_folder.h"
#include "app/reflection_list_model.h"
#include "app/save_dialog.h"
#include "plots/placeable_metafile.h"
#include "plots/plot_picture.h"

namespace tesral {

bool MainWindow::largeViewShows3D() const {
    return largeViewOpen_ && frBig_->shows3D();
}

PlotView* MainWindow::sourceBox(PlotKind kind) const {
    if (largeViewOpen_ && frBig_->pbBig->kind() == kind) return frBig_->pbBig;
    return kind == PlotKind::ThreeD ? pb3D_ : pb2D_;
}

void MainWindow::openLargeView(PlotKind kind) {
    // The same button again closes the view; the other one switches the plot it shows.
    if (largeViewOpen_ && frBig_->pbBig->kind() == kind) {
        closeLargeView();
        return;
    }
    PlotView* big = frBig_->pbBig;
    big->setKind(kind);
    big->setColours(pb2D_->backgroundColour(), pb2D_->foregroundColour());
    largeViewOpen_ = true;
    pages_->setCurrentWidget(frBig_);
    // Laid out anew before drawing, so the picture has the size of the open view.
    pages_->currentWidget()->layout()->activate();
    if (!drawPlotIn(big)) big->clearPicture();
}

void MainWindow::closeLargeView() {
    largeViewOpen_ = false;
    frBig_->pbBig->setKind(PlotKind::ZeroLayer);
    pages_->setCurrentIndex(0);
    redrawPlots();
}

void MainWindow::redrawAfterZoom(PlotKind kind) {
    if (!largeViewOpen_)
        drawPlotIn(kind == PlotKind::ThreeD ? pb3D_ : pb2D_);
    else if (frBig_->pbBig->kind() == kind)
        drawPlotIn(frBig_->pbBig);
}

void MainWindow::copyPlotBitmap(PlotKind kind) {
    if (!haveData()) return;
    QApplication::clipboard()->setImage(sourceBox(kind)->picture());
}

void MainWindow::savePlotBitmap(PlotKind kind) {
    if (!haveData()) return;
    const QString name =
        kind == PlotKind::ThreeD ? QStringLiteral("tesral3D.bmp") : QStringLiteral("tesral2D.bmp");
    const QString path =
        askSavePath(this, QStringLiteral("Save Bitmap (*.BMP)"), QDir(dataFolder()).filePath(name),
                    QStringLiteral("Bitmap image (*.bmp)"), QStringLiteral("bmp"));
    if (path.isEmpty()) return;  // cancelled: nothing is written
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!sourceBox(kind)->picture().save(&buffer, "BMP")) {
        showWriteError(path, QStringLiteral("the picture could not be encoded"));
        return;
    }
    if (const auto failure = writeBytesSafely(path, bytes)) showWriteError(path, *failure);
}

void MainWindow::printPlot(PlotKind kind) {
    if (!haveData()) return;
    const RunHeader& header = session_.result().header;
    const PlotData data = plotDataOf(session_);
    const QString name =
        kind == PlotKind::ThreeD ? QStringLiteral("tesral3D.pdf") : QStringLiteral("tesral2D.pdf");
    const QString error =
        printDocument(this, name, [&](QPainter& painter, QPagedPaintDevice& device) {
            drawPrintedPlot(painter, printablePageSize(device), 1440.0 / device.logicalDpiX(), kind,
                            data, plotOptions_, header);
        });
    if (!error.isEmpty()) QMessageBox::warning(this, windowTitle(), error);
}

void MainWindow::printList() {
    if (!haveData()) return;
    const ReflectionListModel& list = *listModel_;
    QFont font = rtf_->font();
    font.setPointSizeF(8);
    const QString error = printDocument(
        this, QStringLiteral("tesral.pdf"), [&](QPainter& painter, QPagedPaintDevice& device) {
            painter.setFont(font);
            const QFontMetricsF metrics(painter.font(), &device);
            const QSizeF page = printablePageSize(device);
            const auto perPage = std::max<std::size_t>(
                1, static_cast<std::size_t>(page.height() / metrics.lineSpacing()));
            for (std::size_t line = 0; line < list.lineCount(); ++line) {
                const std::size_t onPage = line % perPage;
                if (line > 0 && onPage == 0) device.newPage();
                painter.drawText(QPointF(0, onPage * metrics.lineSpacing() + metrics.ascent()),
                                 QString::fromStdString(list.lineText(line)));
            }
        });
    if (!error.isEmpty()) QMessageBox::warning(this, windowTitle(), error);
}

void MainWindow::copyPlotAsMetafile(PlotKind kind) {
    if (!haveData()) return;
    QApplication::clipboard()->clear();
    PlotView* box = sourceBox(kind);
    // Outlines one printer pixel wide, in twips.
    const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    const int dpi = printer.isNull() ? kPdfResolution : QPrinter(printer).resolution();
    const int penWidth = static_cast<int>(std::lrint(1440.0 / dpi));
    const int unitsPerInch = largeViewOpen_ ? kLargeViewUnitsPerInch : kTwipsPerInch;
    const std::optional<Metafile> recording = box->redrawRecording(penWidth);
    if (!recording) return;  // nothing to scale by: the box keeps its picture
    const auto widthTwips = static_cast<int>(std::lrint(box->target().width));
    const auto heightTwips = static_cast<int>(std::lrint(box->target().height));
    std::string error;
    const std::optional<std::string> bytes =
        placeableMetafileBytes(*recording, widthTwips, heightTwips, unitsPerInch, &error);
    if (!bytes) {
        QMessageBox::warning(this, windowTitle(), QString::fromStdString(error));
        return;
    }
    const QString path = programFile(QStringLiteral("a.wmf"));
    if (const auto failure = writeBytesSafely(path, *bytes, SafeFile::Accept::RegularFilesOnly))
        showWriteError(path, *failure);

    // The metafile, and the same picture as SVG and as a bitmap for programs without a
    // metafile reader.
    auto* data = new QMimeData;
    data->setData(QStringLiteral("image/x-wmf"), QByteArray::fromStdString(*bytes));
    PictureSettings settings;
    settings.size = box->size();
    settings.background = box->backgroundColour();
    settings.foreground = box->foregroundColour();
    settings.font = box->font();
    if (const auto svg = renderPlotPicture(PictureFormat::Svg, kind, plotDataOf(session_),
                                           plotOptions_, settings))
        data->setData(QStringLiteral("image/svg+xml"), *svg);
    data->setImageData(box->picture());
    QApplication::clipboard()->setMimeData(data);
}

}  // namespace tesral
