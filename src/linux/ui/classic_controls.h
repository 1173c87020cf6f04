// SPDX-License-Identifier: MIT
#pragma once

#include <QGroupBox>
#include <QPushButton>

namespace qni {

// A frame whose caption sits on its top border line, the line running
// through the middle of the text with a gap behind it, so that everything
// below the caption's middle is inside the frame.
class CaptionFrame final : public QGroupBox {
public:
    using QGroupBox::QGroupBox;

    // Where the top border runs, in the frame's own pixels.
    int borderTop() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A push button that Enter presses as Space does while it has the focus,
// without making it any window's default button.
class PushButton final : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace qni
