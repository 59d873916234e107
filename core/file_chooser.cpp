#include "core/file_chooser.h"

#include <QFileInfo>

#include "core/host_services.h"

bool FileChooser::ShowOpen() {
    if (!host().showOpenDialog(*this)) return false;
    if (!FileName.isEmpty()) InitDir = QFileInfo(FileName).absolutePath();
    return true;
}

QList<QPair<QString, QString>> FileChooser::parseFilter(const QString &filter) {
    QList<QPair<QString, QString>> entries;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty() && parts[i + 1].isEmpty()) continue;
        entries.append({parts[i], parts[i + 1]});
    }
    return entries;
}
