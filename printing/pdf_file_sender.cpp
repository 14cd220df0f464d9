// SPDX-License-Identifier: MIT
#include "printing/pdf_file_sender.h"

#include "printing/page_renderer.h"

#include <QFile>

namespace printing {

Delivery PdfFileSender::send(const reports::PrintDocument &document, const QString &jobName, PrintWatcher *watcher)
{
    QFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        throw PrinterError(PrintProblem::CouldNotStart, m_path);
    writePdf(file, document, jobName, m_paper, m_printerEdges, m_path, watcher);
    return Delivery::Printed;
}

} // namespace printing
