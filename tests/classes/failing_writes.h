// Makes file writes of this process fail with EFBIG beyond a size limit, for
// tests of what a failed write leaves behind (works for root as well).
#pragma once

#include <csignal>
#include <sys/resource.h>

namespace trestle_test {

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t Bytes) {
        FOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &FOld);
        rlimit Limit = FOld;
        Limit.rlim_cur = Bytes;
        setrlimit(RLIMIT_FSIZE, &Limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &FOld);
        std::signal(SIGXFSZ, FOldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit FOld{};
    void (*FOldHandler)(int) = nullptr;
};

} // namespace trestle_test
