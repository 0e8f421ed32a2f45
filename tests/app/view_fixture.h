#pragma once

// A window's parts as the powder and zone-axis views need them: the session, the document
// showing a calculation, and the context that joins them.

#include <QTemporaryDir>
#include <memory>

#include "app/calculation_document.h"
#include "app/command.h"
#include "app/window_session.h"

struct ViewFixture {
    QTemporaryDir folder;
    tesral::WindowSession session{folder.path()};
    tesral::CalculationDocument document;
    tesral::CommandContext context;

    ViewFixture() {
        context.session = &session;
        context.document = &document;
    }

    /** Shows the calculation of `inputs` (with `model`, if any) as the run F5 made. */
    void show(const tesral::RunInputs& inputs,
              std::optional<tesral::physics::StructureModel> model = std::nullopt) {
        std::string error;
        auto calculation = tesral::physics::calculationFrom(inputs, std::move(model), error);
        if (calculation) document.setShown(std::move(*calculation));
    }
};
