#include "platform/qt/QtProfileStore.h"

#include <QDir>
#include <QStandardPaths>

namespace quorvel {
namespace {

// The stored spelling of `key` in the current group, or an empty string.
QString findKey(const QSettings& settings, const QString& key) {
    const QStringList keys = settings.childKeys();
    for (const QString& existing : keys) {
        if (existing.compare(key, Qt::CaseInsensitive) == 0) {
            return existing;
        }
    }
    return {};
}

}  // namespace

QtProfileStore::QtProfileStore(const std::string& folder) : folder_(folder) {}

std::unique_ptr<QSettings> QtProfileStore::open(const std::string& application) const {
    QString folder = QString::fromStdString(folder_);
    if (folder.isEmpty()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    }
    const QString file = QDir(folder).filePath(QString::fromStdString(application) + ".ini");
    return std::make_unique<QSettings>(file, QSettings::IniFormat);
}

std::string QtProfileStore::getSetting(const std::string& application, const std::string& section,
                                       const std::string& key, const std::string& fallback) const {
    const auto settings = open(application);
    settings->beginGroup(QString::fromStdString(section));
    const QString stored = findKey(*settings, QString::fromStdString(key));
    if (stored.isEmpty()) {
        return fallback;
    }
    return settings->value(stored).toString().toStdString();
}

void QtProfileStore::saveSetting(const std::string& application, const std::string& section, const std::string& key,
                                 const std::string& value) {
    const auto settings = open(application);
    settings->beginGroup(QString::fromStdString(section));
    // Replacing an entry keeps the spelling under which it was first stored.
    QString stored = findKey(*settings, QString::fromStdString(key));
    if (stored.isEmpty()) {
        stored = QString::fromStdString(key);
    }
    settings->setValue(stored, QString::fromStdString(value));
    settings->endGroup();
    settings->sync();
}

}  // namespace quorvel
