// SPDX-License-Identifier: MIT
// The floor that start-up is measured against: a bare Qt Widgets window of
// the main window's size, shown and ended after its first paint as
// QNI_EXIT_WHEN_SHOWN ends the program. With --label it also shows one line
// of text in the window's Arial, for comparison: the font system's start is
// paid by the first text, whatever the window.
#include "ui/exit_when_painted.h"
#include "ui/twips.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>

#include <cstring>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    // The main window's client area; a menu bar's height more would not
    // change what the floor pays for.
    window.resize(qni::twipsToPixels(7110), qni::twipsToPixels(6300));
    if (argc > 1 && std::strcmp(argv[1], "--label") == 0) {
        auto* label = new QLabel(QStringLiteral("Operating System:"), &window);
        QFont arial(QStringLiteral("Arial"));
        arial.setPointSizeF(9.75);
        label->setFont(arial);
        label->setGeometry(24, 24, 129, 17);
    }
    qni::exitAfterFirstPaint();
    window.show();
    return app.exec();
}
