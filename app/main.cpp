// SPDX-License-Identifier: MIT
#include "printing/unprinted_lines_file.h"
#include "ui/forms/frm_main.h"
#include "ui/life/display_gone.h"
#include "ui/program.h"
#include "ui/widgets/screen_reader.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    ui::preferX11UnderWayland();
    printing::fillInHome();
    ui::keepGtkAccessibilityOut();
    QApplication app(argc, argv);
    ui::Program program;
    program.frmMain().show();
    return program.run();
}
