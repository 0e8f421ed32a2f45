#include "physics/model_file.h"

// Every build reads alike: without this, a debug build stops at the parser's own
// assertions where a release build gives its message (modelTextFault keeps the known ones
// away).
#define TOML_ASSERT(expr) static_assert(true)
#include <toml++/toml.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <system_error>

#include "physics/model_check.h"
#include "physics/model_file_guard.h"
#include "physics/model_file_names.h"
#include "report/text_file.h"

namespace tesral::physics {
namespace {

/** A problem of a file, at a line. */
struct Fault {
    int line = 0;
    std::string what;
};

/** Keeps the fault on the earliest line: the first a reader of the file meets. */
void keepFirst(std::optional<Fault>& first, std::optional<Fault> fault) {
    if (fault && (!first || fault->line < first->line)) first = std::move(fault);
}

int lineOf(const toml::node& node) {
    return static_cast<int>(node.source().begin.line);
}

std::string_view keyOf(std::string_view key) {
    return key;
}
std::string_view keyOf(const SiteKey& key) {
    return key.key;
}

/** Keys a table may hold; anything else is a typing error worth saying. */
template <class Keys>
std::optional<Fault> unknownKey(const toml::table& table, const Keys& keys,
                                const std::string& where) {
    std::optional<Fault> first;
    for (auto&& [key, node] : table) {
        bool known = false;
        for (const auto& k : keys) known = known || key.str() == keyOf(k);
        if (!known)
            keepFirst(first,
                      Fault{lineOf(node), where + "unknown key '" + echoed(key.str()) + "'"});
    }
    return first;
}

/** Reads the keys of one table, remembering the fault on the earliest line. */
class TableReader {
  public:
    TableReader(const toml::table& table, std::string where)
        : table_(table), where_(std::move(where)) {}

    void text(const char* key, std::string& out) {
        const toml::node* node = table_.get(key);
        if (!node || fault) return;
        if (auto v = node->value<std::string>()) {
            out = *v;
            return;
        }
        fail(*node, std::string(key) + " must be a string in quotes");
    }
    void number(const char* key, double& out) {
        const toml::node* node = table_.get(key);
        if (!node || fault) return;
        if (node->is_number()) {
            out = *node->value<double>();
            return;
        }
        fail(*node, std::string(key) + " must be a number");
    }
    void integer(const char* key, int& out) {
        const toml::node* node = table_.get(key);
        if (!node || fault) return;
        if (node->is_integer()) {
            const std::int64_t v = *node->value<std::int64_t>();
            out = static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX));
            return;
        }
        fail(*node, std::string(key) + " must be a whole number");
    }
    void numbers(const char* key, std::vector<double>& out) {
        const toml::node* node = table_.get(key);
        if (!node || fault) return;
        const toml::array* array = node->as_array();
        if (array)
            for (const toml::node& element : *array) {
                if (!element.is_number()) break;
                out.push_back(*element.value<double>());
            }
        if (!array || out.size() != array->size())
            fail(*node, std::string(key) + " must be a list of numbers, as [0, 0, 0, 0, 0.5]");
    }
    bool has(const char* key) const { return table_.get(key) != nullptr; }
    /** The line of `key`, or of the table when it is absent. */
    int line(std::string_view key) const {
        const toml::node* node = table_.get(key);
        return lineOf(node ? *node : table_);
    }
    void fail(int at, const std::string& what) { keepFirst(fault, Fault{at, where_ + what}); }
    void fail(const toml::node& node, const std::string& what) { fail(lineOf(node), what); }

    std::optional<Fault> fault;

  private:
    const toml::table& table_;
    std::string where_;
};

std::optional<Fault> readRadiation(const toml::node& node, Radiation& out) {
    const toml::table* table = node.as_table();
    if (!table) return Fault{lineOf(node), "radiation must be a table, [radiation]"};
    TableReader in(*table, "radiation: ");
    keepFirst(in.fault, unknownKey(*table, kRadiationKeys, "radiation: "));
    std::string kind = "xray";
    in.text("kind", kind);
    in.number("kilovolts", out.kilovolts);
    in.number("wavelength", out.wavelength);
    if (in.fault) return in.fault;
    if (const auto named = enumNamed<RadiationKind>(kRadiationNames, kind))
        out.kind = *named;
    else
        in.fail(in.line("kind"), "kind \"" + echoed(kind) +
                                     "\" is unknown; use \"xray\", \"electron\" or \"neutron\"");
    if (FieldProblem p = radiationProblem(out)) in.fail(in.line(p.field), p.what);
    return in.fault;
}

