// SPDX-License-Identifier: MIT
#pragma once

class QWidget;

namespace qni {

// Centres a window, title bar and border included, on the screen it is on
// (else the primary screen).
void centreOnScreen(QWidget& window);

} // namespace qni
