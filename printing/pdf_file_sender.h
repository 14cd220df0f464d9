// SPDX-License-Identifier: MIT
#pragma once

#include "printing/print_service.h"

#include <QString>

namespace printing {

// Sends each document to a PDF file instead of a printer, through the same
// renderer as the default printer; a later document replaces an earlier one.
// Tests read the file back, and the benchmark times the whole road with it.
class PdfFileSender final : public DocumentSender {
public:
    explicit PdfFileSender(QString path) : m_path(std::move(path)) {}

    Delivery send(const reports::PrintDocument &document, const QString &jobName, PrintWatcher *watcher) override;

    const QString &path() const { return m_path; }

private:
    QString m_path;
};

} // namespace printing
