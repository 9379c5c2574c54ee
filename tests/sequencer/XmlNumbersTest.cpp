// Numbers read from XML come out the same on every platform and in every locale: what the
// C library's strtof and strtoll read in the C locale, which each platform reaches its own
// way.
#include "sequencer/XmlDocument.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <climits>
#include <clocale>
#include <cstdint>
#include <optional>
#include <string>

namespace vorlatek {
namespace {

struct FloatCase {
    std::string text;
    std::optional<float> expected;
};

const std::string kManyZeros(400, '0');

TEST(XmlNumbersTest, FloatsReadAsInTheCLocale) {
    const FloatCase cases[] = {
        {"0.5", 0.5f}, {" \t\n-0.25", -0.25f}, {"+1.5e2", 150.0f}, {".5", 0.5f}, {"5.", 5.0f},
        {"1,5", 1.0f}, {"0.1234567890123456789", 0.12345679f}, {"3.4028235e38", FLT_MAX},
        {"0x1p-2", 0.25f}, {"0X.8", 0.5f}, {"0x", 0.0f}, {"0xg", 0.0f}, {std::string("7\0" "9", 3), 7.0f},
        // Beyond the float range: too small reads as 0, too large as nothing.
        {"1e-40", 1e-40f}, {"1e-50", 0.0f}, {"-1e-50", -0.0f}, {"0." + kManyZeros + "1", 0.0f},
        {"1e-99999999999999999999", 0.0f}, {"1e39", std::nullopt}, {"-1e39", std::nullopt},
        {"1" + kManyZeros, std::nullopt}, {"1e99999999999999999999", std::nullopt}, {"0x1p200", std::nullopt},
        {"inf", std::nullopt}, {"-infinity", std::nullopt}, {"nan", std::nullopt},
        {"", std::nullopt}, {"abc", std::nullopt}, {"-", std::nullopt}, {"+", std::nullopt}, {".", std::nullopt},
        {"e5", std::nullopt}, {"--1", std::nullopt},
    };
    for (const FloatCase& c : cases) {
        const std::optional<float> value = xml::parseFloat(c.text);
        ASSERT_EQ(value.has_value(), c.expected.has_value()) << c.text.substr(0, 40);
        if (value) {
            EXPECT_EQ(std::bit_cast<std::uint32_t>(*value), std::bit_cast<std::uint32_t>(*c.expected))
                << c.text.substr(0, 40);
        }
    }
}

TEST(XmlNumbersTest, IntegersReadAsInTheCLocaleAndClampToInt) {
    const std::pair<std::string, std::optional<int>> cases[] = {
        {"42", 42}, {"  -17", -17}, {"+8", 8}, {"3.9", 3}, {"0x10", 0}, {"007", 7},
        {"2147483647", INT_MAX}, {"2147483648", INT_MAX}, {"-2147483648", INT_MIN}, {"-2147483649", INT_MIN},
        {"99999999999999999999999", INT_MAX}, {"-99999999999999999999999", INT_MIN},
        {"", std::nullopt}, {"-", std::nullopt}, {"x1", std::nullopt}, {"--5", std::nullopt}, {"+-5", std::nullopt},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(xml::parseInt(text), expected) << text;
}

// A host's locale with a decimal comma changes nothing.
TEST(XmlNumbersTest, TheProcessLocaleDoesNotMatter) {
    const std::string before = std::setlocale(LC_ALL, nullptr);
    const bool switched = std::setlocale(LC_ALL, "de_DE.UTF-8") || std::setlocale(LC_ALL, "German_Germany.1252");
    EXPECT_EQ(xml::parseFloat("0.75"), 0.75f);
    EXPECT_EQ(xml::parseFloat("0,75"), 0.0f);
    std::setlocale(LC_ALL, before.c_str());
    if (!switched) GTEST_SKIP() << "no locale with a decimal comma is installed";
}

}  // namespace
}  // namespace vorlatek
