// The frame's common dialog control: properties set before a Show call, the
// chosen name or colour read after it. A cancelled dialog raises error 32755
// when CancelError is set, as the handlers of the program expect.
#pragma once

#include <QString>
#include <cstdint>

class QPrinter;

namespace qvrt {

class CommonDialog {
public:
    bool CancelError = false;
    long Flags = 0;
    QString Filter;
    int FilterIndex = 1;
    QString FileName;
    QString DefaultExt;
    QString DialogTitle;
    uint32_t Color = 0;
    QPrinter* Printer = nullptr;  // the printer the printer dialog sets up

    void ShowOpen();
    void ShowSave();
    void ShowColor();
    void ShowPrinter();

private:
    void cancelled();
};

}  // namespace qvrt
