#include "ui/browser_command.h"

#include <gtest/gtest.h>

namespace {

using qv::BrowserCommandLine;

TEST(BrowserCommandLine, PutsTheUrlWhereTheTemplateSays) {
    EXPECT_EQ(
        BrowserCommandLine(LR"("C:\windows\system32\winebrowser.exe" "%1")", L"http://a/?q=b"),
        LR"("C:\windows\system32\winebrowser.exe" "http://a/?q=b")");
    EXPECT_EQ(BrowserCommandLine(LR"("C:\Chrome\chrome.exe" --single-argument %1)", L"http://a/"),
              LR"("C:\Chrome\chrome.exe" --single-argument http://a/)");
    EXPECT_EQ(BrowserCommandLine(LR"(firefox.exe -osint -url "%L")", L"http://a/"),
              LR"(firefox.exe -osint -url "http://a/")");
    EXPECT_EQ(BrowserCommandLine(LR"(b.exe %l %*)", L"http://a/"), LR"(b.exe http://a/ )");
}

TEST(BrowserCommandLine, AppendsTheUrlWhenTheTemplateNamesNoPlace) {
    EXPECT_EQ(BrowserCommandLine(LR"("C:\b.exe" -nohome)", L"http://a/"),
              LR"("C:\b.exe" -nohome "http://a/")");
    EXPECT_EQ(BrowserCommandLine(L"b.exe %2 100%", L"http://a/"), L"b.exe %2 100% \"http://a/\"");
}

TEST(BrowserCommandLine, CarriesALongUrlWhole) {
    const std::wstring url = L"http://www.google.com/search?q=" + std::wstring(5000, L'q');
    EXPECT_EQ(BrowserCommandLine(L"b.exe \"%1\"", url), L"b.exe \"" + url + L"\"");
}

} // namespace
