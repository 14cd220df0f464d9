// SPDX-License-Identifier: MIT
#include "ui/life/lines_kept_at_end.h"

#include "printing/print_service.h"
#include <QFile>

namespace ui {

const printing::SavedLines &LinesKeptAtEnd::keep(const printing::PrintService &printer, const QString &baseName)
{
    if (m_file.saved && m_version == printer.unprintedVersion())
        return m_file;
    printing::SavedLines written =
        printing::saveUnprintedLines(printer.unprintedLines(), printing::unprintedLinesFolder(), baseName);
    if (written.saved) {
        remove();
        m_file = written;
        m_version = printer.unprintedVersion();
    } else if (!m_file.saved) {
        m_file = written;
    }
    return m_file;
}

void LinesKeptAtEnd::remove()
{
    if (m_file.saved)
        QFile::remove(m_file.path);
    release();
}

} // namespace ui
