#include "cli/model_options.h"

#include <stdexcept>

#include "cli/option_values.h"
#include "cli/output.h"
#include "physics/model_file.h"
#include "physics/one_site_model.h"

namespace tesral::cli {

namespace {

/** The one site of --domain without --element, --radiation, --b-par and --b-perp. */
constexpr const char* kElement = "Al";
constexpr const char* kRadiation = "xray";
constexpr double kDebyeWaller = 0.0;  // A^2

/** The shortcut's options besides --domain. */
const std::vector<std::string> kSiteOptions = {"element", "radiation", "b-par", "b-perp"};

/** The model checks the value itself. */
double debyeWaller(const Options& options, const std::string& name) {
    return value<double>(options, name, kDebyeWaller, {.anyReal = true},
                         "takes a number in square angstrom, not {}");
}

}  // namespace

std::vector<std::string> modelOptionNames() {
    return {"model", "domain", "element", "radiation", "b-par", "b-perp"};
}

std::string modelOptionsHelp() {
    return std::string(R"(Intensity model options (without them no intensities are worked out):
  --model FILE           a structure model file (TOML; examples in doc/models/)
  --domain D             one site at the origin instead: sphere:R or disc:R (R in A),
                         window or window:SCALE (the tiling's exact window)
  --element E            the site's element                              (default )") +
           kElement + R"()
  --radiation R          xray (the run's wavelength), electron:KV or neutron:WAVELENGTH
                                                                         (default )" +
           kRadiation + R"()
  --b-par B, --b-perp B  the site's Debye-Waller parameters in A^2       (default )" +
           shown(kDebyeWaller) + ")\n";
}

std::optional<physics::StructureModel> modelFrom(const Options& options,
                                                 QuasicrystalSystem system) {
    const bool file = options.has("model");
    const bool site = options.has("domain");
    if (file && site) throw UsageError("--model and --domain exclude each other");
    if (!site)
        for (const std::string& name : kSiteOptions)
            if (options.has(name)) throw UsageError("--" + name + " needs --domain");
    if (file) {
        refuseOutputOnto(options, options.value("model"), "model file");
        physics::ModelLoad load = physics::loadModel(options.value("model"), system);
        if (!load.model) throw std::runtime_error(load.error);
        return std::move(load.model);
    }
    if (!site) return std::nullopt;
    try {
        return physics::oneSiteModel(system, options.value("domain"),
                                     options.value("element", kElement),
                                     options.value("radiation", kRadiation),
                                     debyeWaller(options, "b-par"), debyeWaller(options, "b-perp"));
    } catch (const std::invalid_argument& e) {
        throw UsageError(e.what());
    }
}

}  // namespace tesral::cli
