// Conditions a root test run cannot meet with file permissions alone: the
// process runs for a while as an ordinary user (root may read and write
// every file), or with a file-size limit that makes a write run out of room
// part-way, as a full disk does.
#pragma once

#include <QByteArray>
#include <QFile>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

// Switches real and effective ids to "nobody" and back; the saved id stays
// root so the switch back is allowed. Not root, it changes nothing: the
// permission bits already apply.
class AsOrdinaryUser {
public:
    static constexpr uid_t kNobody = 65534;
    AsOrdinaryUser() {
        if (::geteuid() != 0) {
            ok_ = true;
            return;
        }
        switched_ = ::setresgid(kNobody, kNobody, 0) == 0 && ::setresuid(kNobody, kNobody, 0) == 0;
        ok_ = switched_;
        if (!switched_) restore();
    }
    ~AsOrdinaryUser() { restore(); }
    AsOrdinaryUser(const AsOrdinaryUser&) = delete;
    AsOrdinaryUser& operator=(const AsOrdinaryUser&) = delete;
    bool ok() const { return ok_; }
    // Lets the ordinary user into a folder root made for the test.
    static void openFolder(const QString& dir) { ::chmod(QFile::encodeName(dir).constData(), 0777); }

private:
    void restore() {
        if (::geteuid() == 0 && ::getuid() == 0) return;
        if (::setresuid(0, 0, 0) == 0) (void)::setresgid(0, 0, 0);
    }
    bool switched_ = false;
    bool ok_ = false;
};

// Files may grow to `bytes` while this lives; a longer write fails with
// EFBIG instead of the signal that would end the test.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ok_ = ::getrlimit(RLIMIT_FSIZE, &old_) == 0;
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lim = old_;
        lim.rlim_cur = bytes;
        ok_ = ok_ && ::setrlimit(RLIMIT_FSIZE, &lim) == 0;
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool ok() const { return ok_; }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
    bool ok_ = false;
};
