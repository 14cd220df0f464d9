// SPDX-License-Identifier: MIT
#include "core/reports/layouts.h"

#include "core/platform/conversions.h"
#include "core/reports/print_document.h"
#include "core/reports/text_columns.h"

namespace reports {
namespace {

// The column a text must start at to end just before `endColumn`.
std::int16_t rightAlignedStart(int endColumn, const QString &text)
{
    return platform::narrowToInt16(std::int64_t{endColumn} - columnWidth(printableText(text)));
}

} // namespace

PrintStatement charterLine(const QString &customerName, const QString &yachtType, std::int16_t yachtSize,
                           const QString &hoursText, const QString &chargeText)
{
    const std::int16_t hoursColumn = rightAlignedStart(60, hoursText);
    const std::int16_t chargeColumn = rightAlignedStart(75, chargeText);
    return PrintStatement()
        .reserve(10)
        .moveTo(5).text(customerName)
        .moveTo(30).text(yachtType)
        .moveTo(45).integer(yachtSize)
        .moveTo(hoursColumn).figure(hoursText)
        .moveTo(chargeColumn).figure(chargeText)
        .endLine();
}

std::vector<PrintStatement> summary(const QString &averageText, const QString &revenueText)
{
    return {
        PrintStatement(),
        PrintStatement().nextZone().figure(QStringLiteral("Average Hours Chartered: ") + averageText).endLine(),
        PrintStatement().nextZone().figure(QStringLiteral("Total Revenue: ") + revenueText).endLine(),
    };
}

std::vector<PrintStatement> yachtList(const QStringList &yachtTypes)
{
    const std::int16_t count = platform::narrowToInt16(yachtTypes.size());
    std::vector<PrintStatement> statements{
        PrintStatement(),
        PrintStatement().nextZone().nextZone().text(QStringLiteral("Yacht List")).endLine(),
        PrintStatement(),
    };
    statements.reserve(statements.size() + static_cast<std::size_t>(count));
    for (std::int16_t index = 0; index < count; ++index)
        statements.push_back(PrintStatement().nextZone().text(yachtTypes[index]).endLine());
    return statements;
}

} // namespace reports
