#pragma once

#include <QString>

#include "plots/plot_print.h"

class QWidget;

namespace tesral {

/**
 * Prints one document on the default printer. Without a printer the user names a PDF file
 * (a save dialog in `folder`, `suggestedName` filled in) and the document goes there
 * through the safe writer; a cancelled dialog prints nothing. Returns why it failed, or an
 * empty text. `landscape` turns the page.
 */
QString printDocument(QWidget* parent, const QString& folder, const QString& suggestedName,
                      const PagePainter& paint, bool landscape = false);

}  // namespace tesral
