// SPDX-License-Identifier: MIT
#include "printing/unprinted_lines_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>

#include <pwd.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

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
    ASSERT_TRUE(saved.saved) << saved.systemError;
    EXPECT_EQ(saved.path, folder.filePath(QStringLiteral("Lines (3).pdf")));
    ASSERT_TRUE(taken.open(QIODevice::ReadOnly));
    EXPECT_EQ(taken.readAll(), QByteArray("kept"));
    EXPECT_FALSE(QFile::exists(folder.filePath(QStringLiteral("nowhere"))));
}

// A disk that fills part of the way: the system's own reason, and no part
// of the file left behind, not even under its temporary name.
TEST(UnprintedLinesFile, AFullDiskGivesTheSystemsReasonAndLeavesNothing)
{
    QTemporaryDir folder;
    if (::mount("selvaro-full", QFile::encodeName(folder.path()).constData(), "tmpfs", 0, "size=16k") != 0)
        GTEST_SKIP() << "a small tmpfs cannot be mounted here (needs root): " << std::strerror(errno);
    reports::PrintDocument document;
    for (int line = 0; line < 2000; ++line)
        document.print(reports::PrintStatement().text(QStringLiteral("Charter line %1").arg(line)).endLine());
    const printing::SavedLines saved = printing::saveUnprintedLines(document, folder.path(), QStringLiteral("Lines"));
    const QStringList left = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
    ::umount(QFile::encodeName(folder.path()).constData());
    EXPECT_FALSE(saved.saved);
    EXPECT_EQ(saved.systemError, ENOSPC);
    EXPECT_TRUE(left.isEmpty()) << left.join(QLatin1Char(' ')).toStdString();
}

// With HOME unset (a service, su), the home is the user database's, never
// the root of the file system Qt would take; a HOME given stays.
TEST(UnprintedLinesFile, WithoutHomeTheUserDatabasesHomeIsUsed)
{
    const QByteArray home = qgetenv("HOME");
    qunsetenv("HOME");
    printing::fillInHome();
    const QByteArray filled = qgetenv("HOME");
    qputenv("HOME", "/given");
    printing::fillInHome();
    const QByteArray given = qgetenv("HOME");
    qputenv("HOME", home);
    EXPECT_EQ(QFile::decodeName(filled), QFile::decodeName(::getpwuid(::getuid())->pw_dir));
    EXPECT_EQ(given, QByteArray("/given"));
}

} // namespace
