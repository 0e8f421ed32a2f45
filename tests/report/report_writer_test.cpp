#include "report/report_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>

#include "lattice/fixed_text.h"
#include "report/clipboard_rows.h"
#include "report/row_text.h"

using namespace tesral;

namespace {

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find("\r\n", start);
        out.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return out;
}

ReflectionRecord sample() {
    ReflectionRecord r;
    const float values[13] = {1,     -2,   0,      1,     0,      3,        12.5f,
                              1.25f, 0.8f, -0.25f, -0.5f, 0.125f, -6.5e-11f};
    for (int i = 0; i < 13; ++i) r.v[i] = values[i];
    return r;
}

std::string report(const ReflectionTable& table, const ReportOptions& options) {
    std::ostringstream out;
    writeReport(out, table, {"P10/mmm", "a = 2.82, ...", "wavelength = 0.7106867, ...", {}, {}},
                options);
    return out.str();
}

}  // namespace

TEST(Report, ShapeWithAllColumns) {
    const ReflectionTable table{sample(), sample()};
    ReportOptions five{ReportColumns::all(5)};
    const auto l = lines(report(table, five));
    ASSERT_EQ(l.size(), 9u);
    EXPECT_EQ(l[0], "TESRAL REPORT - 2 reflections");
    EXPECT_EQ(l[1], "P10/mmm, a = 2.82, ...");
    EXPECT_EQ(l[3], "");
    EXPECT_EQ(l[5],
              "#      h1  h2  h3  h4  h5     Theta         d        qe        qi         x"
              "         y         z");
    EXPECT_EQ(l[5].size(), 95u);
    EXPECT_EQ(l[4], std::string(95, '-'));
    EXPECT_EQ(l[6], l[4]);
    EXPECT_EQ(l[7],
              "1       1  -2   0   1   0  12.50000   1.25000   0.80000   0.25000  -0.50000"
              "   0.12500   0.00000");

    ReportOptions six{ReportColumns::all(6), MatrixConvention::Steurer};
    const auto s = lines(report(table, six));
    EXPECT_EQ(s[5].size(), 99u);
    EXPECT_NE(s[5].find("  h6     Theta         d        ve        vi"), std::string::npos);
    EXPECT_EQ(s[7].substr(0, 29), "1       1  -2   0   1   0   3");
}

TEST(Report, NoColumnsEmptyTableAndWideNumbers) {
    ReportOptions none{ReportColumns{}};
    auto l = lines(report({sample()}, none));
    EXPECT_EQ(l[4], "-----");
    EXPECT_EQ(l[5], "#    ");
    EXPECT_EQ(l[7], "1    ");

    const std::string empty = report({}, {ReportColumns::all(5)});
    l = lines(empty);
    EXPECT_EQ(l.size(), 7u);
    EXPECT_EQ(l[0], "TESRAL REPORT - 0 reflections");
    EXPECT_EQ(empty.substr(empty.size() - 2), "\r\n");

    ReportOptions indices{ReportColumns{.indices = 5}, {}, ','};
    EXPECT_EQ(reportRow(10000, sample(), indices), "10000   1  -2   0   1   0");
    EXPECT_EQ(reportRow(123456, sample(), indices), "123456   1  -2   0   1   0");
    ReportOptions theta{ReportColumns{.theta = true}, {}, ','};
    EXPECT_EQ(reportRow(1, sample(), theta), "1      12,50000");
}

