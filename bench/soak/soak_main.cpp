// The long run: the bar with its clock ticking while the menu, the options window, the
// button definitions and the about panel are opened and closed again and again from the
// real event loop. Reports resident memory and the live windows at the start, along the
// way and at the end; exits 1 when windows or widgets are left over, or memory keeps
// growing.
//
//   talvendok_soak [--cycles N] [--report-every N] [--max-growth-kb N]
//
// Runs in a temporary home with the shipped program folder; QT_QPA_PLATFORM chooses the
// display (offscreen when unset).

#include <malloc.h>

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "bar/bar_window.h"
#include "config/about_window.h"
#include "config/button_definition_window.h"
#include "config/menu_window.h"
#include "config/options_window.h"
#include "core/app_setup.h"
#include "core/qt_host_services.h"
#include "core/window_registry.h"

namespace {

// The product's services; a message box must not block a run nobody watches, and the
// program end that closes the run is the soak's own.
class SoakHost : public QtHostServices {
  public:
    void messageBox(const QString &prompt, int, const QString &) override {
        ++messages;
        std::fprintf(stderr, "message box: %s\n", qPrintable(prompt));
    }
    void programEnd() override { ++programEnds; }
    int messages = 0;
    int programEnds = 0;
};

long residentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

extern "C" size_t __sanitizer_get_current_allocated_bytes() __attribute__((weak));

// Bytes the program holds from the heap right now: unlike resident memory this does not
// keep what the allocator has cached, so a slow leak shows at once.
long heapInUseKb() {
    // Under a sanitizer its own allocator counts (freed memory it holds back is not in use).
    if (__sanitizer_get_current_allocated_bytes)
        return long(__sanitizer_get_current_allocated_bytes() / 1024);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 33))
    const struct mallinfo2 info = mallinfo2();
    return long((info.uordblks + info.hblkhd) / 1024);
#else
    return -1;
#endif
}

struct Figures {
    long rssKb = 0;
    long heapKb = 0;
    int topLevel = 0;
    int loaded = 0;
    int widgets = 0;
};

Figures measure() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return {residentKb(), heapInUseKb(), int(QApplication::topLevelWidgets().size()),
            int(Forms::loaded().size()), int(QApplication::allWidgets().size())};
}

void print(const char *when, const Figures &f, const QString &clock) {
    std::printf(
        "%-14s resident %6ld KB, heap in use %6ld KB, top-level widgets %d, loaded windows %d, "
        "widgets %d, clock '%s'\n",
        when, f.rssKb, f.heapKb, f.topLevel, f.loaded, f.widgets, qPrintable(clock));
    std::fflush(stdout);
}

bool copyProgramFolder(const QString &to) {
    QDir().mkpath(to);
    QDirIterator shipped(QStringLiteral(TALVENDOK_SOURCE_DIR "/resources/program_folder"),
                         QDir::Files);
    bool any = false;
    while (shipped.hasNext()) {
        const QString source = shipped.next();
        any = QFile::copy(source, to + QLatin1Char('/') + QFileInfo(source).fileName()) || any;
    }
    return any;
}

QtMessageHandler g_previousHandler = nullptr;

// The offscreen platform says so at every raise.
void quietHandler(QtMsgType type, const QMessageLogContext &context, const QString &message) {
    if (type == QtWarningMsg && message.startsWith(QLatin1String("This plugin does not support")))
        return;
    g_previousHandler(type, context, message);
}

int argument(const QStringList &args, const QString &name, int fallback) {
    const int at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args.at(at + 1).toInt() : fallback;
}

}  // namespace

