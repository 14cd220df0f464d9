// SPDX-License-Identifier: MIT
#include "platform/error_report.h"

#include "platform/message_box.h"

namespace platform {

void reportError(const PlatformError &error)
{
    MsgBox(QStringLiteral("The operation was stopped: %1.").arg(QString::fromUtf8(error.what())), vbExclamation);
}

} // namespace platform
