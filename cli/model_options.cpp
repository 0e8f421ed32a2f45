#include "cli/model_options.h"

#include <stdexcept>

#include "cli/output.h"
#include "physics/model_file.h"
#include "physics/one_site_model.h"

namespace tesral::cli {

namespace {

/** The shortcut's options besides --domain. */
const std::vector<std::string> kSiteOptions = {"element", "radiation", "b-par", "b-perp"};

double realFrom(const Options& options, const std::string& name) {
    const std::string text = options.value(name);
    std::size_t used = 0;
    double value = 0.0;
    try {
        value = std::stod(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (text.empty() || used != text.size())
        throw UsageError("--" + name + " takes a number in square angstrom, not " + quoted(text));
    return value;
}

}  // namespace

std::vector<std::string> modelOptionNames() {
    return {"model", "domain", "element", "radiation", "b-par", "b-perp"};
}

const char* modelOptionsHelp() {
    return R"(Intensity model options (without them no intensities are worked out):
  --model FILE           a structure model file (TOML; examples in doc/models/)
  --domain D             one site at the origin instead: sphere:R or disc:R (R in A),
                         window or window:SCALE (the tiling's exact window)
  --element E            the site's element                              (default Al)
  --radiation R          xray (the run's wavelength), electron:KV or neutron:WAVELENGTH
                                                                         (default xray)
  --b-par B, --b-perp B  the site's Debye-Waller parameters in A^2       (default 0)
)";
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
                                     options.value("element", "Al"),
                                     options.value("radiation", "xray"),
                                     options.has("b-par") ? realFrom(options, "b-par") : 0.0,
                                     options.has("b-perp") ? realFrom(options, "b-perp") : 0.0);
    } catch (const std::invalid_argument& e) {
        throw UsageError(e.what());
    }
}

}  // namespace tesral::cli
