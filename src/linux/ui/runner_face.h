// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

namespace qni {

// The runner control's face where it sits on the window: its console icon,
// 65 x 49 pixels, the size it always keeps. Never shown while the program
// runs; render() draws it.
class RunnerFace final : public QWidget {
public:
    explicit RunnerFace(QWidget* parent = nullptr);

    void setVisible(bool visible) override;
    QSize sizeHint() const override;

    static constexpr int kWidth = 65;  // 975 twips
    static constexpr int kHeight = 49; // 735 twips

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
};

} // namespace qni
