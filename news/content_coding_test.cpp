#include "news/content_coding.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "news/feed_entries.h"

namespace {

using qv::DecodeContent;
using namespace std::string_literals;

constexpr size_t kMax = 1 << 20;

// Made by Python's gzip and zlib modules from the feed below.
const std::string kFeed =
    "<rss><item><title>Repeat repeat repeat repeat repeat</title></item></rss>";
const std::string kGzip =
    "\x1F\x8B\x08\x00\x00\x00\x00\x00\x02\x03\xB3\x29\x2A\x2E\xB6\xB3\xC9\x2C\x49\xCD\xB5\xB3\x29"
    "\xC9\x2C\xC9\x49\xB5\x0B\x4A\x2D\x48\x4D\x2C\x51\x28\xC2\x4D\xD9\xE8\x43\x54\xDA\xE8\x43\xF4"
    "\xE9\x83\xCC\x00\x00\x6C\x4A\x26\x4C\x49\x00\x00\x00"s;
const std::string kZlib =
    "\x78\x9C\xB3\x29\x2A\x2E\xB6\xB3\xC9\x2C\x49\xCD\xB5\xB3\x29\xC9\x2C\xC9\x49\xB5\x0B\x4A\x2D"
    "\x48\x4D\x2C\x51\x28\xC2\x4D\xD9\xE8\x43\x54\xDA\xE8\x43\xF4\xE9\x83\xCC\x00\x00\xE5\x96\x1A"
    "\xA1"s;
// Stored (not compressed), and with a file name in the header.
const std::string kStored = "\x1F\x8B\x08\x00\x00\x00\x00\x00\x04\x03\x01\x07\x00\xF8\xFF\x73\x74"
                            "\x6F\x72\x65\x64\x21\xA2\x65\xEF\x09\x07\x00\x00\x00"s;
const std::string kNamed = "\x1F\x8B\x08\x08\x00\x00\x00\x00\x02\xFF\x66\x65\x65\x64\x2E\x78\x6D"
                           "\x6C\x00\xCB\x4B\xCC\x4D\x4D\x01\x00\x87\xCC\xE0\x71\x05\x00\x00\x00"s;

TEST(ContentCoding, GzipAndDeflateBodiesInflate) {
    EXPECT_EQ(DecodeContent(kGzip, "gzip", kMax), kFeed);
    EXPECT_EQ(DecodeContent(kGzip, "X-GZIP ", kMax), kFeed);
    EXPECT_EQ(DecodeContent(kStored, "gzip", kMax), "stored!");
    EXPECT_EQ(DecodeContent(kNamed, "gzip", kMax), "named");
    EXPECT_EQ(DecodeContent(kStored + kNamed, "gzip", kMax), "stored!named"); // two members
    // A header with its own CRC: two more bytes before the data.
    std::string headerCrc = kGzip;
    headerCrc[3] = 0x02;
    headerCrc.insert(10, "\x25\x15"s);
    EXPECT_EQ(DecodeContent(headerCrc, "gzip", kMax), kFeed);
    EXPECT_EQ(DecodeContent(kZlib, "deflate", kMax), kFeed);
    // Bare deflate data, as some servers send for "deflate".
    EXPECT_EQ(DecodeContent(kZlib.substr(2, kZlib.size() - 6), "deflate", kMax), kFeed);
    EXPECT_EQ(DecodeContent(kFeed, "", kMax), kFeed);
    EXPECT_EQ(DecodeContent(kFeed, "identity", kMax), kFeed);
}

// Long runs of one byte: a call may only go on copying a match whose bits it has already read,
// across every output size around where the first output buffer fills.
TEST(ContentCoding, RunsThatFillTheOutputWithoutNewInputInflate) {
    for (size_t size = 65'000; size < 66'500; size += 7) {
        const std::string run(size, 'a');
        std::string coded(compressBound(uLong(size)), '\0');
        uLongf codedSize = uLongf(coded.size());
        ASSERT_EQ(compress(reinterpret_cast<Bytef*>(coded.data()), &codedSize,
                           reinterpret_cast<const Bytef*>(run.data()), uLong(size)),
                  Z_OK);
        coded.resize(codedSize);
        EXPECT_EQ(DecodeContent(coded, "deflate", kMax), run) << size;
    }
}

// Anything but a whole, intact body is no feed: the old file must stay.
TEST(ContentCoding, ABodyCutShortCorruptOrTooLargeIsNone) {
    for (size_t length = 0; length < kGzip.size(); ++length) {
        EXPECT_EQ(DecodeContent(kGzip.substr(0, length), "gzip", kMax), std::nullopt) << length;
    }
    for (size_t length = 0; length < kZlib.size(); ++length) {
        EXPECT_EQ(DecodeContent(kZlib.substr(0, length), "deflate", kMax), std::nullopt) << length;
    }
    std::string badCrc = kGzip;
    badCrc[badCrc.size() - 8] ^= 1;
    std::string badLength = kGzip;
    badLength[badLength.size() - 4] ^= 1;
    std::string badData = kGzip;
    badData[20] ^= 0x40;
    std::string badAdler = kZlib;
    badAdler.back() ^= 1;
    EXPECT_EQ(DecodeContent(badCrc, "gzip", kMax), std::nullopt);
    EXPECT_EQ(DecodeContent(badLength, "gzip", kMax), std::nullopt);
    EXPECT_EQ(DecodeContent(badData, "gzip", kMax), std::nullopt);
    EXPECT_EQ(DecodeContent(badAdler, "deflate", kMax), std::nullopt);
    std::string badStoredLength = kStored;
    badStoredLength[13] ^= 1; // the one's complement of the stored block's length
    EXPECT_EQ(DecodeContent(badStoredLength, "gzip", kMax), std::nullopt);
    EXPECT_EQ(DecodeContent(kGzip + "junk", "gzip", kMax), std::nullopt);
    EXPECT_EQ(DecodeContent(kFeed, "gzip", kMax), std::nullopt);
    EXPECT_EQ(DecodeContent(kZlib, "gzip", kMax), std::nullopt); // a gzip body has its own header
    EXPECT_EQ(DecodeContent(kGzip, "br", kMax), std::nullopt);
    EXPECT_EQ(DecodeContent(kGzip, "gzip", kFeed.size()), kFeed);
    EXPECT_EQ(DecodeContent(kGzip, "gzip", kFeed.size() - 1), std::nullopt);
    EXPECT_EQ(DecodeContent(kStored, "gzip", 6), std::nullopt);
}

// The corpus's gzip-coded feed, as a server sends it (skipped without the corpus).
TEST(ContentCoding, TheCorpusGzipFeedInflatesToItsItems) {
    const auto path = std::filesystem::path(__FILE__).parent_path() / ".." / ".." / "shared" /
                      "rss-corpus" / "rss2-nshipster-gzip.xml.gz";
    if (!std::filesystem::exists(path)) {
        GTEST_SKIP() << "no feed corpus";
    }
    std::ostringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    const auto feed = DecodeContent(bytes.str(), "gzip", 16 << 20);
    ASSERT_TRUE(feed);
    EXPECT_EQ(feed->size(), 807'101u);
    EXPECT_EQ(qv::ReadFeedEntries(*feed).size(), 25u);
}

} // namespace
