// SPDX-License-Identifier: MIT
#include "ui/accessibility.h"

#include "app/facts.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>
#include <QPointer>
#include <QWidget>

namespace qni {

namespace {

// The mark a widget carries so that the factory below gives it its interface.
const char* const kRoleProperty = "qniAccessibleRole";

// The caption of a status line as a notification: it has no widget of its
// own and "appears" each time the caption changes. Screen readers speak a
// notification that appears, which they do not do for a label whose text
// changes away from the focus.
class CaptionNotice final : public QAccessibleInterface {
public:
    explicit CaptionNotice(QLabel* label) : label_(label) {}

    bool isValid() const override { return !label_.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return label_ ? label_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override
    {
        return label_ ? QAccessible::queryAccessibleInterface(label_.data()) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessible::Role role() const override { return QAccessible::Notification; }
    QRect rect() const override
    {
        const QAccessibleInterface* owner = parent();
        return owner ? owner->rect() : QRect();
    }
    QString text(QAccessible::Text t) const override
    {
        const QAccessibleInterface* owner = parent();
        if (!owner || (t != QAccessible::Name && t != QAccessible::Description))
            return {};
        return owner->text(t);
    }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.invisible = !label_ || !label_->isVisible() || label_->text().isEmpty();
        s.readOnly = true;
        return s;
    }

private:
    QPointer<QLabel> label_;
};

QString captionOf(const QWidget* widget)
{
    if (!widget->accessibleName().isEmpty())
        return widget->accessibleName();
    return static_cast<const QLabel*>(widget)->text();
}

class StatusLineAccessible final : public QAccessibleWidget {
public:
    explicit StatusLineAccessible(QLabel* label)
        : QAccessibleWidget(label, QAccessible::StatusBar),
          noticeId_(QAccessible::registerAccessibleInterface(new CaptionNotice(label)))
    {
    }
    // The notice has no object whose end would remove it from the cache.
    ~StatusLineAccessible() override { QAccessible::deleteAccessibleInterface(noticeId_); }

    QAccessibleInterface* notice() const { return QAccessible::accessibleInterface(noticeId_); }

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? captionOf(widget()) : QAccessibleWidget::text(t);
    }
    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override { return index == 0 ? notice() : nullptr; }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child && child == notice() ? 0 : -1;
    }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

private:
    QAccessible::Id noticeId_;
};

class LinkAccessible final : public QAccessibleWidget {
public:
    explicit LinkAccessible(QLabel* label) : QAccessibleWidget(label, QAccessible::Link) {}

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? captionOf(widget()) : QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override { return QStringList(pressAction()) << QAccessibleWidget::actionNames(); }
    void doAction(const QString& actionName) override
    {
        if (actionName != pressAction()) {
            QAccessibleWidget::doAction(actionName);
            return;
        }
        auto* label = static_cast<QLabel*>(widget());
        if (!label->isEnabled())
            return;
        // Later, like a button's animated click: the client's call returns
        // before the page opens, and a box closed meanwhile opens nothing.
        QMetaObject::invokeMethod(
            label, [label] { emit label->linkActivated(label->text()); }, Qt::QueuedConnection);
    }
};

QAccessibleInterface* makeInterface(const QString&, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    switch (static_cast<QAccessible::Role>(object->property(kRoleProperty).toInt())) {
    case QAccessible::StatusBar:
        return new StatusLineAccessible(static_cast<QLabel*>(widget));
    case QAccessible::Link:
        return new LinkAccessible(static_cast<QLabel*>(widget));
    case QAccessible::Dialog:
        return new QAccessibleWidget(widget, QAccessible::Dialog);
    default:
        return nullptr;
    }
}

void mark(QWidget& widget, QAccessible::Role role)
{
    static const bool installed = (QAccessible::installFactory(makeInterface), true);
    Q_UNUSED(installed);
    widget.setProperty(kRoleProperty, static_cast<int>(role));
    // An interface made before the mark (setting a caption makes one while a
    // screen reader listens) keeps its old role: drop it for a new one.
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&widget);
    if (iface && iface->role() != role)
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
}

} // namespace

void nameResultBoxes(ResultBoxes& boxes)
{
    for (const FactInfo& fact : kFacts) {
        auto* box = dynamic_cast<QWidget*>(&fact.box(boxes));
        if (!box)
            continue;
        const QString caption = QString::fromUtf16(fact.caption);
        for (QLabel* label : box->parentWidget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
            if (label->text() == caption)
                label->setBuddy(box);
        }
        box->setAccessibleName(caption.endsWith(QLatin1Char(':')) ? caption.chopped(1) : caption);
    }
}

void markAsStatusLine(QLabel& label) { mark(label, QAccessible::StatusBar); }

void announceCaption(QLabel& label)
{
    if (!QAccessible::isActive() || !label.isVisible() || label.text().isEmpty() ||
        label.property(kRoleProperty).toInt() != QAccessible::StatusBar)
        return;
    auto* status = dynamic_cast<StatusLineAccessible*>(QAccessible::queryAccessibleInterface(&label));
    if (!status || !status->notice())
        return;
    QAccessibleEvent shown(status->notice(), QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

void markAsLink(QLabel& label) { mark(label, QAccessible::Link); }

void markAsDialog(QWidget& window) { mark(window, QAccessible::Dialog); }

} // namespace qni
