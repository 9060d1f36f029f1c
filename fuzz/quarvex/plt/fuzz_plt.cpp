// Feeds arbitrary bytes to the data-file reader as a file on disk: the read
// with its size and line limits, the code-page decision, and the text each
// grid row gets; a line of a UTF-8 file becomes cells and goes back to UTF-8,
// and a UTF-16 file's text is written as UTF-16 again, with or without its
// mark as it came.
#include <unistd.h>

#include <QFile>
#include <string>

#include "quarvex/runtime/code_page.h"
#include "quarvex/runtime/errors.h"
#include "quarvex/sheets/plt_format.h"

using namespace quarvex;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const QString path = QString::fromStdString("/tmp/fuzz_plt_" + std::to_string(getpid()) + ".plt");
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    try {
        const SheetText text = SheetTextFromFile(ReadDataFile(path));
        // Text the sheet takes as UTF-8 is UTF-8 (stray bytes mended), and a
        // UTF-16 file written from it reads back as the same text.
        if (text.utf8 && !QByteArrayView(text.bytes).isValidUtf8()) __builtin_trap();
        if (text.utf16 != Utf16::No) {
            const SheetText again = SheetTextFromFile(Utf16FileBytes(text.bytes, text.utf16, text.mark));
            if (again.bytes != text.bytes || again.utf16 != text.utf16) __builtin_trap();
        }
        if (text.lineEnd != "\r\n" && text.lineEnd != "\n" && text.lineEnd != "\r") __builtin_trap();
        const auto lines = SplitPltLines(std::string_view(text.bytes.constData(), size_t(text.bytes.size())));
        QByteArray cells, back;
        for (std::string_view line : lines) {
            if (!text.utf8) {
                (void)DecodePltLine(line);
                continue;
            }
            cells.clear();
            qvrt::AppendCellBytesFromUtf8(line, cells);
            back.clear();
            qvrt::AppendCellUtf8(std::string_view(cells.constData(), size_t(cells.size())), back);
        }
    } catch (const qvrt::RuntimeError&) {
        // Refused files get their message box in the program.
    }
    return 0;
}
