// A window that starts a drag of the URLs given on its command line when pressed, as a
// file manager does; prints the action that the drop target took.
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <cstdio>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QPushButton source;
    source.setWindowRole(QStringLiteral("DragSource"));
    source.setGeometry(600, 400, 100, 100);
    QObject::connect(&source, &QPushButton::pressed, [&source] {
        auto *data = new QMimeData;
        data->setUrls(QUrl::fromStringList(QApplication::arguments().mid(1)));
        auto *drag = new QDrag(&source);
        drag->setMimeData(data);
        std::printf("%d\n", int(drag->exec(Qt::CopyAction | Qt::LinkAction)));
        std::fflush(stdout);
    });
    source.show();
    return app.exec();
}
