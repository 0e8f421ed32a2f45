#include "app/printing.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include "app/native_files.h"
#include "app/save_dialog.h"
#include "plots/plot_print.h"

namespace tesral {

QString printDocument(QWidget* parent, const QString& folder, const QString& suggestedName,
                      const PagePainter& paint, bool landscape) {
    if (!QPrinterInfo::defaultPrinter().isNull()) {
        QPrinter printer(QPrinterInfo::defaultPrinter());
        printer.setDocName(QStringLiteral("Tesral 1.0"));
        if (landscape) printer.setPageOrientation(QPageLayout::Landscape);
        QPainter painter;
        if (!painter.begin(&printer)) return QStringLiteral("The printer cannot be used.");
        paint(painter, printer);
        painter.end();  // sends the document
        return QString();
    }
    const QString path =
        askSavePath(parent, QStringLiteral("Print to PDF"), QDir(folder).filePath(suggestedName),
                    QStringLiteral("PDF document (*.pdf)"), QStringLiteral("pdf"));
    if (path.isEmpty()) return QString();  // cancelled: nothing is printed
    const std::optional<QByteArray> bytes = renderPdfDocument(paint, landscape);
    if (!bytes) return QStringLiteral("The PDF document cannot be made.");
    if (const auto failure = writeBytesSafely(path, *bytes))
        return QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(path), *failure);
    return QString();
}

}  // namespace tesral
