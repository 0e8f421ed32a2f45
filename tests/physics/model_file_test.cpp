#include "physics/model_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "physics/intensity.h"
#include "physics/model_file_guard.h"
#include "physics/one_site_model.h"
#include "report/safe_file.h"

using namespace tesral;
using namespace tesral::physics;

namespace {

constexpr auto kIcosahedral = QuasicrystalSystem::Icosahedral;
constexpr auto kDecagonal = QuasicrystalSystem::Decagonal;

const std::string kSite = "[[site]]\nelement = \"Al\"\nposition = [0, 0, 0, 0, 0]\n";

}  // namespace

TEST(ModelFile, SavedModelLoadsBackUnchanged) {
    StructureModel model;
    model.name = "two \"layers\"\\ and a tab\t";
    model.radiation = {RadiationKind::Electron, 300.0, 1.8};
    Site disc;
    disc.element = "Al";
    disc.position = {0.1, 1.0 / 3.0, 0, 0, 0.5};
    disc.occupancy = 0.85;
    disc.domain = {DomainShape::Disc, 4.75, 1.0, 0};
    disc.bParallel = 1.25;
    disc.bPerpendicular = 1e-5;
    disc.label = "Al_1";
    disc.domain.innerRadius = 1.5;
    Site window = disc;
    window.label.clear();
    window.element = "Pd";
    window.domain = {DomainShape::Window, 0.0, 0.618034, 3, 0.0, 0.25};
    model.sites = {disc, window};
    model.phasonStrain = PhasonStrain{2, {0.01, -1.0 / 3.0, 0.0, 2e-3}};

    const std::string path = testing::TempDir() + "/saved_model.toml";
    ASSERT_FALSE(writeFileSafely(path, modelText(model)));
    ModelLoad loaded = loadModel(path, kDecagonal);
    ASSERT_EQ(loaded.error, "");
    model.source = path;
    model.sites[0].line = 10;
    model.sites[1].line = 21;
    EXPECT_EQ(*loaded.model, model);
    // X-rays keep neither voltage nor wavelength: the run gives the wavelength.
    model.radiation.kind = RadiationKind::XRay;
    EXPECT_EQ(modelText(model).find("kilovolts"), std::string::npos);
    EXPECT_EQ(modelText(model).find("wavelength"), std::string::npos);
}

