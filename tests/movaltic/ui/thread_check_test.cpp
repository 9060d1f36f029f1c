// The ThreadSanitizer build's suppressions leave out what Qt's own threads do,
// never a race between threads a button started: a job runs under
// QAbstractButton::clicked, and its workers are created there.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>
#include <QPushButton>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "movaltic/imaging/threads.h"

#if defined(__SANITIZE_THREAD__)
#define MOVALTIC_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define MOVALTIC_TSAN 1
#endif
#endif

namespace {

volatile int gShared = 0;  // volatile: the planted writes stay in

__attribute__((noinline)) void PlantedWrite(int v) { gShared = v; }

// Run as a child by the test below: from the button, a worker started as a
// job starts its own, Qt converting a large picture on its pooled threads
// meanwhile, and the clicked thread writing what the worker writes.
TEST(ThreadCheckChild, RaceFromAButton) {
    if (!std::getenv("MOVALTIC_THREAD_CHECK_CHILD")) GTEST_SKIP() << "run by ThreadCheck as a child process";
    QPushButton button("Go");
    QObject::connect(&button, &QAbstractButton::clicked, [] {
        std::thread worker;
        ASSERT_TRUE(movaltic::StartThread(worker, [] { PlantedWrite(1); }));
        QImage big(2048, 1024, QImage::Format_RGB32);
        big.fill(Qt::darkCyan);
        EXPECT_FALSE(big.convertToFormat(QImage::Format_RGB888).isNull());
        PlantedWrite(2);
        worker.join();
    });
    button.show();
    QTest::mouseClick(&button, Qt::LeftButton);
}

// Under the project's suppressions the planted race is reported, alone.
TEST(ThreadCheck, RaceBetweenThreadsStartedFromAButtonIsReported) {
#ifndef MOVALTIC_TSAN
    GTEST_SKIP() << "not a ThreadSanitizer build";
#endif
    char self[4096] = {};
    ASSERT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
    const std::string cmd = std::string("TSAN_OPTIONS=halt_on_error=0:exitcode=0:suppressions=") + SOURCE_DIR +
                            "/tests/tsan.supp MOVALTIC_THREAD_CHECK_CHILD=1 '" + self +
                            "' --gtest_filter=ThreadCheckChild.* 2>&1";
    std::string out;
    if (FILE* p = popen(cmd.c_str(), "r")) {
        char buf[4096];
        for (size_t got; (got = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, got);
        pclose(p);
    }
    EXPECT_NE(out.find("ThreadSanitizer: data race"), std::string::npos) << out;
    EXPECT_NE(out.find("in PlantedWrite"), std::string::npos) << out;
    EXPECT_NE(out.find("ThreadSanitizer: reported 1 warnings"), std::string::npos) << out;
}

}  // namespace
