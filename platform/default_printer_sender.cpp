// SPDX-License-Identifier: MIT
// Placeholder until the renderer and the CUPS sending land.
#include "platform/errors.h"
#include "platform/printer.h"

namespace platform {
namespace {
class UnavailableSender final : public DocumentSender {
public:
    void send(const reports::PrintDocument &, const QString &) override
    {
        throw PrinterError("Printing is not available in this build yet.");
    }
};
} // namespace

std::unique_ptr<DocumentSender> makeDefaultPrinterSender() { return std::make_unique<UnavailableSender>(); }

} // namespace platform
