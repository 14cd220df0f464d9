// SPDX-License-Identifier: MIT
#include "platform/pdf_file_sender.h"

#include "reports/page_renderer.h"

#include <QPdfWriter>

namespace platform {

void PdfFileSender::send(const reports::PrintDocument &document, const QString &jobName)
{
    QPdfWriter writer(m_path);
    writer.setTitle(jobName);
    writer.setCreator(jobName);
    reports::preparePage(writer);
    reports::paintDocument(writer, document, QStringLiteral("the file %1").arg(m_path));
}

} // namespace platform
