// The floor: the least that a Qt Widgets window of the bar's size and make-up
// costs. A frameless tool window of 337 x 140 pixels with a clock label on a
// one-second timer and four buttons with 32 x 32 icons, built like the bar.
//   floor [--icon FILE] [--launch PROGRAM [ARGS...]]
// The first button starts PROGRAM, as the bar's first launch button does.
#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QProcess>
#include <QTime>
#include <QTimer>
#include <QToolButton>
#include <QWidget>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QString iconFile;
    QStringList launch;
    const QStringList args = QCoreApplication::arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--icon") && i + 1 < args.size()) {
            iconFile = args[++i];
        } else if (args[i] == QLatin1String("--launch") && i + 1 < args.size()) {
            launch = args.mid(i + 1);
            break;
        }
    }

    QWidget window(nullptr, Qt::Tool | Qt::FramelessWindowHint);
    window.setWindowRole(QStringLiteral("Floor"));
    window.setFixedSize(337, 140);

    // Same places as the bar's launch buttons and clock label.
    const QIcon icon(iconFile);
    const int lefts[] = {16, 94, 171, 248};
    QToolButton *first = nullptr;
    for (int left : lefts) {
        auto *button = new QToolButton(&window);
        button->setGeometry(left, 40, 73, 65);
        button->setText(QStringLiteral("Undefined"));
        button->setIcon(icon);
        button->setIconSize(QSize(32, 32));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        if (!first) first = button;
    }
    if (!launch.isEmpty()) {
        QObject::connect(first, &QToolButton::clicked,
                         [launch] { QProcess::startDetached(launch.first(), launch.mid(1)); });
    }

    auto *clock = new QLabel(&window);
    clock->setGeometry(88, 122, 241, 17);
    clock->setAlignment(Qt::AlignCenter);
    const auto tick = [clock] {
        clock->setText(QTime::currentTime().toString(QStringLiteral("hh:mm:ss AP")));
    };
    tick();
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, tick);
    timer.start(1000);

    window.move(0, 0);
    window.show();
    return app.exec();
}
