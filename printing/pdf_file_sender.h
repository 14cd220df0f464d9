// SPDX-License-Identifier: MIT
#pragma once

#include "printing/print_service.h"

#include <QMarginsF>
#include <QPageSize>
#include <QString>

#include <optional>

namespace printing {

// Sends each document to a PDF file instead of a printer, through the same
// renderer as the default printer, on the given paper (A4 unless told);
// a later document replaces an earlier one. Tests read the file back, and
// the benchmark times the whole road with it.
class PdfFileSender final : public DocumentSender {
public:
    explicit PdfFileSender(QString path, const QPageSize &paper = QPageSize(QPageSize::A4),
                           std::optional<QMarginsF> printerEdges = std::nullopt)
        : m_path(std::move(path)), m_paper(paper), m_printerEdges(printerEdges)
    {
    }

    Delivery send(const reports::PrintDocument &document, const QString &jobName, PrintWatcher *watcher) override;

    const QString &path() const { return m_path; }

private:
    QString m_path;
    QPageSize m_paper;
    std::optional<QMarginsF> m_printerEdges;
};

} // namespace printing
