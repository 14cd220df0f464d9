// SPDX-License-Identifier: MIT
#include "core/reports/print_document.h"

#include <algorithm>

namespace reports {
namespace {

bool isUnprintable(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0x2028 || u == 0x2029;
}

int nextZoneStart(int column)
{
    return ((column - 1) / kPrintZoneWidth + 1) * kPrintZoneWidth + 1;
}

QString integerText(std::int16_t value)
{
    // A blank stands where a minus sign would be, and one blank follows.
    return (value < 0 ? QString() : QStringLiteral(" ")) + QString::number(value) + QLatin1Char(' ');
}

} // namespace

QString printableText(const QString &text)
{
    if (std::none_of(text.begin(), text.end(), isUnprintable))
        return text;
    QString copy = text;
    std::replace_if(copy.begin(), copy.end(), isUnprintable, QChar(QChar::ReplacementCharacter));
    return copy;
}

QString PrintLine::plainText() const
{
    QString line;
    for (const PrintRun &run : runs) {
        line += QString(run.column - 1 - static_cast<int>(line.size()), QLatin1Char(' '));
        line += run.text;
    }
    return line;
}

void PrintDocument::print(const PrintStatement &statement)
{
    if (!m_lineOpen)
        startLine();
    for (const PrintElement &element : statement.elements()) {
        if (const auto *text = std::get_if<QString>(&element.item))
            printText(*text);
        else if (const auto *value = std::get_if<std::int16_t>(&element.item))
            printText(integerText(*value));
        else
            moveTo(std::get<MoveToColumn>(element.item).column);

        if (element.separator == Separator::NextZone)
            m_column = nextZoneStart(m_column);
    }
    if (statement.endsLine()) {
        m_lineOpen = false;
        m_column = 1;
    }
}

void PrintDocument::startLine()
{
    m_lines.emplace_back();
    m_column = 1;
    m_lineOpen = true;
}

void PrintDocument::printText(const QString &text)
{
    if (text.isEmpty())
        return;
    m_lines.back().runs.push_back({m_column, printableText(text)});
    m_column += static_cast<int>(text.size());
}

void PrintDocument::moveTo(int column)
{
    column = std::max(column, 1);
    // Already past the column: the text goes on at that column of the next line.
    if (m_column > column)
        startLine();
    m_column = column;
}

PrintDocument::Mark PrintDocument::mark() const
{
    return {m_lines.size(), m_lines.empty() ? 0 : m_lines.back().runs.size(), m_column, m_lineOpen};
}

void PrintDocument::rollBack(const Mark &mark)
{
    m_lines.resize(std::min(m_lines.size(), mark.lineCount));
    if (!m_lines.empty())
        m_lines.back().runs.resize(std::min(m_lines.back().runs.size(), mark.runsInLastLine));
    m_column = mark.column;
    m_lineOpen = mark.lineOpen;
}

} // namespace reports
