// The settings in the Windows registry, with the value types the registry gives them: a
// REG_DWORD for an integer, an 8-byte REG_BINARY for a float, a REG_SZ for a text. QSettings
// cannot write the first two as such (it keeps a byte array as text), so this store calls the
// registry directly.
#include "app/SettingsStore.h"

#ifdef Q_OS_WIN
#include <windows.h>

#include <QString>

#include <cstring>
#include <string>

namespace vemo {

namespace {

std::wstring Wide(std::string_view name) {
    return std::wstring(name.begin(), name.end()); // the value names are plain ASCII
}

class RegistrySettingsStore : public SettingsStore {
public:
    ~RegistrySettingsStore() override { Close(); }

    bool Open() override {
        // Both levels are created when missing.
        HKEY base = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\TarnwickSystems\\Vemo", 0, nullptr, 0,
                            KEY_READ | KEY_WRITE, nullptr, &base, nullptr) != ERROR_SUCCESS)
            return false;
        const LONG r = RegCreateKeyExW(base, L"Settings", 0, nullptr, 0, KEY_READ | KEY_WRITE,
                                       nullptr, &key_, nullptr);
        RegCloseKey(base);
        if (r != ERROR_SUCCESS) key_ = nullptr;
        return key_ != nullptr;
    }

    std::optional<std::uint32_t> ReadInteger(std::string_view name) override {
        DWORD type = 0, value = 0, size = sizeof value;
        if (!key_ || RegQueryValueExW(key_, Wide(name).c_str(), nullptr, &type,
                                      reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS)
            return std::nullopt;
        if (type != REG_DWORD || size != sizeof value) return std::nullopt;
        return static_cast<std::uint32_t>(value);
    }

    std::optional<double> ReadFloat(std::string_view name) override {
        DWORD type = 0, size = 0;
        const std::wstring w = Wide(name);
        if (!key_ ||
            RegQueryValueExW(key_, w.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            return std::nullopt;
        if (type != REG_BINARY || size != 8) return std::nullopt;
        BYTE bytes[8] = {};
        if (RegQueryValueExW(key_, w.c_str(), nullptr, &type, bytes, &size) != ERROR_SUCCESS ||
            size != 8)
            return std::nullopt;
        std::uint64_t bits = 0;
        for (int i = 7; i >= 0; --i)
            bits = bits << 8 | bytes[i];
        double value = 0;
        static_assert(sizeof value == sizeof bits);
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

    std::optional<std::string> ReadText(std::string_view name) override {
        DWORD type = 0, size = 0;
        const std::wstring w = Wide(name);
        if (!key_ ||
            RegQueryValueExW(key_, w.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            return std::nullopt;
        if (type != REG_SZ) return std::nullopt;
        std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
        DWORD got = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        if (RegQueryValueExW(key_, w.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                             &got) != ERROR_SUCCESS)
            return std::nullopt;
        text.resize(got / sizeof(wchar_t));
        while (!text.empty() && text.back() == L'\0') // the stored end, when there is one
            text.pop_back();
        return QString::fromStdWString(text).toStdString();
    }

    bool WriteInteger(std::string_view name, std::uint32_t value) override {
        const DWORD v = value;
        return key_ && RegSetValueExW(key_, Wide(name).c_str(), 0, REG_DWORD,
                                      reinterpret_cast<const BYTE*>(&v), sizeof v) == ERROR_SUCCESS;
    }

    bool WriteFloat(std::string_view name, double value) override {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        BYTE bytes[8];
        for (int i = 0; i < 8; ++i, bits >>= 8)
            bytes[i] = static_cast<BYTE>(bits & 0xFF);
        return key_ &&
               RegSetValueExW(key_, Wide(name).c_str(), 0, REG_BINARY, bytes, 8) == ERROR_SUCCESS;
    }

    bool WriteText(std::string_view name, const std::string& value) override {
        const std::wstring text = QString::fromStdString(value).toStdWString();
        const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
        return key_ &&
               RegSetValueExW(key_, Wide(name).c_str(), 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(text.c_str()), bytes) == ERROR_SUCCESS;
    }

    bool Close() override {
        if (!key_) return false;
        RegCloseKey(key_);
        key_ = nullptr;
        return true;
    }

private:
    HKEY key_ = nullptr;
};

} // namespace

std::unique_ptr<SettingsStore> UserSettingsStore() {
    return std::make_unique<RegistrySettingsStore>();
}

} // namespace vemo
#endif
