// The frame's toolbar: eight command buttons told apart by their keys, never
// by their position, so separators and reordering change nothing.
#pragma once

#include <QString>
#include <QToolBar>
#include <functional>

namespace quarvex {

class Toolbar1 : public QToolBar {
public:
    // The buttons from the left, each reporting its key to onClick.
    explicit Toolbar1(std::function<void(const QString& key)> onClick, QWidget* parent = nullptr);

    // The button with this key, or null.
    QAction* Button(const QString& key) const;
    // The keys from the left.
    QStringList Keys() const;
};

}  // namespace quarvex
