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
    return std::ranges::all_of(text, [](QChar c) { return c.unicode() < 0x300; });
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

// One character as a reader sees it, and what comes before it.
struct Cluster {
    qsizetype start;   // UTF-16 units before it
    int columnsBefore; // columns before it
    QStringView text;
};

// Calls `visit(cluster)` for each character in turn until it returns false.
template <typename Visit> void forEachCluster(QStringView text, Visit visit)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text.data(), text.size());
    Cluster cluster{.start = 0, .columnsBefore = 0, .text = {}};
    while (cluster.start < text.size()) {
        qsizetype end = finder.toNextBoundary();
        if (end <= cluster.start)
            end = text.size();
        cluster.text = text.sliced(cluster.start, end - cluster.start);
        if (!visit(cluster))
            return;
        cluster.columnsBefore += clusterColumns(cluster.text);
        cluster.start = end;
    }
}

} // namespace

int columnWidth(QStringView text)
{
    if (isSimple(text))
        return static_cast<int>(text.size());
    int total = 0;
    forEachCluster(text, [&](const Cluster &cluster) {
        total = cluster.columnsBefore + clusterColumns(cluster.text);
        return true;
    });
    return total;
}

TextCut leadingColumns(QStringView text, int columns)
{
    columns = std::max(columns, 0);
    if (isSimple(text)) {
        const qsizetype length = std::min<qsizetype>(text.size(), columns);
        return {.length = length, .columns = static_cast<int>(length)};
    }
    TextCut cut;
    forEachCluster(text, [&](const Cluster &cluster) {
        const int after = cluster.columnsBefore + clusterColumns(cluster.text);
        if (after > columns)
            return false;
        cut = {.length = cluster.start + cluster.text.size(), .columns = after};
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
