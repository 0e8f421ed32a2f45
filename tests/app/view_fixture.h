#pragma once

// A window's parts as the powder and zone-axis views need them: the session, the document
// showing a calculation, and the context that joins them.

#include <QTemporaryDir>
#include <memory>

#include "app/calculation_document.h"
#include "app/command.h"
#include "app/window_session.h"
#include "physics/one_site_model.h"

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
        // The window runs the document's model: the document holds what the run used.
        document.setModel(model ? *model : tesral::physics::StructureModel{});
        document.setUseIntensities(model.has_value());
        std::string error;
        auto calculation = tesral::physics::calculationFrom(inputs, std::move(model), error);
        if (calculation) document.setShown(std::move(*calculation));
    }

    /** A model edit after the run: intensities off when they were on, else one Al site. */
    void editModel() {
        if (document.useIntensities()) {
            document.setUseIntensities(false);
            return;
        }
        const tesral::physics::Calculation* shown = document.shown();
        document.setModel(tesral::physics::oneSiteModel(
            shown ? shown->parameters.system : tesral::QuasicrystalSystem::Decagonal, "window"));
        document.setUseIntensities(true);
    }
};
