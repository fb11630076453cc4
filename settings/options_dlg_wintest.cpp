#include "settings/options_dlg.h"

#include <gtest/gtest.h>
#include <winsock2.h>
#include <iphlpapi.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "framework/handles.h"
#include "framework/list_rows.h"
#include "framework/wide_text.h"
#include "media/media_wintest_support.h"
#include "settings/settings_store.h"
#include "settings/settings_wintest_support.h"
#include "testing/modal_answers.h"

namespace {

using namespace qv;
using qv::testing::FileBesideProgram;
using qv::testing::FileDialogAnswers;
using qv::testing::MessageBoxAnswers;
using qv::testing::MessageBoxSeen;
using qv::testing::QuotedQuorvelBesideThisProgram;
using qv::testing::RunInNextLoop;
using Texts = std::vector<std::string>;

// The dialog under test, run modally as the bar runs its own.
COptionsDlg options;

constexpr char kSettingsKey[] = "Software\\Quorvel";
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

const char kFivePlaylist[] = "<song>One</song><link>http://a/1.mp3</link>\n"
                             "<song>Two</song><link>http://a/2.wma</link>\n"
                             "<song>Three</song><link>http://a/3.flv</link>\n"
                             "<song>Four</song><link>http://a/4.rm</link>\n"
                             "<song>Five</song><link>http://a/5.mp3</link>\n";

// Every value of the settings key and the Run-key entry, type and bytes.
using RegistryImage = std::map<std::string, std::pair<DWORD, std::string>>;

// Texts as UTF-8, so that a path in any script compares as the program meant it.
void AddValues(RegistryImage& image, const char* keyPath, const char* prefix, const char* only) {
    UniqueRegKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, key.put()) != ERROR_SUCCESS) {
        return;
    }
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD nameSize = 256;
        BYTE data[4096];
        DWORD dataSize = sizeof data;
        DWORD type = 0;
        if (RegEnumValueW(key.get(), index, name, &nameSize, nullptr, &type, data, &dataSize) !=
            ERROR_SUCCESS) {
            break;
        }
        const std::string bytes =
            type == REG_SZ ? Utf8(std::wstring_view(reinterpret_cast<const wchar_t*>(data),
                                                    dataSize / sizeof(wchar_t)))
                           : std::string(data, data + dataSize);
        if (!only || Utf8(name) == only) {
            image[std::string(prefix) + Utf8(name)] = {type, bytes};
        }
    }
}

RegistryImage ReadRegistryImage() {
    RegistryImage image;
    AddValues(image, kSettingsKey, "", nullptr);
    AddValues(image, kRunKey, "Run\\", "Quorvel");
    return image;
}

std::pair<DWORD, std::string> Number(uint32_t value) {
    return {REG_DWORD, std::string(reinterpret_cast<const char*>(&value), 4)};
}

std::pair<DWORD, std::string> Text(const std::string& text) {
    return {REG_SZ, text + '\0'};
}

void ClearSettings() {
    RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, "Quorvel");
}

void StoreNumber(const char* name, DWORD value) {
    RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, name, REG_DWORD, &value, sizeof value);
}

// Zero-ended, as the system stores a text value.
void StoreText(const char* name, const std::string& text, const char* keyPath = kSettingsKey) {
    RegSetKeyValueA(HKEY_CURRENT_USER, keyPath, name, REG_SZ, text.c_str(), DWORD(text.size() + 1));
}

HWND Control(int id) {
    return options.Item(id);
}

void Click(int id) {
    SendMessageA(Control(id), BM_CLICK, 0, 0);
}

void Type(int id, const char* text) {
    SetWindowTextA(Control(id), text);
}

std::string TextOf(int id) {
    return Utf8(Window(Control(id)).Text());
}

Texts Rows(int listId) {
    return qv::testing::Rows(Window(Control(listId)));
}

int Selected(int listId) {
    return SelectedRow(Window(Control(listId)));
}

void Select(int listId, int row) {
    SelectRow(Window(Control(listId)), row);
}

int Choice(int comboId) {
    return int(SendMessageA(Control(comboId), CB_GETCURSEL, 0, 0));
}

