// The file number text must equal the C library's conversions in the "C" locale, whatever
// locale the process runs in.
#include "data/TextNumbers.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale.h>
#include <random>

using namespace vemo;

namespace {

const double Samples[] = {0.0, -0.0, 0.1, 1234, -3.25, 0.00001, 1e-5, 123456, 1234567, 1e15, 1e300,
                          -1e-300, 2.5e-7, 99999.99995, 0.5, 0.00005, -0.00004, 65535.5, DBL_MAX,
                          -DBL_MIN, 1.0 / 3,
                          // exact ties at the fourth decimal round half to even
                          0.03125, 0.09375, -1.03125, 999999999999.96875, 4503599627370495.5,
                          999999999999999.9, 1e15, 5e-324, -999999999999999.9};

// The references: the C library in the "C" locale, whatever the process locale is.
struct CLocale {
    CLocale() : previous(uselocale(c)) {}
    ~CLocale() { uselocale(previous); }
    static inline locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
    locale_t previous;
};

std::string Printf(const char* format, double v) {
    CLocale inC;
    char buf[512];
    std::snprintf(buf, sizeof buf, format, v);
    return buf;
}

} // namespace

TEST(TextNumbers, FormatsEqualPrintfInTheCLocale) {
    std::mt19937_64 rng(7);
    std::vector<double> values(std::begin(Samples), std::end(Samples));
    std::uniform_real_distribution<double> exponent(-12, 12);
    std::uniform_real_distribution<double> mantissa(-10, 10);
    for (int i = 0; i < 20000; ++i)
        values.push_back(mantissa(rng) * std::pow(10, exponent(rng)));
    // Values on the grid of the file's four decimals, and halfway between.
    std::uniform_int_distribution<long long> grid(-100000000000LL, 100000000000LL);
    for (int i = 0; i < 20000; ++i)
        values.push_back(static_cast<double>(grid(rng)) / 10000.0);
    for (int i = 0; i < 20000; ++i)
        values.push_back((static_cast<double>(grid(rng)) + 0.5) / 32);
    std::uniform_real_distribution<double> big(1e13, 1e15);
    for (int i = 0; i < 2000; ++i)
        values.push_back(big(rng));
    for (double v : values) {
        std::string g, f;
        AppendG(g, v);
        AppendFixed(f, v, 9, 4);
        ASSERT_EQ(g, Printf("%g", v)) << v;
        ASSERT_EQ(f, Printf("%9.4lf", v)) << v;
        std::string f2, f6;
        AppendFixed(f2, v, 7, 2);
        AppendFixed(f6, v, 0, 6);
        ASSERT_EQ(f2, Printf("%7.2f", v)) << v;
        ASSERT_EQ(f6, Printf("%f", v)) << v;
        ASSERT_EQ(FormatNumber(v), Printf("%.15g", v)) << v;
        ASSERT_EQ(FormatNumber(v, 'f', 1, 8), Printf("%8.1f", v)) << v;
    }
    std::string d;
    AppendInt(d, -2147483648LL);
    EXPECT_EQ(d, "-2147483648");
}

TEST(TextNumbers, ScanAgreesWithSscanf) {
    const char* lines[] = {"   0.1000,    5.0000, 1, 0",
                           "12.5,300,0",
                           " -3.25 ,4, 1, 1",
                           "+7.5e2, -0x1p3, 2, 3",
                           "1e400, 1e-400, 0, 0",
                           "inf, nan, 1, 2",
                           "4, , 1, 1",
                           "5,\t\t6,   7,8",
                           "9, 10, +11, -12",
                           "9, 10, 99999999999, 1",
                           "--1, 2, 3, 4",
                           ".5, 5., 0, 0"};
    for (const char* line : lines) {
        double a = -1, b = -1;
        int c = -1, d = -1;
        CLocale inC;
        const int expected = std::sscanf(line, "%lf, %lf, %d, %d", &a, &b, &c, &d);
        double x = -1, y = -1;
        int z = -1, w = -1;
        NumberScanner s(line);
        int got = 0;
        if (s.Double(x)) ++got;
        if (s.Lit(',') && s.Ws().Double(y)) ++got;
        if (s.Lit(',') && s.Ws().Int(z)) ++got;
        if (s.Lit(',') && s.Ws().Int(w)) ++got;
        if (std::string(line).find("99999999999") != std::string::npos) {
            EXPECT_EQ(got, 2) << "an int out of range does not convert";
            continue;
        }
        ASSERT_EQ(got, expected) << line;
        const auto same = [](double p, double q) {
            return p == q || (std::isnan(p) && std::isnan(q));
        };
        EXPECT_TRUE(expected < 1 || same(x, a)) << line;
        EXPECT_TRUE(expected < 2 || same(y, b)) << line;
        EXPECT_TRUE(expected < 3 || z == c) << line;
        EXPECT_TRUE(expected < 4 || w == d) << line;
    }
}

TEST(TextNumbers, DecimalsReadExactlyAsStrtod) {
    CLocale inC;
    std::mt19937_64 rng(11);
    std::uniform_int_distribution<int> length(1, 24), digit(0, 9), point(0, 25);
    for (int i = 0; i < 200000; ++i) {
        // Random digit strings with or without a point, up to 24 digits long.
        std::string text;
        const int n = length(rng), at = point(rng);
        for (int j = 0; j < n; ++j) {
            if (j == at) text += '.';
            text += static_cast<char>('0' + digit(rng));
        }
        if (i % 3 == 0) text = "-" + text;
        double ours = -1;
        ASSERT_TRUE(NumberScanner(text).Double(ours)) << text;
        const double theirs = std::strtod(text.c_str(), nullptr);
        ASSERT_EQ(std::signbit(ours), std::signbit(theirs)) << text;
        ASSERT_EQ(ours, theirs) << text;
    }
}
