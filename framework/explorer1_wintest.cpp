#include "framework/explorer1.h"

#include <gtest/gtest.h>

#include <exdispid.h>

#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "framework/ole_apartment.h"

namespace {

using namespace qv;

class Explorer : public ::testing::Test {
protected:
    void SetUp() override {
        parent = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr,
                                 nullptr, nullptr, nullptr);
        ASSERT_NE(parent, nullptr);
    }
    void TearDown() override { DestroyWindow(parent); }

    static RECT RectInParent(HWND window) {
        RECT rect{};
        GetWindowRect(window, &rect);
        MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    HWND parent = nullptr;
};

TEST_F(Explorer, HostsTheRealControlInAChildWindowWithItsIdFromTheFirstNavigation) {
    CExplorer1 browser;
    ASSERT_TRUE(browser.CreateControl(parent, 1008, RECT{10, 20, 210, 170}));
    EXPECT_EQ(GetDlgItem(parent, 1008), browser.hwnd());
    EXPECT_FALSE(browser.HasControl());
    EXPECT_EQ(GetWindow(browser.hwnd(), GW_CHILD), nullptr);
    browser.Navigate("about:blank");
    EXPECT_TRUE(browser.HasControl());
    EXPECT_EQ(browser.LocationURL(), "about:blank"); // the very first reached the control
    const RECT rect = RectInParent(browser.hwnd());
    EXPECT_EQ(rect.left, 10);
    EXPECT_EQ(rect.bottom, 170);
    // The control made its own windows inside the host.
    EXPECT_NE(GetWindow(browser.hwnd(), GW_CHILD), nullptr);
}

// The program enters OLE only when something needs it. A thread that never showed a window has
// had nothing else enter COM for it (Wine's input methods do, at the first focus).
TEST(ExplorerApartment, TheFirstNavigationEntersOleItself) {
    bool hadControl = false;
    std::thread([&hadControl] {
        const HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 300, nullptr,
                                            nullptr, nullptr, nullptr);
        {
            CExplorer1 browser;
            browser.CreateControl(parent, 1008, RECT{10, 20, 210, 170});
            browser.Navigate("about:blank");
            hadControl = browser.HasControl();
        }
        DestroyWindow(parent);
        LeaveOleApartment();
    }).join();
    EXPECT_TRUE(hadControl);
}

TEST_F(Explorer, TakesThePlaceOfAPlaceholder) {
    const HWND placeholder = CreateWindowExA(0, "STATIC", "", WS_CHILD, 5, 6, 100, 50, parent,
                                             reinterpret_cast<HMENU>(1008), nullptr, nullptr);
    const HWND after = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, parent,
                                       reinterpret_cast<HMENU>(1012), nullptr, nullptr);
    CExplorer1 browser;
    ASSERT_TRUE(browser.ReplacePlaceholder(placeholder));
    EXPECT_FALSE(IsWindow(placeholder));
    EXPECT_EQ(GetDlgItem(parent, 1008), browser.hwnd());
    const RECT rect = RectInParent(browser.hwnd());
    EXPECT_EQ(rect.left, 5);
    EXPECT_EQ(rect.top, 6);
    EXPECT_EQ(rect.right, 105);
    EXPECT_EQ(GetWindow(parent, GW_CHILD), browser.hwnd()); // first in z-order, as it was
    EXPECT_EQ(GetWindow(browser.hwnd(), GW_HWNDNEXT), after);
}

TEST_F(Explorer, RecordsWhatItWasToldAndReportsFailedHistory) {
    CExplorer1 browser;
    ASSERT_TRUE(browser.CreateControl(parent, 1008, RECT{0, 0, 300, 200}));
    browser.Navigate("about:blank");
    browser.Navigate("C:\\some dir\\ut.html");
    EXPECT_EQ(browser.Navigations(),
              (std::vector<std::string>{"about:blank", "C:\\some dir\\ut.html"}));
    // No history to go through: the control says so and nothing breaks.
    EXPECT_FALSE(browser.GoBack());
    EXPECT_FALSE(browser.GoForward());
    EXPECT_EQ(browser.BackRequests(), 1);
    EXPECT_EQ(browser.ForwardRequests(), 1);
    browser.LocationURL(); // answers without failing, whatever the engine knows
}

TEST_F(Explorer, KeepsOnlyTheLastFewNavigationsOfALongLife) {
    CExplorer1 browser;
    ASSERT_TRUE(browser.CreateControl(parent, 1008, RECT{0, 0, 300, 200}));
    constexpr size_t told = CExplorer1::kNavigationsKept * 3 + 1;
    for (size_t n = 0; n < told; ++n) {
        browser.Navigate(("about:blank#" + std::to_string(n)).c_str());
    }
    ASSERT_EQ(browser.Navigations().size(), CExplorer1::kNavigationsKept);
    EXPECT_EQ(browser.Navigations().front(),
              "about:blank#" + std::to_string(told - CExplorer1::kNavigationsKept));
    EXPECT_EQ(browser.Navigations().back(), "about:blank#" + std::to_string(told - 1));
}

TEST_F(Explorer, DeliversProgressChangeEventsFromTheControlsSink) {
    CExplorer1 browser;
    ASSERT_TRUE(browser.CreateControl(parent, 1008, RECT{0, 0, 300, 200}));
    std::vector<std::pair<long, long>> reports;
    browser.OnProgressChange(
        [&](long progress, long maximum) { reports.emplace_back(progress, maximum); });
    VARIANT arguments[2];
    VariantInit(&arguments[0]);
    VariantInit(&arguments[1]);
    arguments[0].vt = VT_I4; // last argument first: the maximum
    arguments[0].lVal = 100;
    arguments[1].vt = VT_I4;
    arguments[1].lVal = 40;
    DISPPARAMS parameters{arguments, nullptr, 2, 0};
    IDispatch* sink = browser.EventSink();
    ASSERT_NE(sink, nullptr);
    sink->Invoke(DISPID_PROGRESSCHANGE, IID_NULL, 0, DISPATCH_METHOD, &parameters, nullptr, nullptr,
                 nullptr);
    sink->Invoke(DISPID_NAVIGATECOMPLETE2, IID_NULL, 0, DISPATCH_METHOD, &parameters, nullptr,
                 nullptr, nullptr);
    EXPECT_EQ(reports, (std::vector<std::pair<long, long>>{{40, 100}}));
}

TEST_F(Explorer, LetsGoOfTheControlWhenItsWindowGoes) {
    CExplorer1 browser;
    ASSERT_TRUE(browser.CreateControl(parent, 1008, RECT{0, 0, 300, 200}));
    browser.Navigate("about:blank");
    ASSERT_TRUE(browser.HasControl());
    IDispatch* sink = browser.EventSink();
    ASSERT_NE(sink, nullptr);
    sink->AddRef(); // held past the window: the last reference once the host lets go of it
    DestroyWindow(parent);
    parent = nullptr;
    EXPECT_EQ(sink->Release(), 0u);
    EXPECT_FALSE(browser.HasControl());
    EXPECT_EQ(browser.hwnd(), nullptr);
    browser.Navigate("about:blank"); // still recorded, nothing to drive
    EXPECT_EQ(browser.Navigations().size(), 2u);
}

} // namespace
