// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <variant>
#include <vector>

namespace reports {

// Columns are counted from 1; print zones start every 14 columns.
inline constexpr int kPrintZoneWidth = 14;

struct MoveToColumn {
    std::int16_t column;
};

// What one element prints: a text, a 16-bit integer, or a move to a column.
using PrintItem = std::variant<QString, std::int16_t, MoveToColumn>;

// What follows an element: carry on where it ended (";"), go to the start of
// the next print zone (","), or end the line.
enum class Separator : std::uint8_t { Continue, NextZone, EndOfLine };

struct PrintElement {
    PrintItem item;
    Separator separator = Separator::Continue;
    // A figure (an amount, hours, a count): where paper is too narrow for
    // it, it is never split between its characters.
    bool figure = false;
};

// One print call: an ordered list of elements. A statement without elements
// prints an empty line; otherwise the line ends only where the last element
// says so.
class PrintStatement {
public:
    PrintStatement &text(QString text) { return append<QString>(std::move(text)); }
    // A text holding a figure, printed as a text but never split.
    PrintStatement &figure(QString text)
    {
        append<QString>(std::move(text));
        m_elements.back().figure = true;
        return *this;
    }
    PrintStatement &integer(std::int16_t value) { return append<std::int16_t>(value); }
    PrintStatement &moveTo(std::int16_t column) { return append<MoveToColumn>(MoveToColumn{column}); }
    // An empty element followed by ",": only moves to the next print zone.
    PrintStatement &nextZone() { return append<QString>(QString(), Separator::NextZone); }
    PrintStatement &endLine();

    // T is one of PrintItem's kinds: QString, std::int16_t or MoveToColumn.
    template <typename T>
    PrintStatement &add(T item, Separator separator = Separator::Continue, bool figure = false)
    {
        append<T>(std::move(item), separator);
        m_elements.back().figure = figure;
        return *this;
    }

    // Room for this many elements, for statements built in a hot loop.
    PrintStatement &reserve(std::size_t count)
    {
        m_elements.reserve(count);
        return *this;
    }

    const std::vector<PrintElement> &elements() const { return m_elements; }
    bool endsLine() const { return m_elements.empty() || m_elements.back().separator == Separator::EndOfLine; }

private:
    // Builds the element in place. Passing a whole PrintItem around makes
    // GCC's sanitizer builds warn, wrongly, that the QString inside may be
    // uninitialized.
    template <typename T>
    PrintStatement &append(T item, Separator separator = Separator::Continue)
    {
        PrintElement &element = m_elements.emplace_back();
        element.item.emplace<T>(std::move(item));
        element.separator = separator;
        return *this;
    }

    std::vector<PrintElement> m_elements;
};

inline PrintStatement &PrintStatement::endLine()
{
    if (!m_elements.empty())
        m_elements.back().separator = Separator::EndOfLine;
    return *this;
}

} // namespace reports
