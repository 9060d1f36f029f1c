// Opening and saving a 15,000-row by 25-column sheet through the File
// commands, and the memory an empty sheet costs. Run by hand:
//   QT_QPA_PLATFORM=offscreen build/bench/plt_file/plt_file_bench
// With --open FILE [HEADING [ROW]] it opens that file once (and saves it with
// HEADING typed into column D of ROW: first, last, new for the row after the
// last, back for the last row's typed over and put back, twice for D1 and
// then A of the last row, saved after each), for callgrind and for looking
// at the bytes saved.
// With --peak KIND it instead opens one file at the row limit and prints the
// process's peak memory (one kind per run, the peak being the process's):
//   empty  the limit's number of empty lines
//   cells  that many lines of 50 one-character cells
//   wide   that many lines of 50 four-character cells (about 251 MB)
//   utf8   that many lines of 50 cells of one character beyond Windows-1252
//          in UTF-8 (about 201 MB)
//   long   that many lines of one cell, filling the 256 MiB file cap
//   line   one line of one 255 MiB cell
//   over   one empty line more than the limit: refused
#include "quarvex/frame/mdi_form1.h"
#include "quarvex/runtime/scripted_host.h"
#include "quarvex/runtime/settings_store.h"
#include "quarvex/sheets/main1.h"
#include "quarvex/sheets/new_data_window.h"
#include "quarvex/sheets/plt_file.h"
#include "quarvex/sheets/plt_format.h"
#include "quarvex/state/program_state.h"
#include "quarvex/state/window_tables.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMdiArea>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

long rssKb() {
    FILE* f = std::fopen("/proc/self/statm", "r");
    long pages = 0, resident = 0;
    if (f) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

long peakKb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

// Opens a file of the given kind at the row limit; returns the exit code.
int peakRun(quarvex::MDIForm1* frame, qvrt::ScriptedHost& host, const QString& path, const char* kind) {
    const int rows = quarvex::kPltMaxRows;
    QByteArray line;
    int count = rows;
    if (!std::strcmp(kind, "empty")) {
        line = "\r\n";
    } else if (!std::strcmp(kind, "over")) {
        line = "\r\n";
        count = rows + 1;
    } else if (!std::strcmp(kind, "cells") || !std::strcmp(kind, "wide")) {
        const QByteArray cell = !std::strcmp(kind, "cells") ? "1" : "1234";
        for (int c = 1; c <= 50; ++c) line += (c > 1 ? "\t" : "") + cell;
        line += "\r\n";
    } else if (!std::strcmp(kind, "utf8")) {
        for (int c = 1; c <= 50; ++c) line += (c > 1 ? "\t" : "") + QByteArray("\xE2\x82\x82");
        line += "\n";
    } else if (!std::strcmp(kind, "line")) {
        line = QByteArray(255 * 1024 * 1024, 'x');
        count = 1;
    } else if (!std::strcmp(kind, "long")) {
        line = QByteArray(256 * 1024 * 1024 / rows - 2, 'x') + "\r\n";
    } else {
        std::printf("unknown kind %s\n", kind);
        return 2;
    }
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly)) return 1;
        for (int i = 0; i < count; ++i) f.write(line);
        std::printf("%s: %d lines, %lld bytes\n", kind, count, static_cast<long long>(f.size()));
    }
    line = QByteArray();  // a 255 MiB line would count twice
    QApplication::processEvents();
    const long before = peakKb();
    QElapsedTimer t;
    t.start();
    quarvex::CurrentFileName = path;
    MODULE21::LoadDataFile();
    QApplication::processEvents();
    const double ms = t.nsecsElapsed() / 1e6;
    auto* sheet = dynamic_cast<quarvex::Main1*>(frame->ActiveForm());
    std::printf("open: %.0f ms, sheet rows %d\n", ms, sheet ? sheet->Grid1->MaxRows() : 0);
    for (const auto& b : host.boxes) std::printf("box: %s | %s\n", qPrintable(b.prompt), qPrintable(b.title));
    std::printf("peak RSS: %.0f MB before opening, %.0f MB after\n", before / 1024.0, peakKb() / 1024.0);
    return 0;
}

