#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "framework/handles.h"
#include "settings/feed_value.h"
#include "settings/setting_names.h"

namespace qv {

// One reading occasion: the settings key is opened once, query-only, for all of its reads.
// A missing key or value, or one of the wrong type or size, yields the default. Texts go through
// the wide registry functions, so a text in any script reads back as it was stored; a feed slot
// comes back as UTF-8.
class SettingsReader {
public:
    explicit SettingsReader(const char* keyPath = kSettingsKeyPath);

    uint32_t ReadSettingNumber(const char* name, uint32_t defaultValue) const;
    // None when the value is missing or not a number (another type or size).
    std::optional<uint32_t> ReadStoredNumber(const char* name) const;
    std::wstring ReadSettingText(const char* name) const;
    FeedSlot ReadFeedSlot(int slot) const; // slot 1..5

private:
    UniqueRegKey key_;
};

// One writing occasion: the key is created if needed and opened once for all of its writes.
// A failed write leaves the old value and the later writes still run.
class SettingsWriter {
public:
    explicit SettingsWriter(const char* keyPath = kSettingsKeyPath);

    void WriteSettingNumber(const char* name, uint32_t value) const;
    void WriteSettingText(const char* name, std::wstring_view text) const;
    void WriteFeedSlot(int slot, const FeedSlot& feed) const; // slot 1..5

private:
    UniqueRegKey key_;
};

// The Run-key entry: the full path of Quorvel.exe beside the program, in quotes, when on; the
// empty text when off; it is never deleted.
void WriteStartupEntry(bool on, const char* runKeyPath = kRunKeyPath);

} // namespace qv
