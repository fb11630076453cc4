#pragma once

#include <windows.h>

#include <vector>

namespace qv::testing {

// Makes a loopback port the prefix's proxy (the system's settings that WinINet sessions with
// preconfigured access read) while it lives, and puts the settings back afterwards.
class SystemProxyOverride {
public:
    explicit SystemProxyOverride(int port);
    SystemProxyOverride(const SystemProxyOverride&) = delete;
    SystemProxyOverride& operator=(const SystemProxyOverride&) = delete;
    ~SystemProxyOverride();

private:
    struct Saved {
        bool present = false;
        DWORD type = 0;
        std::vector<BYTE> data;
    };
    Saved enable_, server_;
};

} // namespace qv::testing