int main(int argc, char *argv[]) {
    QTemporaryDir home;
    if (!home.isValid()) return 2;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toUtf8());
    QDir().mkpath(home.path() + QStringLiteral("/runtime"));
    QFile::setPermissions(home.path() + QStringLiteral("/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", (home.path() + QStringLiteral("/runtime")).toUtf8());
    qputenv("XDG_CONFIG_DIRS", (home.path() + QStringLiteral("/etc")).toUtf8());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!copyProgramFolder(home.path() + QStringLiteral("/data/TALVENDOK/drive_c/TALVENDOK")))
        std::fprintf(stderr, "no program folder to copy: the Membranes and icons are missing\n");

    g_previousHandler = qInstallMessageHandler(quietHandler);
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const int cycles = argument(args, QStringLiteral("--cycles"), 1000);
    const int reportEvery = qMax(1, argument(args, QStringLiteral("--report-every"), 100));
    // Memory that may still come after the warm-up (caches, fragmentation) before the run
    // counts as growing.
    const int maxGrowthKb = argument(args, QStringLiteral("--max-growth-kb"), 4096);
    setupApplication();
    addFaces(Faces::All);
    SoakHost host;
    setHost(&host);

    Form1 *bar = Forms::get<Form1>();
    Q_UNUSED(bar);
    auto clock = [] {
        Form1 *b = Forms::find<Form1>();
        return b ? b->Label16->Caption() : QString();
    };

    // One step per turn of the event loop, so that timers tick, windows are shown and
    // drawn, and unloaded windows are deleted in between, as in a real session. A step
    // returns where to go next: 1 on, 0 to try again on the next turn, -1 back one step.
    QList<std::function<int()>> steps;
    // How often each window was found open where the session expects it.
    QMap<QString, int> opened;
    QStringList missing;
    int menuClosedEarly = 0;
    auto seen = [&](Form *form, const char *what) {
        if (form && form->isVisible()) {
            ++opened[QLatin1String(what)];
            return true;
        }
        if (missing.size() < 10) missing << QLatin1String(what);
        return false;
    };
    auto openMenu = [&] {
        Forms::get<Form1>()->SSPanel2_Click();
        seen(Forms::find<Form9>(), "menu");
        return 1;
    };
    // On a real display the bar's activation can come after the menu was opened again,
    // and the menu then closes as it should: open it once more.
    auto onMenu = [&](const std::function<void(Form9 *)> &press) {
        return [&, press] {
            Form9 *m = Forms::find<Form9>();
            if (!m || !m->isVisible()) {
                ++menuClosedEarly;
                return -1;
            }
            press(m);
            return 1;
        };
    };
    int cycle = 0;
    steps << openMenu;
    steps << onMenu([](Form9 *m) { m->SSCommand1_Click(); });  // Options
    steps << [&] {
        if (Form7 *o = Forms::find<Form7>(); seen(o, "options")) {
            o->SSPanel14_Click();
            o->SSPanel13_Click();
            o->SSPanel4_MouseDown();
            o->Timer1_Timer();
            o->SSPanel4_MouseUp();
            o->Timer7_Timer();
            // Apply now and then (no password is stored), Cancel otherwise.
            if (cycle % 10 == 0)
                o->SSCommand1_Click();
            else
                o->SSCommand2_Click();
        }
        return 1;
    };
    steps << openMenu;
    steps << onMenu([](Form9 *m) { m->SSCommand4_Click(); });  // Edit Buttons
    steps << [&] {
        if (Form3 *d = Forms::find<Form3>(); seen(d, "button definitions")) d->SSCommand9_Click();
        return 1;
    };
    steps << openMenu;
    steps << onMenu([](Form9 *m) { m->SSCommand2_Click(); });  // About
    steps << [&] {
        if (Form2 *a = Forms::find<Form2>(); seen(a, "about")) {
            for (int i = 0; i < 5; ++i) a->Timer1_Timer();
            a->SSCommand1_Click();
        }
        return 1;
    };
    // The menu once more, closed by the bar taking the focus back.
    steps << openMenu;
    steps << [] {
        Forms::get<Form1>()->Form_GotFocus();
        return 1;
    };
    steps << [&] {
        if (Forms::find<Form9>() && Forms::find<Form9>()->isVisible() && missing.size() < 10)
            missing << QStringLiteral("menu still open after the bar took the focus");
        return 1;
    };

    Figures start;
    Figures settled;
    int step = 0;
    const int warmUp = 10;
    QElapsedTimer elapsed;
    QTimer driver;
    driver.setInterval(0);
    QObject::connect(&driver, &QTimer::timeout, [&] {
        step = qMax(0, step + steps.at(step)());
        if (step < steps.size()) return;
        step = 0;
        ++cycle;
        if (cycle == warmUp) {
            settled = measure();
            print("after warm-up", settled, clock());
        } else if (cycle % reportEvery == 0) {
            print(qPrintable(QStringLiteral("cycle %1").arg(cycle)), measure(), clock());
        }
        if (cycle >= cycles + warmUp) {
            driver.stop();
            // Not quit(): that asks every window to close first, and the bar refuses.
            QCoreApplication::exit(0);
        }
    });
    // Start once the bar's clock has ticked for the first time.
    QTimer::singleShot(1200, [&] {
        start = measure();
        print("start", start, clock());
        elapsed.start();
        driver.start();
    });
    app.exec();

    const Figures end = measure();
    print("end", end, clock());
    std::printf(
        "%d cycles after %d of warm-up in %.1f s; resident memory %ld KB at the start, "
        "%ld KB after the warm-up, %ld KB at the end; heap in use %ld / %ld / %ld KB; "
        "%d message boxes\n",
        cycles, warmUp, elapsed.elapsed() / 1000.0, start.rssKb, settled.rssKb, end.rssKb,
        start.heapKb, settled.heapKb, end.heapKb, host.messages);

    std::printf(
        "opened: menu %d, options %d, button definitions %d, about %d times; the menu "
        "closed by a late activation of the bar %d times and was opened again\n",
        opened.value(QStringLiteral("menu")), opened.value(QStringLiteral("options")),
        opened.value(QStringLiteral("button definitions")), opened.value(QStringLiteral("about")),
        menuClosedEarly);
    int status = 0;
    if (!missing.isEmpty()) {
        std::printf("NOT OPEN where expected: %s\n",
                    qPrintable(missing.join(QStringLiteral("; "))));
        status = 1;
    }
    if (end.topLevel > settled.topLevel || end.loaded > settled.loaded ||
        end.widgets > settled.widgets) {
        std::printf("GROWS: windows or widgets are left over\n");
        status = 1;
    }
    if (settled.heapKb >= 0 && end.heapKb - settled.heapKb > maxGrowthKb) {
        std::printf("GROWS: heap in use rose by %ld KB (%.2f KB a cycle)\n",
                    end.heapKb - settled.heapKb, double(end.heapKb - settled.heapKb) / cycles);
        status = 1;
    }
    // A sanitizer holds freed memory back on purpose: there only the heap in use counts.
    if (!__sanitizer_get_current_allocated_bytes && end.rssKb - settled.rssKb > maxGrowthKb) {
        std::printf("GROWS: resident memory rose by %ld KB (%.2f KB a cycle)\n",
                    end.rssKb - settled.rssKb, double(end.rssKb - settled.rssKb) / cycles);
        status = 1;
    }

    // The way out of a real session: the exit sequence through the close panel.
    Forms::get<Form1>()->SSPanel1_Click();
    if (host.programEnds != 1) {
        std::printf("the exit sequence did not end the program\n");
        status = 1;
    }
    Forms::unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    setHost(nullptr);
    return status;
}
