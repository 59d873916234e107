#pragma once

#include <memory>

#include "core/host_services.h"
#include "core/settings_store.h"

// The product's host services on Qt.
class QtHostServices : public HostServices {
  public:
    QString getSetting(const QString &section, const QString &key,
                       const QString &defaultValue) override;
    bool saveSetting(const QString &section, const QString &key, const QString &value) override;
    bool startProgram(const QString &commandLine) override;
    bool applicationEntry(const QString &programPath, QString *name, QString *icon) override;
    bool fileExists(const QString &path) override;
    bool isExecutable(const QString &path) override;
    bool listFiles(const QString &folder, const QString &pattern, QStringList *names) override;
    bool showOpenDialog(FileChooser &chooser) override;
    void messageBox(const QString &prompt, int style = 16, const QString &title = {}) override;
    QList<QRectF> screensTwips() override;
    bool readPicture(const QString &path, PictureDecoder *decode, QSize preferred = {}) override;
    QTime currentTime() override;
    void programEnd() override;
    bool windowDrag(QWidget *window) override;
    bool reportsWindowPositions() override;
    void skipTaskbar(QWidget *window) override;
    bool tellsIconicState() override;
    std::optional<bool> windowIconic(const QWidget *window, const QByteArray &eventType,
                                     void *message) override;
    QString localPath(const QString &path) override;
    QString settingsLocation() override;
    QString homeShortened(const QString &path) override;

    SettingsStore &settings() { return *m_settings; }

  protected:
    // Drops the cached store and reads the file afresh (tests rewrite it between cases).
    void reopenSettings();

  private:
    std::unique_ptr<SettingsStore> m_settings = std::make_unique<SettingsStore>();
};
