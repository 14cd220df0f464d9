// SPDX-License-Identifier: MIT
#pragma once

#include "printing/print_service.h"

#include <QByteArray>
#include <QMarginsF>
#include <QPageSize>
#include <QString>

// The print service as libcups reaches it. Every call blocks until CUPS has
// answered, however long that takes (no time limit could tell a slow
// scheduler from a lost job), so the program calls them from a worker
// thread. libcups is loaded when the first call is made, never at start-up.
namespace printing::cups {

struct Destination {
    QString name;
    QPageSize pageSize;      // the queue's default paper
    QMarginsF leastMargins;  // what the printer cannot print on, in millimetres
};

// The default printer as CUPS reports it now, with its default paper (A4
// when the queue names none). Throws PrinterError (NoPrintService,
// NoDefaultPrinter).
Destination defaultDestination();

// Hands the PDF to the destination as one job named `jobName`, and checks
// every answer and the job's state afterwards, so that a cut connection or a
// job CUPS holds empty is a PrinterError, never a print. A job left
// half-submitted is cancelled, so that a retry cannot print twice.
Delivery submitPdf(const Destination &destination, const QByteArray &pdf, const QString &jobName);

} // namespace printing::cups
