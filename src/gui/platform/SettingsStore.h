// The preferences' settings store on Qt: QSettings in the platform's native
// format for organisation "tarnwick", application "Velmora" (on Windows the
// registry key Software\tarnwick\Velmora), and the fallback file
// "Velmora.con" in the working directory.
#pragma once

#include <QString>
#include <memory>
#include <utility>

#include "shell/Preferences.h"

class QSettings;

class TSettingsStore : public TPrefStore {
public:
    TSettingsStore();
    ~TSettingsStore() override;

    bool OpenReadOnly() override;
    bool Open() override;
    bool Close() override;
    bool ReadBool(const std::string &name, bool &value) override;
    bool ReadInteger(const std::string &name, int32_t &value) override;
    bool ReadString(const std::string &name, std::string &value) override;
    bool ReadBinary(const std::string &name, std::string &value) override;
    bool ReadDate(const std::string &name, double &days) override;
    void WriteBool(const std::string &name, bool value) override;
    void WriteInteger(const std::string &name, int32_t value) override;
    void WriteString(const std::string &name, const std::string &value) override;
    void WriteBinary(const std::string &name, const std::string &value) override;
    void WriteDate(const std::string &name, double days) override;
    bool ReadFallback(std::string &bytes) override;
    bool WriteFallback(const std::string &bytes) override;
    void EraseFallback() override;

    // Host (and port) of the update server: a setting of the store. The
    // default lies under ".invalid" and never resolves, so no machine is
    // asked unless the user names one.
    static QString UpdateServer();
    static void SetUpdateServer(const QString &host);

    // Today in days since 30 December 1899.
    static double Today();

    // Tests: the settings file and the working directory of the fallback
    // file in folders of their own, never the user's settings.
    static void SetTestPaths(const QString &settingsFile, const QString &workDir);
    static std::pair<QString, QString> TestPaths();
    static QString FallbackPath();

private:
    std::unique_ptr<QSettings> NewSettings() const;
    QVariant Value(const std::string &name) const;

    std::unique_ptr<QSettings> settings_;
};

inline constexpr const char *DefaultUpdateServer = "update.velmora.invalid";
inline constexpr const char *UpdateServerName = "UPDATESERVER";
