#pragma once

#include <QAccessible>
#include <QAccessibleWidget>
#include <QString>

namespace taskwick {

// To a screen reader a frame widget that is clicked (a small button, the red bar) is a push
// button named by its hint; its press action clicks it, from the event loop, as a click comes:
// a click may open a box, which must not hold up the reader's call.
template <class Widget>
class PushButtonAccessible final : public QAccessibleWidget {
public:
    explicit PushButtonAccessible(Widget* widget)
        : QAccessibleWidget(widget, QAccessible::Button) {}

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override {
        if (action != pressAction()) {
            return;
        }
        auto* clicked = static_cast<Widget*>(widget());
        QMetaObject::invokeMethod(
            clicked, [clicked] { emit clicked->clicked(); }, Qt::QueuedConnection);
    }

    static QAccessibleInterface* factory(const QString& className, QObject* object) {
        if (className != QLatin1String(Widget::staticMetaObject.className())) {
            return nullptr;
        }
        auto* widget = qobject_cast<Widget*>(object);
        return widget != nullptr ? new PushButtonAccessible(widget) : nullptr;
    }

    // Qt keeps a factory once and forgets them all with the application object.
    static void install() { QAccessible::installFactory(&PushButtonAccessible::factory); }
};

}  // namespace taskwick