TEST(ModelFile, FirstFaultIsReportedWithItsLine) {
    struct Case {
        std::string text;
        std::string error;  // after "m.toml:"
    } cases[] = {
        {"name = \"a\nx = 1\n", "1: "},  // toml++'s own words follow
        {"nmae = \"a\"\n" + kSite, "1: unknown key 'nmae'"},
        {"[radiation]\nkind = \"gamma\"\n",
         "2: radiation: kind \"gamma\" is unknown; use \"xray\", \"electron\" or \"neutron\""},
        {"[radiation]\nkind = \"electron\"\nkilovolts = -1\n",
         "3: radiation: kilovolts must be greater than 0, not -1"},
        {"name = \"a\"\n", "1: the model has no sites; add a [[site]] table"},
        {"[phason]\nstrain = [[0.01, 0, 0], [0, 0.01, 0], [0, 0, 0.01]]\n" + kSite,
         "2: phason: strain must be 2 lists of 2 numbers for the axial systems"},
        {"[phason]\nstrain = [[0.01, 0], [0, \"0\"]]\n" + kSite, "2: phason: strain must be 2"},
        {"[phason]\nstrian = [[0.01, 0], [0, 0]]\n" + kSite, "2: phason: unknown key 'strian'"},
        {"\n" + kSite + "domain = \"disc\"\nradius = 5\nelement2 = 1\n",
         "7: site 1: unknown key 'element2'"},
        {kSite + "domain = \"disc\"\n", "1: site 1: radius is missing; a disc needs one"},
        {kSite + "domain = \"disc\"\nradius = 0\n",
         "5: site 1: radius must be greater than 0, not 0"},
        {kSite + "domain = \"cube\"\nradius = 1\n",
         "4: site 1: domain \"cube\" is unknown; use \"sphere\", \"disc\" or \"window\""},
        {kSite + "domain = \"sphere\"\nradius = 1\n",
         "4: site 1: domain \"sphere\" needs a three-dimensional perpendicular space "
         "(icosahedral); use \"disc\""},
        {"[[site]]\nelement = \"Xx\"\nposition = [0, 0, 0, 0, 0]\ndomain = \"window\"\n",
         "2: site 1: element 'Xx' is not an element symbol"},
        {"[[site]]\nelement = \"Al\"\nposition = [0, 0, 0, 0]\ndomain = \"window\"\n",
         "3: site 1: position has 4 numbers; decagonal cells need 5"},
        {"[[site]]\nelement = \"Al\"\nposition = [0, \"0\"]\ndomain = \"window\"\n",
         "3: site 1: position must be a list of numbers, as [0, 0, 0, 0, 0.5]"},
        {kSite + "domain = \"window\"\noccupancy = -0.5\n",
         "5: site 1: occupancy must be a finite number of 0 or more, not -0.5"},
        {kSite + "domain = \"window\"\nb_perp = nan\n",
         "5: site 1: b_perp must be a finite number of 0 or more, not nan"},
        {kSite + "domain = \"window\"\nb_par = \"1\"\n", "5: site 1: b_par must be a number"},
        {kSite + "domain = \"window\"\n" + kSite + "domain = \"window\"\npentagon = 5\n",
         "9: site 2: pentagon must be 0 (the decagon) to 4, not 5"},
        {kSite + "domain = \"window\"\nzz = 1\naa = 2\n[radiation]\nkind = \"x\"\n",
         "5: site 1: unknown key 'zz'"},
        {kSite + "domain = \"window\"\nlabel = \"1Pd\"\n",
         "5: site 1: label '1Pd' must be letters, digits and underscores, not starting with a "
         "digit"},
        {kSite + "domain = \"window\"\nlabel = \"Pd.1\"\n", "5: site 1: label 'Pd.1' must be"},
        {kSite + "domain = \"disc\"\nradius = 2\ninner_radius = 2\n",
         "6: site 1: inner_radius must be less than radius (2), not 2"},
        {kSite + "domain = \"disc\"\nradius = 2\ninner_radius = -1\n",
         "6: site 1: inner_radius must be a finite number of 0 or more, not -1"},
        {kSite + "domain = \"disc\"\nradius = 2\ninner_scale = 0.5\n",
         "6: site 1: inner_scale is only for windows; a disc takes inner_radius"},
        {kSite + "domain = \"window\"\ninner_radius = 1\n",
         "5: site 1: inner_radius is only for spheres and discs; a window takes inner_scale"},
        {kSite + "domain = \"window\"\nscale = 0.5\ninner_scale = 0.5\n",
         "6: site 1: inner_scale must be less than scale (0.5), not 0.5"},
        {kSite + "label = \"A\"\ndomain = \"window\"\n" + kSite + "domain = \"window\"\n" + kSite +
             "label = \"A\"\ndomain = \"window\"\n",
         "10: site 3: label \"A\" is already site 1's, on line 1; labels must differ"},
    };
    for (const Case& c : cases) {
        const ModelLoad load = parseModel(c.text, "m.toml", kDecagonal);
        EXPECT_FALSE(load.model) << c.text;
        EXPECT_EQ(load.error.substr(0, std::min(load.error.size(), c.error.size() + 7)),
                  "m.toml:" + c.error)
            << c.text;
    }
}

TEST(ModelFile, PositionCountCheckedLaterStillNamesTheFile) {
    const ModelLoad load = parseModel("\n" + kSite + "domain = \"window\"\n", "m.toml");
    ASSERT_EQ(load.error, "");
    EXPECT_EQ(modelProblem(*load.model, kDecagonal), "");
    EXPECT_EQ(modelProblem(*load.model, kIcosahedral),
              "m.toml:2: site 1: position has 5 numbers; icosahedral cells need 6");
}

