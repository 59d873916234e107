// A window that starts a drag of the URLs given on its command line when pressed, as a
// file manager does; prints the action that the drop target took.
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QUrl>
#include <QWidget>
#include <cstdio>

class DragSource : public QWidget {
  protected:
    void mousePressEvent(QMouseEvent *) override {
        auto *data = new QMimeData;
        QList<QUrl> urls;
        for (const QString &arg : QApplication::arguments().mid(1)) urls.append(QUrl(arg));
        data->setUrls(urls);
        auto *drag = new QDrag(this);
        drag->setMimeData(data);
        const Qt::DropAction action = drag->exec(Qt::CopyAction | Qt::LinkAction);
        std::printf("%d\n", int(action));
        std::fflush(stdout);
    }
};

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    DragSource source;
    source.setWindowRole(QStringLiteral("DragSource"));
    source.setGeometry(600, 400, 100, 100);
    source.show();
    return app.exec();
}
