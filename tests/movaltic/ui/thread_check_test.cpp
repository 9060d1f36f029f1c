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

constexpr const char* kChildCase = "MOVALTIC_THREAD_CHECK_CASE";

// volatile: the planted writes must stay in, though nothing reads them.
volatile int gShared = 0;

__attribute__((noinline)) void PlantedWrite(int v) { gShared = v; }

// What the child runs from the button: a worker started as the job starts
// its own, Qt converting a large picture on its pooled threads meanwhile,
// and the clicked thread writing what the worker writes, before the join
// ("race") or after it ("ordered").
void RunFromButton(bool race) {
    QPushButton button("Go");
    QObject::connect(&button, &QAbstractButton::clicked, [race] {
        std::thread worker;
        ASSERT_TRUE(movaltic::StartThread(worker, [] { PlantedWrite(1); }));
        QImage big(2048, 1024, QImage::Format_RGB32);
        big.fill(Qt::darkCyan);
        const QImage converted = big.convertToFormat(QImage::Format_RGB888);
        EXPECT_FALSE(converted.isNull());
        if (race) PlantedWrite(2);
        worker.join();
        if (!race) PlantedWrite(2);
    });
    button.show();
    QTest::mouseClick(&button, Qt::LeftButton);
}

TEST(ThreadCheckChild, ClickedThreadAndWorker) {
    const char* which = std::getenv(kChildCase);
    if (!which) GTEST_SKIP() << "run by ThreadCheck as a child process";
    RunFromButton(std::string(which) == "race");
}

// Runs the case above in a child under the project's suppressions; returns
// what ThreadSanitizer wrote.
std::string ChildReport(const std::string& which) {
    char self[4096] = {};
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return "no executable";
    const std::string cmd = std::string("TSAN_OPTIONS=halt_on_error=0:exitcode=0:suppressions=") + SOURCE_DIR +
                            "/tests/tsan.supp " + kChildCase + "=" + which + " '" + self +
                            "' --gtest_filter=ThreadCheckChild.ClickedThreadAndWorker 2>&1";
    std::string out;
    if (FILE* p = popen(cmd.c_str(), "r")) {
        char buf[4096];
        size_t got;
        while ((got = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, got);
        pclose(p);
    }
    return out;
}

TEST(ThreadCheck, RaceBetweenThreadsStartedFromAButtonIsReported) {
#ifndef MOVALTIC_TSAN
    GTEST_SKIP() << "not a ThreadSanitizer build";
#endif
    struct Case {
        const char* which;
        bool reported;
    };
    for (const Case& c : {Case{"race", true}, Case{"ordered", false}}) {
        const std::string out = ChildReport(c.which);
        EXPECT_NE(out.find("[  PASSED  ] 1 test"), std::string::npos) << c.which << ":\n" << out;
        EXPECT_EQ(out.find("ThreadSanitizer: data race") != std::string::npos, c.reported) << c.which << ":\n"
                                                                                          << out;
        if (c.reported) {
            EXPECT_NE(out.find("PlantedWrite"), std::string::npos) << out;
        }
    }
}

}  // namespace
