#include "SettingsStore.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QSettings>
#include <cstring>

namespace {

QString testSettingsFile;
QString testWorkDir;

// Record 13 has no name: it is the key's default value.
QString Key(const std::string &name)
{
    return name.empty() ? QStringLiteral("Default") : QString::fromLatin1(name.data(), qsizetype(name.size()));
}

bool IsNumber(const QVariant &v, int &out)
{
    if (!v.isValid() || v.typeId() == QMetaType::QByteArray)
        return false;
    bool ok = false;
    out = v.toInt(&ok);
    return ok;
}

// QSettings waits for the lock file of its file without end, and a folder in
// its place is never taken away: a lock that stays taken makes the store
// unwritable instead, and the preferences go to the fallback file.
constexpr int LockWaitMs = 1000;

bool LockFree(const QSettings &s)
{
#if defined(Q_OS_WIN) || defined(Q_OS_DARWIN)
    if (s.format() == QSettings::NativeFormat)
        return true;  // the registry and the preference domains have no lock file
#endif
    QLockFile lock(s.fileName() + QStringLiteral(".lock"));
    return lock.tryLock(LockWaitMs);
}

}  // namespace

TSettingsStore::TSettingsStore() = default;
TSettingsStore::~TSettingsStore() = default;

std::unique_ptr<QSettings> TSettingsStore::NewSettings() const
{
    if (!testSettingsFile.isEmpty())
        return std::make_unique<QSettings>(testSettingsFile, QSettings::IniFormat);
    auto s = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("tarnwick"),
                                         QStringLiteral("Velmora"));
    // The user's own key only, as the registry key under the current user.
    s->setFallbacksEnabled(false);
    return s;
}

bool TSettingsStore::OpenReadOnly()
{
    settings_ = NewSettings();
    if (settings_->status() == QSettings::NoError && !settings_->allKeys().isEmpty())
        return true;
    settings_.reset();
    return false;
}

bool TSettingsStore::Open()
{
    settings_ = NewSettings();
    if (settings_->isWritable() && LockFree(*settings_))
        return true;
    settings_.reset();
    return false;
}

bool TSettingsStore::Close()
{
    if (!settings_)
        return false;
    settings_->sync();
    const bool ok = settings_->status() == QSettings::NoError;
    settings_.reset();
    return ok;
}

QVariant TSettingsStore::Value(const std::string &name) const
{
    return settings_ ? settings_->value(Key(name)) : QVariant();
}

bool TSettingsStore::ReadBool(const std::string &name, bool &value)
{
    int v = 0;
    if (!IsNumber(Value(name), v))
        return false;
    value = v != 0;
    return true;
}

bool TSettingsStore::ReadInteger(const std::string &name, int32_t &value)
{
    int v = 0;
    if (!IsNumber(Value(name), v))
        return false;
    value = v;
    return true;
}

bool TSettingsStore::ReadString(const std::string &name, std::string &value)
{
    const QVariant v = Value(name);
    if (!v.isValid()) {
        value.clear();
        return true;
    }
    if (v.typeId() != QMetaType::QString)
        return false;
    value = v.toString().toLatin1().toStdString();
    return true;
}

bool TSettingsStore::ReadBinary(const std::string &name, std::string &value)
{
    const QVariant v = Value(name);
    if (v.typeId() != QMetaType::QByteArray)
        return false;
    value = v.toByteArray().toStdString();
    return true;
}

bool TSettingsStore::ReadDate(const std::string &name, double &days)
{
    std::string bytes;
    if (!ReadBinary(name, bytes) || bytes.size() != sizeof(double))
        return false;
    std::memcpy(&days, bytes.data(), sizeof days);
    return true;
}

void TSettingsStore::WriteBool(const std::string &name, bool value)
{
    if (settings_)
        settings_->setValue(Key(name), value ? 1 : 0);
}

void TSettingsStore::WriteInteger(const std::string &name, int32_t value)
{
    if (settings_)
        settings_->setValue(Key(name), int(value));
}

void TSettingsStore::WriteString(const std::string &name, const std::string &value)
{
    if (settings_)
        settings_->setValue(Key(name), QString::fromLatin1(value.data(), qsizetype(value.size())));
}

void TSettingsStore::WriteBinary(const std::string &name, const std::string &value)
{
    if (settings_)
        settings_->setValue(Key(name), QByteArray(value.data(), qsizetype(value.size())));
}

void TSettingsStore::WriteDate(const std::string &name, double days)
{
    // Eight bytes of an IEEE double, as the date was always kept.
    WriteBinary(name, std::string(reinterpret_cast<const char *>(&days), sizeof days));
}

QString TSettingsStore::FallbackPath()
{
    const QDir dir(testWorkDir.isEmpty() ? QDir::currentPath() : testWorkDir);
    return dir.filePath(QString::fromLatin1(FallbackFileName));
}

bool TSettingsStore::ReadFallback(std::string &bytes)
{
    // A pipe in its place would block the start.
    if (!QFileInfo(FallbackPath()).isFile())
        return false;
    QFile f(FallbackPath());
    if (!f.open(QIODevice::ReadOnly))
        return false;
    // A preference file is 1024 bytes: a larger file is read no further.
    const QByteArray data = f.read(FallbackFileSize + 1);
    bytes.assign(data.constData(), size_t(data.size()));
    return f.error() == QFileDevice::NoError;
}

bool TSettingsStore::WriteFallback(const std::string &bytes)
{
    QSaveFile f(FallbackPath());
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(bytes.data(), qint64(bytes.size()));
    return f.commit();
}

void TSettingsStore::EraseFallback()
{
    QFile::remove(FallbackPath());
}

QString TSettingsStore::UpdateServer()
{
    TSettingsStore store;
    const QVariant v = store.NewSettings()->value(QString::fromLatin1(UpdateServerName));
    const QString host = v.typeId() == QMetaType::QString ? v.toString().trimmed() : QString();
    return host.isEmpty() ? QString::fromLatin1(DefaultUpdateServer) : host;
}

void TSettingsStore::SetUpdateServer(const QString &host)
{
    TSettingsStore store;
    auto s = store.NewSettings();
    s->setValue(QString::fromLatin1(UpdateServerName), host);
}

double TSettingsStore::Today()
{
    return double(QDate(1899, 12, 30).daysTo(QDate::currentDate()));
}

void TSettingsStore::SetTestPaths(const QString &settingsFile, const QString &workDir)
{
    testSettingsFile = settingsFile;
    testWorkDir = workDir;
}

std::pair<QString, QString> TSettingsStore::TestPaths()
{
    return {testSettingsFile, testWorkDir};
}
