// A child window of the main frame. Tag is the forms' text property through
// which a data sheet finds its record; graph windows leave it empty.
#pragma once

#include <QMdiSubWindow>
#include <QString>

namespace qvrt {

class ChildForm : public QMdiSubWindow {
public:
    explicit ChildForm(QWidget* parent = nullptr) : QMdiSubWindow(parent) {}
    QString Tag;
    QString Caption() const { return windowTitle(); }
    void setCaption(const QString& caption) { setWindowTitle(caption); }
};

}  // namespace qvrt
