#pragma once

namespace tesral {

class CalculationDocument;
struct CommandContext;

/**
 * The window's document for its views. A window that has not made its own yet gets one that
 * follows the session: each published run becomes the shown calculation (with the window's
 * model when that run had intensities), New clears it.
 */
CalculationDocument& viewDocument(CommandContext& context);

}  // namespace tesral