/** [phason] strain = [[m11, m12], [m21, m22]] (2 x 2 axial, 3 x 3 icosahedral). */
std::optional<Fault> readPhason(const toml::node& node, std::optional<QuasicrystalSystem> system,
                                std::optional<PhasonStrain>& out) {
    const toml::table* table = node.as_table();
    if (!table) return Fault{lineOf(node), "phason must be a table, [phason]"};
    std::optional<Fault> fault = unknownKey(*table, kPhasonKeys, "phason: ");
    const toml::node* strain = table->get("strain");
    if (!strain) {
        // A misspelt key says more than the missing one.
        return fault ? fault : Fault{lineOf(*table), "phason: strain is missing"};
    }
    const std::string shape =
        !system ? "a square list of 2 or 3 lists of numbers, as [[0.01, 0], [0, 0.01]]"
        : *system == QuasicrystalSystem::Icosahedral
            ? "3 lists of 3 numbers for the icosahedral system (the matrix row by row)"
            : "2 lists of 2 numbers for the axial systems (the in-plane matrix row by row)";
    const Fault wrong{lineOf(*strain), "phason: strain must be " + shape};
    const toml::array* rows = strain->as_array();
    PhasonStrain m;
    m.size = rows ? static_cast<int>(rows->size()) : 0;
    bool ok =
        rows && (m.size == 2 || m.size == 3) && (!system || m.size == phasonStrainSize(*system));
    for (int i = 0; ok && i < m.size; ++i) {
        const toml::array* row = (*rows)[static_cast<std::size_t>(i)].as_array();
        ok = row && static_cast<int>(row->size()) == m.size;
        for (int j = 0; ok && j < m.size; ++j) {
            const toml::node& element = (*row)[static_cast<std::size_t>(j)];
            ok = element.is_number() && std::isfinite(*element.value<double>());
            if (ok) m.values[static_cast<std::size_t>(i * m.size + j)] = *element.value<double>();
        }
    }
    if (!ok)
        keepFirst(fault, wrong);
    else
        out = m;
    return fault;
}

std::optional<Fault> readSite(const toml::node& node, int number, RadiationKind kind,
                              std::optional<QuasicrystalSystem> system, Site& out) {
    const std::string where = "site " + std::to_string(number) + ": ";
    const toml::table* table = node.as_table();
    if (!table) return Fault{lineOf(node), where + "must be a table, [[site]]"};
    TableReader in(*table, where);
    keepFirst(in.fault, unknownKey(*table, kSiteKeys, where));
    out.line = lineOf(*table);
    std::string domain;
    in.text("label", out.label);
    in.text("element", out.element);
    in.numbers("position", out.position);
    in.number("occupancy", out.occupancy);
    in.text("domain", domain);
    in.number("radius", out.domain.radius);
    in.number("inner_radius", out.domain.innerRadius);
    in.number("scale", out.domain.scale);
    in.number("inner_scale", out.domain.innerScale);
    in.integer("pentagon", out.domain.pentagon);
    in.number("b_par", out.bParallel);
    in.number("b_perp", out.bPerpendicular);
    for (const char* key : {"element", "position", "domain"})
        if (!in.has(key)) in.fail(out.line, std::string(key) + " is missing");
    if (in.fault) return in.fault;
    if (const auto named = enumNamed<DomainShape>(kDomainNames, domain))
        out.domain.shape = *named;
    else
        in.fail(in.line("domain"), "domain \"" + echoed(domain) +
                                       "\" is unknown; use \"sphere\", \"disc\" or \"window\"");
    if (out.domain.shape != DomainShape::Window && !in.has("radius"))
        in.fail(out.line, "radius is missing; a " + domain + " needs one");
    if (FieldProblem p = siteProblem(out, kind, system)) in.fail(in.line(p.field), p.what);
    return in.fault;
}

std::optional<Fault> readModel(const toml::table& root, std::optional<QuasicrystalSystem> system,
                               StructureModel& model) {
    TableReader in(root, "");
    keepFirst(in.fault, unknownKey(root, kModelKeys, ""));
    in.text("name", model.name);
    // A line break in a name would forge a line of the report's head.
    if (FieldProblem p = nameProblem(model.name)) in.fail(in.line("name"), p.what);
    if (const toml::node* radiation = root.get("radiation"))
        keepFirst(in.fault, readRadiation(*radiation, model.radiation));
    if (const toml::node* phason = root.get("phason"))
        keepFirst(in.fault, readPhason(*phason, system, model.phasonStrain));
    const toml::node* sites = root.get("site");
    if (!sites) {
        if (!in.fault) in.fail(1, "the model has no sites; add a [[site]] table");
    } else if (!sites->is_array_of_tables()) {
        in.fail(*sites, "site must be a list of tables, [[site]]");
    } else {
        int number = 0;
        for (const toml::node& node : *sites->as_array()) {
            Site site;
            keepFirst(in.fault, readSite(node, ++number, model.radiation.kind, system, site));
            model.sites.push_back(std::move(site));
        }
        if (const auto twice = repeatedLabel(model.sites)) {
            const Site& first = model.sites[twice->earlier];
            const Site& again = model.sites[twice->later];
            in.fail(again.line, "site " + std::to_string(twice->later + 1) + ": label \"" +
                                    again.label + "\" is already site " +
                                    std::to_string(twice->earlier + 1) + "'s, on line " +
                                    std::to_string(first.line) + "; labels must differ");
        }
    }
    return in.fault;
}

