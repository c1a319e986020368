#include "platform/settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStorageInfo>

namespace platform {

namespace {
const QString kApplication = QStringLiteral("Kestrovan");
const QString kSection = QStringLiteral("Mirravel");
}

SettingsStore::SettingsStore(std::unique_ptr<QSettings> settings, QString group, QString privateFile)
    : settings_(std::move(settings)), group_(std::move(group)), privateFile_(std::move(privateFile))
{
    protectFile();
}

SettingsStore::~SettingsStore() = default;

std::unique_ptr<SettingsStore> SettingsStore::forCurrentUser()
{
#ifdef _WIN32
    auto settings = std::make_unique<QSettings>(
        QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\") + kApplication,
        QSettings::NativeFormat);
    return std::unique_ptr<SettingsStore>(new SettingsStore(std::move(settings), kSection, QString()));
#else
    auto settings = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, kApplication);
    const QString file = settings->fileName();
    return std::unique_ptr<SettingsStore>(new SettingsStore(std::move(settings), kSection, file));
#endif
}

std::unique_ptr<SettingsStore> SettingsStore::inFile(const QString& iniPath)
{
    auto settings = std::make_unique<QSettings>(iniPath, QSettings::IniFormat);
    return std::unique_ptr<SettingsStore>(new SettingsStore(std::move(settings), kSection, iniPath));
}

// The file is made before the first write, owner-only, so the passwords in it are never
// readable by others, not even for a moment.
void SettingsStore::protectFile()
{
    if (privateFile_.isEmpty())
        return;
    QFileInfo info(privateFile_);
    // Whatever else stands at the path (a folder, say) is not the store's to change.
    if (info.exists() && !info.isFile())
        return;
    QDir().mkpath(info.absolutePath());
    QFile file(privateFile_);
    if (!file.exists() && file.open(QIODevice::WriteOnly))
        file.close();
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

QString SettingsStore::read(const QString& key) const
{
    return settings_->value(group_ + QLatin1Char('/') + key, QString()).toString();
}

bool SettingsStore::write(const QString& key, const QString& value)
{
    settings_->setValue(group_ + QLatin1Char('/') + key, value);
    settings_->sync();
    protectFile();
    if (settings_->status() != QSettings::AccessError)
        return true;
    writeProblem_ = describeWriteProblem();
    return false;
}

QString SettingsStore::describeWriteProblem() const
{
    const QString path = QDir::toNativeSeparators(settings_->fileName());
    if (settings_->format() != QSettings::IniFormat)
        return path + QStringLiteral(" cannot be written");
    const QFileInfo file(settings_->fileName());
    if (file.isDir())
        return path + QStringLiteral(" is a folder");
    const QFileInfo folder(file.absolutePath());
    if (!folder.isDir())
        return QStringLiteral("the folder of ") + path + QStringLiteral(" cannot be made");
    QFile probe(settings_->fileName());
    if (!probe.open(QIODevice::Append))
        return path + QStringLiteral(": ") + probe.errorString();
    probe.close();
    const QStorageInfo storage(folder.absoluteFilePath());
    if (storage.isValid() && storage.bytesAvailable() == 0)
        return path + QStringLiteral(": the disk is full");
    return path + QStringLiteral(" could not be written");
}

} // namespace platform
