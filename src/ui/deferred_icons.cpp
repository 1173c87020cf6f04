// SPDX-License-Identifier: MIT
#include "ui/deferred_icons.h"

#include <QApplication>
#include <QIconEngine>
#include <QPointer>
#include <QStyleOption>

#include <optional>

namespace qni {

namespace {

// Asks the style for the icon the first time anything wants its pixels or
// sizes.
class DeferredIconEngine final : public QIconEngine {
public:
    DeferredIconEngine(const QStyle* style, QStyle::StandardPixmap which, const QStyleOption* option)
        : style_(const_cast<QStyle*>(style)), which_(which)
    {
        // The arrow's direction follows the option's layout direction.
        if (option)
            option_ = *option;
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        return icon().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    bool isNull() override { return icon().isNull(); }
    QString key() const override { return QStringLiteral("qni-deferred"); }
    QIconEngine* clone() const override { return new DeferredIconEngine(*this); }

private:
    const QIcon& icon()
    {
        if (!icon_) {
            // The style may be gone (the application changed it): then ask
            // the one in use.
            const QStyle* style = style_ ? style_.data() : QApplication::style();
            icon_ = style->standardIcon(which_, option_ ? &*option_ : nullptr);
        }
        return *icon_;
    }

    QPointer<QStyle> style_;
    QStyle::StandardPixmap which_;
    std::optional<QStyleOption> option_;
    std::optional<QIcon> icon_;
};

} // namespace

QIcon DeferredIconStyle::standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const
{
    if (icon == SP_ToolBarHorizontalExtensionButton || icon == SP_ToolBarVerticalExtensionButton)
        return QIcon(new DeferredIconEngine(baseStyle(), icon, option));
    return QProxyStyle::standardIcon(icon, option, widget);
}

void deferOverflowIcons() { QApplication::setStyle(new DeferredIconStyle); }

} // namespace qni
