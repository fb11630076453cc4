#include "testing/system_proxy_override.h"

#include <wininet.h>

#include <string>

#include "framework/handles.h"

namespace qv::testing {

namespace {

constexpr char kInternetSettings[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

void Save(HKEY key, const char* name, auto& saved) {
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &saved.type, nullptr, &size) != ERROR_SUCCESS) {
        return;
    }
    saved.data.resize(size);
    saved.present = RegQueryValueExA(key, name, nullptr, &saved.type, saved.data.data(), &size) ==
                    ERROR_SUCCESS;
}

void Restore(HKEY key, const char* name, const auto& saved) {
    if (saved.present) {
        RegSetValueExA(key, name, 0, saved.type, saved.data.data(), DWORD(saved.data.size()));
    } else {
        RegDeleteValueA(key, name);
    }
}

void TellWinInetSettingsChanged() {
    InternetSetOptionA(nullptr, INTERNET_OPTION_SETTINGS_CHANGED, nullptr, 0);
    InternetSetOptionA(nullptr, INTERNET_OPTION_REFRESH, nullptr, 0);
}

} // namespace

SystemProxyOverride::SystemProxyOverride(int port) {
    UniqueRegKey owner;
    RegCreateKeyExA(HKEY_CURRENT_USER, kInternetSettings, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                    owner.put(), nullptr);
    const HKEY key = owner.get();
    Save(key, "ProxyEnable", enable_);
    Save(key, "ProxyServer", server_);
    const DWORD enable = 1;
    const std::string server = "127.0.0.1:" + std::to_string(port);
    RegSetValueExA(key, "ProxyEnable", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&enable),
                   sizeof enable);
    RegSetValueExA(key, "ProxyServer", 0, REG_SZ, reinterpret_cast<const BYTE*>(server.c_str()),
                   DWORD(server.size() + 1));
    TellWinInetSettingsChanged();
}

SystemProxyOverride::~SystemProxyOverride() {
    UniqueRegKey key;
    RegOpenKeyExA(HKEY_CURRENT_USER, kInternetSettings, 0, KEY_ALL_ACCESS, key.put());
    Restore(key.get(), "ProxyEnable", enable_);
    Restore(key.get(), "ProxyServer", server_);
    TellWinInetSettingsChanged();
}

} // namespace qv::testing
