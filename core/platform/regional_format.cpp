// SPDX-License-Identifier: MIT
#include "core/platform/regional_format.h"

#include "core/platform/errors.h"

#include <unicode/locid.h>
#include <unicode/numberformatter.h>
#include <unicode/ucurr.h>
#include <unicode/unistr.h>

#include <QByteArray>

#include <array>
#include <optional>

namespace platform {
namespace {

namespace number = icu::number;

// The most decimals a number is formatted with.
constexpr int kMaxDecimals = 15;

icu::Locale localeFromPosixName(std::string_view posixName)
{
    // "de_DE.UTF-8@euro": the codeset means nothing to ICU; keep the modifier.
    std::string name(posixName);
    const auto modifier = name.find('@');
    const auto codeset = name.find('.');
    if (codeset != std::string::npos)
        name.erase(codeset, modifier == std::string::npos ? std::string::npos : modifier - codeset);
    if (name.empty() || name == "C" || name == "POSIX")
        return {"en_US"};
    icu::Locale locale = icu::Locale::createCanonical(name.c_str());
    return locale.isBogus() ? icu::Locale("en_US") : locale;
}

// Read through Qt, which takes the lock its qputenv takes, so that no
// thread reads the environment while the program sets a variable.
std::string environmentLocale(const char *category)
{
    for (const char *variable : {"LC_ALL", category, "LANG"}) {
        const QByteArray value = qgetenv(variable);
        if (!value.isEmpty())
            return value.toStdString();
    }
    return {};
}

icu::CurrencyUnit currencyOf(const icu::Locale &locale)
{
    // A language without a region ("de") takes the currency of its likely region.
    icu::Locale withRegion(locale);
    UErrorCode status = U_ZERO_ERROR;
    withRegion.addLikelySubtags(status);
    std::array<UChar, 4> code{};
    status = U_ZERO_ERROR;
    ucurr_forLocale(withRegion.getName(), code.data(), static_cast<int32_t>(code.size()), &status);
    if (U_FAILURE(status) || code[0] == 0)
        code = {u'X', u'X', u'X', 0}; // ICU's "no currency"
    status = U_ZERO_ERROR;
    icu::CurrencyUnit unit(icu::ConstChar16Ptr(code.data()), status);
    return unit;
}

QString toQString(const icu::UnicodeString &text)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t *>(text.getBuffer()), text.length());
}

QString checked(number::FormattedNumber formatted, UErrorCode status)
{
    icu::UnicodeString text = formatted.toString(status);
    if (U_FAILURE(status))
        throw InvalidArgumentError(Fault::CannotFormat, "ICU could not format the number");
    return toQString(text);
}

} // namespace

struct RegionalFormat::Formatters {
    icu::Locale numericLocale;
    icu::Locale monetaryLocale;
    icu::CurrencyUnit currency;
    number::LocalizedNumberFormatter numbers;
    // One formatter for each number of decimals, made when first asked for
    // and kept: ICU prepares a formatter for speed only once it has been
    // used a few times, so a new one for every number costs ten times more.
    mutable std::array<std::optional<number::LocalizedNumberFormatter>, kMaxDecimals + 1> fixed;
    number::LocalizedNumberFormatter money;

    Formatters(const icu::Locale &numeric, const icu::Locale &monetary)
        : numericLocale(numeric), monetaryLocale(monetary), currency(currencyOf(monetary)),
          numbers(number::NumberFormatter::withLocale(numeric).roundingMode(UNUM_ROUND_HALFUP)),
          money(number::NumberFormatter::withLocale(monetary).unit(currency).roundingMode(UNUM_ROUND_HALFUP))
    {
    }

    const number::LocalizedNumberFormatter &withDecimals(int decimals) const
    {
        if (decimals < 0 || static_cast<std::size_t>(decimals) >= fixed.size())
            throw InvalidArgumentError();
        auto &formatter = fixed[static_cast<std::size_t>(decimals)];
        if (!formatter)
            formatter = numbers.precision(number::Precision::fixedFraction(decimals));
        return *formatter;
    }
};

RegionalFormat::RegionalFormat(std::string_view numericLocale, std::string_view monetaryLocale)
    : m_formatters(std::make_unique<Formatters>(localeFromPosixName(numericLocale),
                                                localeFromPosixName(monetaryLocale)))
{
}

RegionalFormat::~RegionalFormat() = default;
RegionalFormat::RegionalFormat(RegionalFormat &&) noexcept = default;
RegionalFormat &RegionalFormat::operator=(RegionalFormat &&) noexcept = default;

RegionalFormat RegionalFormat::fromEnvironment()
{
    return {environmentLocale("LC_NUMERIC"), environmentLocale("LC_MONETARY")};
}

QString RegionalFormat::formatNumber(double value, int decimals) const
{
    UErrorCode status = U_ZERO_ERROR;
    // ICU rounds from the shortest text that reads back as this double, so
    // 2.25 is taken as 2.25 and not as the binary value just below it.
    auto formatted = m_formatters->withDecimals(decimals).formatDouble(value, status);
    return checked(std::move(formatted), status);
}

QString RegionalFormat::formatNumber(Currency value, int decimals) const
{
    UErrorCode status = U_ZERO_ERROR;
    const std::string exact = value.toDecimalString();
    auto formatted = m_formatters->withDecimals(decimals).formatDecimal(exact, status);
    return checked(std::move(formatted), status);
}

QString RegionalFormat::formatCurrency(Currency value) const
{
    UErrorCode status = U_ZERO_ERROR;
    const std::string exact = value.toDecimalString();
    auto formatted = m_formatters->money.formatDecimal(exact, status);
    return checked(std::move(formatted), status);
}

std::string RegionalFormat::numericLocaleName() const { return m_formatters->numericLocale.getName(); }
std::string RegionalFormat::currencyCode() const
{
    std::string code;
    icu::UnicodeString(m_formatters->currency.getISOCurrency()).toUTF8String(code);
    return code;
}

} // namespace platform
