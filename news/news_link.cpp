#include "news/news_link.h"

#include <algorithm>
#include <iterator>
#include <optional>

#include "framework/percent_encoding.h"
#include "text/ascii.h"

namespace qv {

namespace {

bool IsSchemeCharacter(char c, bool first) {
    return IsAsciiLetter(c) ||
           (!first && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'));
}

// The five parts of a URI reference (RFC 3986, appendix B); a part left out is absent, which
// differs from empty for the scheme, the authority and the query.
struct UriParts {
    std::optional<std::string_view> scheme;
    std::optional<std::string_view> authority;
    std::string_view path;
    std::optional<std::string_view> query;
    std::optional<std::string_view> fragment;
};

UriParts SplitUri(std::string_view uri) {
    UriParts parts;
    size_t i = 0;
    while (i < uri.size() && IsSchemeCharacter(uri[i], i == 0)) {
        ++i;
    }
    if (i > 0 && i < uri.size() && uri[i] == ':') {
        parts.scheme = uri.substr(0, i);
        uri.remove_prefix(i + 1);
    }
    if (const size_t hash = uri.find('#'); hash != std::string_view::npos) {
        parts.fragment = uri.substr(hash + 1);
        uri = uri.substr(0, hash);
    }
    if (const size_t question = uri.find('?'); question != std::string_view::npos) {
        parts.query = uri.substr(question + 1);
        uri = uri.substr(0, question);
    }
    if (uri.starts_with("//")) {
        const size_t slash = uri.find('/', 2);
        parts.authority =
            uri.substr(2, slash == std::string_view::npos ? uri.size() - 2 : slash - 2);
        uri.remove_prefix(2 + parts.authority->size());
    }
    parts.path = uri;
    return parts;
}

void PopLastSegment(std::string& path) {
    const size_t slash = path.rfind('/');
    path.resize(slash == std::string::npos ? 0 : slash);
}

// Each segment is copied once and scanned back over at most once when ".." removes it.
std::string RemoveDotSegments(std::string_view path) {
    std::string out;
    size_t i = 0;
    while (i < path.size()) {
        const std::string_view rest = path.substr(i);
        if (rest.starts_with("../")) {
            i += 3;
        } else if (rest.starts_with("./") || rest.starts_with("/./")) {
            i += 2;
        } else if (rest == "/.") {
            out += '/';
            break;
        } else if (rest.starts_with("/../")) {
            i += 3;
            PopLastSegment(out);
        } else if (rest == "/..") {
            PopLastSegment(out);
            out += '/';
            break;
        } else if (rest == "." || rest == "..") {
            break;
        } else {
            const size_t next = std::min(path.find('/', i + 1), path.size());
            out.append(path.substr(i, next - i));
            i = next;
        }
    }
    return out;
}

// A relative path goes beside the base's last segment.
std::string MergePaths(const UriParts& base, std::string_view path) {
    std::string merged;
    if (base.authority && base.path.empty()) {
        merged = '/';
    } else if (const size_t slash = base.path.rfind('/'); slash != std::string_view::npos) {
        merged = base.path.substr(0, slash + 1);
    }
    merged += path;
    return merged;
}

std::string JoinUri(std::string_view scheme, std::optional<std::string_view> authority,
                    std::string_view path, std::optional<std::string_view> query,
                    std::optional<std::string_view> fragment) {
    std::string uri(scheme);
    uri += ':';
    if (authority) {
        uri += "//";
        uri += *authority;
    }
    uri += path;
    if (query) {
        uri += '?';
        uri += *query;
    }
    if (fragment) {
        uri += '#';
        uri += *fragment;
    }
    return uri;
}

// Browsers read an address without its tabs and line breaks: "java\tscript:" is a scheme.
std::string WithoutTabsOrLineBreaks(std::string_view text) {
    std::string kept;
    kept.reserve(text.size());
    std::copy_if(text.begin(), text.end(), std::back_inserter(kept),
                 [](char c) { return c != '\t' && c != '\n' && c != '\r'; });
    return kept;
}

} // namespace

std::string ResolveNewsLink(std::string_view baseText, std::string_view linkText) {
    const std::string link = WithoutTabsOrLineBreaks(linkText);
    const std::string baseAddress = WithoutTabsOrLineBreaks(baseText);
    const UriParts reference = SplitUri(link);
    const UriParts base = SplitUri(baseAddress);
    if (reference.scheme || link.empty() || !base.scheme) {
        return std::string(linkText);
    }
    if (reference.authority) {
        return JoinUri(*base.scheme, reference.authority, RemoveDotSegments(reference.path),
                       reference.query, reference.fragment);
    }
    if (reference.path.empty()) {
        return JoinUri(*base.scheme, base.authority, base.path,
                       reference.query ? reference.query : base.query, reference.fragment);
    }
    const std::string path = reference.path.starts_with('/')
                                 ? RemoveDotSegments(reference.path)
                                 : RemoveDotSegments(MergePaths(base, reference.path));
    return JoinUri(*base.scheme, base.authority, path, reference.query, reference.fragment);
}

bool HasUriScheme(std::string_view link) {
    return SplitUri(link).scheme.has_value();
}

bool IsOpenableNewsLink(std::string_view link) {
    return StartsWithIgnoringAsciiCase(link, "http:") ||
           StartsWithIgnoringAsciiCase(link, "https:");
}

std::string NewsLinkAddress(std::string_view link) {
    return PercentEncodeUnprintable(link);
}

} // namespace qv
