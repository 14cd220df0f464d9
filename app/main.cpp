// SPDX-License-Identifier: MIT
#include "ui/forms/frm_main.h"
#include "ui/life/display_gone.h"
#include "ui/program.h"
#include "ui/widgets/screen_reader.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    ui::preferX11UnderWayland();
    ui::keepGtkAccessibilityOut();
    QApplication app(argc, argv);
    ui::Program program;
    program.frmMain().show();
    return program.run();
}
