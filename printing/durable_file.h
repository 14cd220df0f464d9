// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

// Writing that is on disk before the program says it is: the file of
// unprinted lines and the journal both promise that.
namespace printing {

// Writes all of `bytes` at the descriptor's position and makes them durable
// (fdatasync); 0, or the system's error number (ENOSPC where the disk took
// nothing more).
int writeDurably(int descriptor, const QByteArray &bytes);

// Makes the folder's entries durable (a file just named in it); 0 or the
// system's error number.
int syncFolder(const QString &folder);

} // namespace printing
