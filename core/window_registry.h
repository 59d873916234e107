#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <functional>

#include "core/form.h"

// One instance of each window class, created on first use with its load handler run
// before the use completes; unloading drops the instance so the next use builds it afresh.
class Forms {
  public:
    template <class T>
    static T *get() {
        const QByteArray key = T::staticMetaObject.className();
        if (Form *existing = instances().value(key)) return static_cast<T *>(existing);
        Form *spare = spares().take(key);
        T *created = spare ? static_cast<T *>(spare) : new T();
        instances().insert(key, created);
        created->Form_Load();
        // A load handler may have unloaded its own window again.
        return static_cast<T *>(instances().value(key));
    }

    // Builds a window that is not loaded ahead of its use, native window included, so
    // that the next get<T>() that has to create one only loads it: for a window whose
    // opening must not wait for the window system. Not loaded, it is seen by nothing.
    template <class T>
    static void prepare() {
        const QByteArray key = T::staticMetaObject.className();
        if (instances().contains(key) || spares().contains(key)) return;
        T *spare = new T();
        spare->ensurePolished();
        spare->winId();
        spares().insert(key, spare);
    }

    // While held (from the program's start until the bar is first on screen) a window that
    // is asked for through getUnlessHeld() is built at release() rather than at once.
    static void hold();
    // Builds what was held back; what something asked for meanwhile exists already.
    static void release();
    // The window if loaded; while held, none yet: it is built at release(); else get<T>().
    template <class T>
    static T *getUnlessHeld() {
        if (T *loaded = find<T>()) return loaded;
        if (!held()) return get<T>();
        heldBack().append([] { get<T>(); });
        return nullptr;
    }

    enum Placement { AsPlaced, Centred };

    // How a window comes up: created or found, shown, given the focus and, for the windows
    // that are centred in code, centred. Null when its load handler unloaded it again.
    template <class T>
    static T *open(Placement placement = AsPlaced) {
        T *form = get<T>();
        bringUp(form, placement);
        return form;
    }

    // The instance if loaded; never creates one.
    template <class T>
    static T *find() {
        return static_cast<T *>(instances().value(T::staticMetaObject.className()));
    }

    template <class T>
    static void unload() {
        unload(find<T>());
    }

    // Hides the window and drops it at once; the widget is deleted by the event loop.
    // Unloading a window that is not loaded has no effect.
    static void unload(Form *form);
    static bool isLoaded(const Form *form);
    static QList<Form *> loaded();
    // Drops every window, loaded, built ahead or held back (tests start each case from
    // nothing).
    static void unloadAll();

  private:
    static void bringUp(Form *form, Placement placement);
    static QHash<QByteArray, Form *> &instances();
    static QHash<QByteArray, Form *> &spares();
    static bool &held();
    static QList<std::function<void()>> &heldBack();
};
