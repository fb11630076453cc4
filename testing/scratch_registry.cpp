#include "testing/scratch_registry.h"

#include "framework/handles.h"

namespace qv::testing {

ScratchRegistryKey::ScratchRegistryKey(const char* name)
    : path_(std::string("Software\\QuorvelTests\\") + name) {
    RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
}

ScratchRegistryKey::~ScratchRegistryKey() {
    RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
}

void ScratchRegistryKey::WriteRaw(const char* name, DWORD type, const void* data,
                                  DWORD size) const {
    UniqueRegKey key;
    RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.put(),
                    nullptr);
    RegSetValueExA(key.get(), name, 0, type, static_cast<const BYTE*>(data), size);
}

bool ScratchRegistryKey::HasValue(const char* name) const {
    return RegGetValueA(HKEY_CURRENT_USER, path_.c_str(), name, RRF_RT_ANY, nullptr, nullptr,
                        nullptr) == ERROR_SUCCESS;
}

std::string ScratchRegistryKey::ReadText(const char* name) const {
    char buffer[4096] = {};
    DWORD size = sizeof buffer;
    RegGetValueA(HKEY_CURRENT_USER, path_.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer, &size);
    return buffer;
}

void PumpMessagesFor(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < milliseconds) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

bool PumpMessagesUntil(const std::function<bool()>& done, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= milliseconds) {
            return false;
        }
        PumpMessagesFor(5);
    }
    return true;
}

} // namespace qv::testing
