// The setup program, run as a user runs it: silently, into this Wine prefix, and checked by
// what it leaves behind (files, shortcut, registry, running copies).
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "framework/handles.h"
#include "framework/ole_apartment.h"
#include "testing/program_process.h"

namespace {

namespace fs = std::filesystem;
using qv::ComPtr;
using qv::UniqueKernelHandle;
using qv::UniqueRegKey;

constexpr const wchar_t* kUninstallKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvel";
constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const wchar_t* kSettingsKey = L"Software\\Quorvel";
constexpr DWORD kProcessTimeoutMs = 60000;

// ---- places ----

fs::path KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    fs::path result;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) {
        result = path;
    }
    CoTaskMemFree(path);
    return result;
}

// The user's own programs folder: writable without administrator rights.
// The folder given with /D, where a test chooses one.
fs::path& ChosenInstallDir() {
    static fs::path chosen;
    return chosen;
}
fs::path InstallDir() {
    return ChosenInstallDir().empty()
               ? KnownFolder(FOLDERID_LocalAppData) / L"Programs" / L"Quorvel"
               : ChosenInstallDir();
}
fs::path InstalledProgram() {
    return InstallDir() / L"Quorvel.exe";
}
fs::path Shortcut() {
    return KnownFolder(FOLDERID_Programs) / L"Quorvel.lnk";
}
fs::path SetupProgram() {
    return fs::path(QUORVEL_SETUP_PATH).make_preferred();
}
fs::path BuiltProgram() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return fs::path(self).parent_path() / L"Quorvel.exe";
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
void WriteFile(const fs::path& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

// ---- registry ----

bool KeyExists(HKEY root, const wchar_t* path) {
    UniqueRegKey key;
    return RegOpenKeyExW(root, path, 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

// The text of a REG_SZ value; nothing when it is missing or of another type.
std::optional<std::wstring> ReadText(const wchar_t* keyPath, const wchar_t* name) {
    wchar_t buffer[1024] = {};
    DWORD size = sizeof buffer - sizeof(wchar_t);
    DWORD type = REG_NONE;
    if (RegGetValueW(HKEY_CURRENT_USER, keyPath, name, RRF_RT_ANY, &type, buffer, &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ) {
        return std::nullopt;
    }
    return buffer;
}
bool ReadNumber(const wchar_t* keyPath, const wchar_t* name, DWORD& value) {
    DWORD size = sizeof value;
    return RegGetValueW(HKEY_CURRENT_USER, keyPath, name, RRF_RT_REG_DWORD, nullptr, &value,
                        &size) == ERROR_SUCCESS;
}
void WriteNumber(const wchar_t* keyPath, const wchar_t* name, DWORD value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, keyPath, name, REG_DWORD, &value, sizeof value);
}

// ---- processes ----

DWORD RunAndWait(std::wstring commandLine, HANDLE job = nullptr) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                        nullptr, nullptr, &startup, &process)) {
        ADD_FAILURE() << "cannot start " << fs::path(commandLine).string();
        return DWORD(-1);
    }
    const UniqueKernelHandle processHandle(process.hProcess);
    const UniqueKernelHandle thread(process.hThread);
    if (job) {
        AssignProcessToJobObject(job, process.hProcess);
    }
    ResumeThread(process.hThread);
    if (WaitForSingleObject(process.hProcess, kProcessTimeoutMs) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "still running after a minute";
        TerminateProcess(process.hProcess, 1);
        return DWORD(-1);
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    return exitCode;
}

DWORD RunSetup(const std::wstring& options) {
    return RunAndWait(L"\"" + SetupProgram().wstring() + L"\" " + options);
}

// The uninstaller hands its work to a copy of itself in the temporary folder and returns at
// once; a job holds both, and is done when neither runs.
DWORD RunUninstaller(const std::wstring& options) {
    const UniqueKernelHandle job(CreateJobObjectW(nullptr, nullptr));
    const DWORD exitCode = RunAndWait(
        L"\"" + (InstallDir() / L"Uninstall.exe").wstring() + L"\" " + options, job.get());
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting{};
    for (DWORD waited = 0; waited < kProcessTimeoutMs; waited += 100) {
        QueryInformationJobObject(job.get(), JobObjectBasicAccountingInformation, &accounting,
                                  sizeof accounting, nullptr);
        if (accounting.ActiveProcesses == 0) {
            return exitCode;
        }
        Sleep(100);
    }
    ADD_FAILURE() << "the uninstaller still runs after a minute";
    return exitCode;
}

fs::path ImageOf(HANDLE process) {
    wchar_t path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    return QueryFullProcessImageNameW(process, 0, path, &size) ? fs::path(path) : fs::path();
}

bool IsInstalledProgram(const fs::path& image) {
    return !image.empty() && lstrcmpiW(image.c_str(), InstalledProgram().c_str()) == 0;
}

// Every running copy of the installed program.
std::vector<DWORD> InstalledCopies() {
    std::vector<DWORD> copies;
    const UniqueKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry)) {
        if (lstrcmpiW(entry.szExeFile, L"Quorvel.exe") != 0) {
            continue;
        }
        const UniqueKernelHandle process(
            OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
        if (process && IsInstalledProgram(ImageOf(process.get()))) {
            copies.push_back(entry.th32ProcessID);
        }
    }
    return copies;
}

