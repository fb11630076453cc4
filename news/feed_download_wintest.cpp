#include "news/feed_download.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "testing/loopback_http_server.h"
#include "testing/system_proxy_override.h"

namespace {

using qv::FeedDownloader;
using qv::FeedDownloadLimits;
using qv::testing::LoopbackHttpServer;
using qv::testing::Reply;
using qv::testing::SystemProxyOverride;

const std::string kFeed = "<rss><channel><item><title>Fresh</title><link>http://n/1</link></item>"
                          "</channel></rss>\n";
const std::string kPrevious = "<rss><item><title>Previous</title><link>p</link></item></rss>";

class FeedDownload : public ::testing::Test {
protected:
    void SetUp() override {
        char folder[MAX_PATH];
        GetTempPathA(MAX_PATH, folder);
        path_ = folder;
        path_ += "quorvel-feed-download-test.xml";
        std::ofstream(path_, std::ios::binary) << kPrevious;
        DeleteFileA(qv::DownloadPathFor(path_).c_str());
        local_ = folder;
        local_ += "quorvel local feed.xml";
        DeleteFileA(local_.c_str());
    }
    void TearDown() override {
        DeleteFileA(path_.c_str());
        DeleteFileA(qv::DownloadPathFor(path_).c_str());
        DeleteFileA(local_.c_str());
    }

