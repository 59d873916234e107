#include "core/accessibility.h"

#include <QAccessibleWidget>
#include <QFocusFrame>
#include <QKeySequence>
#include <QLabel>
#include <QVariant>

#include "core/form.h"
#include "core/settings_schema.h"
#include "core/ss_command.h"
#include "core/ss_panel.h"

namespace accessibility {

namespace {

const char *const kDecorative = "talvendokDecorative";

QList<QWidget *> seenChildren(const QWidget *w) {
    QList<QWidget *> children;
    for (QObject *o : w->children()) {
        auto *child = qobject_cast<QWidget *>(o);
        if (child && !child->isWindow() && !qobject_cast<QFocusFrame *>(child) && seenByUser(child))
            children.append(child);
    }
    return children;
}

QString accessKeyText(const QString &caption) {
    return QKeySequence::mnemonic(caption).toString(QKeySequence::NativeText);
}

// A container whose tree holds only what a user can come upon.
class Container : public QAccessibleWidget {
  public:
    Container(QWidget *w, QAccessible::Role role) : QAccessibleWidget(w, role) {}
    int childCount() const override { return seenChildren(widget()).size(); }
    QAccessibleInterface *child(int index) const override {
        const QList<QWidget *> children = seenChildren(widget());
        if (index < 0 || index >= children.size()) return nullptr;
        return QAccessible::queryAccessibleInterface(children.at(index));
    }
    int indexOfChild(const QAccessibleInterface *child) const override {
        if (!child || !child->object() || !child->object()->isWidgetType()) return -1;
        return seenChildren(widget()).indexOf(static_cast<QWidget *>(child->object()));
    }
};

// A window is named by its heading; the bar by its title, which the user may change.
class FormInterface : public Container {
  public:
    explicit FormInterface(Form *form) : Container(form, QAccessible::Window) {}
    QString text(QAccessible::Text t) const override {
        const auto *form = static_cast<const Form *>(widget());
        if (t == QAccessible::Name && form->accessibleName().isEmpty() && form->headingLabel())
            return form->headingLabel()->text();
        return Container::text(t);
    }
};

// A push panel is a button named by its caption; any other panel groups what it holds.
class PanelInterface : public Container {
  public:
    explicit PanelInterface(SSPanel *panel) : Container(panel, QAccessible::Pane) {}
    SSPanel *panel() const { return static_cast<SSPanel *>(widget()); }
    QAccessible::Role role() const override {
        return panel()->isPushPanel() ? QAccessible::Button : QAccessible::Grouping;
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && panel()->accessibleName().isEmpty()) {
            if (panel()->isPushPanel()) return withoutAccessKey(panel()->Caption());
            // A frame or page is named by its title, its first label.
            if (const auto *title =
                    panel()->findChild<QLabel *>(QString(), Qt::FindDirectChildrenOnly))
                return title->text();
        }
        if (t == QAccessible::Accelerator) return accessKeyText(panel()->Caption());
        return Container::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = Container::state();
        if (panel()->isPushPanel() && panel()->BevelOuter() == SSPanel::Inset) s.pressed = true;
        return s;
    }
    QStringList actionNames() const override {
        QStringList names = Container::actionNames();
        if (panel()->isPushPanel()) names.prepend(pressAction());
        return names;
    }
    void doAction(const QString &action) override {
        if (action == pressAction()) {
            panel()->animateClick();
        } else {
            Container::doAction(action);
        }
    }
    QStringList keyBindingsForAction(const QString &action) const override {
        const QString key = accessKeyText(panel()->Caption());
        if (action == pressAction() && !key.isEmpty()) return {key};
        return Container::keyBindingsForAction(action);
    }
};

// A push button: its caption as name, what it starts as description.
class CommandInterface : public QAccessibleWidget {
  public:
    explicit CommandInterface(SSCommand *button) : QAccessibleWidget(button, QAccessible::Button) {}
    SSCommand *button() const { return static_cast<SSCommand *>(widget()); }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && button()->accessibleName().isEmpty())
            return withoutAccessKey(button()->Caption());
        if (t == QAccessible::Description && button()->accessibleDescription().isEmpty()) {
            // An empty slot starts nothing: the placeholder path is no description.
            const QString program = button()->description();
            return program == QLatin1String(kUnsetPath) ? QString() : program;
        }
        if (t == QAccessible::Accelerator) return accessKeyText(button()->Caption());
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        if (button()->isDown()) s.pressed = true;
        return s;
    }
    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &action) override {
        if (action != pressAction()) return QAccessibleWidget::doAction(action);
        // As unreachable to a reader as to the mouse when disabled or off the window.
        if (button()->isEnabled() && button()->isVisible() && seenByUser(button()))
            button()->animateClick();
    }
    QStringList keyBindingsForAction(const QString &action) const override {
        const QString key = accessKeyText(button()->Caption());
        if (action == pressAction() && !key.isEmpty()) return {key};
        return QAccessibleWidget::keyBindingsForAction(action);
    }
};

QAccessibleInterface *factory(const QString &, QObject *object) {
    if (auto *form = qobject_cast<Form *>(object)) return new FormInterface(form);
    if (auto *panel = qobject_cast<SSPanel *>(object)) return new PanelInterface(panel);
    if (auto *button = qobject_cast<SSCommand *>(object)) return new CommandInterface(button);
    return nullptr;
}

}  // namespace

void install() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    QAccessible::installFactory(factory);
}

void setDecorative(QWidget *w) {
    w->setProperty(kDecorative, true);
}

bool seenByUser(const QWidget *w) {
    if (w->isWindow()) return true;
    if (w->isHidden() || w->property(kDecorative).toBool()) return false;
    const QWidget *parent = w->parentWidget();
    return parent && parent->rect().intersects(w->geometry());
}

QString withoutAccessKey(const QString &caption) {
    QString text;
    for (int i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == QLatin1Char('&')) {
            if (++i >= caption.size()) break;
        }
        text.append(caption.at(i));
    }
    return text;
}

}  // namespace accessibility