TEST(Report, EachChoiceShowsItsColumns) {
    const struct {
        ColumnChoices choices;
        int indexDimension;
        const char* header;
    } cases[] = {
        {{.theta = false, .dSpacing = false, .qeQi = false, .xyz = false},
         6,
         "#      h1  h2  h3  h4  h5  h6"},
        {{.indices = false, .dSpacing = false, .qeQi = false, .xyz = false}, 5, "#         Theta"},
        {{.indices = false, .theta = false, .qeQi = false, .xyz = false}, 5, "#             d"},
        {{.indices = false, .theta = false, .dSpacing = false, .xyz = false},
         6,
         "#            qe        qi"},
        {{.indices = false, .theta = false, .dSpacing = false, .qeQi = false},
         5,
         "#             x         y         z"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(reportColumnHeader({ReportColumns::from(c.choices, c.indexDimension)}), c.header);
}

TEST(Report, ModelLineAndIntensityColumns) {
    ReflectionRecord row = sample();
    row.v[kQi] = -0.5f;
    row.v[kIntensity] = 42.5f;
    RunParameters run;
    run.system = QuasicrystalSystem::Icosahedral;
    run.a = 4.0;
    const ReportOptions options{ReportColumns::from({.indices = false,
                                                     .theta = false,
                                                     .dSpacing = false,
                                                     .qeQi = false,
                                                     .xyz = false,
                                                     .hPerp = true,
                                                     .intensity = true},
                                                    run)};
    std::ostringstream out;
    writeReport(out, ReflectionTable{row}, {"P235", "a = 4", "loops", "model: one sphere", {}},
                options);
    EXPECT_NE(out.str().find("loops\r\nmodel: one sphere\r\n\r\n"), std::string::npos);
    EXPECT_NE(out.str().find("#         Hperp         I\r\n"), std::string::npos);
    EXPECT_NE(out.str().find("1       0.12500  42.50000\r\n"), std::string::npos);
    // The Steurer convention's axial qi is |H-perp| already.
    run.system = QuasicrystalSystem::Decagonal;
    run.convention = MatrixConvention::Steurer;
    EXPECT_EQ(clipboardRows(ReflectionTable{row}, ReportColumns::from({.indices = false,
                                                                       .theta = false,
                                                                       .dSpacing = false,
                                                                       .qeQi = false,
                                                                       .xyz = false,
                                                                       .hPerp = true},
                                                                      run)),
              "1\t0.50000\t\r\n");
}

TEST(ClipboardRows, TabSeparatedWithTrailingTabs) {
    const ReflectionTable table{sample()};
    EXPECT_EQ(clipboardRows(table, ReportColumns{.indices = 5, .qe = true, .qi = true}),
              "1\t1\t-2\t0\t1\t0\t0.80000\t0.25000\t\r\n");
    EXPECT_EQ(clipboardRows(table, ReportColumns{}), "1\t\r\n");
    EXPECT_EQ(clipboardRows({}, ReportColumns::all(6)), "");
}

TEST(RowText, FieldsMatchFormatFixed) {
    std::vector<float> values = {0.0f,
                                 -0.0f,
                                 0.5f,
                                 1.5f,
                                 2.5f,
                                 -0.5f,
                                 0.015625f,
                                 0.046875f,
                                 -4e-6f,
                                 5e-6f,
                                 1e-40f,
                                 -1e-45f,
                                 12.5f,
                                 -6.5e-11f,
                                 123456.789f,
                                 9999.99999f,
                                 1e20f,
                                 -3e38f,
                                 std::numeric_limits<float>::infinity(),
                                 std::numeric_limits<float>::quiet_NaN()};
    std::mt19937 random(8);
    while (values.size() < 200000) {
        const std::uint32_t bits = random();
        float v;
        std::memcpy(&v, &bits, sizeof v);
        if (std::isfinite(v)) values.push_back(v);
    }
    for (const float v : values) {
        for (const int decimals : {0, 5}) {
            const std::string text = formatFixed(v, decimals, ',');
            std::string out;
            appendFixed(out, v, decimals, ',');
            ASSERT_EQ(out, text) << v;
            out.clear();
            appendFixedRight(out, v, decimals, ',', 10);
            ASSERT_EQ(out, alignRight(text, 10)) << v;
        }
    }
}

TEST(Report, FilesWrittenInBlocksMatchTheRowByRowText) {
    ReflectionTable table(30000, sample());
    for (std::size_t i = 0; i < table.size(); ++i) table[i].v[kTheta] = i * 0.01f;
    const ReportOptions options{ReportColumns::all(5)};
    const RunHeader header{"P10/mmm", "a = 2.82", "loops", {}, {}};
    const std::string path = ::testing::TempDir() + "report_blocks.hkl";
    const auto read = [&] {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };

    // Progress hears of every row, a block at a time, while the file is written.
    std::atomic<std::size_t> formatted{0}, calls{0};
    ASSERT_EQ(writeReportFile(path, table, header, options, nullptr, SafeFile::Accept::AnyFile,
                              [&](std::size_t rows) {
                                  formatted += rows;
                                  ++calls;
                              }),
              std::nullopt);
    EXPECT_EQ(formatted, table.size());
    EXPECT_GT(calls, 1u);
    std::ostringstream stream;
    writeReport(stream, table, header, options);
    std::string rows;
    for (std::size_t i = 0; i < table.size(); ++i)
        rows += reportRow(static_cast<int>(i + 1), table[i], options) + "\r\n";
    EXPECT_EQ(read(), stream.str());
    EXPECT_EQ(read().substr(read().size() - rows.size()), rows);

    ASSERT_EQ(writeClipboardRowsFile(path, table, options.columns, ','), std::nullopt);
    EXPECT_EQ(read(), clipboardRows(table, options.columns, ','));

    // A write asked to stop gives up and keeps the file as it was.
    const std::atomic<bool> stop{true};
    EXPECT_EQ(writeReportFile(path, table, header, options, &stop), kWriteStoppedMessage);
    EXPECT_EQ(read(), clipboardRows(table, options.columns, ','));
    std::remove(path.c_str());
}
