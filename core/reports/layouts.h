// SPDX-License-Identifier: MIT
#pragma once

#include "core/reports/print_statement.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

// The printed reports, each as the print statements that make it up. None of
// them ends the document; the caller decides that.
namespace reports {

// The columns the reports use: a charter line's name starts in column 5 and
// its charge ends in column 74; nothing else reaches further.
inline constexpr int kLayoutFirstColumn = 5;
inline constexpr int kLayoutLastColumn = 74;

// One accepted charter: name at column 5, type at 30, the size's blank and
// digits from 45, the hours ending in column 59 and the charge in column 74.
// The size, the hours and the charge are figures: never split on paper.
// Throws OverflowError when a text is so long that its column leaves the
// 16-bit range.
PrintStatement charterLine(const QString &customerName, const QString &yachtType, std::int16_t yachtSize,
                           const QString &hoursText, const QString &chargeText);

// The summary's lines: a blank line, then both labelled figures at column 15;
// each labelled figure is a figure as a whole.
std::vector<PrintStatement> summary(const QString &averageText, const QString &revenueText);

// The yacht list: a blank line, the heading at column 29, a blank line, then
// each type at column 15. Throws OverflowError past 32,767 types.
std::vector<PrintStatement> yachtList(const QStringList &yachtTypes);

} // namespace reports
