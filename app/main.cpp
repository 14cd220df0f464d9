// SPDX-License-Identifier: MIT
#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral(SELVARO_TITLE));
    QApplication::setApplicationVersion(QStringLiteral(SELVARO_VERSION));
    return 0;
}
