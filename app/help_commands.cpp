#include "app/help_commands.h"

#include "app/about_window.h"
#include "app/documents.h"
#include "app/input_panel.h"
#include "app/matrices_view.h"
#include "engine/number_reader.h"
#include "lattice/matrix_text.h"

namespace tesral {

DocumentCommand::DocumentCommand(QAction* action, CommandContext& context, Where where,
                                 QString target)
    : Command(action, context), where_(where), target_(std::move(target)) {}

void DocumentCommand::onTriggered() {
    if (where_ == Where::Manual)
        openManualPage(context_.window, target_);
    else
        openDocument(context_.window, target_);
}

void AboutCommand::onTriggered() {
    AboutWindow about(context_.window);
    about.exec();
}

void UsedMatricesCommand::showUsedMatrices(CommandContext& context) {
    const RunInputs in = context.panel->inputs();
    const double a = readNumber(in.a);
    const double c = readNumber(in.c);
    std::string problem = latticeConstantProblem(in.system, a, c);
    const auto basis =
        problem.empty() ? buildLatticeBasis(in.system, a, c, in.convention) : std::nullopt;
    if (!basis) {
        if (problem.empty()) problem = kLatticeConstantsMessage;
        showWarning(context, QString::fromStdString(problem));
        return;
    }
    MatricesView view(context.window);
    view.setText(QString::fromStdString(directMatrixText(*basis)), 1);
    view.setText(QString::fromStdString(inverseMatrixText(*basis)), 2);
    view.exec();
}

}  // namespace tesral