Texts Choices(int comboId) {
    Texts texts;
    const int count = int(SendMessageA(Control(comboId), CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[512] = {};
        SendMessageA(Control(comboId), CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(text));
        texts.emplace_back(text);
    }
    return texts;
}

std::pair<int, int> Selection(int editId) {
    DWORD start = 0, end = 0;
    SendMessageA(Control(editId), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    return {int(start), int(end)};
}

bool Checked(int id) {
    return SendMessageA(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// Runs `steps` once the dialog is shown; a box shown while it opens has a loop of its own.
void RunOnceShown(std::function<void()> steps) {
    RunInNextLoop([steps = std::move(steps)] {
        if (options.hwnd() && IsWindowVisible(options.hwnd())) {
            steps();
        } else {
            RunOnceShown(steps);
        }
    });
}

// Runs the dialog modally as the bar does; the steps run inside its loop once it is up.
INT_PTR RunOptions(std::function<void()> steps) {
    RunOnceShown(std::move(steps));
    return options.RunModal(nullptr);
}

class OptionsDialog : public ::testing::Test {
protected:
    void SetUp() override { ClearSettings(); }
    void TearDown() override { ClearSettings(); }
    FileBesideProgram playlist{"QVPlaylist.ini"};
};

// A folder of scratch files for the file dialog; names and paths in UTF-8.
class ScratchFolder {
public:
    explicit ScratchFolder(const char* name) {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        path_ = Utf8(temp) + name;
        Remove();
        CreateDirectoryW(FromUtf8(path_).c_str(), nullptr);
    }
    ~ScratchFolder() { Remove(); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string Add(const std::string& name) const {
        const std::string file = path_ + "\\" + name;
        UniqueKernelHandle(CreateFileW(FromUtf8(file).c_str(), GENERIC_WRITE, 0, nullptr,
                                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        names_.push_back(name);
        return file;
    }
    const std::string& path() const { return path_; }
    std::wstring WidePath() const { return FromUtf8(path_); }

private:
    void Remove() const {
        for (const std::string& name : names_) {
            DeleteFileW(FromUtf8(path_ + "\\" + name).c_str());
        }
        RemoveDirectoryW(FromUtf8(path_).c_str());
    }
    std::string path_;
    mutable std::vector<std::string> names_;
};

std::wstring Wide(const std::string& text) {
    return FromUtf8(text);
}

// A message box of the dialog: its caption, text, buttons and icon, owned by the dialog.
void ExpectBox(const MessageBoxSeen& seen, HWND dialog, const char* caption, const char* text,
               std::vector<int> buttons, LPCSTR icon) {
    EXPECT_EQ(seen.caption, caption);
    EXPECT_EQ(seen.text, text);
    EXPECT_EQ(seen.buttons, buttons) << caption;
    EXPECT_EQ(seen.icon, LoadIconA(nullptr, icon)) << caption;
    EXPECT_EQ(seen.owner, dialog) << caption;
}

} // namespace

namespace {

struct TemplatePlace {
    int id;
    const char* text;   // for the statics, which have no id of their own
    RECT units;         // x, y, width, height in dialog units
    bool label = false; // at least this wide, and wider where its whole text needs it
};

// The controls at their places in dialog units; combo boxes are checked without their height,
// which is that of the opened list.
constexpr TemplatePlace kPlaces[] = {
    {IDC_OPTIONS_NAMES, nullptr, {13, 17, 103, 86}},
    {IDC_OPTIONS_UP, "&Up", {119, 17, 30, 14}},
    {IDC_OPTIONS_DOWN, "&Down", {119, 33, 30, 14}},
    {IDC_OPTIONS_DELETE, "D&elete", {119, 49, 30, 14}},
    {IDC_OPTIONS_EDIT, "E&dit", {119, 65, 30, 14}},
    {IDC_OPTIONS_ADD_FILES, "Add &+", {120, 90, 30, 14}},
    {IDC_OPTIONS_BROWSE, "&Browse", {119, 107, 30, 14}},
    {IDC_OPTIONS_ADD, "&Add", {119, 123, 30, 14}},
    {IDC_OPTIONS_NAME, "", {34, 107, 82, 14}},
    {IDC_OPTIONS_LINK, "", {34, 123, 82, 14}},
    {IDC_OPTIONS_LINKS, nullptr, {247, 145, 29, 23}},
    {IDC_OPTIONS_ADAPTER, nullptr, {7, 155, 143, 0}},
    {IDC_OPTIONS_STARTUP, "Run at startup", {170, 156, 61, 10}},
    {IDC_OPTIONS_FEED1_TITLE, "", {165, 27, 40, 14}},
    {IDC_OPTIONS_FEED1_SOURCE, "", {212, 27, 89, 14}},
    {IDC_OPTIONS_FEED2_TITLE, "", {165, 45, 40, 14}},
    {IDC_OPTIONS_FEED2_SOURCE, "", {212, 45, 89, 14}},
    {IDC_OPTIONS_FEED3_TITLE, "", {165, 63, 40, 14}},
    {IDC_OPTIONS_FEED3_SOURCE, "", {212, 63, 89, 14}},
    {IDC_OPTIONS_FEED4_TITLE, "", {165, 81, 40, 14}},
    {IDC_OPTIONS_FEED4_SOURCE, "", {212, 81, 89, 14}},
    {IDC_OPTIONS_FEED5_TITLE, "", {165, 99, 40, 14}},
    {IDC_OPTIONS_FEED5_SOURCE, "", {212, 99, 89, 14}},
    {IDC_OPTIONS_FREQUENCY, nullptr, {238, 118, 64, 0}},
    {IDOK, "OK", {204, 175, 50, 14}},
    {IDCANCEL, "Cancel", {258, 175, 50, 14}},
    {-1, "Edit Playlist", {7, 5, 148, 138}},
    {-1, "Name", {13, 108, 20, 8}, true},
    {-1, "Link", {13, 125, 14, 8}, true},
    {-1, "Select your network adapter to monitor", {11, 145, 122, 8}, true},
    {-1, "RSS Settings", {157, 5, 151, 138}},
    {-1, "Title", {167, 17, 14, 8}, true},
    {-1, "Feed source", {213, 17, 40, 8}, true},
    {-1, "Rss update frequency", {167, 120, 70, 8}, true},
};

HWND StaticWithText(const char* text) {
    for (HWND child = GetWindow(options.hwnd(), GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (Utf8(Window(child).Text()) == text) {
            return child;
        }
    }
    return nullptr;
}

// How far the control's text, drawn in its own font, reaches to the right: its last inked column.
int InkWidth(HWND control) {
    const std::string text = Utf8(Window(control).Text());
    const WindowDC screen(control);
    const UniqueMemoryDC dc(CreateCompatibleDC(screen.get()));
    constexpr int kWidth = 400, kHeight = 40;
    const UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), kWidth, kHeight));
    const SelectGuard canvas(dc.get(), bitmap.get());
    const SelectGuard font(dc.get(),
                           reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    const RECT all{0, 0, kWidth, kHeight};
    FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetTextColor(dc.get(), RGB(0, 0, 0));
    TextOutA(dc.get(), 0, 0, text.c_str(), int(text.size()));
    for (int x = kWidth - 1; x >= 0; --x) {
        for (int y = 0; y < kHeight; ++y) {
            if (GetPixel(dc.get(), x, y) != RGB(255, 255, 255)) {
                return x + 1;
            }
        }
    }
    return 0;
}

// The dialog manager converts the position and the size each on its own.
PixelRect InPixels(const RECT& units) {
    RECT rect = units;
    MapDialogRect(options.hwnd(), &rect);
    return {rect.left, rect.top, rect.right, rect.bottom};
}

TEST_F(OptionsDialog, OpensFromItsTemplateWithEveryControlInPlace) {
    const INT_PTR result = RunOptions([] {
        const HWND dialog = options.hwnd();
        EXPECT_EQ(Utf8(Window(dialog).Text()), "Settings");
        const LONG style = LONG(GetWindowLongA(dialog, GWL_STYLE));
        EXPECT_TRUE(style & WS_CAPTION);
        EXPECT_TRUE(style & WS_SYSMENU);
        EXPECT_TRUE(style & DS_MODALFRAME);
        RECT screen{}, window{};
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &screen, 0);
        GetWindowRect(dialog, &window);
        EXPECT_NEAR(window.left + window.right, screen.left + screen.right, 2) << "centred";
        EXPECT_NEAR(window.top + window.bottom, screen.top + screen.bottom, 2) << "centred";
        EXPECT_EQ(GetFocus(), Control(IDC_OPTIONS_NAMES)) << "the first tab stop";
        EXPECT_EQ(Window(dialog).ClientRect().right, InPixels({0, 0, 315, 196}).width);
        EXPECT_EQ(Window(dialog).ClientRect().bottom, InPixels({0, 0, 315, 196}).height);
        for (const TemplatePlace& place : kPlaces) {
            const HWND control = place.id == -1 ? StaticWithText(place.text) : Control(place.id);
            ASSERT_NE(control, nullptr) << place.id << " " << (place.text ? place.text : "");
            if (place.text) {
                EXPECT_EQ(Utf8(Window(control).Text()), place.text) << place.id;
            }
            PixelRect expected = InPixels(place.units);
            PixelRect actual = qv::testing::RectInParent(control);
            if (place.units.bottom == 0) {
                actual.height = expected.height = 0;
            }
            if (place.id == IDC_OPTIONS_NAMES || place.id == IDC_OPTIONS_LINKS) {
                // A list box shows whole rows: it is at most one row shorter.
                const int row = int(SendMessageA(control, LB_GETITEMHEIGHT, 0, 0));
                EXPECT_LE(actual.height, expected.height);
                EXPECT_GE(actual.height, expected.height - row - 2 * GetSystemMetrics(SM_CYEDGE));
                actual.height = expected.height;
            }
            if (place.label) {
                // A label cut short loses its last words: wider where the face needs it.
                EXPECT_LE(InkWidth(control), actual.width) << place.text;
                EXPECT_GE(actual.width, expected.width) << place.text;
                actual.width = expected.width;
            }
            EXPECT_EQ(actual, expected) << place.id << " " << (place.text ? place.text : "");
        }
        EXPECT_FALSE(IsWindowVisible(Control(IDC_OPTIONS_LINKS)));
        const LONG names = LONG(GetWindowLongA(Control(IDC_OPTIONS_NAMES), GWL_STYLE));
        EXPECT_TRUE(names & LBS_NOTIFY);
        EXPECT_FALSE(names & (LBS_SORT | LBS_MULTIPLESEL | LBS_EXTENDEDSEL));
        EXPECT_FALSE(GetWindowLongA(Control(IDC_OPTIONS_LINKS), GWL_STYLE) & LBS_SORT);
        for (const int combo : {IDC_OPTIONS_ADAPTER, IDC_OPTIONS_FREQUENCY}) {
            const LONG choices = LONG(GetWindowLongA(Control(combo), GWL_STYLE));
            EXPECT_EQ(choices & 3, CBS_DROPDOWNLIST) << combo << ": chosen, never typed";
            EXPECT_FALSE(choices & CBS_SORT) << combo << ": a position is what is stored";
        }
        EXPECT_EQ(GetWindowLongA(Control(IDOK), GWL_STYLE) & 0xF, BS_DEFPUSHBUTTON);
        EXPECT_EQ(GetWindowLongA(Control(IDC_OPTIONS_STARTUP), GWL_STYLE) & 0xF, BS_AUTOCHECKBOX);
        // The dialog manager may turn a border into a sunken edge.
        for (const int id :
             {IDC_OPTIONS_NAMES, IDC_OPTIONS_NAME, IDC_OPTIONS_LINK, IDC_OPTIONS_FEED1_TITLE,
              IDC_OPTIONS_FEED2_TITLE, IDC_OPTIONS_FEED3_SOURCE, IDC_OPTIONS_FEED5_SOURCE}) {
            EXPECT_TRUE((GetWindowLongA(Control(id), GWL_STYLE) & WS_BORDER) ||
                        (GetWindowLongA(Control(id), GWL_EXSTYLE) & WS_EX_CLIENTEDGE))
                << id << " has a frame";
        }
        LOGFONTA face{};
        GetObjectA(HGDIOBJ(SendMessageA(dialog, WM_GETFONT, 0, 0)), sizeof face, &face);
        EXPECT_STREQ(face.lfFaceName, "MS Sans Serif");
        EXPECT_EQ(face.lfHeight, -MulDiv(8, GetDeviceCaps(WindowDC(dialog).get(), LOGPIXELSY), 72));
        EXPECT_TRUE(style & WS_POPUP);
        // Tab goes down the playlist side, then the adapter and start-up, then the feeds by row,
        // and round again.
        const int tabOrder[] = {1002, 1022, 1023, 1024, 1025, 1042, 1026, 1027, 1001,
                                1028, 1029, 1033, 1034, 1003, 1004, 1005, 1006, 1007,
                                1009, 1010, 1011, 1008, 1030, 1,    2,    1002};
        HWND at = Control(tabOrder[0]);
        for (size_t step = 1; step < std::size(tabOrder); ++step) {
            at = GetNextDlgTabItem(dialog, at, FALSE);
            EXPECT_EQ(GetDlgCtrlID(at), tabOrder[step]) << "after " << tabOrder[step - 1];
        }
        Click(IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
}

// Links and feed sources are wider than their fields: typing goes on past a field's end.
TEST_F(OptionsDialog, TextLongerThanItsFieldCanBeTypedIntoEveryField) {
    RunOptions([] {
        const std::string typed = "http://www.example.com/a/rather/long/path/to/the/feed.xml?q=1";
        for (const int id : {IDC_OPTIONS_NAME, IDC_OPTIONS_LINK, 1034, 1003, 1004, 1005, 1006, 1007,
                             1009, 1010, 1011, 1008}) {
            SetFocus(Control(id));
            for (const char c : typed) {
                SendMessageA(Control(id), WM_CHAR, WPARAM(c), 1);
            }
            EXPECT_EQ(TextOf(id), typed) << id;
        }
        Click(IDCANCEL);
    });
}

// The descriptions of the platform's interface table, read here on their own.
Texts InterfaceTableDescriptions() {
    ULONG size = 0;
    if (GetIfTable(nullptr, &size, FALSE) != ERROR_INSUFFICIENT_BUFFER) {
        return {};
    }
    std::vector<BYTE> buffer(size);
    auto* table = reinterpret_cast<MIB_IFTABLE*>(buffer.data());
    if (GetIfTable(table, &size, FALSE) != NO_ERROR) {
        return {};
    }
    Texts descriptions;
    for (DWORD row = 0; row < table->dwNumEntries; ++row) {
        descriptions.emplace_back(reinterpret_cast<const char*>(table->table[row].bDescr));
    }
    return descriptions;
}

TEST_F(OptionsDialog, NewUserSeesTheDefaults) {
    const Texts table = InterfaceTableDescriptions();
    ASSERT_FALSE(table.empty()) << "Wine lists at least the loopback interface";
    RunOptions([&] {
        EXPECT_EQ(Choices(IDC_OPTIONS_FREQUENCY), (Texts{"5 Minutes", "10 Minutes", "15 Minutes",
                                                         "30 Minutes", "1 Hour", "2 Hours"}));
        EXPECT_EQ(Choice(IDC_OPTIONS_FREQUENCY), 0);
        EXPECT_FALSE(Checked(IDC_OPTIONS_STARTUP));
        EXPECT_EQ(Choices(IDC_OPTIONS_ADAPTER), table);
        EXPECT_EQ(Choice(IDC_OPTIONS_ADAPTER), 0);
        for (const int id : {1034, 1003, 1004, 1005, 1006, 1007, 1009, 1010, 1011, 1008}) {
            EXPECT_EQ(TextOf(id), "") << id;
        }
        EXPECT_TRUE(Rows(IDC_OPTIONS_NAMES).empty());
        EXPECT_EQ(Selected(IDC_OPTIONS_NAMES), -1);
        Click(IDCANCEL);
    });
    EXPECT_TRUE(playlist.Exists()) << "the missing playlist is created empty";
    EXPECT_EQ(playlist.Read(), "");
    EXPECT_TRUE(ReadRegistryImage().empty());
}

TEST_F(OptionsDialog, LoadsThePlaylistAndEveryStoredValue) {
    playlist.Write(kFivePlaylist);
    StoreNumber("Startup", 1);
    StoreNumber("UpdateFrequency", 5);
    StoreNumber("NicAdapter", 0);
    const std::pair<const char*, const char*> feeds[] = {{"Rss1", "World^x^y"},
                                                         {"Rss2", "^"},
                                                         {"Rss3", "no caret"},
                                                         {"Rss4", "Four^http://4"},
                                                         {"Rss5", "Five^http://5"}};
    for (const auto& [name, value] : feeds) {
        StoreText(name, value);
    }
    RunOptions([] {
        EXPECT_EQ(Rows(IDC_OPTIONS_NAMES), (Texts{"One", "Two", "Three", "Four", "Five"}));
        EXPECT_EQ(Rows(IDC_OPTIONS_LINKS),
                  (Texts{"http://a/1.mp3", "http://a/2.wma", "http://a/3.flv", "http://a/4.rm",
                         "http://a/5.mp3"}));
        EXPECT_EQ(Selected(IDC_OPTIONS_NAMES), 0);
        EXPECT_TRUE(Checked(IDC_OPTIONS_STARTUP));
        EXPECT_EQ(Choice(IDC_OPTIONS_FREQUENCY), 5);
        EXPECT_EQ(TextOf(IDC_OPTIONS_FEED1_TITLE), "World");
        EXPECT_EQ(TextOf(IDC_OPTIONS_FEED1_SOURCE), "x^y");
        EXPECT_EQ(TextOf(IDC_OPTIONS_FEED2_TITLE), "");
        EXPECT_EQ(TextOf(IDC_OPTIONS_FEED3_TITLE), "");
        EXPECT_EQ(TextOf(IDC_OPTIONS_FEED3_SOURCE), "no caret");
        // Rows are numbered from the top: row 4's source is 1010, row 5's is 1008.
        EXPECT_EQ(TextOf(1009), "Four");
        EXPECT_EQ(TextOf(1010), "http://4");
        EXPECT_EQ(TextOf(1011), "Five");
        EXPECT_EQ(TextOf(1008), "http://5");
        Click(IDCANCEL);
    });
}

TEST_F(OptionsDialog, StoredPositionsTheListsDoNotHaveSelectNothing) {
    StoreNumber("UpdateFrequency", 6);
    StoreNumber("NicAdapter", 0xFFFFFFFF);
    RunOptions([] {
        EXPECT_EQ(Choice(IDC_OPTIONS_FREQUENCY), CB_ERR);
        EXPECT_EQ(Choice(IDC_OPTIONS_ADAPTER), CB_ERR);
        Click(IDOK);
    });
    EXPECT_EQ(ReadRegistryImage()["UpdateFrequency"], Number(0xFFFFFFFF));
    EXPECT_EQ(ReadRegistryImage()["NicAdapter"], Number(0xFFFFFFFF));
}

TEST_F(OptionsDialog, AdapterListIsTheInterfaceTableInItsOrder) {
    const Texts table = InterfaceTableDescriptions();
    ASSERT_GE(table.size(), 2u) << "Wine lists at least the loopback and one more interface";
    const DWORD last = DWORD(table.size() - 1);
    StoreNumber("NicAdapter", last);
    RunOptions([&] {
        EXPECT_EQ(Choices(IDC_OPTIONS_ADAPTER), table);
        EXPECT_EQ(Choice(IDC_OPTIONS_ADAPTER), int(last));
        SendMessageA(Control(IDC_OPTIONS_ADAPTER), CB_SETCURSEL, 1, 0);
        Click(IDOK);
    });
    EXPECT_EQ(ReadRegistryImage()["NicAdapter"], Number(1));
}

// An adapter unplugged since it was chosen is not forgotten by an OK that chose no other.
TEST_F(OptionsDialog, AnAdapterMissingFromTheTableStaysStoredUntilAnotherIsChosen) {
    const DWORD unplugged = DWORD(InterfaceTableDescriptions().size()) + 2;
    StoreNumber("NicAdapter", unplugged);
    RunOptions([] {
        EXPECT_EQ(Choice(IDC_OPTIONS_ADAPTER), CB_ERR);
        Click(IDOK);
    });
    EXPECT_EQ(ReadRegistryImage()["NicAdapter"], Number(unplugged));
    RunOptions([] {
        SendMessageA(Control(IDC_OPTIONS_ADAPTER), CB_SETCURSEL, 0, 0);
        Click(IDOK);
    });
    EXPECT_EQ(ReadRegistryImage()["NicAdapter"], Number(0));
}

} // namespace

namespace {

class OptionsPlaylist : public OptionsDialog {
protected:
    void SetUp() override {
        OptionsDialog::SetUp();
        playlist.Write(kFivePlaylist);
    }
};

const Texts kNames{"One", "Two", "Three", "Four", "Five"};
const Texts kLinks{"http://a/1.mp3", "http://a/2.wma", "http://a/3.flv", "http://a/4.rm",
                   "http://a/5.mp3"};

TEST_F(OptionsPlaylist, UpAndDownMoveTheSelectedEntryWithItsLink) {
    RunOptions([] {
        Click(IDC_OPTIONS_UP); // the first row stays
        EXPECT_EQ(Rows(IDC_OPTIONS_NAMES), kNames);
        EXPECT_EQ(Selected(IDC_OPTIONS_NAMES), 0);
        Select(IDC_OPTIONS_NAMES, 4);
        Click(IDC_OPTIONS_DOWN); // the last row stays
        EXPECT_EQ(Rows(IDC_OPTIONS_NAMES), kNames);
        EXPECT_EQ(Selected(IDC_OPTIONS_NAMES), 4);

        Select(IDC_OPTIONS_NAMES, 2);
        Click(IDC_OPTIONS_DOWN);
        EXPECT_EQ(Rows(IDC_OPTIONS_NAMES), (Texts{"One", "Two", "Four", "Three", "Five"}));
        EXPECT_EQ(Rows(IDC_OPTIONS_LINKS),
                  (Texts{"http://a/1.mp3", "http://a/2.wma", "http://a/4.rm", "http://a/3.flv",
                         "http://a/5.mp3"}));
        EXPECT_EQ(Selected(IDC_OPTIONS_NAMES), 3);
        Click(IDC_OPTIONS_UP);
        Click(IDC_OPTIONS_UP);
        EXPECT_EQ(Rows(IDC_OPTIONS_NAMES), (Texts{"One", "Three", "Two", "Four", "Five"}));
        EXPECT_EQ(Rows(IDC_OPTIONS_LINKS)[1], "http://a/3.flv");
        EXPECT_EQ(Selected(IDC_OPTIONS_NAMES), 1);

        Select(IDC_OPTIONS_NAMES, -1); // nothing selected: nothing moves
        Click(IDC_OPTIONS_UP);
        Click(IDC_OPTIONS_DOWN);
        EXPECT_EQ(Rows(IDC_OPTIONS_NAMES), (Texts{"One", "Three", "Two", "Four", "Five"}));
        Click(IDCANCEL);
    });
}

TEST_F(OptionsPlaylist, DeleteAsksFirstAndSelectsTheNextOrTheNewLast) {
    MessageBoxAnswers answers({IDNO, IDYES, IDYES});
    HWND dialog = nullptr;
    RunOptions([&] {
        dialog = options.hwnd();
        Select(IDC_OPTIONS_NAMES, 1);
        Click(IDC_OPTIONS_DELETE); // No
        EXPECT_EQ(Rows(IDC_OPTIONS_NAMES), kNames);
        EXPECT_EQ(Selected(IDC_OPTIONS_NAMES), 1);
        Click(IDC_OPTIONS_DELETE); // Yes: the row below moves up and is selected
        EXPECT_EQ(Rows(IDC_OPTIONS_NAMES), (Texts{"One", "Three", "Four", "Five"}));
        EXPECT_EQ(Rows(IDC_OPTIONS_LINKS)[1], "http://a/3.flv");
        EXPECT_EQ(Selected(IDC_OPTIONS_NAMES), 1);
        Select(IDC_OPTIONS_NAMES, 3);
        Click(IDC_OPTIONS_DELETE); // Yes: the last row goes, the new last is selected
        EXPECT_EQ(Rows(IDC_OPTIONS_NAMES), (Texts{"One", "Three", "Four"}));
        EXPECT_EQ(Rows(IDC_OPTIONS_LINKS),
                  (Texts{"http://a/1.mp3", "http://a/3.flv", "http://a/4.rm"}));
        EXPECT_EQ(Selected(IDC_OPTIONS_NAMES), 2);
        Click(IDCANCEL);
    });
    ASSERT_EQ(answers.Seen().size(), 3u);
    for (const MessageBoxSeen& seen : answers.Seen()) {
        ExpectBox(seen, dialog, "Deleting Entry", "Delete the selected playlist entry?",
                  {IDYES, IDNO}, IDI_QUESTION);
    }
}

TEST_F(OptionsDialog, DeletingTheOnlyEntryLeavesNothingSelected) {
    playlist.Write("<song>Only</song><link>l</link>\n");
    MessageBoxAnswers answers({IDYES});
    RunOptions([] {
        Click(IDC_OPTIONS_DELETE);
        EXPECT_TRUE(Rows(IDC_OPTIONS_NAMES).empty());
        EXPECT_TRUE(Rows(IDC_OPTIONS_LINKS).empty());
        EXPECT_EQ(Selected(IDC_OPTIONS_NAMES), -1);
        Click(IDC_OPTIONS_DELETE); // nothing selected: no question
        Click(IDOK);
    });
    EXPECT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(playlist.Read(), "") << "an empty list writes an empty file";
}

// The playlist controls that only work outside edit mode.
constexpr int kBrowsingControls[] = {IDC_OPTIONS_NAMES,  IDC_OPTIONS_UP,     IDC_OPTIONS_DOWN,
                                     IDC_OPTIONS_DELETE, IDC_OPTIONS_BROWSE, IDC_OPTIONS_ADD_FILES};
constexpr int kAlwaysUsable[] = {IDC_OPTIONS_NAME,
                                 IDC_OPTIONS_LINK,
                                 IDC_OPTIONS_EDIT,
                                 IDC_OPTIONS_ADD,
                                 IDC_OPTIONS_ADAPTER,
                                 IDC_OPTIONS_STARTUP,
                                 IDC_OPTIONS_FREQUENCY,
                                 IDC_OPTIONS_FEED1_TITLE,
                                 IDC_OPTIONS_FEED5_SOURCE,
                                 IDOK,
                                 IDCANCEL};

void ExpectEditMode(bool editing) {
    for (const int id : kBrowsingControls) {
        EXPECT_EQ(IsWindowEnabled(Control(id)) != FALSE, !editing) << id;
    }
    for (const int id : kAlwaysUsable) {
        EXPECT_TRUE(IsWindowEnabled(Control(id))) << id;
    }
}

TEST_F(OptionsPlaylist, EditThenUpdateReplacesTheEntryInPlace) {
    RunOptions([] {
        EXPECT_EQ(TextOf(IDC_OPTIONS_EDIT), "E&dit");
        Select(IDC_OPTIONS_NAMES, 1);
        Click(IDC_OPTIONS_EDIT);
        EXPECT_EQ(TextOf(IDC_OPTIONS_NAME), "Two");
        EXPECT_EQ(TextOf(IDC_OPTIONS_LINK), "http://a/2.wma");
        EXPECT_EQ(TextOf(IDC_OPTIONS_EDIT), "&Update");
        EXPECT_EQ(TextOf(IDC_OPTIONS_ADD), "&Cancel");
        ExpectEditMode(true);

        Type(IDC_OPTIONS_NAME, "Second");
        Type(IDC_OPTIONS_LINK, "http://b/2.asx");
        Click(IDC_OPTIONS_EDIT);
        EXPECT_EQ(Rows(IDC_OPTIONS_NAMES), (Texts{"One", "Second", "Three", "Four", "Five"}));
        EXPECT_EQ(Rows(IDC_OPTIONS_LINKS)[1], "http://b/2.asx");
        EXPECT_EQ(Rows(IDC_OPTIONS_LINKS).size(), 5u);
        EXPECT_EQ(Selected(IDC_OPTIONS_NAMES), 1);
        EXPECT_EQ(TextOf(IDC_OPTIONS_NAME), "");
        EXPECT_EQ(TextOf(IDC_OPTIONS_LINK), "");
        EXPECT_EQ(TextOf(IDC_OPTIONS_EDIT), "Ed&it");
        EXPECT_EQ(TextOf(IDC_OPTIONS_ADD), "&Add");
        ExpectEditMode(false);
        Click(IDOK);
    });
    EXPECT_EQ(playlist.Read(), "<song>One</song><link>http://a/1.mp3</link>\n"
                               "<song>Second</song><link>http://b/2.asx</link>\n"
                               "<song>Three</song><link>http://a/3.flv</link>\n"
                               "<song>Four</song><link>http://a/4.rm</link>\n"
                               "<song>Five</song><link>http://a/5.mp3</link>\n");
}

// A double-click on a row, as the list box reports it.
void DoubleClickRow(int row) {
    RECT item{};
    SendMessageA(Control(IDC_OPTIONS_NAMES), LB_GETITEMRECT, WPARAM(row),
                 reinterpret_cast<LPARAM>(&item));
    const LPARAM point = MAKELPARAM(item.left + 2, item.top + 2);
    for (const UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
        SendMessageA(Control(IDC_OPTIONS_NAMES), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON,
                     point);
    }
}

TEST_F(OptionsPlaylist, DoubleClickEditsAndCancelKeepsTheOldEntry) {
    RunOptions([] {
        DoubleClickRow(2);
        EXPECT_EQ(Selected(IDC_OPTIONS_NAMES), 2);
        EXPECT_EQ(TextOf(IDC_OPTIONS_NAME), "Three");
        ExpectEditMode(true);
        Type(IDC_OPTIONS_NAME, "Changed");
        Click(IDC_OPTIONS_ADD); // reads "&Cancel"
        EXPECT_EQ(Rows(IDC_OPTIONS_NAMES), kNames);
        EXPECT_EQ(Rows(IDC_OPTIONS_LINKS), kLinks);
        EXPECT_EQ(Selected(IDC_OPTIONS_NAMES), 2);
        EXPECT_EQ(TextOf(IDC_OPTIONS_NAME), "");
        EXPECT_EQ(TextOf(IDC_OPTIONS_LINK), "");
        EXPECT_EQ(TextOf(IDC_OPTIONS_ADD), "&Add");
        ExpectEditMode(false);
        Select(IDC_OPTIONS_NAMES, -1);
        Click(IDC_OPTIONS_EDIT); // no row: nothing happens
        EXPECT_EQ(TextOf(IDC_OPTIONS_EDIT), "Ed&it");
        ExpectEditMode(false);
        Click(IDCANCEL);
    });
}

// A name or link holding one of the file's tags would read back cut, empty or as entries of its
// own.
TEST_F(OptionsPlaylist, EmptyFieldsAndPlaylistTagsAreRefusedWithTheirBoxes) {
    MessageBoxAnswers answers;
    HWND dialog = nullptr;
    RunOptions([&] {
        dialog = options.hwnd();
        Type(IDC_OPTIONS_NAME, "Name only");
        Click(IDC_OPTIONS_ADD);
        Type(IDC_OPTIONS_NAME, "");
        Type(IDC_OPTIONS_LINK, "link only");
        Click(IDC_OPTIONS_ADD);
        EXPECT_EQ(TextOf(IDC_OPTIONS_LINK), "link only") << "the fields keep their text";
        Type(IDC_OPTIONS_NAME, "Rock</song>Roll");
        Click(IDC_OPTIONS_ADD);
        EXPECT_EQ(Rows(IDC_OPTIONS_NAMES), kNames);
        EXPECT_EQ(TextOf(IDC_OPTIONS_NAME), "Rock</song>Roll");

        Select(IDC_OPTIONS_NAMES, 3);
        Click(IDC_OPTIONS_EDIT);
        Type(IDC_OPTIONS_LINK, "");
        Click(IDC_OPTIONS_EDIT); // Update with an empty link
        Type(IDC_OPTIONS_LINK, "http://x/</link><song>Extra</song><link>y");
        Click(IDC_OPTIONS_EDIT);
        EXPECT_EQ(TextOf(IDC_OPTIONS_EDIT), "&Update");
        EXPECT_EQ(TextOf(IDC_OPTIONS_NAME), "Four");
        ExpectEditMode(true);
        EXPECT_EQ(Rows(IDC_OPTIONS_NAMES), kNames);
        EXPECT_EQ(Rows(IDC_OPTIONS_LINKS), kLinks);
        Click(IDC_OPTIONS_ADD); // Cancel the edit

        Type(IDC_OPTIONS_NAME, " ");
        Type(IDC_OPTIONS_LINK, " ");
        Click(IDC_OPTIONS_ADD); // blanks are text
        EXPECT_EQ(Rows(IDC_OPTIONS_NAMES).size(), 6u);
        EXPECT_EQ(Selected(IDC_OPTIONS_NAMES), 5);
        EXPECT_EQ(TextOf(IDC_OPTIONS_NAME), "");
        Click(IDCANCEL);
    });
    const char* const tags = "Playlist items cannot contain <song>, </song>, <link> or </link>.";
    ASSERT_EQ(answers.Seen().size(), 5u);
    ExpectBox(answers.Seen()[0], dialog, "Error Adding", "Playlist item cannot be empty", {IDOK},
              IDI_HAND);
    ExpectBox(answers.Seen()[1], dialog, "Error Adding", "Playlist item cannot be empty", {IDOK},
              IDI_HAND);
    ExpectBox(answers.Seen()[2], dialog, "Invalid Playlist Item", tags, {IDOK}, IDI_HAND);
    ExpectBox(answers.Seen()[3], dialog, "Cannot Update",
              "Playlist items cannot be updated with empty values", {IDOK}, IDI_HAND);
    ExpectBox(answers.Seen()[4], dialog, "Invalid Playlist Item", tags, {IDOK}, IDI_HAND);
}

TEST_F(OptionsDialog, AddAppendsSelectsAndEmptiesTheFields) {
    RunOptions([] {
        Type(IDC_OPTIONS_NAME, "New");
        Type(IDC_OPTIONS_LINK, "http://n/new.mp3");
        Click(IDC_OPTIONS_ADD);
        EXPECT_EQ(Rows(IDC_OPTIONS_NAMES), (Texts{"New"}));
        EXPECT_EQ(Rows(IDC_OPTIONS_LINKS), (Texts{"http://n/new.mp3"}));
        EXPECT_EQ(Selected(IDC_OPTIONS_NAMES), 0);
        EXPECT_EQ(TextOf(IDC_OPTIONS_NAME), "");
        EXPECT_EQ(TextOf(IDC_OPTIONS_LINK), "");
        Click(IDOK);
    });
    EXPECT_EQ(playlist.Read(), "<song>New</song><link>http://n/new.mp3</link>\n");
}

} // namespace

namespace {

TEST_F(OptionsDialog, BrowseFillsTheFieldsAndAddFilesAddsTheNames) {
    // Named in scripts outside the ANSI code page, so that a narrowed name shows as "?".
    const ScratchFolder folder("QuorvelBrowse \xD0\x81\xCE\xA9"); // ЁΩ
    const std::string title = "\xC3\x89t\xC3\xA9 \xD1\x91\xD0\xBB\xD0\xBA\xD0\xB0 "
                              "\xE6\x9D\xB1\xE4\xBA\xAC"; // Été ёлка 東京
    const std::string song = folder.Add(title + ".mp3");
    HWND dialog = nullptr;
    {
        FileDialogAnswers answers({Wide(song)});
        RunOptions([&] {
            dialog = options.hwnd();
            Click(IDC_OPTIONS_BROWSE);
            EXPECT_EQ(TextOf(IDC_OPTIONS_NAME), title);
            EXPECT_EQ(TextOf(IDC_OPTIONS_LINK), song);
            EXPECT_TRUE(Rows(IDC_OPTIONS_NAMES).empty()) << "Browse adds nothing by itself";
            Type(IDC_OPTIONS_NAME, "kept");
            Click(IDC_OPTIONS_ADD_FILES);
            EXPECT_EQ(Rows(IDC_OPTIONS_NAMES), (Texts{title + ".mp3"}));
            EXPECT_EQ(Rows(IDC_OPTIONS_LINKS), (Texts{song}));
            EXPECT_EQ(Selected(IDC_OPTIONS_NAMES), 0);
            EXPECT_EQ(TextOf(IDC_OPTIONS_NAME), "kept") << "Add + leaves the fields alone";
            Click(IDCANCEL);
        });
        EXPECT_EQ(answers.Shown(), 2);
        EXPECT_EQ(answers.LastOwner(), dialog);
        // Both open any file under the platform's own title; Browse takes one, Add + several.
        ASSERT_EQ(answers.Seen().size(), 2u);
        for (const qv::testing::FileDialogSeen& seen : answers.Seen()) {
            EXPECT_EQ(seen.title, "Open");
            EXPECT_EQ(seen.fileTypes, "All Files (*.*)");
        }
        EXPECT_TRUE(answers.Seen()[0].singleSelection);
        EXPECT_FALSE(answers.Seen()[1].singleSelection);
    }
    FileDialogAnswers cancel({});
    RunOptions([] {
        for (const char* name : {"One", "Two"}) {
            Type(IDC_OPTIONS_NAME, name);
            Type(IDC_OPTIONS_LINK, "http://a/");
            Click(IDC_OPTIONS_ADD);
        }
        Select(IDC_OPTIONS_NAMES, 0);
        Type(IDC_OPTIONS_NAME, "before");
        Click(IDC_OPTIONS_BROWSE);
        Click(IDC_OPTIONS_ADD_FILES);
        EXPECT_EQ(TextOf(IDC_OPTIONS_NAME), "before");
        EXPECT_EQ(Rows(IDC_OPTIONS_NAMES), (Texts{"One", "Two"}));
        EXPECT_EQ(Selected(IDC_OPTIONS_NAMES), 0) << "a cancelled choice moves nothing";
        Click(IDCANCEL);
    });
    EXPECT_EQ(cancel.Shown(), 2);
}

// The names typed into the file dialog for a multiple selection: each in quotes.
std::wstring QuotedNames(const Texts& names) {
    std::wstring typed;
    for (const std::string& name : names) {
        typed += L"\"" + Wide(name) + L"\" ";
    }
    return typed;
}

Texts LongNames(int count) {
    Texts names;
    for (int i = 0; i < count; ++i) {
        char number[8];
        snprintf(number, sizeof number, "%04d", i);
        names.push_back(std::string(number) + std::string(196, 'n') + ".mp3");
    }
    return names;
}

TEST_F(OptionsDialog, AddFilesTakesHundredsOfLongNamesInTheirOrder) {
    const ScratchFolder folder("QuorvelMany");
    const Texts names = LongNames(400); // about 80,000 characters
    for (const std::string& name : names) {
        folder.Add(name);
    }
    MessageBoxAnswers boxes;
    FileDialogAnswers answers({folder.WidePath(), QuotedNames(names)});
    RunOptions([&] {
        Click(IDC_OPTIONS_ADD_FILES);
        EXPECT_TRUE(boxes.Seen().empty());
        const Texts links = Rows(IDC_OPTIONS_LINKS);
        EXPECT_EQ(Rows(IDC_OPTIONS_NAMES), names);
        ASSERT_EQ(links.size(), names.size());
        EXPECT_EQ(links.front(), folder.path() + "\\" + names.front());
        EXPECT_EQ(links.back(), folder.path() + "\\" + names.back());
        EXPECT_EQ(Selected(IDC_OPTIONS_NAMES), 399);
        Click(IDCANCEL);
    });
}

TEST_F(OptionsDialog, AddFilesReportsASelectionTooLargeToTakeAndAddsNothing) {
    const ScratchFolder folder("QuorvelTooMany");
    const Texts names = LongNames(1400); // about 280,000 characters
    for (const std::string& name : names) {
        folder.Add(name);
    }
    MessageBoxAnswers boxes;
    FileDialogAnswers answers({folder.WidePath(), QuotedNames(names)});
    HWND dialog = nullptr;
    RunOptions([&] {
        dialog = options.hwnd();
        Click(IDC_OPTIONS_ADD_FILES);
        EXPECT_TRUE(Rows(IDC_OPTIONS_NAMES).empty());
        Click(IDCANCEL);
    });
    ASSERT_EQ(boxes.Seen().size(), 1u);
    ExpectBox(boxes.Seen()[0], dialog, "Too Many Files",
              "The selected files are too many to add at once; please add them in smaller groups.",
              {IDOK}, IDI_HAND);
}

} // namespace

namespace {

// Changes in every part of the dialog: the playlist, the feeds, the lists and the check box.
void ChangeEverything() {
    Select(IDC_OPTIONS_NAMES, 0);
    Click(IDC_OPTIONS_DOWN);
    Type(IDC_OPTIONS_NAME, "Six");
    Type(IDC_OPTIONS_LINK, "http://a/6.mp3");
    Click(IDC_OPTIONS_ADD);
    Type(IDC_OPTIONS_FEED2_TITLE, "News");
    Type(IDC_OPTIONS_FEED2_SOURCE, "");
    Type(IDC_OPTIONS_FEED4_SOURCE, "http://four/rss?a=1^b");
    SendMessageA(Control(IDC_OPTIONS_FREQUENCY), CB_SETCURSEL, 5, 0); // "2 Hours"
    SendMessageA(Control(IDC_OPTIONS_STARTUP), BM_SETCHECK, BST_CHECKED, 0);
}

TEST_F(OptionsPlaylist, OkWritesThePlaylistEveryValueAndTheRunEntry) {
    StoreNumber("UpdateFrequency", 1);
    StoreText("Rss1", "World^http://w");
    const INT_PTR result = RunOptions([] {
        ChangeEverything();
        Click(IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(options.hwnd(), nullptr);
    EXPECT_EQ(playlist.Read(), "<song>Two</song><link>http://a/2.wma</link>\n"
                               "<song>One</song><link>http://a/1.mp3</link>\n"
                               "<song>Three</song><link>http://a/3.flv</link>\n"
                               "<song>Four</song><link>http://a/4.rm</link>\n"
                               "<song>Five</song><link>http://a/5.mp3</link>\n"
                               "<song>Six</song><link>http://a/6.mp3</link>\n");
    const RegistryImage expected{
        {"Startup", Number(1)},
        {"NicAdapter", Number(0)},
        {"UpdateFrequency", Number(5)},
        {"Rss1", Text("World^http://w")},
        {"Rss2", Text("News^")},
        {"Rss3", Text("^")},
        {"Rss4", Text("^http://four/rss?a=1^b")},
        {"Rss5", Text("^")},
        {"Run\\Quorvel", Text(QuotedQuorvelBesideThisProgram())},
    };
    EXPECT_EQ(ReadRegistryImage(), expected);
}

TEST_F(OptionsPlaylist, UncheckedStartupLeavesAnEmptyRunEntryAndAPendingEditIsDropped) {
    StoreText("Quorvel", "C:\\old\\Quorvel.exe", kRunKey);
    StoreNumber("Startup", 1);
    RunOptions([] {
        EXPECT_TRUE(Checked(IDC_OPTIONS_STARTUP));
        Click(IDC_OPTIONS_STARTUP); // unchecks it
        Select(IDC_OPTIONS_NAMES, 2);
        Click(IDC_OPTIONS_EDIT);
        Type(IDC_OPTIONS_NAME, "Pending");
        Click(IDOK);
    });
    EXPECT_EQ(playlist.Read(), kFivePlaylist);
    RegistryImage image = ReadRegistryImage();
    EXPECT_EQ(image["Startup"], Number(0));
    EXPECT_EQ(image["Run\\Quorvel"], Text(""));
    // The next opening starts outside edit mode: Edit edits, no Update box.
    MessageBoxAnswers boxes;
    RunOptions([] {
        EXPECT_EQ(TextOf(IDC_OPTIONS_EDIT), "E&dit");
        ExpectEditMode(false);
        Select(IDC_OPTIONS_NAMES, 1);
        Click(IDC_OPTIONS_EDIT);
        EXPECT_EQ(TextOf(IDC_OPTIONS_NAME), "Two");
        Click(IDCANCEL);
    });
    EXPECT_TRUE(boxes.Seen().empty());
}

// Keys typed into a field come through the dialog's own message loop.
void TypeKeys(int id, std::wstring_view keys) {
    SetFocus(Control(id));
    for (const wchar_t key : keys) {
        PostMessageW(Control(id), WM_CHAR, WPARAM(key), 1);
    }
}

std::wstring WideTextOf(int id) {
    return Window(Control(id)).Text();
}

// Playlist names and feed titles in any script are kept from the fields to the lists, the file
// and the registry, and come back at the next opening.
TEST_F(OptionsDialog, NamesAndTitlesTypedInAnyScriptAreKept) {
    const std::vector<std::wstring> names{L"Ειδήσεις", L"Новости", L"ニュース",
                                          L"新闻",     L"뉴스",    L"أخبار"};
    const INT_PTR result = RunOptions([&names] {
        for (const std::wstring& name : names) {
            SendMessageW(Control(IDC_OPTIONS_NAME), WM_SETTEXT, 0, LPARAM(name.c_str()));
            Type(IDC_OPTIONS_LINK, "http://a/x.mp3");
            Click(IDC_OPTIONS_ADD);
        }
        TypeKeys(IDC_OPTIONS_FEED1_TITLE, L"ニュース速報です");
        TypeKeys(IDC_OPTIONS_FEED2_TITLE, L"Ελλάδα");
        RunInNextLoop([] {
            EXPECT_EQ(WideTextOf(IDC_OPTIONS_FEED1_TITLE), L"ニュース速報です");
            Click(IDOK);
        });
    });
    EXPECT_EQ(result, IDOK);
    const Texts utf8Names{"Ειδήσεις", "Новости", "ニュース", "新闻", "뉴스", "أخبار"};
    std::string file = "\xEF\xBB\xBF";
    for (const std::string& name : utf8Names) {
        file += "<song>" + name + "</song><link>http://a/x.mp3</link>\n";
    }
    EXPECT_EQ(playlist.Read(), file);
    EXPECT_EQ(SettingsReader().ReadSettingText("Rss1"), L"ニュース速報です^");
    EXPECT_EQ(SettingsReader().ReadSettingText("Rss2"), L"Ελλάδα^");

    RunOptions([&utf8Names] {
        EXPECT_EQ(Rows(IDC_OPTIONS_NAMES), utf8Names);
        EXPECT_EQ(WideTextOf(IDC_OPTIONS_FEED1_TITLE), L"ニュース速報です");
        Select(IDC_OPTIONS_NAMES, 1);
        Click(IDC_OPTIONS_EDIT);
        EXPECT_EQ(WideTextOf(IDC_OPTIONS_NAME), L"Новости");
        Click(IDCANCEL);
    });
}

// Versions before the quotes stored the bare path: start-up is still on, and OK quotes it.
TEST_F(OptionsDialog, AnUnquotedRunEntryStaysTickedAndOkStoresItInQuotes) {
    const std::string quoted = QuotedQuorvelBesideThisProgram();
    StoreNumber("Startup", 1);
    StoreText("Quorvel", quoted.substr(1, quoted.size() - 2), kRunKey);
    RunOptions([] {
        EXPECT_TRUE(Checked(IDC_OPTIONS_STARTUP));
        Click(IDOK);
    });
    EXPECT_EQ(ReadRegistryImage()["Run\\Quorvel"], Text(quoted));
    EXPECT_EQ(ReadRegistryImage()["Startup"], Number(1));
}

void PressKey(int id, WPARAM key) {
    SetFocus(Control(id));
    PostMessageA(Control(id), WM_KEYDOWN, key, 1);
    PostMessageA(Control(id), WM_KEYUP, key, 0xC0000001);
}

TEST_F(OptionsPlaylist, CancelEscAndTheCloseBoxChangeNothing) {
    StoreNumber("UpdateFrequency", 3);
    StoreText("Rss3", "Tech^http://t");
    StoreText("Quorvel", "", kRunKey);
    const RegistryImage before = ReadRegistryImage();
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"Cancel", [] { Click(IDCANCEL); }},
        {"Esc", [] { PressKey(IDC_OPTIONS_FEED3_TITLE, VK_ESCAPE); }},
        {"close box", [] { PostMessageA(options.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const auto& [way, close] : ways) {
        const INT_PTR result = RunOptions([&] {
            ChangeEverything();
            Select(IDC_OPTIONS_NAMES, 4);
            Click(IDC_OPTIONS_EDIT); // closing in edit mode too
            close();
        });
        EXPECT_EQ(result, IDCANCEL) << way;
        EXPECT_EQ(playlist.Read(), kFivePlaylist) << way;
        EXPECT_EQ(ReadRegistryImage(), before) << way;
    }
}

TEST_F(OptionsDialog, EnterInAFeedFieldSavesAndCloses) {
    const INT_PTR result = RunOptions([] {
        Type(IDC_OPTIONS_FEED5_SOURCE, "http://five/rss");
        PressKey(IDC_OPTIONS_FEED5_SOURCE, VK_RETURN);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(ReadRegistryImage()["Rss5"], Text("^http://five/rss"));
}

TEST_F(OptionsPlaylist, AFailedPlaylistWriteKeepsTheDialogOpenAndWritesNoValue) {
    MessageBoxAnswers boxes;
    const INT_PTR result = RunOptions([&] {
        ChangeEverything();
        // The file's place is taken by a folder: it can no longer be replaced.
        DeleteFileA(playlist.path().c_str());
        playlist.BlockWithDirectory();
        Click(IDOK);
        EXPECT_TRUE(IsWindowVisible(options.hwnd())) << "the dialog stays open";
        EXPECT_EQ(boxes.Seen().size(), 1u) << "the file error is reported";
        EXPECT_TRUE(ReadRegistryImage().empty());
        Click(IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(ReadRegistryImage().empty());
}

// Presses OK with a field that would not read back as typed: the dialog stays open with that
// field focused and its text selected for mending, and nothing is saved.
void PressOkAndExpectRefusal(int field, int length, const FileBesideProgram& playlist) {
    SendMessageA(Control(field), EM_SETSEL, 1, 1);
    SetFocus(Control(IDC_OPTIONS_FEED1_SOURCE));
    Click(IDOK);
    EXPECT_TRUE(IsWindowVisible(options.hwnd())) << "the dialog stays open";
    EXPECT_EQ(GetFocus(), Control(field));
    EXPECT_EQ(Selection(field), std::make_pair(0, length)) << "selected whole";
    EXPECT_EQ(playlist.Read(), kFivePlaylist);
    EXPECT_TRUE(ReadRegistryImage().empty());
}

// A caret in a title moves the rest of the title into the source when read back; a feed longer
// than a stored text reads back comes back as an empty row; a source that cannot be made an
// address would never be fetched.
TEST_F(OptionsPlaylist, FeedsThatWouldNotReadBackAreRefusedAndNothingIsSaved) {
    MessageBoxAnswers boxes;
    HWND dialog = nullptr;
    const std::string longest(506, 's'); // "Four^" and these: 511 characters
    const INT_PTR result = RunOptions([&] {
        dialog = options.hwnd();
        ChangeEverything();
        Type(IDC_OPTIONS_FEED3_TITLE, "A^B");
        Type(IDC_OPTIONS_FEED3_SOURCE, "C");
        Type(IDC_OPTIONS_FEED4_TITLE, "Four");
        Type(IDC_OPTIONS_FEED4_SOURCE, (longest + "s").c_str());
        Type(IDC_OPTIONS_FEED5_TITLE, "x^");
        PressOkAndExpectRefusal(IDC_OPTIONS_FEED3_TITLE, 3, playlist);
        EXPECT_EQ(TextOf(IDC_OPTIONS_FEED3_TITLE), "A^B") << "the title is kept for mending";
        Type(IDC_OPTIONS_FEED3_TITLE, "AB");
        Type(IDC_OPTIONS_FEED5_TITLE, "x");
        PressOkAndExpectRefusal(IDC_OPTIONS_FEED4_SOURCE, 507, playlist);
        Type(IDC_OPTIONS_FEED4_SOURCE, longest.c_str());
        SetWindowTextW(Control(IDC_OPTIONS_FEED2_SOURCE), L"http://\u0436..ru/"); // no IDNA form
        PressOkAndExpectRefusal(IDC_OPTIONS_FEED2_SOURCE, 13, playlist);
        Type(IDC_OPTIONS_FEED2_SOURCE, "");
        Click(IDOK);
    });
    EXPECT_EQ(result, IDOK);
    ASSERT_EQ(boxes.Seen().size(), 3u);
    ExpectBox(boxes.Seen()[0], dialog, "Invalid Feed Title",
              "The title of feed 3 cannot contain the ^ character.", {IDOK}, IDI_HAND);
    ExpectBox(boxes.Seen()[1], dialog, "Feed Too Long",
              "Feed 4 is too long to be saved: its title and source may hold 510 characters "
              "together.",
              {IDOK}, IDI_HAND);
    ExpectBox(boxes.Seen()[2], dialog, "Invalid Feed Source",
              "The source of feed 2 is not an address that can be fetched: please check its host "
              "name.",
              {IDOK}, IDI_HAND);
    EXPECT_EQ(ReadRegistryImage()["Rss3"], Text("AB^C"));
    RunOptions([&] {
        EXPECT_EQ(TextOf(IDC_OPTIONS_FEED4_SOURCE), longest) << "the longest feed reads back";
        Click(IDCANCEL);
    });
}

// Holds a file open without sharing it, as another program might: nobody else can open it.
class ShareLock {
public:
    bool Take(const std::string& path) {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        file_.reset(file == INVALID_HANDLE_VALUE ? nullptr : file);
        return file_.get() != nullptr;
    }
    void Release() { file_.reset(); }

private:
    UniqueKernelHandle file_;
};

// A file a byte over 1 GiB that begins with `head`; sparse, so that it costs no disk space.
void WriteHugeFile(const std::string& path, const std::string& head) {
    UniqueKernelHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    WriteFile(file.get(), head.data(), DWORD(head.size()), &written, nullptr);
    LARGE_INTEGER end{};
    end.QuadPart = (1ll << 30) + 1;
    SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN);
    SetEndOfFile(file.get());
}

// The size of the file and its first bytes, without reading a gigabyte.
std::pair<long long, std::string> SizeAndHead(const std::string& path, size_t count) {
    UniqueKernelHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    GetFileSizeEx(file.get(), &size);
    std::string head(count, '\0');
    DWORD read = 0;
    ReadFile(file.get(), head.data(), DWORD(count), &read, nullptr);
    head.resize(read);
    return {size.QuadPart, head};
}

// The system's text for the error, or the program's own where the system has none (Wine has
// none for a file too large).
std::string FileErrorText(DWORD error) {
    char text[512] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                   text, sizeof text, nullptr);
    return text[0] ? text : "The file could not be accessed.";
}

// Presses OK. Should OK leave the dialog open (a failed save), a Cancel waiting behind it closes
// the dialog, so that the test fails at once rather than by timing out.
void PressOkOrGiveUp() {
    Click(IDOK);
    PostMessageA(options.hwnd(), WM_COMMAND, IDCANCEL, 0);
}

// Every setting stored, so that a save of blanks or defaults over them shows.
void StoreEverySetting() {
    StoreNumber("Startup", 1);
    StoreNumber("NicAdapter", 1);
    StoreNumber("UpdateFrequency", 4);
    const char* feeds[][2] = {{"Rss1", "World^http://w"},
                              {"Rss2", "News^http://n"},
                              {"Rss3", "^"},
                              {"Rss4", "Four^http://4?a=1^b"},
                              {"Rss5", "Five^http://5"}};
    for (const auto& [name, value] : feeds) {
        StoreText(name, value);
    }
    StoreText("Quorvel", QuotedQuorvelBesideThisProgram(), kRunKey);
}

void ExpectEverySettingLoaded() {
    EXPECT_TRUE(Rows(IDC_OPTIONS_NAMES).empty());
    EXPECT_EQ(Choices(IDC_OPTIONS_ADAPTER), InterfaceTableDescriptions());
    EXPECT_EQ(Choice(IDC_OPTIONS_ADAPTER), 1);
    EXPECT_TRUE(Checked(IDC_OPTIONS_STARTUP));
    EXPECT_EQ(Choice(IDC_OPTIONS_FREQUENCY), 4);
    EXPECT_EQ(TextOf(IDC_OPTIONS_FEED1_TITLE), "World");
    EXPECT_EQ(TextOf(IDC_OPTIONS_FEED2_SOURCE), "http://n");
    EXPECT_EQ(TextOf(1010), "http://4?a=1^b");
    EXPECT_EQ(TextOf(1011), "Five");
}

// A playlist that cannot be read is reported, the settings load all the same, and OK saves the
// one change made without touching the file or writing anything else.
TEST_F(OptionsDialog, AnUnreadablePlaylistIsReportedAndOkKeepsItAndEveryOtherSetting) {
    const std::string head = "<song>Kept</song><link>http://k/1.mp3</link>\n";
    struct Cause {
        const char* name;
        DWORD error; // 0: not checked
    };
    for (const Cause cause :
         {Cause{"locked", ERROR_SHARING_VIOLATION}, Cause{"over 1 GiB", ERROR_FILE_TOO_LARGE},
          Cause{"a folder in its place", 0}}) {
        SCOPED_TRACE(cause.name);
        ClearSettings();
        StoreEverySetting();
        RegistryImage expected = ReadRegistryImage();
        expected["UpdateFrequency"] = Number(2);
        ShareLock lock;
        if (cause.error == ERROR_SHARING_VIOLATION) {
            playlist.Write(kFivePlaylist);
            ASSERT_TRUE(lock.Take(playlist.path()));
        } else if (cause.error == ERROR_FILE_TOO_LARGE) {
            WriteHugeFile(playlist.path(), head);
        } else {
            playlist.BlockWithDirectory();
        }
        MessageBoxAnswers boxes;
        const INT_PTR result = RunOptions([&] {
            ExpectEverySettingLoaded();
            lock.Release(); // a write now would succeed: OK must not try
            SendMessageA(Control(IDC_OPTIONS_FREQUENCY), CB_SETCURSEL, 2, 0);
            PressOkOrGiveUp();
        });
        EXPECT_EQ(result, IDOK);
        ASSERT_EQ(boxes.Seen().size(), 1u) << "only the failed read is reported";
        EXPECT_EQ(boxes.Seen()[0].caption, "Quorvel");
        if (cause.error) {
            EXPECT_EQ(boxes.Seen()[0].text, playlist.path() + "\n" + FileErrorText(cause.error));
        } else {
            EXPECT_TRUE(boxes.Seen()[0].text.starts_with(playlist.path() + "\n"));
        }
        EXPECT_EQ(ReadRegistryImage(), expected);
        if (cause.error == ERROR_SHARING_VIOLATION) {
            EXPECT_EQ(playlist.Read(), kFivePlaylist);
        } else if (cause.error == ERROR_FILE_TOO_LARGE) {
            EXPECT_EQ(SizeAndHead(playlist.path(), head.size()),
                      std::make_pair((1ll << 30) + 1, head));
        } else {
            EXPECT_TRUE(GetFileAttributesA(playlist.path().c_str()) & FILE_ATTRIBUTE_DIRECTORY);
        }
        playlist.Remove();
    }
}

// Entries added after a failed read cannot be saved without replacing the file that was not
// read: the file is kept byte for byte, the other settings are saved, and the user is told.
TEST_F(OptionsDialog, EntriesAddedAfterAFailedReadAreNotSavedAndTheUserIsTold) {
    for (const bool keepTheEntry : {true, false}) {
        SCOPED_TRACE(keepTheEntry ? "kept" : "deleted again");
        playlist.Write(kFivePlaylist);
        ShareLock lock;
        ASSERT_TRUE(lock.Take(playlist.path()));
        MessageBoxAnswers boxes({IDOK, IDYES});
        HWND dialog = nullptr;
        const INT_PTR result = RunOptions([&] {
            dialog = options.hwnd();
            lock.Release();
            Type(IDC_OPTIONS_NAME, "Six");
            Type(IDC_OPTIONS_LINK, "http://a/6.mp3");
            Click(IDC_OPTIONS_ADD);
            if (!keepTheEntry) {
                Click(IDC_OPTIONS_DELETE);
            }
            SendMessageA(Control(IDC_OPTIONS_FREQUENCY), CB_SETCURSEL, 3, 0);
            PressOkOrGiveUp();
        });
        EXPECT_EQ(result, IDOK);
        EXPECT_EQ(playlist.Read(), kFivePlaylist);
        EXPECT_EQ(ReadRegistryImage()["UpdateFrequency"], Number(3));
        ASSERT_EQ(boxes.Seen().size(), 2u) << "the failed read, then the one about the entries";
        if (keepTheEntry) {
            ExpectBox(boxes.Seen()[1], dialog, "Playlist Not Saved",
                      "The playlist file could not be read, so the entries added to it were not "
                      "saved.",
                      {IDOK}, IDI_EXCLAMATION);
        } else {
            EXPECT_EQ(boxes.Seen()[1].caption, "Deleting Entry") << "nothing left to tell";
        }
        playlist.Remove();
    }
}

// A missing playlist is an empty one, not a failure: no box, and OK leaves an empty file.
TEST_F(OptionsDialog, AMissingPlaylistIsCreatedEmptyWithoutABoxAndOkKeepsItEmpty) {
    MessageBoxAnswers boxes;
    const INT_PTR result = RunOptions([] {
        EXPECT_TRUE(Rows(IDC_OPTIONS_NAMES).empty());
        Click(IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(boxes.Seen().empty());
    EXPECT_TRUE(playlist.Exists());
    EXPECT_EQ(playlist.Read(), "");
}

} // namespace
