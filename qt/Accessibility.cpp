#include "qt/Accessibility.h"

#include "forms/Form.h"
#include "forms/ScreenReader.h"
#include "qt/Controls.h"
#include "qt/FormWindow.h"

#include <QAccessibleWidget>

namespace linkvane {

namespace {

QAccessible::Role QtRole(AccessibleRole role) {
    switch (role) {
    case AccessibleRole::PushButton: return QAccessible::Button;
    case AccessibleRole::Link: return QAccessible::Link;
    case AccessibleRole::Graphic: return QAccessible::Graphic;
    case AccessibleRole::EditableText: return QAccessible::EditableText;
    default: return QAccessible::StaticText;
    }
}

// The control's name follows the common rule (forms/ScreenReader.h): an image's is kept as its
// QWidget::accessibleName, a label's follows its text. The role follows clickability at every
// query, because handlers are connected after the control is built.
class MouseControlAccessible : public QAccessibleWidget {
public:
    explicit MouseControlAccessible(MouseControl* control) : QAccessibleWidget(control) {}

    QString text(QAccessible::Text kind) const override {
        const auto* label = qobject_cast<const LabelControl*>(control());
        const auto* window = qobject_cast<const FormWindow*>(control()->window());
        const ControlDefinition* d =
            window ? window->form().definition().find(control()->objectName().toStdString()) : nullptr;
        if (kind != QAccessible::Name || !label || !d)
            return QAccessibleWidget::text(kind);
        return QString::fromStdU16String(AccessibleName(window->form().definition(), *d, label->text().toStdU16String()));
    }

    QAccessible::Role role() const override {
        const bool label = qobject_cast<const LabelControl*>(control()) != nullptr;
        return QtRole(AccessibleRoleOf(label ? ControlKind::Label : ControlKind::Image, control()->isClickable()));
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

    // A heading is the label of the text box it names.
    QList<QPair<QAccessibleInterface*, QAccessible::Relation>> relations(
        QAccessible::Relation match) const override {
        auto found = QAccessibleWidget::relations(match);
        const auto* window = qobject_cast<const FormWindow*>(control()->window());
        if (!window || !(match & QAccessible::Labelled))
            return found;
        const std::string name = control()->objectName().toStdString();
        for (const ControlDefinition& d : window->form().definition().controls) {
            if (d.labelledBy != name)
                continue;
            if (QAccessibleInterface* box = QAccessible::queryAccessibleInterface(window->control(d.name)))
                found.append({box, QAccessible::Labelled});
        }
        return found;
    }

private:
    MouseControl* control() const { return static_cast<MouseControl*>(widget()); }
};

// A window shows screen readers only the controls that are there: the hidden ones (the banner's
// address boxes) are left out of its children.
class FormWindowAccessible : public QAccessibleWidget {
public:
    explicit FormWindowAccessible(QWidget* window) : QAccessibleWidget(window, QAccessible::Window) {}

    int childCount() const override { return int(shownChildren().size()); }

    QAccessibleInterface* child(int index) const override {
        const QList<QWidget*> shown = shownChildren();
        return index >= 0 && index < shown.size() ? QAccessible::queryAccessibleInterface(shown[index]) : nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        return child ? int(shownChildren().indexOf(qobject_cast<QWidget*>(child->object()))) : -1;
    }

private:
    QList<QWidget*> shownChildren() const {
        QList<QWidget*> shown;
        for (QObject* object : widget()->children()) {
            auto* child = qobject_cast<QWidget*>(object);
            if (child && !child->isWindow() && !child->isHidden())
                shown.append(child);
        }
        return shown;
    }
};

QAccessibleInterface* ControlAccessibility(const QString&, QObject* object) {
    if (auto* control = qobject_cast<MouseControl*>(object))
        return new MouseControlAccessible(control);
    if (auto* window = qobject_cast<FormWindow*>(object))
        return new FormWindowAccessible(window);
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