void TerminateInstalledCopies() {
    for (DWORD id : InstalledCopies()) {
        const UniqueKernelHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
        TerminateProcess(process.get(), 0);
        WaitForSingleObject(process.get(), qv::testing::kProgramDeadlineMs);
    }
}

// The visible 236 x 18 window of a running copy of the installed program, once there is one.
struct ShownBar {
    HWND window = nullptr;
    DWORD processId = 0;
};
ShownBar AwaitInstalledBar() {
    ShownBar found;
    for (int attempt = 0; attempt < 150 && !found.window; ++attempt) {
        EnumWindows(
            [](HWND window, LPARAM context) -> BOOL {
                if (!qv::testing::IsShownBar(window)) {
                    return TRUE;
                }
                DWORD id = 0;
                GetWindowThreadProcessId(window, &id);
                const UniqueKernelHandle process(
                    OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
                if (!process || !IsInstalledProgram(ImageOf(process.get()))) {
                    return TRUE;
                }
                *reinterpret_cast<ShownBar*>(context) = {window, id};
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&found));
        if (!found.window) {
            Sleep(100);
        }
    }
    return found;
}

// ---- what the installed program says about itself ----

std::wstring ProductVersionOf(const fs::path& program) {
    const DWORD size = GetFileVersionInfoSizeW(program.c_str(), nullptr);
    std::vector<BYTE> info(size);
    wchar_t* text = nullptr;
    UINT length = 0;
    if (size == 0 || !GetFileVersionInfoW(program.c_str(), 0, size, info.data()) ||
        !VerQueryValueW(info.data(), L"\\StringFileInfo\\040904B0\\ProductVersion",
                        reinterpret_cast<void**>(&text), &length)) {
        return {};
    }
    return text;
}

fs::path ShortcutTarget(const fs::path& link) {
    qv::EnterOleApartment();
    ComPtr<IShellLinkW> shellLink;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(shellLink.put())))) {
        return {};
    }
    ComPtr<IPersistFile> file;
    wchar_t target[MAX_PATH] = {};
    if (FAILED(shellLink.get()->QueryInterface(IID_PPV_ARGS(file.put()))) ||
        FAILED(file.get()->Load(link.c_str(), STGM_READ)) ||
        FAILED(shellLink.get()->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH))) {
        return {};
    }
    return target;
}

