#include "settings/settings_store.h"

#include "framework/program_file_path.h"
#include "framework/wide_text.h"
#include "settings/stored_text.h"

namespace qv {

namespace {

UniqueRegKey CreateForWriting(const char* keyPath) {
    UniqueRegKey key;
    RegCreateKeyExW(HKEY_CURRENT_USER, Widen(keyPath).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                    KEY_WRITE, nullptr, key.put(), nullptr);
    return key;
}

void WriteText(HKEY key, const char* name, std::wstring_view text) {
    if (!key) {
        return;
    }
    const std::wstring terminated(text);
    RegSetValueExW(key, Widen(name).c_str(), 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(terminated.c_str()),
                   DWORD((terminated.size() + 1) * sizeof(wchar_t)));
}

// Quoted, so that Windows never takes the part of a path before a space for the program.
std::wstring StartupCommand() {
    return L"\"" + FromUtf8(ProgramFilePath(kStartupProgramName)) + L"\"";
}

} // namespace

SettingsReader::SettingsReader(const char* keyPath) {
    RegOpenKeyExW(HKEY_CURRENT_USER, Widen(keyPath).c_str(), 0, KEY_QUERY_VALUE, key_.put());
}

uint32_t SettingsReader::ReadSettingNumber(const char* name, uint32_t defaultValue) const {
    return ReadStoredNumber(name).value_or(defaultValue);
}

std::optional<uint32_t> SettingsReader::ReadStoredNumber(const char* name) const {
    if (!key_) {
        return std::nullopt;
    }
    DWORD type = REG_NONE;
    DWORD value = 0;
    DWORD size = sizeof value;
    const LONG status = RegQueryValueExW(key_.get(), Widen(name).c_str(), nullptr, &type,
                                         reinterpret_cast<BYTE*>(&value), &size);
    // A value of another type or size would leave a mix of stored and default bytes.
    if (status != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value) {
        return std::nullopt;
    }
    return value;
}

std::wstring SettingsReader::ReadSettingText(const char* name) const {
    if (!key_) {
        return {};
    }
    char16_t buffer[kSettingTextBufferSize];
    DWORD type = REG_NONE;
    DWORD size = sizeof buffer;
    const LONG status = RegQueryValueExW(key_.get(), Widen(name).c_str(), nullptr, &type,
                                         reinterpret_cast<BYTE*>(buffer), &size);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return {};
    }
    return Wide(StoredText(buffer, size / sizeof buffer[0]));
}

FeedSlot SettingsReader::ReadFeedSlot(int slot) const {
    if (slot < 1 || slot > 5) {
        return {};
    }
    return SplitFeedValue(Utf8(ReadSettingText(kFeedSettings[slot - 1])));
}

SettingsWriter::SettingsWriter(const char* keyPath) : key_(CreateForWriting(keyPath)) {}

void SettingsWriter::WriteSettingNumber(const char* name, uint32_t value) const {
    if (!key_) {
        return;
    }
    const DWORD stored = value;
    RegSetValueExW(key_.get(), Widen(name).c_str(), 0, REG_DWORD,
                   reinterpret_cast<const BYTE*>(&stored), sizeof stored);
}

void SettingsWriter::WriteSettingText(const char* name, std::wstring_view text) const {
    WriteText(key_.get(), name, text);
}

void SettingsWriter::WriteFeedSlot(int slot, const FeedSlot& feed) const {
    if (slot >= 1 && slot <= 5) {
        WriteSettingText(kFeedSettings[slot - 1], FromUtf8(JoinFeedValue(feed.title, feed.source)));
    }
}

void WriteStartupEntry(bool on, const char* runKeyPath) {
    const UniqueRegKey key = CreateForWriting(runKeyPath);
    WriteText(key.get(), kStartupEntryName, on ? StartupCommand() : L"");
}

} // namespace qv
