// SPDX-License-Identifier: MIT
#pragma once

#include <QProxyStyle>

namespace qni {

// The application's own style, except that the icons of the menu bar's and
// tool bars' overflow buttons are read when first drawn, not when the bar is
// built: reading one makes Qt load every image-format plugin installed to
// ask each whether it knows the file, and the button shows only when the bar
// has no room for its menus.
class DeferredIconStyle final : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};

// Makes DeferredIconStyle the application's style.
void deferOverflowIcons();

} // namespace qni
