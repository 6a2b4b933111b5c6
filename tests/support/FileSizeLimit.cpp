#include "support/FileSizeLimit.h"

#include <unistd.h>

TFileSizeLimit::TFileSizeLimit(rlim_t bytes)
{
    struct sigaction ignore{};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &FSavedAction);
    getrlimit(RLIMIT_FSIZE, &FSaved);
    rlimit limit = FSaved;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
}

TFileSizeLimit::~TFileSizeLimit()
{
    setrlimit(RLIMIT_FSIZE, &FSaved);
    sigaction(SIGXFSZ, &FSavedAction, nullptr);
}

bool IgnoresFilePermissions() { return geteuid() == 0; }