    std::string FileBytes() const {
        std::ostringstream bytes;
        bytes << std::ifstream(path_, std::ios::binary).rdbuf();
        return bytes.str();
    }
    bool PartialLeft() const {
        return GetFileAttributesA(qv::DownloadPathFor(path_).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    // The local feed's address as a browser writes it: forward slashes, the space escaped.
    std::string LocalUrl() const {
        std::string url = "file:///";
        for (const char c : local_) {
            url += c == '\\' ? "/" : c == ' ' ? "%20" : std::string(1, c);
        }
        return url;
    }

    std::string path_;
    std::string local_;
    LoopbackHttpServer server_;
};

// A body with no length announced: its end is the end of the connection.
Reply Unannounced(const std::string& body) {
    Reply reply;
    reply.head = "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nConnection: close\r\n\r\n";
    reply.body.push_back({0, body});
    return reply;
}

Reply Redirect(const std::string& status, const std::string& location) {
    Reply reply;
    reply.head = "HTTP/1.1 " + status + "\r\nLocation: " + location +
                 "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
    return reply;
}

TEST_F(FeedDownload, AWholeBodyReplacesTheFileAndEveryDownloadAsksTheServer) {
    server_.Route("/feed.xml", Reply::Ok(kFeed));
    FeedDownloader downloader({});
    EXPECT_TRUE(downloader.Download(server_.Url("/feed.xml"), path_));
    EXPECT_EQ(FileBytes(), kFeed);
    EXPECT_FALSE(PartialLeft());

    server_.Route("/feed.xml", Reply::Ok("<rss>changed</rss>"));
    EXPECT_TRUE(FeedDownloader({}).Download(server_.Url("/feed.xml"), path_));
    EXPECT_EQ(FileBytes(), "<rss>changed</rss>"); // not the cached first answer
    EXPECT_EQ(server_.Requests("/feed.xml"), 2);
    for (const std::string& head : server_.RequestHeads()) {
        EXPECT_NE(head.find("no-cache"), std::string::npos) << head;
    }
}

TEST_F(FeedDownload, EveryFailureLeavesThePreviousFileByteForByte) {
    const std::string body(40000, 'x');
    server_.Route("/404", Reply::Page("HTTP/1.1 404 Not Found", body));
    server_.Route("/500", Reply::Page("HTTP/1.1 500 Internal Server Error", body));
    server_.Route("/reset", Reply::ResetMidBody(body));
    Reply unannounced; // nothing but the broken read tells that the body is cut
    unannounced.head = "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n";
    unannounced.body = {{0, body.substr(0, 20000)}, {100, ""}};
    unannounced.end = Reply::End::Reset;
    server_.Route("/reset-unannounced", std::move(unannounced));
    server_.Route("/short", Reply::ShortBody(body));
    server_.Route("/stall", Reply::Stall(body));
    server_.Route("/silent", Reply::Ok(body).Delayed(5000)); // no answer at all for 5 s
    server_.Route("/drip", Reply::Drip(body, 20));
    server_.Route("/huge", Reply::Ok(std::string(3 << 20, 'y')));
    FeedDownloadLimits limits;
    limits.receiveTimeoutMs = 700;
    limits.totalTimeMs = 1500;
    limits.maxBytes = 1 << 20;
    FeedDownloader downloader(limits);
    for (const std::string& url :
         {server_.Url("/404"), server_.Url("/500"), server_.Url("/reset"),
          server_.Url("/reset-unannounced"), server_.Url("/short"), server_.Url("/stall"),
          server_.Url("/silent"), server_.Url("/drip"), server_.Url("/huge"),
          LoopbackHttpServer::RefusedUrl(), std::string(), std::string("not a url")}) {
        EXPECT_FALSE(downloader.Download(url, path_)) << url;
        EXPECT_EQ(FileBytes(), kPrevious) << url;
        EXPECT_FALSE(PartialLeft()) << url;
    }
}

TEST_F(FeedDownload, AFailureLeavesAMissingFileMissing) {
    DeleteFileA(path_.c_str());
    server_.Route("/short", Reply::ShortBody(kFeed));
    EXPECT_FALSE(FeedDownloader({}).Download(server_.Url("/short"), path_));
    EXPECT_EQ(GetFileAttributesA(path_.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(FeedDownload, ALocalFeedIsCopiedFromItsFileUrlAndAMissingOrOversizedOneChangesNothing) {
    std::ofstream(local_, std::ios::binary) << kFeed;
    FeedDownloadLimits limits;
    limits.maxBytes = kFeed.size();
    EXPECT_TRUE(FeedDownloader(limits).Download(LocalUrl(), path_)) << LocalUrl();
    EXPECT_EQ(FileBytes(), kFeed);
    EXPECT_FALSE(PartialLeft());

    std::ofstream(path_, std::ios::binary) << kPrevious;
    std::ofstream(local_, std::ios::binary) << kFeed << ' '; // one byte over the limit
    EXPECT_FALSE(FeedDownloader(limits).Download(LocalUrl(), path_));
    DeleteFileA(local_.c_str());
    EXPECT_FALSE(FeedDownloader(limits).Download(LocalUrl(), path_));
    EXPECT_EQ(FileBytes(), kPrevious);
    EXPECT_FALSE(PartialLeft());
}

TEST_F(FeedDownload, AnHttpsFeedIsAskedForOverATunnelToPort443) {
    LoopbackHttpServer proxy;
    const SystemProxyOverride proxySettings(proxy.Port());
    EXPECT_FALSE(FeedDownloader({}).Download("https://feeds.example/secure.xml", path_));
    ASSERT_FALSE(proxy.RequestLines().empty());
    EXPECT_EQ(proxy.RequestLines()[0], "CONNECT feeds.example:443 HTTP/1.1");
    EXPECT_EQ(FileBytes(), kPrevious); // the proxy would not tunnel
}

TEST_F(FeedDownload, TheQueryStringReachesTheServer) {
    server_.Route("/feed.php?id=7&format=rss", Reply::Ok(kFeed));
    EXPECT_TRUE(FeedDownloader({}).Download(server_.Url("/feed.php?id=7&format=rss"), path_));
    EXPECT_EQ(server_.RequestLines(),
              (std::vector<std::string>{"GET /feed.php?id=7&format=rss HTTP/1.1"}));
    EXPECT_EQ(FileBytes(), kFeed);
}

TEST_F(FeedDownload, RedirectsAreFollowedAndTheFinalBodySaved) {
    server_.Route("/old.xml", Redirect("301 Moved Permanently", server_.Url("/moved.xml")));
    server_.Route("/moved.xml", Redirect("302 Found", server_.Url("/feed.xml")));
    server_.Route("/feed.xml", Reply::Ok(kFeed));
    EXPECT_TRUE(FeedDownloader({}).Download(server_.Url("/old.xml"), path_));
    EXPECT_EQ(FileBytes(), kFeed);
    EXPECT_EQ(server_.Requests("/feed.xml"), 1);
}

TEST_F(FeedDownload, AStalledServerIsLeftAfterTheReceiveTimeoutAndThePreviousFileKept) {
    server_.Route("/stall", Reply::Stall(kFeed));
    FeedDownloadLimits limits;
    limits.receiveTimeoutMs = 800;
    limits.totalTimeMs = 600000; // only the receive time-out can end the wait
    const ULONGLONG start = GetTickCount64();
    EXPECT_FALSE(FeedDownloader(limits).Download(server_.Url("/stall"), path_));
    const ULONGLONG waited = GetTickCount64() - start;
    EXPECT_GE(waited, 700u);
    EXPECT_LT(waited, 10000u);
    EXPECT_EQ(FileBytes(), kPrevious);
    EXPECT_FALSE(PartialLeft());
}

TEST_F(FeedDownload, ABodyUpToTheLimitIsSavedAndOneByteMoreIsNotAnnouncedOrNot) {
    FeedDownloadLimits limits;
    limits.maxBytes = 300000;
    const std::string whole(limits.maxBytes, 'w');
    const std::string over = whole + "!";
    for (const bool announced : {true, false}) {
        server_.Route("/whole", announced ? Reply::Ok(whole) : Unannounced(whole));
        server_.Route("/over", announced ? Reply::Ok(over) : Unannounced(over));
        std::ofstream(path_, std::ios::binary) << kPrevious;
        EXPECT_FALSE(FeedDownloader(limits).Download(server_.Url("/over"), path_)) << announced;
        EXPECT_EQ(FileBytes(), kPrevious) << announced;
        EXPECT_TRUE(FeedDownloader(limits).Download(server_.Url("/whole"), path_)) << announced;
        EXPECT_EQ(FileBytes().size(), whole.size()) << announced;
    }
}

// A charset after long other parameters still names the encoding the file is kept in, up to the
// header bound of 2 KiB (its ending zero counted); a longer Content-Type is read as none.
TEST_F(FeedDownload, ALongContentTypeKeepsItsCharsetUpToTheBound) {
    const std::string charset = "=1; charset=koi8-r";
    const auto typeOf = [&](size_t length) {
        const std::string start = "text/xml; ";
        return start + std::string(length - start.size() - charset.size(), 'p') + charset;
    };
    const std::string body = "<t>\xF0\xD2</t>";
    for (const size_t length : {size_t(320), size_t(2047), size_t(2048)}) {
        server_.Route("/feed.xml", Reply::Page("HTTP/1.1 200 OK", body, typeOf(length)));
        EXPECT_TRUE(FeedDownloader({}).Download(server_.Url("/feed.xml"), path_)) << length;
        const std::string kept = length < 2048 ? "\xEF\xBB\xBF<t>\xD0\x9F\xD1\x80</t>" // Пр
                                               : body;
        EXPECT_EQ(FileBytes(), kept) << length;
    }
}

// A coding never asked for is asked for again once, plain; a reply still so coded is no feed.
TEST_F(FeedDownload, AnUnknownCodingIsAskedForAgainAsItIs) {
    const Reply brotli = Reply::Page("HTTP/1.1 200 OK", "\x1B\x03\x01\xF8 garbled",
                                     "text/xml\r\nContent-Encoding: br");
    server_.Route("/feed.xml", brotli);
    server_.Route("/feed.xml", "Accept-Encoding: identity", Reply::Ok(kFeed));
    EXPECT_TRUE(FeedDownloader({}).Download(server_.Url("/feed.xml"), path_));
    EXPECT_EQ(FileBytes(), kFeed);
    const std::vector<std::string> heads = server_.RequestHeads();
    ASSERT_EQ(heads.size(), 2u);
    EXPECT_NE(heads[0].find("\r\nAccept-Encoding: gzip, deflate\r\n"), std::string::npos);

    std::ofstream(path_, std::ios::binary) << kPrevious;
    server_.Route("/feed.xml", "Accept-Encoding: identity", brotli);
    EXPECT_FALSE(FeedDownloader({}).Download(server_.Url("/feed.xml"), path_));
    EXPECT_EQ(FileBytes(), kPrevious);
    EXPECT_EQ(server_.Requests("/feed.xml"), 4);
}

TEST_F(FeedDownload, ABodyAnnouncedOverTheLimitIsRefusedWithoutWaitingForIt) {
    server_.Route("/huge", Reply::Stall(std::string(1001, 'h'))); // the head alone
    FeedDownloadLimits limits;
    limits.maxBytes = 1000;
    limits.receiveTimeoutMs = 10000;
    const ULONGLONG start = GetTickCount64();
    EXPECT_FALSE(FeedDownloader(limits).Download(server_.Url("/huge"), path_));
    EXPECT_LT(GetTickCount64() - start, 5000u);
    EXPECT_EQ(FileBytes(), kPrevious);
}

} // namespace
