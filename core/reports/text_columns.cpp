// SPDX-License-Identifier: MIT
#include "core/reports/text_columns.h"

#include <QTextBoundaryFinder>

#include <unicode/uchar.h>

#include <algorithm>

namespace reports {
namespace {

// Below U+0300 every UTF-16 unit is a character of its own, one column
// wide: most names and every figure need no closer look.
bool isSimple(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x300; });
}

UChar32 firstCodePoint(QStringView text)
{
    if (text.size() > 1 && text[0].isHighSurrogate() && text[1].isLowSurrogate())
        return static_cast<UChar32>(QChar::surrogateToUcs4(text[0], text[1]));
    return text[0].unicode();
}

// The columns of one character as a reader sees it: its first code point
// decides.
int clusterColumns(QStringView cluster)
{
    const auto width = u_getIntPropertyValue(firstCodePoint(cluster), UCHAR_EAST_ASIAN_WIDTH);
    return width == U_EA_WIDE || width == U_EA_FULLWIDTH ? 2 : 1;
}

// Calls `visit(length so far, columns so far, cluster)` for each character in
// turn until it returns false.
template <typename Visit> void forEachCluster(QStringView text, Visit visit)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text.data(), text.size());
    qsizetype start = 0;
    int columns = 0;
    while (start < text.size()) {
        qsizetype end = finder.toNextBoundary();
        if (end <= start)
            end = text.size();
        const QStringView cluster = text.sliced(start, end - start);
        if (!visit(start, columns, cluster))
            return;
        columns += clusterColumns(cluster);
        start = end;
    }
}

} // namespace

int columnWidth(QStringView text)
{
    if (isSimple(text))
        return static_cast<int>(text.size());
    int total = 0;
    forEachCluster(text, [&](qsizetype, int columns, QStringView cluster) {
        total = columns + clusterColumns(cluster);
        return true;
    });
    return total;
}

TextCut leadingColumns(QStringView text, int columns)
{
    columns = std::max(columns, 0);
    if (isSimple(text)) {
        const qsizetype length = std::min<qsizetype>(text.size(), columns);
        return {length, static_cast<int>(length)};
    }
    TextCut cut;
    forEachCluster(text, [&](qsizetype start, int before, QStringView cluster) {
        const int after = before + clusterColumns(cluster);
        if (after > columns)
            return false;
        cut = {start + cluster.size(), after};
        return true;
    });
    return cut;
}

qsizetype leadingBlanks(QStringView text)
{
    qsizetype blanks = 0;
    while (blanks < text.size() && text[blanks] == QLatin1Char(' '))
        ++blanks;
    if (blanks == 0 || blanks == text.size() || text[blanks].unicode() < 0x300)
        return blanks;
    // Marks, joiners and the like attach to the character before them.
    const auto joining = u_getIntPropertyValue(firstCodePoint(text.sliced(blanks)), UCHAR_GRAPHEME_CLUSTER_BREAK);
    const bool joins = joining == U_GCB_EXTEND || joining == U_GCB_SPACING_MARK || joining == U_GCB_ZWJ;
    return joins ? blanks - 1 : blanks;
}

} // namespace reports
