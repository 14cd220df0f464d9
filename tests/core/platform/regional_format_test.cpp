// SPDX-License-Identifier: MIT
#include "core/platform/regional_format.h"

#include <gtest/gtest.h>

#include <cstdlib>

using platform::Currency;
using platform::RegionalFormat;

namespace {

Currency units(std::int64_t tenThousandths) { return Currency::fromTenThousandths(tenThousandths); }
std::string text(const QString &s) { return s.toStdString(); }

const std::string nbsp = "\u00A0";

TEST(RegionalFormat, FormatsNumbersWithOneDecimalRoundingHalfAwayFromZero)
{
    const RegionalFormat format("en_US.UTF-8");
    EXPECT_EQ(text(format.formatNumber(2.25, 1)), "2.3");
    EXPECT_EQ(text(format.formatNumber(0.15, 1)), "0.2"); // stored below 0.15, read as 0.15
    EXPECT_EQ(text(format.formatNumber(-0.15, 1)), "-0.2");
    EXPECT_EQ(text(format.formatNumber(9.5 / 3, 1)), "3.2");
    EXPECT_EQ(text(format.formatNumber(7.0, 1)), "7.0");
    EXPECT_EQ(text(format.formatNumber(1234567.25, 1)), "1,234,567.3");
    EXPECT_EQ(text(format.formatNumber(0.04, 1)), "0.0");
}

TEST(RegionalFormat, FormatsCurrencyAmountsAsNumbersFromTheirExactDigits)
{
    const RegionalFormat format("en_US");
    EXPECT_EQ(text(format.formatNumber(units(25000), 1)), "2.5");
    EXPECT_EQ(text(format.formatNumber(units(22500), 1)), "2.3");
    EXPECT_EQ(text(format.formatNumber(units(0), 1)), "0.0");
    EXPECT_EQ(text(format.formatNumber(units(1000000), 1)), "100.0");
    EXPECT_EQ(text(format.formatNumber(Currency::max(), 1)), "922,337,203,685,477.6");
}

TEST(RegionalFormat, FormatsCurrencyExactlyOverTheWholeRange)
{
    const RegionalFormat format("en_US");
    EXPECT_EQ(text(format.formatCurrency(units(3425000))), "$342.50");
    EXPECT_EQ(text(format.formatCurrency(units(50))), "$0.01");  // 0.0050 rounds away from zero
    EXPECT_EQ(text(format.formatCurrency(units(49))), "$0.00");
    EXPECT_EQ(text(format.formatCurrency(units(0))), "$0.00");
    EXPECT_EQ(text(format.formatCurrency(Currency::max())), "$922,337,203,685,477.58");
    EXPECT_EQ(text(format.formatCurrency(Currency::min())), "-$922,337,203,685,477.58");
    EXPECT_EQ(text(format.formatCurrency(units(-50))), "-$0.01");
}

struct LocaleCase {
    const char *locale;
    const char *hours;   // 2.5 hours with one decimal
    const char *charge;  // 342.50
    const char *big;     // 1234567.8 as currency
};

void PrintTo(const LocaleCase &c, std::ostream *out) { *out << '"' << c.locale << '"'; }

class RegionalFormatByLocale : public testing::TestWithParam<LocaleCase> {};

TEST_P(RegionalFormatByLocale, UsesTheLocalesSeparatorsCurrencyAndDecimals)
{
    const RegionalFormat format(GetParam().locale);
    EXPECT_EQ(text(format.formatNumber(units(25000), 1)), GetParam().hours);
    EXPECT_EQ(text(format.formatCurrency(units(3425000))), GetParam().charge);
    EXPECT_EQ(text(format.formatCurrency(units(12345678000))), GetParam().big);
}

INSTANTIATE_TEST_SUITE_P(Table, RegionalFormatByLocale, testing::Values(
    LocaleCase{"en_US.UTF-8", "2.5", "$342.50", "$1,234,567.80"},
    LocaleCase{"C", "2.5", "$342.50", "$1,234,567.80"},
    LocaleCase{"POSIX", "2.5", "$342.50", "$1,234,567.80"},
    LocaleCase{"C.UTF-8", "2.5", "$342.50", "$1,234,567.80"},
    LocaleCase{"", "2.5", "$342.50", "$1,234,567.80"},
    LocaleCase{"de_DE.UTF-8", "2,5", "342,50\u00A0€", "1.234.567,80\u00A0€"},
    LocaleCase{"de_DE@euro", "2,5", "342,50\u00A0€", "1.234.567,80\u00A0€"},
    LocaleCase{"ja_JP.UTF-8", "2.5", "￥343", "￥1,234,568"},
    LocaleCase{"en_GB.UTF-8", "2.5", "£342.50", "£1,234,567.80"}));

TEST(RegionalFormat, ALanguageWithoutRegionTakesItsLikelyCurrency)
{
    EXPECT_EQ(RegionalFormat("de").currencyCode(), "EUR");
    EXPECT_EQ(RegionalFormat("ja").currencyCode(), "JPY");
}

class ScopedEnvironment {
public:
    ScopedEnvironment()
    {
        for (const char *name : kNames) {
            const char *value = std::getenv(name);
            m_saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
            unsetenv(name);
        }
    }
    ~ScopedEnvironment()
    {
        for (const auto &[name, value] : m_saved) {
            if (value)
                setenv(name, value->c_str(), 1);
            else
                unsetenv(name);
        }
    }
    void set(const char *name, const char *value) { setenv(name, value, 1); }

private:
    static constexpr const char *kNames[] = {"LC_ALL", "LC_NUMERIC", "LC_MONETARY", "LANG"};
    std::vector<std::pair<const char *, std::optional<std::string>>> m_saved;
};

TEST(RegionalFormatFromEnvironment, NothingSetMeansEnglishUnitedStates)
{
    ScopedEnvironment environment;
    const auto format = RegionalFormat::fromEnvironment();
    EXPECT_EQ(format.numericLocaleName(), "en_US");
    EXPECT_EQ(text(format.formatCurrency(units(3425000))), "$342.50");
}

TEST(RegionalFormatFromEnvironment, CategoriesOverrideLangAndLcAllOverridesEverything)
{
    ScopedEnvironment environment;
    environment.set("LANG", "en_GB.UTF-8");
    environment.set("LC_MONETARY", "de_DE.UTF-8");
    auto format = RegionalFormat::fromEnvironment();
    EXPECT_EQ(text(format.formatNumber(2.5, 1)), "2.5");
    EXPECT_EQ(text(format.formatCurrency(units(3425000))), "342,50" + nbsp + "€");

    environment.set("LC_NUMERIC", "de_DE.UTF-8");
    format = RegionalFormat::fromEnvironment();
    EXPECT_EQ(text(format.formatNumber(2.5, 1)), "2,5");

    environment.set("LC_ALL", "ja_JP.UTF-8");
    format = RegionalFormat::fromEnvironment();
    EXPECT_EQ(text(format.formatNumber(2.5, 1)), "2.5");
    EXPECT_EQ(text(format.formatCurrency(units(3425000))), "￥343");
}

TEST(RegionalFormatFromEnvironment, TheCLocaleInLcAllStillMeansEnglishUnitedStates)
{
    ScopedEnvironment environment;
    environment.set("LANG", "de_DE.UTF-8");
    environment.set("LC_ALL", "C");
    EXPECT_EQ(text(RegionalFormat::fromEnvironment().formatCurrency(units(3425000))), "$342.50");
}

} // namespace
