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
    if (std::ranges::none_of(text, isUnprintable))
        return text;
    QString copy = text;
    std::ranges::replace_if(copy, isUnprintable, QChar(QChar::ReplacementCharacter));
    return copy;
}

PrintedPart printedPart(const PrintRunView &run)
{
    const qsizetype first = leadingBlanks(run.text);
    qsizetype end = run.text.size();
    while (end > first && run.text[end - 1] == QLatin1Char(' '))
        --end;
    const QStringView text = run.text.sliced(first, end - first);
    return {.column = run.column + static_cast<int>(first),
            .text = text,
            .width = columnWidth(text),
            .figure = run.figure};
}

PrintLine PrintDocument::line(std::size_t index) const
{
    PrintLine copy;
    for (std::size_t r = runsBegin(index); r < runsEnd(index); ++r) {
        const PrintRunView view = run(r);
        copy.runs.push_back({view.column, view.text.toString()});
    }
    return copy;
}

std::vector<PrintLine> PrintDocument::lines() const
{
    std::vector<PrintLine> all;
    all.reserve(lineCount());
    for (std::size_t index = 0; index < lineCount(); ++index)
        all.push_back(line(index));
    return all;
}

QString PrintLine::plainText() const
{
    QString line;
    int columns = 0;
    for (const PrintRun &run : runs) {
        line += QString(run.column - 1 - columns, QLatin1Char(' '));
        line += run.text;
        columns = run.endColumn() - 1;
    }
    return line;
}

void PrintDocument::print(const PrintStatement &statement)
{
    if (!m_lineOpen)
        startLine(false);
    for (const PrintElement &element : statement.elements()) {
        if (const auto *text = std::get_if<QString>(&element.item))
            printText(*text, element.figure);
        else if (const auto *value = std::get_if<std::int16_t>(&element.item))
            printText(integerText(*value), true);
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

void PrintDocument::startLine(bool continuing)
{
    m_lineStarts.push_back(static_cast<std::uint32_t>(m_runs.size()));
    m_continues.push_back(continuing);
    m_column = 1;
    m_lineOpen = true;
}

void PrintDocument::printText(const QString &text, bool figure)
{
    if (text.isEmpty())
        return;
    const auto start = m_text.size();
    m_text.append(printableText(text));
    const int width = columnWidth(QStringView(m_text).sliced(start));
    m_runs.push_back({static_cast<std::int32_t>(start), m_column, static_cast<std::int32_t>(text.size()), width, figure});
    m_column += width;
}

void PrintDocument::moveTo(int column)
{
    column = std::max(column, 1);
    // Already past the column: the text goes on at that column of the next line.
    if (m_column > column)
        startLine(true);
    m_column = column;
}

PrintDocument::Mark PrintDocument::mark() const
{
    return {.lineCount = m_lineStarts.size(),
            .runCount = m_runs.size(),
            .textSize = m_text.size(),
            .column = m_column,
            .lineOpen = m_lineOpen};
}

void PrintDocument::rollBack(const Mark &mark)
{
    m_lineStarts.resize(std::min(m_lineStarts.size(), mark.lineCount));
    m_continues.resize(m_lineStarts.size());
    m_runs.resize(std::min(m_runs.size(), mark.runCount));
    m_text.truncate(mark.textSize);
    m_column = mark.column;
    m_lineOpen = mark.lineOpen;
}

void PrintDocument::append(const PrintDocument &later)
{
    if (later.isEmpty())
        return;
    const auto runOffset = static_cast<std::uint32_t>(m_runs.size());
    const auto textOffset = static_cast<std::int32_t>(m_text.size());
    m_text.append(later.m_text);
    m_runs.reserve(m_runs.size() + later.m_runs.size());
    for (StoredRun moved : later.m_runs) {
        moved.textStart += textOffset;
        m_runs.push_back(moved);
    }
    m_lineStarts.reserve(m_lineStarts.size() + later.m_lineStarts.size());
    for (const std::uint32_t start : later.m_lineStarts)
        m_lineStarts.push_back(start + runOffset);
    m_continues.insert(m_continues.end(), later.m_continues.begin(), later.m_continues.end());
    m_column = later.m_column;
    m_lineOpen = later.m_lineOpen;
}

} // namespace reports
