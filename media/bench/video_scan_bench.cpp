// How long one scan of a large results page takes: 2 MB with 1,000 results, as a busy page of the
// site might be. Prints the best and the median of many runs.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "media/video_results.h"

namespace {

std::string LargeResultsPage() {
    const std::string filler(1900, 'x');
    std::string page = "<html><body>";
    for (int i = 0; i < 1000; ++i) {
        char id[12];
        std::snprintf(id, sizeof id, "v%010d", i);
        page += "<div class=\"r\"><a class=\"newvtitlelink\" href=\"/watch?v=";
        page += id;
        page += "\" rel=\"nofollow\">A <b>piano</b> cat plays &amp; sings it&#39;s number ";
        page += std::to_string(i);
        page += "</a><br/><p>" + filler + "</p></div>\n";
    }
    return page + "</body></html>";
}

} // namespace

int main() {
    const std::string page = LargeResultsPage();
    std::vector<double> milliseconds;
    size_t rows = 0;
    for (int run = 0; run < 50; ++run) {
        const auto start = std::chrono::steady_clock::now();
        rows = qv::ScanResultsPage(page).size();
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        milliseconds.push_back(took.count());
    }
    std::sort(milliseconds.begin(), milliseconds.end());
    std::printf("page %.2f MB, %zu results: best %.3f ms, median %.3f ms per scan\n",
                double(page.size()) / (1024 * 1024), rows, milliseconds.front(),
                milliseconds[milliseconds.size() / 2]);
    return rows == 1000 ? 0 : 1;
}
