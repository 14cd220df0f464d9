// SPDX-License-Identifier: MIT
#include "printing/pdf_file_sender.h"

#include "printing/page_renderer.h"

#include <QPdfWriter>

namespace printing {

Delivery PdfFileSender::send(const reports::PrintDocument &document, const QString &jobName, PrintWatcher *watcher)
{
    QPdfWriter writer(m_path);
    describePdf(writer, jobName);
    preparePage(writer, m_paper, m_printerEdges);
    paintDocument(writer, document, m_path, watcher);
    return Delivery::Printed;
}

} // namespace printing
