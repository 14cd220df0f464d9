// SPDX-License-Identifier: MIT
#pragma once

#include "core/platform/currency.h"

#include <QString>

#include <memory>
#include <string>
#include <string_view>

namespace platform {

// Number and currency texts by the user's regional settings (grouping,
// separators, currency, its symbol and its usual decimals), formatted with
// ICU from the exact decimal value and rounded half away from zero.
class RegionalFormat {
public:
    // Locale names as the environment gives them ("de_DE.UTF-8"); an empty
    // name, "C" or "POSIX" means en_US, as on a freshly installed desktop.
    RegionalFormat(std::string_view numericLocale, std::string_view monetaryLocale);
    explicit RegionalFormat(std::string_view locale) : RegionalFormat(locale, locale) {}
    ~RegionalFormat();
    RegionalFormat(RegionalFormat &&) noexcept;
    RegionalFormat &operator=(RegionalFormat &&) noexcept;

    // Reads LC_ALL, else LC_NUMERIC for numbers and LC_MONETARY for money,
    // else LANG.
    static RegionalFormat fromEnvironment();

    QString formatNumber(double value, int decimals) const;
    QString formatNumber(Currency value, int decimals) const;
    QString formatCurrency(Currency value) const;

    // The ICU locale names in use, e.g. "de_DE"; for diagnostics and tests.
    std::string numericLocaleName() const;
    // ISO 4217 code of the currency in use, e.g. "EUR".
    std::string currencyCode() const;

private:
    struct Formatters;
    std::unique_ptr<Formatters> m_formatters;
};

} // namespace platform
