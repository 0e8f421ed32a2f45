#include "app/picture_view.h"

#include <QDir>
#include <QMimeData>
#include <QPagedPaintDevice>
#include <QPainter>
#include <algorithm>

#include "app/native_files.h"

namespace tesral {

PictureView::PictureView(QWidget* parent, QRgb background, QRgb foreground)
    : QWidget(parent), background_(background), foreground_(foreground) {}

QString PictureView::sizeProblem(const PictureSettings&) const {
    return {};
}

std::optional<QImage> PictureView::bitmap() const {
    return imageOfDrawing(pictureSettings(), drawing().draw);
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
    if ((format == PictureFormat::Png || format == PictureFormat::Bmp) &&
        !settings.size.isEmpty()) {
        const std::optional<QImage> image = bitmap();
        if (!image) {
            if (reason) *reason = drawing().nothing;
            return std::nullopt;
        }
        std::optional<QByteArray> bytes = encodedImage(*image, format == PictureFormat::Png);
        if (!bytes && reason) *reason = tr("the picture could not be encoded");
        return bytes;
    }
    return pictureBytes(format, settings, drawing(), reason);
}

QString PictureView::savePicture(const QString& path) const {
    const std::optional<PictureFormat> format = pictureFormatOf(path);
    if (!format) return tr("the picture file must end in .png, .bmp, .svg, .wmf or .pdf");
    QString reason;
    const std::optional<QByteArray> bytes = render(*format, &reason);
    if (!bytes) return reason;
    if (const auto failure = writeBytesSafely(path, *bytes))
        return tr("Cannot write %1: %2").arg(QDir::toNativeSeparators(path), *failure);
    return {};
}

std::optional<ClipboardPictures> PictureView::clipboardPictures() const {
    const PictureSettings settings = pictureSettings();
    if (!hasPicture() || !sizeProblem(settings).isEmpty()) return std::nullopt;
    const PictureDrawing d = drawing();
    std::optional<QImage> image = bitmap();
    std::optional<QByteArray> svg = pictureBytes(PictureFormat::Svg, settings, d);
    if (!image || !svg) return std::nullopt;
    ClipboardPictures pictures{{}, {}, std::move(*svg), std::move(*image)};
    if (auto wmf = pictureBytes(PictureFormat::Wmf, settings, d, &pictures.wmfError))
        pictures.wmf = std::move(*wmf);
    return pictures;
}

QMimeData* PictureView::clipboardData() const {
    const std::optional<ClipboardPictures> pictures = clipboardPictures();
    return pictures ? mimeDataOf(*pictures) : nullptr;
}

bool PictureView::drawPage(QPainter& painter, QPagedPaintDevice& device) const {
    if (!hasPicture()) return false;
    const PictureDrawing d = drawing();
    if (d.page) {
        d.page(painter, device);
        return true;
    }
    PictureSettings paper = pictureSettings();
    paper.background = kWhite;
    paper.foreground = kBlack;
    return drawOnPage(painter, device, paper, d.draw, d.square);
}

QString pictureFileFilter(const QString& first) {
    QStringList types = QStringLiteral(
                            "PNG (*.png);;SVG (*.svg);;PDF (*.pdf);;Windows metafile (*.wmf);;"
                            "BMP (*.bmp)")
                            .split(QStringLiteral(";;"));
    std::stable_partition(types.begin(), types.end(),
                          [&first](const QString& type) { return type.startsWith(first); });
    return types.join(QStringLiteral(";;"));
}

QMimeData* mimeDataOf(const ClipboardPictures& pictures) {
    // A metafile, and the same picture as SVG and as a bitmap for programs without a
    // metafile reader.
    auto* data = new QMimeData;
    if (!pictures.wmf.isEmpty()) data->setData(QStringLiteral("image/x-wmf"), pictures.wmf);
    data->setData(QStringLiteral("image/svg+xml"), pictures.svg);
    data->setImageData(pictures.bitmap);
    return data;
}

}  // namespace tesral
