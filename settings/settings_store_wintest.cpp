#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include "settings/settings_wintest_support.h"
#include "testing/scratch_registry.h"

namespace {

using qv::SettingsReader;
using qv::SettingsWriter;
using qv::testing::ScratchRegistryKey;

TEST(SettingsStore, MissingKeyGivesEveryDefault) {
    ScratchRegistryKey scratch("Missing");
    const SettingsReader reader(scratch.path());
    EXPECT_EQ(reader.ReadSettingNumber("Startup", 0), 0u);
    EXPECT_EQ(reader.ReadSettingNumber("UpdateFrequency", 0), 0u);
    EXPECT_EQ(reader.ReadSettingNumber("DefaultRss", 1), 1u);
    EXPECT_EQ(reader.ReadSettingText("Rss1"), "");
    EXPECT_EQ(reader.ReadFeedSlot(1), (qv::FeedSlot{"", ""}));
    EXPECT_FALSE(scratch.HasValue("Startup")); // reading never creates anything
}

TEST(SettingsStore, NumbersAndTextsRoundTrip) {
    ScratchRegistryKey scratch("RoundTrip");
    {
        const SettingsWriter writer(scratch.path());
        writer.WriteSettingNumber("NicAdapter", 0xFFFFFFFF);
        writer.WriteSettingNumber("UpdateFrequency", 4);
        writer.WriteSettingText("Rss2", qv::JoinFeedValue("World", "http://x/?a=1^b"));
        writer.WriteSettingText("Rss3", "");
    }
    const SettingsReader reader(scratch.path());
    EXPECT_EQ(int32_t(reader.ReadSettingNumber("NicAdapter", 0)), -1);
    EXPECT_EQ(reader.ReadSettingNumber("UpdateFrequency", 0), 4u);
    EXPECT_EQ(reader.ReadFeedSlot(2), (qv::FeedSlot{"World", "http://x/?a=1^b"}));
    EXPECT_TRUE(scratch.HasValue("Rss3"));
    EXPECT_EQ(reader.ReadSettingText("Rss3"), "");
    EXPECT_EQ(reader.ReadFeedSlot(0), (qv::FeedSlot{}));
    EXPECT_EQ(reader.ReadFeedSlot(6), (qv::FeedSlot{}));
}

// Texts are stored as strings with their terminating zero, as every reader of the registry
// expects (Wine adds a missing zero itself; Windows does not).
TEST(SettingsStore, TextsAreStoredWithTheirTerminatingZero) {
    ScratchRegistryKey scratch("Terminated");
    SettingsWriter(scratch.path()).WriteSettingText("Rss5", "Five^http://5");
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, scratch.path(), 0, KEY_QUERY_VALUE, &key),
              ERROR_SUCCESS);
    char stored[32] = {};
    DWORD type = REG_NONE;
    DWORD size = sizeof stored;
    const LONG status =
        RegQueryValueExA(key, "Rss5", nullptr, &type, reinterpret_cast<BYTE*>(stored), &size);
    RegCloseKey(key);
    ASSERT_EQ(status, ERROR_SUCCESS);
    EXPECT_EQ(type, DWORD(REG_SZ));
    EXPECT_EQ(size, 14u);
    EXPECT_EQ(SettingsReader(scratch.path()).ReadFeedSlot(5), (qv::FeedSlot{"Five", "http://5"}));
}

TEST(SettingsStore, TextsOf512CharactersOrMoreReadAsMissing) {
    ScratchRegistryKey scratch("Long");
    const SettingsWriter writer(scratch.path());
    writer.WriteSettingText("Rss1", std::string(511, 'a'));
    writer.WriteSettingText("Rss2", std::string(512, 'b'));
    writer.WriteSettingText("Rss3", std::string(5000, 'c'));
    const SettingsReader reader(scratch.path());
    EXPECT_EQ(reader.ReadSettingText("Rss1"), std::string(511, 'a'));
    EXPECT_EQ(reader.ReadSettingText("Rss2"), "");
    EXPECT_EQ(reader.ReadFeedSlot(3), (qv::FeedSlot{"", ""}));
}

TEST(SettingsStore, TextWithoutTerminatingZeroIsReadWhole) {
    ScratchRegistryKey scratch("Unterminated");
    scratch.WriteRaw("Rss1", REG_SZ, "News^http://n", 13);
    scratch.WriteRaw("Rss2", REG_SZ, std::string(512, 'z').data(), 512);
    const SettingsReader reader(scratch.path());
    EXPECT_EQ(reader.ReadFeedSlot(1), (qv::FeedSlot{"News", "http://n"}));
    EXPECT_EQ(reader.ReadSettingText("Rss2"), "");
}

TEST(SettingsStore, ValuesOfTheWrongTypeOrSizeTakeTheirDefault) {
    ScratchRegistryKey scratch("WrongTypes");
    const uint16_t shortNumber = 3;
    const uint64_t longNumber = 5;
    const DWORD number = 7;
    scratch.WriteRaw("Short", REG_BINARY, &shortNumber, sizeof shortNumber);
    scratch.WriteRaw("Long", REG_QWORD, &longNumber, sizeof longNumber);
    scratch.WriteRaw("Text", REG_SZ, "12", 3);
    scratch.WriteRaw("Number", REG_DWORD, &number, sizeof number);
    scratch.WriteRaw("ShortDword", REG_DWORD, &shortNumber, sizeof shortNumber);
    const SettingsReader reader(scratch.path());
    EXPECT_EQ(reader.ReadSettingNumber("Short", 42), 42u);
    EXPECT_EQ(reader.ReadSettingNumber("Long", 42), 42u);
    EXPECT_EQ(reader.ReadSettingNumber("Text", 42), 42u);
    EXPECT_EQ(reader.ReadSettingText("Number"), "");
    EXPECT_EQ(reader.ReadSettingNumber("Number", 42), 7u);
    EXPECT_EQ(reader.ReadSettingNumber("ShortDword", 0x12340000), 0x12340000u);
}

// The test program bears another name than Quorvel.exe: the entry still names Quorvel.exe, in
// quotes, so that a folder with spaces cannot make Windows start another program.
TEST(SettingsStore, StartupEntryNamesQuorvelExeBesideTheProgramInQuotesAndIsNeverDeleted) {
    ScratchRegistryKey run("Run");
    qv::WriteStartupEntry(true, run.path());
    const std::string expected = qv::testing::QuotedQuorvelBesideThisProgram();
    EXPECT_EQ(run.ReadText("Quorvel"), expected);
    EXPECT_NE(expected.find(":\\"), std::string::npos) << expected; // a full Windows path
    qv::WriteStartupEntry(false, run.path());
    EXPECT_TRUE(run.HasValue("Quorvel"));
    EXPECT_EQ(run.ReadText("Quorvel"), "");
}

} // namespace