// The requested execution level in the setup program's manifest: Windows asks for an
// administrator only when it is not "asInvoker".
std::string ManifestOf(const fs::path& program) {
    const HMODULE module = LoadLibraryExW(
        program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    const auto* manifestType = MAKEINTRESOURCEW(24); // RT_MANIFEST, in its wide form
    std::string manifest;
    if (HRSRC resource =
            module ? FindResourceW(module, MAKEINTRESOURCEW(1), manifestType) : nullptr) {
        const auto* bytes = static_cast<const char*>(LockResource(LoadResource(module, resource)));
        manifest.assign(bytes, SizeofResource(module, resource));
    }
    if (module) {
        FreeLibrary(module);
    }
    return manifest;
}

// Every test starts and ends without an installed copy, running or not.
class Installer : public ::testing::Test {
protected:
    void SetUp() override { RemoveEverything(); }
    void TearDown() override { RemoveEverything(); }

    static void RemoveEverything() {
        TerminateInstalledCopies();
        std::error_code ignored;
        fs::remove_all(InstallDir(), ignored);
        fs::remove(Shortcut(), ignored);
        RegDeleteTreeW(HKEY_CURRENT_USER, kUninstallKey);
        RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Quorvel");
    }
};

// Installed with /D in a folder named outside the ANSI code page.
class InstallerInAnyScript : public Installer {
protected:
    void SetUp() override {
        ChosenInstallDir() =
            KnownFolder(FOLDERID_LocalAppData) /
            L"\u041A\u0432\u0430\u0440\u0442\u0430\u043B \u03A9\u03BC\u03AD\u03B3\u03B1 "
            L"\u6771\u4EAC"; // Квартал Ωμέγα 東京
        Installer::SetUp();
    }
    void TearDown() override {
        Installer::TearDown();
        ChosenInstallDir().clear();
    }
};

// The Run entry starts that copy, which keeps its files beside itself; the uninstaller removes
// the program and keeps the user's files.
TEST_F(InstallerInAnyScript, RunsThereFromTheRunEntryAndUninstallsKeepingTheUsersFiles) {
    ASSERT_EQ(RunSetup(L"/S /LOGON /D=" + InstallDir().wstring()), 0u);
    ASSERT_TRUE(fs::is_regular_file(InstalledProgram()));
    std::wstring entry = ReadText(kRunKey, L"Quorvel").value_or(L"");
    EXPECT_EQ(entry, L"\"" + InstalledProgram().wstring() + L"\"");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    ASSERT_TRUE(CreateProcessW(nullptr, entry.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &started));
    CloseHandle(started.hThread);
    const UniqueKernelHandle running(started.hProcess);
    ASSERT_TRUE(AwaitInstalledBar().window) << "the Run entry did not start the installed copy";
    const fs::path playlist = InstallDir() / L"QVPlaylist.ini";
    for (DWORD waited = 0; !fs::exists(playlist) && waited < kProcessTimeoutMs; waited += 50) {
        Sleep(50);
    }
    EXPECT_TRUE(fs::exists(playlist)) << "the playlist was not made beside the program";
    WriteFile(InstallDir() / L"Rss1.xml", "<rss/>");

    EXPECT_EQ(RunUninstaller(L"/S"), 0u);
    EXPECT_EQ(WaitForSingleObject(running.get(), 0), WAIT_OBJECT_0) << "the copy still runs";
    EXPECT_FALSE(fs::exists(InstalledProgram()));
    EXPECT_FALSE(fs::exists(InstallDir() / L"Uninstall.exe"));
    EXPECT_TRUE(fs::exists(playlist));
    EXPECT_EQ(ReadFile(InstallDir() / L"Rss1.xml"), "<rss/>");
    EXPECT_FALSE(ReadText(kRunKey, L"Quorvel").has_value());
}

TEST_F(Installer, SilentInstallPutsTheFilesTheShortcutAndTheUninstallEntryInPlace) {
    ASSERT_EQ(RunSetup(L"/S"), 0u);

    for (const wchar_t* name : {L"Quorvel.exe", L"README.txt", L"LICENSE.txt", L"Uninstall.exe"}) {
        EXPECT_TRUE(fs::is_regular_file(InstallDir() / name)) << fs::path(name).string();
    }
    EXPECT_EQ(ReadFile(InstalledProgram()), ReadFile(BuiltProgram()))
        << "the installed program is not the one just built";

    ASSERT_TRUE(fs::is_regular_file(Shortcut())) << Shortcut().string();
    EXPECT_TRUE(IsInstalledProgram(ShortcutTarget(Shortcut())))
        << ShortcutTarget(Shortcut()).string();

    const std::wstring uninstaller = L"\"" + (InstallDir() / L"Uninstall.exe").wstring() + L"\"";
    EXPECT_EQ(ReadText(kUninstallKey, L"DisplayName"), L"Quorvel");
    EXPECT_EQ(ReadText(kUninstallKey, L"UninstallString"), uninstaller);
    EXPECT_EQ(ReadText(kUninstallKey, L"QuietUninstallString"), uninstaller + L" /S");
    EXPECT_EQ(ReadText(kUninstallKey, L"InstallLocation"), InstallDir().wstring());
    const std::wstring version = ProductVersionOf(InstalledProgram());
    EXPECT_FALSE(version.empty());
    EXPECT_EQ(ReadText(kUninstallKey, L"DisplayVersion"), version);

    // Nothing asked for start at logon, and nothing was written for all users.
    EXPECT_FALSE(ReadText(kRunKey, L"Quorvel").has_value());
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kSettingsKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_TRUE(InstalledCopies().empty()) << "started without /RUN";
}

TEST_F(Installer, RunsWithoutAdministratorRights) {
    const std::string manifest = ManifestOf(SetupProgram());
    ASSERT_FALSE(manifest.empty());
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos) << manifest;
}

