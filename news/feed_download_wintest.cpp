#include "news/feed_download.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "testing/loopback_http_server.h"

namespace {

using qv::FeedDownloader;
using qv::FeedDownloadLimits;
using qv::testing::LoopbackHttpServer;
using qv::testing::Reply;

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
    }
    void TearDown() override {
        DeleteFileA(path_.c_str());
        DeleteFileA(qv::DownloadPathFor(path_).c_str());
    }

    std::string FileBytes() const {
        std::ostringstream bytes;
        bytes << std::ifstream(path_, std::ios::binary).rdbuf();
        return bytes.str();
    }
    bool PartialLeft() const {
        return GetFileAttributesA(qv::DownloadPathFor(path_).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    std::string path_;
    LoopbackHttpServer server_;
};

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
         {server_.Url("/404"), server_.Url("/500"), server_.Url("/reset"), server_.Url("/short"),
          server_.Url("/stall"), server_.Url("/silent"), server_.Url("/drip"), server_.Url("/huge"),
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

} // namespace
