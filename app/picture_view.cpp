#include "app/picture_view.h"

#include <QFile>
#include <QMimeData>
#include <QPagedPaintDevice>
#include <QPainter>

#include "plots/image_canvas.h"
#include "report/safe_file.h"

namespace tesral {

PictureView::PictureView(QWidget* parent)
    : QWidget(parent), background_(kWhite), foreground_(kBlack) {}

QString PictureView::sizeProblem(const PictureSettings&) const {
    return {};
}

void PictureView::setColours(QRgb background, QRgb foreground) {
    background_ = background;
    foreground_ = foreground;
    coloursChanged();
}

PictureSettings PictureView::pictureSettings() const {
    PictureSettings settings;
    settings.size = size();
    settings.background = background_;
    settings.foreground = foreground_;
    settings.font = defaultPlotFont();
    return settings;
}

PlotTarget PictureView::screenTarget() const {
    return screenBox(width(), height(), logicalDpiX(), logicalDpiY(), background_, foreground_,
                     defaultPlotFont());
}

std::optional<QByteArray> PictureView::render(PictureFormat format, QString* reason) const {
    const PictureSettings settings = pictureSettings();
    const QString problem = format == PictureFormat::Pdf ? QString() : sizeProblem(settings);
    if (!problem.isEmpty() || !hasPicture()) {
        if (reason) *reason = problem.isEmpty() ? drawing().nothing : problem;
        return std::nullopt;
    }
    return pictureBytes(format, settings, drawing(), reason);
}

QString PictureView::savePicture(const QString& path) const {
    const std::optional<PictureFormat> format = pictureFormatOf(path);
    if (!format) return tr("the picture file must end in .png, .bmp, .svg, .wmf or .pdf");
    QString reason;
    const std::optional<QByteArray> bytes = render(*format, &reason);
    if (!bytes) return reason;
    if (const auto error = writeFileSafely(QFile::encodeName(path).toStdString(),
                                           std::string_view(bytes->constData(), bytes->size())))
        return tr("cannot write %1: %2").arg(path, QString::fromLocal8Bit(error->c_str()));
    return {};
}

QMimeData* PictureView::clipboardData() const {
    if (!hasPicture() || !sizeProblem(pictureSettings()).isEmpty()) return nullptr;
    const PictureSettings settings = pictureSettings();
    const PictureDrawing d = drawing();
    const std::optional<QImage> bitmap = imageOfDrawing(settings, d.draw);
    if (!bitmap) return nullptr;
    // As the plots copy: a metafile, and the same picture as SVG and as a bitmap.
    auto* data = new QMimeData;
    if (const auto wmf = pictureBytes(PictureFormat::Wmf, settings, d))
        data->setData(QStringLiteral("image/x-wmf"), *wmf);
    if (const auto svg = pictureBytes(PictureFormat::Svg, settings, d))
        data->setData(QStringLiteral("image/svg+xml"), *svg);
    data->setImageData(*bitmap);
    return data;
}

bool PictureView::drawPage(QPainter& painter, QPagedPaintDevice& device) const {
    if (!hasPicture()) return false;
    PictureSettings paper = pictureSettings();
    paper.background = kWhite;
    paper.foreground = kBlack;
    const PictureDrawing d = drawing();
    return drawOnPage(painter, device, paper, d.draw, d.square);
}

QString pictureFileFilter() {
    return QStringLiteral(
        "PNG (*.png);;SVG (*.svg);;PDF (*.pdf);;Windows metafile (*.wmf);;BMP (*.bmp)");
}

}  // namespace tesral