TEST_F(Installer, TheInstalledProgramStartsFromItsShortcutAndShowsItsBar) {
    ASSERT_EQ(RunSetup(L"/S"), 0u);
    ASSERT_GT(reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", Shortcut().c_str(), nullptr,
                                                      nullptr, SW_SHOWNORMAL)),
              32);
    const ShownBar bar = AwaitInstalledBar();
    ASSERT_TRUE(bar.window) << "no bar of the installed program";
    RECT rect{};
    GetWindowRect(bar.window, &rect);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.left, GetSystemMetrics(SM_CXSCREEN) - 350);
}

TEST_F(Installer, StartAtLogonWritesTheSettingsDialogsRunEntryAndRunStartsTheProgram) {
    ASSERT_EQ(RunSetup(L"/S /LOGON /RUN"), 0u);

    // In quotes: unquoted, Windows may start a program named by the path up to a space.
    const std::wstring quoted = L"\"" + InstalledProgram().wstring() + L"\"";
    EXPECT_EQ(ReadText(kRunKey, L"Quorvel"), quoted);
    DWORD startup = 0;
    EXPECT_TRUE(ReadNumber(kSettingsKey, L"Startup", startup));
    EXPECT_EQ(startup, 1u) << "the settings dialog would show \"Run at startup\" unchecked";
    EXPECT_TRUE(AwaitInstalledBar().window) << "/RUN did not start the program";

    // Installing again without the option keeps what the user has.
    ASSERT_EQ(RunSetup(L"/S"), 0u);
    EXPECT_EQ(ReadText(kRunKey, L"Quorvel"), quoted);
}

// Versions before the quotes wrote the bare path; an entry starting a copy elsewhere is not ours.
TEST_F(Installer, UninstallRemovesItsStartupEntryQuotedOrNotAndKeepsAnotherCopys) {
    const std::pair<std::wstring, bool> entries[] = {
        {L"\"" + InstalledProgram().wstring() + L"\"", false},
        {InstalledProgram().wstring(), false},
        {L"\"D:\\Other Tools\\Quorvel.exe\"", true},
    };
    for (const auto& [entry, kept] : entries) {
        SCOPED_TRACE(fs::path(entry).string());
        ASSERT_EQ(RunSetup(L"/S"), 0u);
        RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Quorvel", REG_SZ, entry.c_str(),
                        DWORD((entry.size() + 1) * sizeof(wchar_t)));
        EXPECT_EQ(RunUninstaller(L"/S"), 0u);
        EXPECT_EQ(ReadText(kRunKey, L"Quorvel").has_value(), kept);
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Quorvel");
    }
}

