#include "media/playlist_codec.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using qv::FormatPlaylist;
using qv::NumberedName;
using qv::ParsePlaylist;
using qv::PlaylistEntry;
using Entries = std::vector<PlaylistEntry>;

TEST(PlaylistCodec, WritesOneRecordPerEntryWithALineFeed) {
    const Entries entries{{"Intro", "http://a/b.wmv"}, {"", ""}};
    EXPECT_EQ(FormatPlaylist(entries),
              "<song>Intro</song><link>http://a/b.wmv</link>\n<song></song><link></link>\n");
    EXPECT_EQ(FormatPlaylist({}), "");
}

TEST(PlaylistCodec, RoundTripsTrimmedEntriesInOrder) {
    const Entries entries{{"One", "c:\\music\\one.mp3"},
                          {"Two words", "http://x/y?a=1&b=\"2\""},
                          {"", "empty name"},
                          {"no link", ""},
                          {"\xe9t\xe9", "mms://h/s"}};
    EXPECT_EQ(ParsePlaylist(FormatPlaylist(entries)), entries);
}

TEST(PlaylistCodec, EmptyOrTaglessTextIsAnEmptyPlaylist) {
    EXPECT_TRUE(ParsePlaylist("").empty());
    EXPECT_TRUE(ParsePlaylist("just words\r\n<link>x</link>").empty());
    EXPECT_TRUE(
        ParsePlaylist("<SONG>a</SONG><LINK>b</LINK>\n<Song>c</Song><Link>d</Link>").empty());
}

TEST(PlaylistCodec, TrimsWhiteSpaceInsideTagsAndIgnoresTextBetweenRecords) {
    const std::string text =
        "junk\r\n<song> \t\r\nName\r\n</song>\r\n<link>\vhttp://l\f </link>\r\n"
        "\r\n stray <song>B</song> x <link>b</link>";
    EXPECT_EQ(ParsePlaylist(text), (Entries{{"Name", "http://l"}, {"B", "b"}}));
    const std::string crlf = "<song>A</song><link>a</link>\r\n<song>B</song><link>b</link>\r\n";
    const std::string lf = "<song>A</song><link>a</link>\n<song>B</song><link>b</link>\n";
    EXPECT_EQ(ParsePlaylist(crlf), ParsePlaylist(lf));
}

TEST(PlaylistCodec, ARecordWithoutLinkTagsEndsTheReading) {
    EXPECT_EQ(ParsePlaylist("<song>A</song><link>a</link>\n<song>B</song>\n<song>C</song>\n"),
              (Entries{{"A", "a"}, {"B", ""}}));
}

TEST(PlaylistCodec, ARecordWithoutLinkTakesTheNextRecordsLink) {
    EXPECT_EQ(ParsePlaylist("<song>A</song>\n<song>B</song><link>b</link>\n"
                            "<song>C</song><link>c</link>\n"),
              (Entries{{"A", "b"}, {"C", "c"}}));
}

TEST(PlaylistCodec, MissingClosingTagsGiveOneLastEntryWithEmptyFields) {
    EXPECT_EQ(ParsePlaylist("<song>A</song><link>a</link><song>never closed"),
              (Entries{{"A", "a"}, {"", ""}}));
    EXPECT_EQ(ParsePlaylist("<song>A</song><link>a never closed\n<song>B</song><link>b"),
              (Entries{{"A", ""}}));
    // The closing tag found is simply the next one in the file.
    EXPECT_EQ(ParsePlaylist("<song>A</song><link>a\n<song>B</song><link>b</link>"),
              (Entries{{"A", "a\n<song>B</song><link>b"}}));
}

TEST(PlaylistCodec, ANameHoldingTheClosingTagIsCutThere) {
    const Entries written{{"Rock</song>Roll", "r"}, {"Next", "n"}};
    EXPECT_EQ(ParsePlaylist(FormatPlaylist(written)), (Entries{{"Rock", "r"}, {"Next", "n"}}));
}

TEST(PlaylistCodec, TextHoldingATagCannotBeStored) {
    for (const char* tag : {"<song>", "</song>", "<link>", "</link>"}) {
        EXPECT_TRUE(qv::HoldsPlaylistTag(std::string("a") + tag + "b")) << tag;
        EXPECT_TRUE(qv::HoldsPlaylistTag(tag)) << tag;
    }
    for (const char* text : {"", "a < b > c", "<Song>", "<song", "/link>", "http://x/?a=<b>"}) {
        EXPECT_FALSE(qv::HoldsPlaylistTag(text)) << text;
    }
}

TEST(PlaylistCodec, TextEndsAtTheFirstNulByte) {
    const std::string text("<song>A</song><link>a</link>\0<song>B</song><link>b</link>", 57);
    EXPECT_EQ(ParsePlaylist(text), (Entries{{"A", "a"}}));
}

bool ShiftJisLeadByte(uint8_t byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

TEST(PlaylistCodec, NeverMatchesATagInsideADoubleByteCharacter) {
    // 0x81 0x3C is one character whose second byte happens to be '<'.
    const std::string name = "\x81<song>";
    const std::string text = "<song>" + name + "</song><link>l</link>";
    EXPECT_EQ(ParsePlaylist(text, ShiftJisLeadByte), (Entries{{name, "l"}}));
    // Read as single bytes, the inner "<song>" is just text: the name is the same either way,
    // but a closing tag behind a lead byte is only found without the code page rule.
    const std::string hidden = "<song>a\x81</song>b</song><link>l</link>";
    EXPECT_EQ(ParsePlaylist(hidden, ShiftJisLeadByte)[0].name, "a\x81</song>b");
    EXPECT_EQ(ParsePlaylist(hidden)[0].name, "a\x81");
}

TEST(PlaylistCodec, NumbersRowsFromOne) {
    EXPECT_EQ(NumberedName(3, "Intro"), "3. Intro");
    EXPECT_EQ(NumberedName(12, ""), "12. ");
}

} // namespace
