#pragma once

#include <cstdint>

namespace qv {

inline constexpr const char* kSettingsKeyPath = "Software\\Quorvel";
inline constexpr const char* kRunKeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char* kStartupEntryName = "Quorvel";
inline constexpr const char* kStartupProgramName = "Quorvel.exe";

inline constexpr const char* kStartupSetting = "Startup";
inline constexpr const char* kNicAdapterSetting = "NicAdapter";
inline constexpr const char* kUpdateFrequencySetting = "UpdateFrequency";
inline constexpr const char* kDefaultRssSetting = "DefaultRss";
inline constexpr const char* kAffSetting = "Aff";
inline constexpr const char* kFeedSettings[5] = {"Rss1", "Rss2", "Rss3", "Rss4", "Rss5"};

// Texts are read into a buffer of this size: at most 511 characters come back.
inline constexpr uint32_t kSettingTextBufferSize = 512;

// DefaultRss names feeds 1..5; anything else means feed 1.
inline int DefaultFeedNumber(uint32_t stored) {
    return stored >= 1 && stored <= 5 ? int(stored) : 1;
}

} // namespace qv
