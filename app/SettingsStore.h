#pragma once
// The per-user store the settings live in: typed values under one key, as the Windows
// registry keeps them. An integer is a 32-bit value (a DWORD); a float is a binary value of
// exactly 8 bytes holding a little-endian IEEE-754 double. A value of the other type, or of
// another size, does not read.
//
// Windows: the registry key HKEY_CURRENT_USER\Software\TarnwickSystems\Vemo\Settings.
// Elsewhere: the INI file of organisation "TarnwickSystems", application "Vemo", group
// "Settings" (on Linux $XDG_CONFIG_HOME/TarnwickSystems/Vemo.ini, ~/.config by default). An
// integer is written there as plain decimal text and a float as its 8 bytes in a byte array
// ("@ByteArray(...)"); an integer reads only from text that converts whole to a 32-bit value
// (-2147483648 .. 4294967295), a float only from a byte array of exactly 8 bytes. A text is
// plain text (a string value, REG_SZ, in the registry).
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class QSettings;

namespace vemo {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // Opens the key, creating it when it is missing; false when it cannot be opened.
    virtual bool Open() = 0;
    virtual std::optional<std::uint32_t> ReadInteger(std::string_view name) = 0;
    virtual std::optional<double> ReadFloat(std::string_view name) = 0;
    // A text (REG_SZ), UTF-8 here.
    virtual std::optional<std::string> ReadText(std::string_view name) = 0;
    // False when the value could not be written.
    virtual bool WriteInteger(std::string_view name, std::uint32_t value) = 0;
    virtual bool WriteFloat(std::string_view name, double value) = 0;
    virtual bool WriteText(std::string_view name, const std::string& value) = 0;
    // Makes what was written lasting; false when the store could not be written.
    virtual bool Close() = 0;
};

// The settings as an INI file at `path`, in the group "Settings".
class IniSettingsStore : public SettingsStore {
public:
    explicit IniSettingsStore(QString path);
    ~IniSettingsStore() override;
    bool Open() override;
    std::optional<std::uint32_t> ReadInteger(std::string_view name) override;
    std::optional<double> ReadFloat(std::string_view name) override;
    std::optional<std::string> ReadText(std::string_view name) override;
    bool WriteInteger(std::string_view name, std::uint32_t value) override;
    bool WriteFloat(std::string_view name, double value) override;
    bool WriteText(std::string_view name, const std::string& value) override;
    bool Close() override;

private:
    QString path_;
    std::unique_ptr<QSettings> settings_;
};

// The integer rule of the INI file: decimal text (an optional sign, digits, blanks around)
// whose value lies in -2147483648 .. 4294967295, kept as its 32 bits.
std::optional<std::uint32_t> IntegerOfText(const QString& text);

// The INI file of the user's settings on this system (not used on Windows).
QString UserSettingsFile();

// The user's store: the registry on Windows, the INI file elsewhere.
std::unique_ptr<SettingsStore> UserSettingsStore();

} // namespace vemo
