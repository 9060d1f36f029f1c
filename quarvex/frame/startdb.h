// Starting the separate database program by its stored path, and the
// dialog "Open Database" that asks for that path when the start fails.
#pragma once

#include "quarvex/state/program_state.h"

#include <QDialog>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>

class QLineEdit;
class QPushButton;

namespace quarvex {

class Startdb : public QDialog {
public:
    explicit Startdb(QWidget* parent = nullptr);

    QLineEdit* Text1 = nullptr;
    // 0 "Browse...", 1 "OK", 2 "Cancel".
    std::array<QPushButton*, 3> Command3D1{};

    void Form_Load();
    void Command3D1_Click(int index);

    // Tests answer the modal dialog here instead of a user: called with the
    // loaded dialog in place of running it.
    static inline std::function<void(Startdb&)> RunModal;

private:
    void browse();
    void acceptPath();
};

// Starts the database program; when that fails, asks for its path once and
// tries once more.
void StartDatabase();

}  // namespace quarvex