TEST(ModelFile, ShippedExamplesLoad) {
    const std::pair<const char*, QuasicrystalSystem> examples[] = {
        {"icosahedral-sphere.toml", kIcosahedral},
        {"icosahedral-window.toml", kIcosahedral},
        {"decagonal-two-layer.toml", kDecagonal},
        {"decagonal-penrose.toml", kDecagonal},
        {"octagonal-window.toml", QuasicrystalSystem::Octagonal},
        {"icosahedral-alcufe.toml", kIcosahedral},
        {"icosahedral-alpdmn.toml", kIcosahedral},
        {"decagonal-alcuco.toml", kDecagonal},
    };
    for (const auto& [file, system] : examples) {
        const ModelLoad load = loadModel(std::string(TESRAL_MODELS_DIR "/") + file, system);
        ASSERT_EQ(load.error, "") << file;
        EXPECT_FALSE(load.model->name.empty()) << file;
        EXPECT_EQ(modelProblem(*load.model, system), "") << file;
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(TESRAL_MODELS_DIR),
                            std::filesystem::directory_iterator()),
              std::ssize(examples));
}

TEST(OneSiteModel, CommandLineShortcuts) {
    const StructureModel sphere = oneSiteModel(kIcosahedral, "sphere:6.533", "Al", "xray");
    ASSERT_EQ(sphere.sites.size(), 1u);
    EXPECT_EQ(sphere.sites[0].position, std::vector<double>(6, 0.0));
    EXPECT_EQ(sphere.sites[0].domain, (OccupationDomain{DomainShape::Sphere, 6.533, 1.0, 0}));
    const StructureModel disc = oneSiteModel(kDecagonal, "disc:5", "Pd", "electron:300", 1, 2);
    EXPECT_EQ(disc.radiation, (Radiation{RadiationKind::Electron, 300.0, 1.8}));
    EXPECT_EQ(disc.sites[0].bPerpendicular, 2.0);
    EXPECT_EQ(oneSiteModel(kDecagonal, "window", "Al", "neutron:2.4").radiation.wavelength, 2.4);

    struct Bad {
        const char* domain;
        const char* element;
        const char* radiation;
        double bPar;
        std::string message;
    } bad[] = {
        {"disc", "Al", "xray", 0, "domain 'disc' needs a radius, as 'disc:5'"},
        {"disc:five", "Al", "xray", 0, "the disc radius 'five' is not a number"},
        {"disc:-2", "Al", "xray", 0, "radius must be greater than 0, not -2"},
        {"sphere:5", "Al", "xray", 0,
         "domain \"sphere\" needs a three-dimensional perpendicular space (icosahedral); use "
         "\"disc\""},
        {"cube:5", "Al", "xray", 0,
         "domain 'cube:5' is unknown; use 'sphere:R', 'disc:R' or "
         "'window'"},
        {"window", "Qq", "xray", 0, "element 'Qq' is not an element symbol"},
        {"window", "Al", "laser", 0,
         "radiation 'laser' is unknown; use 'xray', 'electron:kV' or 'neutron:wavelength'"},
        {"window", "Al", "electron:0", 0, "kilovolts must be greater than 0, not 0"},
        {"window", "Al", "xray", -1, "b_par must be a finite number of 0 or more, not -1"},
        {"disc:1e300", "Al", "xray", 0, "radius must be at most 1000 angstrom, not 1e+300"},
        {"window:1e-9", "Al", "xray", 0, "scale must be at least 0.001, not 1e-09"},
        {"window", "Al", "electron:1e308", 0, "kilovolts must be at most 10000 kV, not 1e+308"},
        {"window", "Al\n", "xray", 0, "element 'Al\\n' is not an element symbol"},
    };
    for (const Bad& b : bad) {
        try {
            oneSiteModel(kDecagonal, b.domain, b.element, b.radiation, b.bPar);
            ADD_FAILURE() << b.message;
        } catch (const std::invalid_argument& e) {
            EXPECT_EQ(e.what(), b.message);
        }
    }
}