TEST_F(Installer, SilentUninstallEndsTheProgramRemovesItsTracesAndKeepsTheUsersThings) {
    ASSERT_EQ(RunSetup(L"/S /LOGON"), 0u);
    const UniqueKernelHandle running = qv::testing::StartProgramAt(InstalledProgram());
    ASSERT_TRUE(AwaitInstalledBar().window);
    WriteNumber(kSettingsKey, L"NicAdapter", 2);
    WriteFile(InstallDir() / L"QVPlaylist.ini", "1=Radio^http://radio.example/live.asx\r\n");
    WriteFile(InstallDir() / L"Rss1.xml", "<rss/>");
    WriteFile(InstallDir() / L"ut.html", "<html></html>");

    EXPECT_EQ(RunUninstaller(L"/S"), 0u);

    ASSERT_EQ(WaitForSingleObject(running.get(), 0), WAIT_OBJECT_0) << "the copy still runs";
    DWORD exitCode = 1;
    GetExitCodeProcess(running.get(), &exitCode);
    EXPECT_EQ(exitCode, 0u) << "the copy was killed, not asked to quit as its Exit command does";
    for (const wchar_t* name :
         {L"Quorvel.exe", L"README.txt", L"LICENSE.txt", L"Uninstall.exe", L"ut.html"}) {
        EXPECT_FALSE(fs::exists(InstallDir() / name)) << fs::path(name).string();
    }
    EXPECT_FALSE(fs::exists(Shortcut()));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kUninstallKey));
    EXPECT_FALSE(ReadText(kRunKey, L"Quorvel").has_value());

    EXPECT_EQ(ReadFile(InstallDir() / L"QVPlaylist.ini"),
              "1=Radio^http://radio.example/live.asx\r\n");
    EXPECT_EQ(ReadFile(InstallDir() / L"Rss1.xml"), "<rss/>");
    DWORD adapter = 0;
    EXPECT_TRUE(ReadNumber(kSettingsKey, L"NicAdapter", adapter));
    EXPECT_EQ(adapter, 2u);
    DWORD startup = 1;
    EXPECT_TRUE(ReadNumber(kSettingsKey, L"Startup", startup));
    EXPECT_EQ(startup, 0u) << "kept settings claim a start-up entry that is gone";
}

TEST_F(Installer, UninstallAskedToRemoveTheUsersThingsLeavesNothing) {
    ASSERT_EQ(RunSetup(L"/S"), 0u);
    WriteNumber(kSettingsKey, L"NicAdapter", 2);
    WriteFile(InstallDir() / L"QVPlaylist.ini", "1=Radio^http://radio.example/live.asx\r\n");
    for (const wchar_t* feed : {L"Rss1.xml", L"Rss5.xml"}) {
        WriteFile(InstallDir() / feed, "<rss/>");
    }

    EXPECT_EQ(RunUninstaller(L"/S /REMOVEUSERDATA"), 0u);

    EXPECT_FALSE(fs::exists(InstallDir()));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kSettingsKey));
}

TEST_F(Installer, InstallingOverARunningCopyReplacesItAndStartsTheNewOne) {
    ASSERT_EQ(RunSetup(L"/S"), 0u);
    const UniqueKernelHandle old = qv::testing::StartProgramAt(InstalledProgram());
    const ShownBar oldBar = AwaitInstalledBar();
    ASSERT_TRUE(oldBar.window);
    const std::string readme = ReadFile(InstallDir() / L"README.txt");
    WriteFile(InstallDir() / L"README.txt", "older");

    ASSERT_EQ(RunSetup(L"/S"), 0u);

    EXPECT_EQ(WaitForSingleObject(old.get(), 0), WAIT_OBJECT_0) << "the old copy still runs";
    EXPECT_EQ(ReadFile(InstallDir() / L"README.txt"), readme);
    const ShownBar newBar = AwaitInstalledBar();
    ASSERT_TRUE(newBar.window) << "the program the user had running was not started again";
    EXPECT_NE(newBar.processId, oldBar.processId);
    EXPECT_EQ(InstalledCopies().size(), 1u);
}

} // namespace
