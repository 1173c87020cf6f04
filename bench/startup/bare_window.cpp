// SPDX-License-Identifier: MIT
// The floor that start-up is measured against: a bare Qt Widgets window of
// the main window's size, shown and ended after its first paint as
// QNI_EXIT_WHEN_SHOWN ends the program.
#include "ui/exit_when_painted.h"
#include "ui/twips.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    // The main window's client area; a menu bar's height more would not
    // change what the floor pays for.
    window.resize(qni::twipsToPixels(7110), qni::twipsToPixels(6300));
    qni::exitAfterFirstPaint();
    window.show();
    return app.exec();
}
