// SPDX-License-Identifier: MIT
#include "printing/unprinted_lines_file.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

// An existing file and a link to nowhere (creating through it would make a
// file elsewhere) hold the first two names; neither is touched.
TEST(UnprintedLinesFile, TakesTheFirstFreeNameAndReplacesNothing)
{
    QTemporaryDir folder;
    QFile taken(folder.filePath(QStringLiteral("Lines.pdf")));
    ASSERT_TRUE(taken.open(QIODevice::WriteOnly) && taken.write("kept") == 4);
    taken.close();
    ASSERT_TRUE(QFile::link(folder.filePath(QStringLiteral("nowhere")), folder.filePath(QStringLiteral("Lines (2).pdf"))));
    reports::PrintDocument document;
    document.print(reports::PrintStatement().text(QStringLiteral("x")).endLine());

    const printing::SavedLines saved = printing::saveUnprintedLines(document, folder.path(), QStringLiteral("Lines"));
    ASSERT_TRUE(saved.saved) << saved.reason.toStdString();
    EXPECT_EQ(saved.path, folder.filePath(QStringLiteral("Lines (3).pdf")));
    ASSERT_TRUE(taken.open(QIODevice::ReadOnly));
    EXPECT_EQ(taken.readAll(), QByteArray("kept"));
    EXPECT_FALSE(QFile::exists(folder.filePath(QStringLiteral("nowhere"))));
}

} // namespace
