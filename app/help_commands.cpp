// The Help menu, the About window and the used-matrices view.

#include <QAction>
#include <QMessageBox>

#include "app/about_window.h"
#include "app/documents.h"
#include "app/input_panel.h"
#include "app/main_window.h"
#include "app/matrices_view.h"
#include "engine/number_reader.h"
#include "lattice/matrix_text.h"

namespace tesral {

void MainWindow::connectHelpMenu() {
    auto& h = helpActions_;
    // Pages of the bundled documentation: the manual, the product, its maker, its author.
    const std::pair<int, const char*> pages[] = {
        {6, "index0.html"}, {5, "product.html"}, {1, "maker.html"}, {2, "author.html"}};
    for (const auto& [item, name] : pages)
        connect(h[item], &QAction::triggered, this,
                [this, page = name] { openManualPage(this, QLatin1String(page)); });
    connect(h[3], &QAction::triggered, this,
            [this] { openDocument(this, QLatin1String(kQuasicrystalPage)); });
    connect(h[4], &QAction::triggered, this, &MainWindow::showAbout);
}

void MainWindow::showAbout() {
    AboutWindow about(this);
    about.exec();
}

void MainWindow::showUsedMatrices() {
    // Built here from the fields as they stand; the last run's results are not touched.
    const RunInputs in = panel_->inputs();
    const double a = readNumber(in.a);
    const double c = readNumber(in.c);
    std::string problem = latticeConstantProblem(in.system, a, c);
    const auto basis =
        problem.empty() ? buildLatticeBasis(in.system, a, c, in.convention) : std::nullopt;
    if (!basis) {
        if (problem.empty()) problem = kLatticeConstantsMessage;
        QMessageBox::warning(this, windowTitle(), QString::fromStdString(problem));
        return;
    }
    MatricesView view(this);
    view.setText(QString::fromStdString(directMatrixText(*basis)), 1);
    view.setText(QString::fromStdString(inverseMatrixText(*basis)), 2);
    view.exec();
}

}  // namespace tesral
