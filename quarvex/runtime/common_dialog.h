// The frame's common dialog control: properties set before a Show call, the
// chosen name or colour read after it. A cancelled dialog raises error 32755
// when CancelError is set, as the handlers of the program expect.
#pragma once

#include <QString>
#include <cstdint>

class QPrinter;

namespace qvrt {

// A print job's printer dialog: the print set-up form without page range,
// selection and print-to-file choices (&H10004C), less the set-up bit (64),
// so that the host shows the print dialog, where the printer, a real one or
// a PDF file, is chosen.
constexpr long kPrintJobDialogFlags = 0x10004C & ~64L;

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
