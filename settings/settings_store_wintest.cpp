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
    EXPECT_EQ(reader.ReadSettingText("Rss1"), L"");
    EXPECT_EQ(reader.ReadFeedSlot(1), (qv::FeedSlot{"", ""}));
    EXPECT_FALSE(scratch.HasValue("Startup")); // reading never creates anything
}

TEST(SettingsStore, NumbersAndTextsRoundTrip) {
    ScratchRegistryKey scratch("RoundTrip");
    {
        const SettingsWriter writer(scratch.path());
        writer.WriteSettingNumber("NicAdapter", 0xFFFFFFFF);
        writer.WriteSettingNumber("UpdateFrequency", 4);
        writer.WriteFeedSlot(2, {"World", "http://x/?a=1^b"});
        writer.WriteSettingText("Rss3", L"");
    }
    const SettingsReader reader(scratch.path());
    EXPECT_EQ(int32_t(reader.ReadSettingNumber("NicAdapter", 0)), -1);
    EXPECT_EQ(reader.ReadSettingNumber("UpdateFrequency", 0), 4u);
    EXPECT_EQ(reader.ReadFeedSlot(2), (qv::FeedSlot{"World", "http://x/?a=1^b"}));
    EXPECT_TRUE(scratch.HasValue("Rss3"));
    EXPECT_EQ(reader.ReadSettingText("Rss3"), L"");
    EXPECT_EQ(reader.ReadFeedSlot(0), (qv::FeedSlot{}));
    EXPECT_EQ(reader.ReadFeedSlot(6), (qv::FeedSlot{}));
}

// Texts are stored as strings with their terminating zero, as every reader of the registry
// expects (Wine adds a missing zero itself; Windows does not).
TEST(SettingsStore, TextsAreStoredWithTheirTerminatingZero) {
    ScratchRegistryKey scratch("Terminated");
    SettingsWriter(scratch.path()).WriteSettingText("Rss5", L"Five^http://5");
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
    writer.WriteSettingText("Rss1", std::wstring(511, L'a'));
    writer.WriteSettingText("Rss2", std::wstring(512, L'b'));
    writer.WriteSettingText("Rss3", std::wstring(5000, L'c'));
    const SettingsReader reader(scratch.path());
    EXPECT_EQ(reader.ReadSettingText("Rss1"), std::wstring(511, L'a'));
    EXPECT_EQ(reader.ReadSettingText("Rss2"), L"");
    EXPECT_EQ(reader.ReadFeedSlot(3), (qv::FeedSlot{"", ""}));
}

// Through the wide registry functions a title in any script comes back as typed.
TEST(SettingsStore, FeedSlotsInEveryScriptReadBackUnchanged) {
    ScratchRegistryKey scratch("Scripts");
    const qv::FeedSlot slots[] = {{"Ειδήσεις", "http://gr/"},
                                  {"Новости", "http://ru/"},
                                  {"ニュース速報", "http://jp/"},
                                  {"新闻", "http://cn/"},
                                  {"뉴스 \U00020BB7", "http://kr/?q=أخبار"}};
    {
        const SettingsWriter writer(scratch.path());
        for (int n = 1; n <= 5; ++n) {
            writer.WriteFeedSlot(n, slots[n - 1]);
        }
    }
    const SettingsReader reader(scratch.path());
    for (int n = 1; n <= 5; ++n) {
        EXPECT_EQ(reader.ReadFeedSlot(n), slots[n - 1]) << n;
    }
    EXPECT_EQ(reader.ReadSettingText("Rss3"), L"ニュース速報^http://jp/");
}

// Values stored by earlier versions through the ANSI functions (code page 1252 in the test
// prefix) read as the same characters.
TEST(SettingsStore, TextsOfEarlierVersionsReadUnchanged) {
    ASSERT_EQ(GetACP(), 1252u);
    ScratchRegistryKey scratch("Earlier");
    scratch.WriteRaw("Rss1", REG_SZ, "Caf\xE9 \x80^http://c/", 17);
    const SettingsReader reader(scratch.path());
    EXPECT_EQ(reader.ReadSettingText("Rss1"), L"Caf\u00E9 \u20AC^http://c/");
    EXPECT_EQ(reader.ReadFeedSlot(1), (qv::FeedSlot{"Café €", "http://c/"}));
}

// 511 UTF-16 units read back, 512 do not: a character beyond the basic plane counts twice.
TEST(SettingsStore, TheTextLimitCountsUtf16Units) {
    ScratchRegistryKey scratch("Units");
    std::wstring pairs;
    for (int i = 0; i < 255; ++i) {
        pairs += L"\U00020BB7";
    }
    const SettingsWriter writer(scratch.path());
    writer.WriteSettingText("Rss1", pairs + L"x");
    writer.WriteSettingText("Rss2", pairs + L"xy");
    const SettingsReader reader(scratch.path());
    EXPECT_EQ(reader.ReadSettingText("Rss1"), pairs + L"x");
    EXPECT_EQ(reader.ReadSettingText("Rss2"), L"");
}

TEST(SettingsStore, TextWithoutTerminatingZeroIsReadWhole) {
    ScratchRegistryKey scratch("Unterminated");
    scratch.WriteRaw("Rss1", REG_SZ, "News^http://n", 13);
    scratch.WriteRaw("Rss2", REG_SZ, std::string(512, 'z').data(), 512);
    const SettingsReader reader(scratch.path());
    EXPECT_EQ(reader.ReadFeedSlot(1), (qv::FeedSlot{"News", "http://n"}));
    EXPECT_EQ(reader.ReadSettingText("Rss2"), L"");
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
    EXPECT_EQ(reader.ReadSettingText("Number"), L"");
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