// Opens one file (for a count of instructions over LoadDataFile alone, under
// valgrind --tool=callgrind --toggle-collect='MODULE21::LoadDataFile()', or
// over the save with 'MODULE21::SaveDataFile(quarvex::Main1*)'); with a
// heading, types that into the fourth column of the row named and saves the
// sheet over the file.
int openRun(quarvex::MDIForm1* frame, const QString& path, const char* heading, const char* where) {
    quarvex::CurrentFileName = path;
    MODULE21::LoadDataFile();
    auto* sheet = dynamic_cast<quarvex::Main1*>(frame->ActiveForm());
    if (!sheet) return 1;
    std::printf("open: %lld cells\n", static_cast<long long>(sheet->Grid1->CellCount()));
    if (!heading) return 0;
    const int last = sheet->Grid1->LastUsedRow();
    const bool first = !std::strcmp(where, "first") || !std::strcmp(where, "twice");
    const int row = first ? 1 : !std::strcmp(where, "new") ? last + 1 : last;
    // The sheet grows as the user moves past its end.
    if (row > sheet->Grid1->MaxRows()) sheet->Grid1->setMaxRows(row);
    const QString old = sheet->Grid1->GetText(4, row);
    // Fields of a heading with tabs go into the columns from D on, each typed.
    const QStringList fields = QString::fromUtf8(heading).split(u'\t');
    for (int i = 0; i < fields.size(); ++i) sheet->Grid1->SetText(4 + i, row, fields[i]);
    if (!std::strcmp(where, "back")) sheet->Grid1->SetText(4, row, old);
    sheet->Record().Modified = -1;
    if (!MODULE21::SaveDataFile()) return 1;
    if (std::strcmp(where, "twice")) return 0;
    // Saved once more after another edit, in the last row.
    sheet->Grid1->SetText(1, last, QStringLiteral("x"));
    return MODULE21::SaveDataFile() ? 0 : 1;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Opens and saves the file five times; false when a load fails.
bool timeOpenAndSave(quarvex::MDIForm1* frame, const QString& file, qsizetype cells, const char* form) {
    std::vector<double> open, save;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer t;
        quarvex::CurrentFileName = file;
        t.start();
        MODULE21::LoadDataFile();
        open.push_back(t.nsecsElapsed() / 1e6);
        auto* sheet = dynamic_cast<quarvex::Main1*>(frame->ActiveForm());
        if (!sheet || sheet->Grid1->CellCount() != cells) {
            std::printf("load failed\n");
            return false;
        }
        t.restart();
        if (!MODULE21::SaveDataFile()) return false;
        save.push_back(t.nsecsElapsed() / 1e6);
        sheet->UnloadWithoutQuestion();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::printf("open 15000 x 25%s: median %.1f ms (of 5)\n", form, median(open));
    std::printf("save 15000 x 25%s: median %.1f ms (of 5)\n", form, median(save));
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    QTemporaryDir dir;
    qvrt::SetSettingsDirectory(dir.path());
    qvrt::ScriptedHost& host = qvrt::InstallScriptedHost();
    quarvex::ResetProgramState();
    quarvex::MDIForm1* frame = quarvex::MDIForm1::ShowFrame();
    if (argc == 3 && !std::strcmp(argv[1], "--peak")) return peakRun(frame, host, dir.filePath("peak.plt"), argv[2]);
    if (argc >= 3 && argc <= 5 && !std::strcmp(argv[1], "--open"))
        return openRun(frame, QString::fromLocal8Bit(argv[2]), argc >= 4 ? argv[3] : nullptr, argc == 5 ? argv[4] : "first");

    // 15,000 rows of 25 numeric cells such as "1234.567".
    const QString path = dir.filePath("big.plt");
    {
        QByteArray bytes;
        for (int r = 1; r <= 15000; ++r) {
            for (int c = 1; c <= 25; ++c) {
                if (c > 1) bytes += '\t';
                bytes += QByteArray::number((r * 31 + c * 7) % 100000 / 10.0 + 0.125, 'f', 3);
            }
            bytes += "\r\n";
        }
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly)) return 1;
        f.write(bytes);
        std::printf("file: %lld bytes\n", static_cast<long long>(bytes.size()));
    }

    // The same numbers under UTF-8 headings (SiO\u2082 ...) with LF line ends.
    const QString utf8Path = dir.filePath("big-utf8.plt");
    {
        QFile in(path), out(utf8Path);
        if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly)) return 1;
        QByteArray bytes = in.readAll().replace("\r\n", "\n");
        QByteArray heading;
        for (int c = 1; c <= 25; ++c) heading += (c > 1 ? "\t" : "") + QByteArray("SiO\xE2\x82\x82 ") + QByteArray::number(c);
        out.write(heading + "\n" + bytes);
    }

    // The UTF-8 file with one Windows-1252 micro sign in its headings, and
    // as a spreadsheet's UTF-16 "Unicode text" (little end first, CR LF).
    const QString mixedPath = dir.filePath("big-mixed.plt"), utf16Path = dir.filePath("big-utf16.plt");
    {
        QFile in(utf8Path), mixed(mixedPath), utf16(utf16Path);
        if (!in.open(QIODevice::ReadOnly) || !mixed.open(QIODevice::WriteOnly) || !utf16.open(QIODevice::WriteOnly))
            return 1;
        const QByteArray bytes = in.readAll();
        mixed.write(QByteArray(bytes).replace("SiO\xE2\x82\x82 1\t", "SiO\xE2\x82\x82 1 \xB5g/g\t"));
        const QString text = QString::fromUtf8(bytes).replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
        utf16.write("\xFF\xFE");
        utf16.write(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);  // x86: little end first
    }

    if (!timeOpenAndSave(frame, path, 15000 * 25, "") || !timeOpenAndSave(frame, utf8Path, 15000 * 25 + 25, " UTF-8") ||
        !timeOpenAndSave(frame, mixedPath, 15000 * 25 + 25, " UTF-8 + 1 Windows-1252 byte") ||
        !timeOpenAndSave(frame, utf16Path, 15000 * 25 + 25, " UTF-16"))
        return 1;

    QApplication::processEvents();
    const int sheets = 50;
    const long before = rssKb();
    for (int i = 0; i < sheets; ++i) MODULE21::NewDataWindow();
    QApplication::processEvents();
    const long after = rssKb();
    std::printf("empty sheet: %.1f KB each (RSS over %d new sheets)\n", double(after - before) / sheets, sheets);
    delete frame;
    return 0;
}
