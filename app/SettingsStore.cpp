#include "app/SettingsStore.h"

#include <QByteArray>
#include <QSettings>
#include <QVariant>

#include <bit>
#include <cstring>

namespace vemo {

namespace {

QString Key(std::string_view name) {
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

} // namespace

std::optional<std::uint32_t> IntegerOfText(const QString& text) {
    bool ok = false;
    const qlonglong v = text.trimmed().toLongLong(&ok, 10);
    if (!ok || v < -2147483648LL || v > 4294967295LL) return std::nullopt;
    return static_cast<std::uint32_t>(v);
}

IniSettingsStore::IniSettingsStore(QString path) : path_(std::move(path)) {}

IniSettingsStore::~IniSettingsStore() = default;

bool IniSettingsStore::Open() {
    settings_ = std::make_unique<QSettings>(path_, QSettings::IniFormat);
    if (settings_->status() == QSettings::AccessError) return false;
    settings_->beginGroup("Settings");
    return true;
}

std::optional<std::uint32_t> IniSettingsStore::ReadInteger(std::string_view name) {
    if (!settings_) return std::nullopt;
    const QVariant v = settings_->value(Key(name));
    // Text read from the file, or a number this process wrote itself; a byte array, a list
    // ("1, 2") or nothing is of another type.
    switch (v.typeId()) {
    case QMetaType::QString:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return IntegerOfText(v.toString());
    default:
        return std::nullopt;
    }
}

std::optional<double> IniSettingsStore::ReadFloat(std::string_view name) {
    if (!settings_) return std::nullopt;
    const QVariant v = settings_->value(Key(name));
    if (v.typeId() != QMetaType::QByteArray) return std::nullopt;
    const QByteArray bytes = v.toByteArray();
    if (bytes.size() != 8) return std::nullopt;
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = bits << 8 | static_cast<std::uint8_t>(bytes[i]);
    return std::bit_cast<double>(bits);
}

std::optional<std::string> IniSettingsStore::ReadText(std::string_view name) {
    if (!settings_) return std::nullopt;
    const QVariant v = settings_->value(Key(name));
    if (v.typeId() != QMetaType::QString) return std::nullopt;
    return v.toString().toStdString();
}

bool IniSettingsStore::WriteInteger(std::string_view name, std::uint32_t value) {
    if (!settings_) return false;
    // Written as the signed value, so -1 (no selection) reads as it looks.
    settings_->setValue(Key(name), static_cast<std::int32_t>(value));
    return true;
}

bool IniSettingsStore::WriteFloat(std::string_view name, double value) {
    if (!settings_) return false;
    std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
    QByteArray bytes(8, '\0');
    for (int i = 0; i < 8; ++i, bits >>= 8)
        bytes[i] = static_cast<char>(bits & 0xFF);
    settings_->setValue(Key(name), bytes);
    return true;
}

bool IniSettingsStore::WriteText(std::string_view name, const std::string& value) {
    if (!settings_) return false;
    settings_->setValue(Key(name), QString::fromStdString(value));
    return true;
}

bool IniSettingsStore::Close() {
    if (!settings_) return false;
    settings_->endGroup();
    settings_->sync();
    const bool ok = settings_->status() == QSettings::NoError;
    settings_.reset();
    return ok;
}

QString UserSettingsFile() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, "TarnwickSystems", "Vemo")
        .fileName();
}

#ifndef Q_OS_WIN
std::unique_ptr<SettingsStore> UserSettingsStore() {
    return std::make_unique<IniSettingsStore>(UserSettingsFile());
}
#endif

} // namespace vemo
