// The command line's numbers: each kind of value against what it accepts and the mistake it
// names.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "cli/option_values.h"

using namespace tesral::cli;

namespace {

/** One option's value and what reading it gives: the number, or the usage mistake. */
struct ValueCase {
    const char* option;
    const char* text;
    std::function<double(const Options&)> read;
    double expected;      // when `mistake` is empty
    const char* mistake;  // the message, empty when accepted
};

const KnownOptions kKnown{{"eta", "spots", "zoom", "slab", "b-par", "size", "caglioti", "two-theta",
                           "threshold", "background"},
                          {},
                          {}};

double eta(const Options& o) {
    return number(o, "eta", 0.5);
}
double spots(const Options& o) {
    return value<int>(o, "spots", 10, {0, 40}, "takes the slider position 0..40");
}
double zoom(const Options& o) {
    return value<float>(o, "zoom", 1.0f, {.low = 0, .high = 1e30, .aboveLow = true},
                        "takes a positive factor");
}
double slab(const Options& o) {
    return value<double>(o, "slab", 0.0, {.low = 0}, "takes a half-thickness in 1/A, 0 or more");
}
double bPar(const Options& o) {
    return value<double>(o, "b-par", 0.0, {.anyReal = true},
                         "takes a number in square angstrom, not {}");
}
double width(const Options& o) {
    return size(o, {800, 600}).width;
}
double height(const Options& o) {
    return size(o, {800, 600}).height;
}
double caglioti(const Options& o) {
    return numbers(o, "caglioti", ',', 3)[2];
}
double twoTheta(const Options& o) {
    return numbers(o, "two-theta", ':', 3)[1];
}
double threshold(const Options& o) {
    return thresholdFrom(o, 0.1f);
}

const char* kSize = "--size takes WIDTHxHEIGHT in pixels, each 1..16384";

const ValueCase kCases[] = {
    {"eta", "0.25", eta, 0.25, ""},
    {"eta", " 0.25", eta, 0.25, ""},  // leading blanks, as strtod reads them
    {"eta", "", eta, 0, "--eta takes numbers, not ''"},
    {"eta", "0.5x", eta, 0, "--eta takes numbers, not '0.5x'"},
    {"eta", "inf", eta, 0, "--eta takes numbers, not 'inf'"},
    {"eta", "1e999", eta, 0, "--eta takes numbers, not '1e999'"},
    {"spots", "40", spots, 40, ""},
    {"spots", "41", spots, 0, "--spots takes the slider position 0..40"},
    {"spots", "-1", spots, 0, "--spots takes the slider position 0..40"},
    {"spots", "5.0", spots, 0, "--spots takes the slider position 0..40"},
    {"spots", "99999999999999999999", spots, 0, "--spots takes the slider position 0..40"},
    {"zoom", "2.5", zoom, 2.5, ""},
    {"zoom", "0", zoom, 0, "--zoom takes a positive factor"},
    {"zoom", "1e-50", zoom, 0, "--zoom takes a positive factor"},  // 0 in single precision
    {"zoom", "1e31", zoom, 0, "--zoom takes a positive factor"},
    {"slab", "0", slab, 0, ""},
    {"slab", "-0.1", slab, 0, "--slab takes a half-thickness in 1/A, 0 or more"},
    {"slab", "nan", slab, 0, "--slab takes a half-thickness in 1/A, 0 or more"},
    {"b-par", "1e-320", bPar, 1e-320, ""},  // the nearest double, as typed
    {"b-par", "1e999", bPar, 0, "--b-par takes a number in square angstrom, not '1e999'"},
    {"b-par", "abc", bPar, 0, "--b-par takes a number in square angstrom, not 'abc'"},
    {"size", "16384x2", width, 16384, ""},
    {"size", "16384x2", height, 2, ""},
    {"size", "0x10", width, 0, kSize},
    {"size", "10x16385", width, 0, kSize},
    {"size", "10", width, 0, kSize},
    {"size", "x10", width, 0, kSize},
    {"size", "10x10x", width, 0, kSize},
    {"caglioti", "0,0,0.02", caglioti, 0.02, ""},
    {"caglioti", "0,0", caglioti, 0, "--caglioti takes 3 numbers separated by ','"},
    {"caglioti", "0,,1", caglioti, 0, "--caglioti takes numbers, not ''"},
    {"two-theta", "10:20:0.1", twoTheta, 20, ""},
    {"two-theta", "10:20:a", twoTheta, 0, "--two-theta takes numbers, not 'a'"},
    {"threshold", "100", threshold, 100, ""},
    {"threshold", "100.5", threshold, 0,
     "--threshold takes a percentage of the strongest spot, 0..100"},
};

TEST(OptionValues, ReadOrNameTheMistake) {
    for (const ValueCase& c : kCases) {
        SCOPED_TRACE(std::string(c.option) + " '" + c.text + "'");
        const Options options({std::string("--") + c.option, c.text}, kKnown);
        if (*c.mistake == '\0') {
            EXPECT_DOUBLE_EQ(c.read(options), c.expected);
            continue;
        }
        try {
            c.read(options);
            ADD_FAILURE() << "accepted";
        } catch (const UsageError& e) {
            EXPECT_EQ(std::string(e.what()), c.mistake);
        }
    }
}

}  // namespace
