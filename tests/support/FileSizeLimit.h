#pragma once

#include <csignal>
#include <sys/resource.h>

// Simulates a full disk for the scope: no file of the process may grow beyond
// `bytes` (writes past it fail with EFBIG instead of raising SIGXFSZ). Works for
// root too, where read-only permissions do not stop a write.
class TFileSizeLimit
{
public:
    explicit TFileSizeLimit(rlim_t bytes);
    ~TFileSizeLimit();
    TFileSizeLimit(const TFileSizeLimit &) = delete;
    TFileSizeLimit &operator=(const TFileSizeLimit &) = delete;

private:
    rlimit FSaved{};
    struct sigaction FSavedAction{};
};

// True when permission bits do not stop this process (root).
bool IgnoresFilePermissions();