TEST(ModelFile, HostileTextsAreRefusedWithTheirLine) {
    const std::string window = kSite + "domain = \"window\"\n";
    const struct {
        std::string text;
        std::string error;
    } cases[] = {
        {"[" + std::string(300000, 'a').replace(1, 0, ".") + "]\n",
         "m.toml:1: the line is longer than 10000 characters"},
        {"name = \"x\"\n[a.b.c.d.e.f.g.h.i]\n",
         "m.toml:2: a key or table name has more than 8 dotted parts"},
        {"a . b.c.d.e.f.\"g\".h.'i' = 1\n",
         "m.toml:1: a key or table name has more than 8 dotted parts"},
        {"x = {a.b.c.d.e.f.g.h.i = 1}\n",
         "m.toml:1: a key or table name has more than 8 dotted parts"},
        {"[[[\n", "m.toml:1: a table header must name a table, as [[site]] or [radiation]"},
        {"\n[ [site]]\n", "m.toml:2: a table header must name a table, as [[site]] or [radiation]"},
        {"a = [[[[[[[[[1]]]]]]]]]\n", "m.toml:1: lists or tables are nested more than 8 deep"},
        {"name = \"a\nx = 1\n",
         "m.toml:1: a text in quotes must end on its line and hold no control characters"},
        {"name \"a\"\n", "m.toml:1: a key must be followed by '=' and its value"},
        {window + "radius = 1e300\n", ""},  // a window has no radius: not read
        {kSite + "domain = \"disc\"\nradius = 1e300\n",
         "m.toml:5: site 1: radius must be at most 1000 angstrom, not 1e+300"},
        {window + "scale = 1e-9\n", "m.toml:5: site 1: scale must be at least 0.001, not 1e-09"},
        {window + "occupancy = 1e308\n",
         "m.toml:5: site 1: occupancy must be at most 1, not 1e+308"},
        {"name = \"a\\nTESRAL REPORT\"\n" + window,
         "m.toml:1: name 'a\\nTESRAL REPORT' holds a control character"},
        {"[[site]]\nelement = \"Al\\n\"\nposition = [0, 0, 0, 0, 0]\ndomain = \"window\"\n",
         "m.toml:2: site 1: element 'Al\\n' is not an element symbol"},
        {std::string(20000, 'k') + "= 1\n", "m.toml:1: the line is longer than 10000 characters"},
        {std::string(5000, 'k') + "= 1\n",
         "m.toml:1: unknown key '" + std::string(40, 'k') + "..." + std::string(40, 'k') + "'"},
        {"[radiation]\nkind = \"neutron\"\nwavelength = 1e300\n",
         "m.toml:3: radiation: wavelength must be at most 100 angstrom, not 1e+300"},
    };
    for (const auto& c : cases) {
        const ModelLoad load = parseModel(c.text, "m.toml", kDecagonal);
        EXPECT_EQ(load.error, c.error) << c.text.substr(0, 60);
    }
}

TEST(ModelFile, OnlyWholeRegularFilesAreRead) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(testing::TempDir()) / "hostile_models";
    fs::create_directories(folder);
    const std::string model = "name = \"n\"\n" + kSite + "domain = \"window\"\n";
    const auto write = [&folder](const char* name, const std::string& bytes) {
        const std::string path = (folder / name).string();
        EXPECT_FALSE(writeFileSafely(path, bytes));
        return path;
    };
    // Larger than the parser ever needed to see, but a model: read whole, not cut.
    std::string padded = model;
    while (padded.size() < 1'480'000) padded += "# " + std::string(70, 'x') + "\n";
    EXPECT_EQ(loadModel(write("padded.toml", padded + kSite + "domain = \"window\"\n"))
                  .model->sites.size(),
              2u);
    std::string utf16 = "\xFF\xFE";
    for (char c : model) utf16 += std::string{c, '\0'};
    EXPECT_EQ(loadModel(write("utf16.toml", utf16)).error, "");
    EXPECT_EQ(loadModel(write("bom.toml", "\xEF\xBB\xBF" + model)).error, "");

    const std::string big = write("big.toml", "");
    fs::resize_file(big, kLargestModelFile + 1);  // sparse: no disk used
    const std::string pipe = (folder / "pipe.toml").string();
    fs::remove(pipe);
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::pair<std::string, std::string> refused[] = {
        {big, big + ": the file is larger than 10 MB; a model file is far smaller"},
        {folder.string(), folder.string() + ": is a folder, not a model file"},
        {pipe, pipe + ": is not a regular file (a pipe or a device); a model is read from a file"},
        {"/dev/zero",
         "/dev/zero: is not a regular file (a pipe or a device); a model is read from a file"},
        {(folder / "none.toml").string(),
         (folder / "none.toml").string() + ": cannot be read: No such file or directory"},
    };
    for (const auto& [path, error] : refused) EXPECT_EQ(loadModel(path).error, error);
    fs::remove_all(folder);
}
