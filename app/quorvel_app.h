#pragma once

#include "framework/app.h"
#include "framework/handles.h"

namespace qv {

inline constexpr const char* kSingleInstanceMutexName = "Local\\Quorvel.SingleInstance";

class CQuorvelApp : public CWinApp {
protected:
    bool InitInstance() override;

private:
    UniqueKernelHandle instanceMutex_;
};

} // namespace qv
