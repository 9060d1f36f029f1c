// No error ever ends the program: whatever a handler does not catch itself
// is shown in a message box and the event ends there.
#pragma once

#include <QApplication>
#include <exception>
#include <functional>

namespace qvrt {

// Shows an uncaught error in a box titled "Error" with the error's own text.
void ReportUncaught(const std::exception& e);
void ReportUncaughtUnknown();

// Runs a handler; anything it throws is reported and swallowed.
template <typename F>
void Guard(F&& handler) noexcept {
    try {
        handler();
    } catch (const std::exception& e) {
        ReportUncaught(e);
    } catch (...) {
        ReportUncaughtUnknown();
    }
}

// Wraps a handler for connecting to a signal: the connected slot is guarded.
template <typename F>
auto Guarded(F handler) {
    return [handler = std::move(handler)](auto&&... args) mutable {
        Guard([&] { handler(std::forward<decltype(args)>(args)...); });
    };
}

// Delivers an event through QApplication::notify, reporting what its handler throws.
bool GuardedNotify(QApplication& app, QObject* receiver, QEvent* event);

// The application of the running program: every event delivery is guarded,
// so an error in any event handler is reported instead of ending the program.
// A write past the file-size limit (ulimit -f) fails as a full disk does
// rather than ending the program by its signal.
class GuardedApplication : public QApplication {
public:
    GuardedApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override { return GuardedNotify(*this, receiver, event); }
};

}  // namespace qvrt
