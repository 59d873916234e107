#pragma once

#include <QString>
#include <QStringList>

// An open-file dialog that keeps its settings between uses, like the one shared by the
// eight choose buttons of the button definition window.
class FileChooser {
  public:
    QString DialogTitle;
    // "description|pattern|description|pattern..." ; a trailing "|" adds nothing.
    QString Filter;
    int FilterIndex = 1;  // 1-based entry selected when the dialog opens
    QString FileName;     // full path chosen last
    QString InitDir;      // folder the next dialog opens in
    bool CancelError = false;

    // False when cancelled (reported as a failure when CancelError is set, as the callers
    // of this system always do).
    bool ShowOpen();

    // The filter as (description, patterns) pairs in order.
    static QList<QPair<QString, QString>> parseFilter(const QString &filter);
};
