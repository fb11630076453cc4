#include "news/feed_fetch_state.h"

#include <array>

#include "text/decimal.h"

namespace qv {

namespace {

// Longer than any ETag or date a server sends; a longer one is not kept.
constexpr size_t kMaxHeaderValue = 512;

constexpr std::array<std::string_view, 5> kOutcomeNames{"none", "updated", "not-modified",
                                                        "asked-to-wait", "failed"};

std::optional<FetchOutcome> ParseOutcome(std::string_view name) {
    for (size_t i = 0; i < kOutcomeNames.size(); ++i) {
        if (kOutcomeNames[i] == name) {
            return FetchOutcome(i);
        }
    }
    return std::nullopt;
}

std::optional<FeedFileIdentity> ParseIdentity(std::string_view value) {
    const size_t space = value.find(' ');
    if (space == std::string_view::npos) {
        return std::nullopt;
    }
    const auto size = ParseDecimal<uint64_t>(value.substr(0, space));
    const auto time = ParseDecimal<uint64_t>(value.substr(space + 1));
    if (!size || !time) {
        return std::nullopt;
    }
    return FeedFileIdentity{*size, *time};
}

// The last second of the year 9999: a later time is no time of ours.
constexpr int64_t kLatestTime = 253402300799;

void ReadTime(std::string_view value, int64_t& time) {
    time = ParseDecimal<int64_t>(value).value_or(0);
    if (time > kLatestTime) {
        time = 0;
    }
}

void ReadField(FeedFetchState& state, std::string_view name, std::string_view value) {
    if (name == "address") {
        state.address = value;
    } else if (name == "etag") {
        state.etag = value;
    } else if (name == "last-modified") {
        state.lastModified = value;
    } else if (name == "file") {
        state.file = ParseIdentity(value);
    } else if (name == "outcome") {
        state.outcome = ParseOutcome(value).value_or(FetchOutcome::None);
    } else if (name == "attempt") {
        ReadTime(value, state.lastAttempt);
    } else if (name == "success") {
        ReadTime(value, state.lastSuccess);
    } else if (name == "update") {
        ReadTime(value, state.lastUpdate);
    } else if (name == "wait-until") {
        ReadTime(value, state.waitUntil);
    } else if (name == "failing-since") {
        ReadTime(value, state.failingSince);
    } else if (name == "failures") {
        state.failures = ParseDecimal<uint32_t>(value).value_or(0);
    }
}

bool IsPrintableAscii(std::string_view value) {
    for (const char c : value) {
        if (c < 0x20 || c > 0x7E) {
            return false;
        }
    }
    return true;
}

void WriteLine(std::string& text, std::string_view name, std::string_view value) {
    if (!value.empty()) {
        text.append(name).append(" ").append(value).append("\n");
    }
}

void WriteNumber(std::string& text, std::string_view name, uint64_t number) {
    if (number != 0) {
        WriteLine(text, name, std::to_string(number));
    }
}

} // namespace

bool IsSendableHeaderValue(std::string_view value) {
    return value.size() <= kMaxHeaderValue && IsPrintableAscii(value);
}

FeedFetchState ParseFeedFetchState(std::string_view text) {
    FeedFetchState state;
    while (!text.empty()) {
        const size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        const size_t space = line.find(' ');
        if (space != std::string_view::npos && IsPrintableAscii(line.substr(space + 1))) {
            ReadField(state, line.substr(0, space), line.substr(space + 1));
        }
    }
    return state;
}

std::string FeedFetchStateText(const FeedFetchState& state) {
    std::string text;
    WriteLine(text, "address", state.address);
    WriteLine(text, "etag", state.etag);
    WriteLine(text, "last-modified", state.lastModified);
    if (state.file) {
        WriteLine(text, "file",
                  std::to_string(state.file->size) + " " +
                      std::to_string(state.file->lastWriteTime));
    }
    WriteLine(text, "outcome", kOutcomeNames[size_t(state.outcome)]);
    WriteNumber(text, "attempt", uint64_t(state.lastAttempt));
    WriteNumber(text, "success", uint64_t(state.lastSuccess));
    WriteNumber(text, "update", uint64_t(state.lastUpdate));
    WriteNumber(text, "wait-until", uint64_t(state.waitUntil));
    WriteNumber(text, "failing-since", uint64_t(state.failingSince));
    WriteNumber(text, "failures", state.failures);
    return text;
}

std::string FetchStatePathFor(const std::string& feedPath) {
    return feedPath + ".fetch";
}

} // namespace qv
