#include "app/view_document.h"

#include <QWidget>

#include "app/calculation_document.h"
#include "app/command.h"
#include "app/window_session.h"

namespace tesral {

CalculationDocument& viewDocument(CommandContext& context) {
    if (context.document) return *context.document;
    auto* document = new CalculationDocument(context.window ? static_cast<QObject*>(context.window)
                                                            : context.session);
    context.document = document;
    const auto follow = [&context, document] {
        if (!context.session->calculated()) {
            document->clearShown();
            return;
        }
        const RunResult& run = context.session->core().result();
        physics::Calculation calculation;
        calculation.parameters = run.parameters;
        calculation.header = run.header;
        if (!run.header.modelText.empty()) calculation.model = document->modelForRun();
        document->setShown(std::move(calculation));
    };
    QObject::connect(context.session, &WindowSession::published, document, follow);
    QObject::connect(context.session, &WindowSession::cleared, document,
                     [document] { document->clearShown(); });
    if (context.session->calculated()) follow();
    return *document;
}

}  // namespace tesral
