#include "report/report_writer.h"

#include <gtest/gtest.h>

#include <sstream>

#include "report/clipboard_rows.h"

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
    writeReport(out, table, {"P10/mmm", "a = 2.82, ...", "wavelength = 0.7106867, ..."}, options);
    return out.str();
}

}  // namespace

TEST(Report, ShapeWithAllColumns) {
    const ReflectionTable table{sample(), sample()};
    ReportOptions five{ReportColumns::fromChoices(true, true, true, true, true, 5)};
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

    ReportOptions six{ReportColumns::fromChoices(true, true, true, true, true, 6),
                      MatrixConvention::Steurer};
    const auto s = lines(report(table, six));
    EXPECT_EQ(s[5].size(), 99u);
    EXPECT_NE(s[5].find("  h6     Theta         d        ve        vi"), std::string::npos);
    EXPECT_EQ(s[7].substr(0, 29), "1       1  -2   0   1   0   3");
}

TEST(Report, NoColumnsEmptyTableAndWideNumbers) {
    ReportOptions none{ReportColumns::fromChoices(false, false, false, false, false, 5)};
    auto l = lines(report({sample()}, none));
    EXPECT_EQ(l[4], "-----");
    EXPECT_EQ(l[5], "#    ");
    EXPECT_EQ(l[7], "1    ");

    const std::string empty =
        report({}, {ReportColumns::fromChoices(true, true, true, true, true, 5)});
    l = lines(empty);
    EXPECT_EQ(l.size(), 7u);
    EXPECT_EQ(l[0], "TESRAL REPORT - 0 reflections");
    EXPECT_EQ(empty.substr(empty.size() - 2), "\r\n");

    ReportOptions indices{ReportColumns::fromChoices(true, false, false, false, false, 5), {}, ','};
    EXPECT_EQ(reportRow(10000, sample(), indices), "10000   1  -2   0   1   0");
    EXPECT_EQ(reportRow(123456, sample(), indices), "123456   1  -2   0   1   0");
    ReportOptions theta{ReportColumns::fromChoices(false, true, false, false, false, 5), {}, ','};
    EXPECT_EQ(reportRow(1, sample(), theta), "1      12,50000");
}

TEST(ClipboardRows, TabSeparatedWithTrailingTabs) {
    const ReflectionTable table{sample()};
    EXPECT_EQ(clipboardRows(table, ReportColumns::fromChoices(true, false, false, true, false, 5)),
              "1\t1\t-2\t0\t1\t0\t0.80000\t0.25000\t\r\n");
    EXPECT_EQ(
        clipboardRows(table, ReportColumns::fromChoices(false, false, false, false, false, 6)),
        "1\t\r\n");
    EXPECT_EQ(clipboardRows({}, ReportColumns::fromChoices(true, true, true, true, true, 6)), "");
}
