// SPDX-License-Identifier: MIT
#pragma once

#include <QStringView>

// How many columns a text takes on paper. A column holds one character as a
// reader sees it (a letter with its accents, an emoji with its modifiers: a
// grapheme cluster), and an East Asian wide or fullwidth character takes two,
// as it does in every fixed-pitch layout. Such a character is never split.
namespace reports {

int columnWidth(QStringView text);

// The longest start of `text` that takes at most `columns` columns, without
// splitting a character: its length in UTF-16 units and its columns.
struct TextCut {
    qsizetype length = 0;
    int columns = 0;
};
TextCut leadingColumns(QStringView text, int columns);

// How many blanks (U+0020) the text starts with that are characters of their
// own: a blank carrying a combining mark is a character, not a blank.
qsizetype leadingBlanks(QStringView text);

} // namespace reports
