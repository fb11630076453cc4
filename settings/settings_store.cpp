#include "settings/settings_store.h"

#include "framework/program_file_path.h"
#include "settings/stored_text.h"

namespace qv {

namespace {

UniqueRegKey CreateForWriting(const char* keyPath) {
    UniqueRegKey key;
    RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                    nullptr, key.put(), nullptr);
    return key;
}

void WriteText(HKEY key, const char* name, std::string_view text) {
    if (!key) {
        return;
    }
    const std::string terminated(text);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(terminated.c_str()),
                   DWORD(terminated.size() + 1));
}

// Quoted, so that Windows never takes the part of a path before a space for the program.
std::string StartupCommand() {
    std::string command = "\"";
    command.append(ProgramFilePath(kStartupProgramName)).push_back('"');
    return command;
}

} // namespace

SettingsReader::SettingsReader(const char* keyPath) {
    RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_QUERY_VALUE, key_.put());
}

uint32_t SettingsReader::ReadSettingNumber(const char* name, uint32_t defaultValue) const {
    if (!key_) {
        return defaultValue;
    }
    DWORD type = REG_NONE;
    DWORD value = defaultValue;
    DWORD size = sizeof value;
    const LONG status =
        RegQueryValueExA(key_.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    // A value of another type or size would leave a mix of stored and default bytes.
    if (status != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value) {
        return defaultValue;
    }
    return value;
}

std::string SettingsReader::ReadSettingText(const char* name) const {
    if (!key_) {
        return {};
    }
    char buffer[kSettingTextBufferSize];
    DWORD type = REG_NONE;
    DWORD size = sizeof buffer;
    const LONG status =
        RegQueryValueExA(key_.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return {};
    }
    return StoredTextFromBytes(buffer, size);
}

FeedSlot SettingsReader::ReadFeedSlot(int slot) const {
    if (slot < 1 || slot > 5) {
        return {};
    }
    return SplitFeedValue(ReadSettingText(kFeedSettings[slot - 1]));
}

SettingsWriter::SettingsWriter(const char* keyPath) : key_(CreateForWriting(keyPath)) {}

void SettingsWriter::WriteSettingNumber(const char* name, uint32_t value) const {
    if (!key_) {
        return;
    }
    const DWORD stored = value;
    RegSetValueExA(key_.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&stored),
                   sizeof stored);
}

void SettingsWriter::WriteSettingText(const char* name, std::string_view text) const {
    WriteText(key_.get(), name, text);
}

void WriteStartupEntry(bool on, const char* runKeyPath) {
    const UniqueRegKey key = CreateForWriting(runKeyPath);
    WriteText(key.get(), kStartupEntryName, on ? StartupCommand() : "");
}

} // namespace qv
