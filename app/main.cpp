// SPDX-License-Identifier: MIT
#include "ui/forms/frm_main.h"
#include "ui/life/display_gone.h"
#include "ui/program.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    ui::preferX11UnderWayland();
    QApplication app(argc, argv);
    ui::Program program;
    program.frmMain().show();
    return program.run();
}
