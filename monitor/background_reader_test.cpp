#include "monitor/background_reader.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <semaphore>

namespace {

using namespace qv;
using namespace std::chrono_literals;

// A reading names its source in `source` and gets `value` back.
struct Reading {
    int source = 0;
    int value = 0;
};

// A source that answers source × 10 and fails for negative sources; it can be held in the
// middle of a reading.
class Source {
public:
    bool Read(Reading& reading) {
        ++reads;
        if (held) {
            release.acquire();
        }
        reading.value = reading.source * 10;
        return reading.source >= 0;
    }

    std::atomic<int> reads{0};
    std::atomic<bool> held{false};
    std::binary_semaphore release{0};
};

class BackgroundReading : public ::testing::Test {
protected:
    Source source;
    BackgroundReader<Reading> reader{[this](Reading& reading) { return source.Read(reading); }};
    Reading answer;
};

TEST_F(BackgroundReading, HandsOverEachFinishedReadingOnce) {
    EXPECT_FALSE(reader.Take(answer)); // nothing asked yet
    reader.Request({3, 0});
    ASSERT_TRUE(reader.AwaitIdle(2s));
    EXPECT_EQ(reader.Take(answer), std::optional<bool>(true));
    EXPECT_EQ(answer.value, 30);
    EXPECT_FALSE(reader.Take(answer)); // already taken
    reader.Request({-1, 0});
    ASSERT_TRUE(reader.AwaitIdle(2s));
    EXPECT_EQ(reader.Take(answer), std::optional<bool>(false));
}

TEST_F(BackgroundReading, ARequestWhileOneIsUnderWayIsDropped) {
    source.held = true;
    reader.Request({1, 0});
    reader.Request({2, 0});
    reader.Request({3, 0});
    EXPECT_FALSE(reader.AwaitIdle(20ms)); // the reading is held, nothing finished
    EXPECT_FALSE(reader.Take(answer));
    source.held = false;
    source.release.release();
    ASSERT_TRUE(reader.AwaitIdle(2s));
    EXPECT_EQ(source.reads, 1);
    ASSERT_TRUE(reader.Take(answer));
    EXPECT_EQ(answer.value, 10);
}

TEST_F(BackgroundReading, AReplacedSourceNeverShowsAReadingOfTheOldOne) {
    source.held = true;
    reader.Request({1, 0}); // under way when the source changes
    while (source.reads == 0) {
        std::this_thread::yield();
    }
    reader.Replace({7, 70}, true);
    source.held = false;
    source.release.release();
    ASSERT_TRUE(reader.AwaitIdle(2s));
    ASSERT_EQ(reader.Take(answer), std::optional<bool>(true));
    EXPECT_EQ(answer.value, 70);
    EXPECT_FALSE(reader.Take(answer)); // the old reading was dropped, not queued behind
}

TEST(BackgroundReaderLifetime, EndsWithOrWithoutAWorker) {
    {
        BackgroundReader<Reading> never([](Reading&) { return true; });
    }
    std::atomic<int> reads{0};
    {
        BackgroundReader<Reading> used([&](Reading&) { return ++reads > 0; });
        used.Request({});
        used.AwaitIdle(2s);
    }
    EXPECT_EQ(reads, 1);
}

} // namespace
