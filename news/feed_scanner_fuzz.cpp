#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "news/content_coding.h"
#include "news/feed_encoding.h"
#include "news/feed_entries.h"
#include "news/feed_markup.h"
#include "news/feed_scanner.h"
#include "news/news_link.h"
#include "text/code_pages.h"
#include "text/seven_bit.h"
#include "text/unicode.h"

namespace {

bool Within(std::string_view part, std::string_view text) {
    return part.empty() ||
           (part.data() >= text.data() && part.data() + part.size() <= text.data() + text.size());
}

bool HasLoneSurrogate(std::u16string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const bool high = text[i] >= 0xD800 && text[i] <= 0xDBFF;
        const bool low = text[i] >= 0xDC00 && text[i] <= 0xDFFF;
        if (high && (i + 1 == text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF)) {
            return true;
        }
        if (low && (i == 0 || text[i - 1] < 0xD800 || text[i - 1] > 0xDBFF)) {
            return true;
        }
    }
    return false;
}

void Check(bool holds) {
    if (!holds) {
        std::abort();
    }
}

// The first byte picks a reply charset, so that every decoder gets the bytes.
constexpr std::string_view kCharsets[] = {
    "",           "windows-1251", "shift_jis",   "gb2312",      "euc-kr",     "big5",
    "iso-8859-7", "koi8-r",       "iso-2022-jp", "iso-2022-kr", "hz-gb-2312", "utf-16"};

} // namespace

// Any bytes as an RSS, RDF or Atom feed in any encoding, and as a gzip or deflate body: no fault;
// every part lies inside the text; every row has a trimmed title of at most its length with no
// surrogate cut in two, and a link in valid UTF-8 whose address is printable ASCII.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string_view charset = kCharsets[data[0] % std::size(kCharsets)];
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    const qv::FeedText feed = qv::PrepareFeedText(bytes, charset);
    Check(feed.text.find('\0') == std::string_view::npos);
    const qv::RawFeed scanned = qv::ScanFeed(feed.text);
    Check(Within(scanned.link.content, feed.text) && Within(scanned.base, feed.text));
    for (const qv::RawEntry& raw : scanned.entries) {
        Check(Within(raw.title.content, feed.text) && Within(raw.link.content, feed.text) &&
              Within(raw.description.content, feed.text) && Within(raw.base, feed.text));
    }
    for (const qv::FeedEntry& entry : qv::ReadFeedEntries(bytes, charset)) {
        Check(!entry.title.empty() && qv::TrimText(entry.title).size() == entry.title.size());
        Check(entry.title.size() <= 2 * qv::kMaxTitleCharacters && !HasLoneSurrogate(entry.title));
        Check(qv::IsValidUtf8(entry.link));
        for (const char c : qv::NewsLinkAddress(entry.link)) {
            Check(c > 0x20 && c < 0x7F);
        }
    }
    // The decoders on their own, with the bytes as HTML.
    std::u16string wide;
    qv::AppendDecoded(wide, bytes, 65001);
    const std::u16string plain = qv::HtmlToPlainText(wide);
    Check(qv::TrimText(plain).size() == plain.size());
    // A coded body inflates within its bound or not at all.
    for (const char* coding : {"gzip", "deflate"}) {
        const auto inflated = qv::DecodeContent(bytes, coding, 1 << 16);
        Check(!inflated || inflated->size() <= (1 << 16));
    }
    for (unsigned codePage :
         {qv::kCodePageIso2022Jp, qv::kCodePageIso2022Kr, qv::kCodePageHzGb2312}) {
        qv::FromSevenBit(bytes, codePage);
    }
    return 0;
}