std::string quoted(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
            char code[8];
            std::snprintf(code, sizeof code, "\\u%04x", static_cast<unsigned char>(c));
            out += code;
        } else {
            out += c;
        }
    }
    return out + '"';
}

/** The shortest text that reads back as the same double. */
std::string number(double v) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, result.ptr);
}

}  // namespace

ModelLoad parseModel(std::string_view text, const std::string& source,
                     std::optional<QuasicrystalSystem> system) {
    const auto failed = [&source](int line, const std::string& what) {
        const std::string at = line > 0 ? ":" + std::to_string(line) : std::string();
        return ModelLoad{std::nullopt, source + at + ": " + what};
    };
    if (const std::optional<TextFault> fault = modelTextFault(text))
        return failed(fault->line, fault->what);
    toml::parse_result parsed = toml::parse(text, source);
    if (!parsed) {
        const toml::parse_error& e = parsed.error();
        return failed(static_cast<int>(e.source().begin.line), parserMessage(e.description()));
    }
    StructureModel model;
    model.source = source;
    if (auto fault = readModel(parsed.table(), system, model))
        return failed(fault->line, fault->what);
    return ModelLoad{std::move(model), {}};
}

ModelLoad loadModel(const std::string& path, std::optional<QuasicrystalSystem> system) {
    std::string reason;
    const std::optional<std::string> bytes = readRegularFile(path, kLargestModelFile + 1, reason);
    if (!bytes) {
        if (reason == std::generic_category().message(EISDIR))
            reason = "is a folder, not a model file";
        else if (reason == "not a regular file")
            reason = "is not a regular file (a pipe or a device); a model is read from a file";
        else
            reason = "cannot be read: " + reason;
        return ModelLoad{std::nullopt, path + ": " + reason};
    }
    return parseModel(utf8Text(*bytes), path, system);
}

std::string modelText(const StructureModel& model) {
    std::ostringstream out;
    const Radiation& r = model.radiation;
    out << "name = " << quoted(model.name) << "\n\n[radiation]\nkind = \"" << nameOf(r.kind)
        << "\"\n";
    // X-rays take the run's wavelength: neither value belongs to them.
    if (r.kind == RadiationKind::Electron) out << "kilovolts = " << number(r.kilovolts) << '\n';
    if (r.kind == RadiationKind::Neutron) out << "wavelength = " << number(r.wavelength) << '\n';
    if (const auto& m = model.phasonStrain) {
        out << "\n[phason]\nstrain = [";
        for (int i = 0; i < m->size; ++i) {
            out << (i ? ", [" : "[");
            for (int j = 0; j < m->size; ++j) out << (j ? ", " : "") << number(m->at(i, j));
            out << ']';
        }
        out << "]\n";
    }
    for (const Site& site : model.sites) {
        out << "\n[[site]]\n";
        if (!site.label.empty()) out << "label = " << quoted(site.label) << '\n';
        out << "element = " << quoted(site.element) << "\nposition = [";
        for (std::size_t i = 0; i < site.position.size(); ++i)
            out << (i ? ", " : "") << number(site.position[i]);
        const OccupationDomain& d = site.domain;
        out << "]\noccupancy = " << number(site.occupancy) << "\ndomain = \"" << nameOf(d.shape)
            << "\"\n";
        if (d.shape == DomainShape::Window) {
            out << "scale = " << number(d.scale) << '\n';
            if (d.innerScale != 0.0) out << "inner_scale = " << number(d.innerScale) << '\n';
            out << "pentagon = " << d.pentagon << '\n';
        } else {
            out << "radius = " << number(d.radius) << '\n';
            if (d.innerRadius != 0.0) out << "inner_radius = " << number(d.innerRadius) << '\n';
        }
        out << "b_par = " << number(site.bParallel) << "\nb_perp = " << number(site.bPerpendicular)
            << '\n';
    }
    return out.str();
}

}  // namespace tesral::physics
