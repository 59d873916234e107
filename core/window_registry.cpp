#include "core/window_registry.h"

#include <QTimer>
#include <utility>

QHash<QByteArray, Form *> &Forms::instances() {
    static QHash<QByteArray, Form *> map;
    return map;
}

QHash<QByteArray, Form *> &Forms::spares() {
    static QHash<QByteArray, Form *> map;
    return map;
}

bool &Forms::held() {
    static bool flag = false;
    return flag;
}

QList<std::function<void()>> &Forms::heldBack() {
    static QList<std::function<void()>> loads;
    return loads;
}

void Forms::hold() {
    held() = true;
}

void Forms::release() {
    held() = false;
    const QList<std::function<void()>> loads = std::exchange(heldBack(), {});
    for (const auto &load : loads) {
        // Built late, a window that fails to build fails alone, silently, as at start-up.
        try {
            load();
        } catch (...) {
        }
    }
}

void Forms::bringUp(Form *form, Placement placement) {
    if (!form) return;
    form->Show();
    form->SetFocus();
    if (placement == Centred) form->centre();
}

void Forms::unload(Form *form) {
    if (!form) return;
    const QByteArray key = form->metaObject()->className();
    if (instances().value(key) != form) return;
    instances().remove(key);
    for (QTimer *timer : form->findChildren<QTimer *>()) timer->stop();
    form->hide();
    form->deleteLater();
}

bool Forms::isLoaded(const Form *form) {
    return form && instances().value(form->metaObject()->className()) == form;
}

QList<Form *> Forms::loaded() {
    return instances().values();
}

void Forms::unloadAll() {
    const QList<Form *> all = instances().values();
    for (Form *form : all) unload(form);
    const QList<Form *> built = spares().values();
    spares().clear();
    for (Form *form : built) form->deleteLater();
    held() = false;
    heldBack().clear();
}
