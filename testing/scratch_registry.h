#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace qv::testing {

// A throwaway key under HKCU, deleted before and after use, for tests that write the registry.
class ScratchRegistryKey {
public:
    explicit ScratchRegistryKey(const char* name);
    ScratchRegistryKey(const ScratchRegistryKey&) = delete;
    ScratchRegistryKey& operator=(const ScratchRegistryKey&) = delete;
    ~ScratchRegistryKey();

    const char* path() const { return path_.c_str(); }
    void WriteRaw(const char* name, DWORD type, const void* data, DWORD size) const;
    bool HasValue(const char* name) const;
    std::string ReadText(const char* name) const;

private:
    std::string path_;
};

// Handles messages for the given time, so that timers and posted messages run.
void PumpMessagesFor(DWORD milliseconds);
// Handles messages until `done` holds, or the time is up; whether it held.
bool PumpMessagesUntil(const std::function<bool()>& done, DWORD milliseconds);

} // namespace qv::testing
