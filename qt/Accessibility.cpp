#include "qt/Accessibility.h"

#include "qt/Controls.h"

#include <QAccessibleWidget>

namespace linkvane {

namespace {

// The control's name comes from QWidget::accessibleName: the tooltip, the definition's
// accessible name, or a label's caption. The role follows clickability at every query, because
// handlers are connected after the control is built.
class MouseControlAccessible : public QAccessibleWidget {
public:
    explicit MouseControlAccessible(MouseControl* control) : QAccessibleWidget(control) {}

    QAccessible::Role role() const override {
        const bool label = qobject_cast<const LabelControl*>(control()) != nullptr;
        if (control()->isClickable())
            return label ? QAccessible::Link : QAccessible::Button;
        return label ? QAccessible::StaticText : QAccessible::Graphic;
    }

    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (control()->isClickable())
            names.prepend(pressAction());
        return names;
    }

    void doAction(const QString& actionName) override {
        if (actionName == pressAction() && control()->isClickable())
            emit control()->clicked();
        else
            QAccessibleWidget::doAction(actionName);
    }

private:
    MouseControl* control() const { return static_cast<MouseControl*>(widget()); }
};

QAccessibleInterface* ControlAccessibility(const QString&, QObject* object) {
    if (auto* control = qobject_cast<MouseControl*>(object))
        return new MouseControlAccessible(control);
    return nullptr;
}

}  // namespace

void InstallControlAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(ControlAccessibility);
        return true;
    }();
    (void)installed;
}

}  // namespace linkvane
