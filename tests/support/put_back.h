// A window manager that puts a window back at `at` each time the program
// moves it elsewhere, `times` times: in the next turn of the event loop,
// before any timer of the program's can see it stand there, however slow
// the machine. For the tests of the fitting of late-framed windows.
#pragma once

#include <QEvent>
#include <QMetaObject>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QWidget>

class PutBack : public QObject {
public:
    PutBack(QWidget& window, QPoint at, int times) : left_(times), window_(window), at_(at) {
        window_.installEventFilter(this);
    }
    ~PutBack() override { window_.removeEventFilter(this); }
    int done = 0;  // times the window was put back

private:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (object == &window_ && event->type() == QEvent::Move && left_ > 0 &&
            window_.geometry().topLeft() != at_) {
            --left_;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    window_.setGeometry(QRect(at_, window_.size()));
                    ++done;
                },
                Qt::QueuedConnection);
        }
        return false;
    }
    int left_;
    QWidget& window_;
    QPoint at_;
};
