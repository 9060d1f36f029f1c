// The main window driven through a scripted host: choosing movies, the
// output settings it hands on and takes back, the to-do list and a job with
// its progress window.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "movaltic/formats/avi_movie.h"
#include "movaltic/formats/image_files.h"
#include "movaltic/formats/zuv_file.h"
#include "movaltic/pipeline/job_settings.h"
#include "movaltic/pipeline/movie.h"
#include "movaltic/ui/compressor_dialog.h"
#include "movaltic/ui/main_window.h"
#include "movaltic/ui/option_dialogs.h"
#include "movaltic/ui/param_dialogs.h"
#include "movaltic/ui/progress_window.h"
#include "scripted_host.h"

namespace {

using namespace movaltic;
namespace fs = std::filesystem;

void WriteZuv(const fs::path& file, int n, int w, int h, int bytesPerPixel) {
    CodecState state;
    CodecFileCreate(state, file.string(), w, h, bytesPerPixel, 1, 0, 0.0, 1, 0, 0);
    imagerec img;
    ImageCreate(img, w, h, bytesPerPixel);
    for (int i = 0; i < n; ++i) {
        for (int64_t k = 0; k < img.frameBytes(); ++k) img.pixels[k] = uint8_t(k * 7 + i * 13);
        img.topDown = 1;
        CodecWriteFrame(state, img);
    }
    CodecFileClose(state);
    ImageFree(img);
}

// A 16 x 16 movie of n frames, of the kind its extension names: ZUV, AVI
// (uncompressed) or FLC (given in upper case, the name its writer gives it).
void WriteMovie(const fs::path& file, int n) {
    const std::string ext = file.extension().string();
    if (ext == ".zuv") return WriteZuv(file, n, 16, 16, 3);
    imagerec img;
    ImageCreate(img, 16, 16, ext == ".FLC" ? 1 : 3);
    for (int c = 0; c < 768; ++c) img.palette[c] = uint8_t(c / 3);
    AviState avi;
    FlicState flic;
    AviCompression = AviCompressionChoice();
    if (ext == ".avi") AviCreate(avi, file.string(), 15.0);
    else FlicCreate(flic, file.string(), 16, 25.0, 16);
    ASSERT_LE(ErrCode, 0) << file;
    for (int i = 0; i < n; ++i) {
        for (int64_t k = 0; k < img.frameBytes(); ++k) img.pixels[k] = uint8_t(k * 7 + i * 13);
        if (ext == ".avi") AviWriteFrame(avi, img);
        else FlicWriteFrame(flic, img);
    }
    if (ext == ".avi") AviClose(avi);
    else FlicClose(flic);
    ImageFree(img);
}

void Touch(const fs::path& file) { std::ofstream(file) << "old"; }

// Every file of a folder with its bytes.
std::map<std::string, std::string> FolderBytes(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::directory_iterator(folder)) {
        std::ifstream in(e.path(), std::ios::binary);
        files[e.path().filename().string()] = {std::istreambuf_iterator<char>(in), {}};
    }
    return files;
}

int FramesIn(const fs::path& file) {
    oFlexName n;
    n.SetName(file.string());
    movierec m;
    m.name = &n;
    MovieInspect(m);
    return n.IsValid() ? m.frames : -1;
}

// The compressor list's entry that codes 8-bit frames only; -1 when none does.
int EightBitOnlyCompressor() {
    for (size_t i = 0; i < AviCompressorList().size(); ++i)
        if (!AviCompressorAccepts(i, 3) && AviCompressorAccepts(i, 1)) return int(i);
    return -1;
}

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("movaltic-ui-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        // The compressor choice outlives a job: each test starts from none.
        AviCompression = AviCompressionChoice();
        window = std::make_unique<TfmMain>();
    }
    void TearDown() override {
        window.reset();
        fs::remove_all(dir);
    }
    // "Input movie" answered with a file.
    void PickInput(const fs::path& file) {
        host().openNames.push_back(QString::fromStdString(file.string()));
        window->btnInputClick();
    }
    // "Output movie" answered with a file and a filter; the output options
    // closed by a script, or cancelled.
    void PickOutput(const QString& name, int filterIndex, uitest::ScriptedHost::Script options = {}) {
        host().saveNames.push_back({name, filterIndex});
        if (options) host().scripts.push_back(std::move(options));
        window->btnOutputClick();
    }
    uitest::ScriptedHost& host() { return scope.host; }
    QStringList ConfirmTexts() const {
        QStringList out;
        for (const uitest::ShownBox& b : scope.host.boxes)
            if (b.title == "Confirm") out << b.text;
        return out;
    }
    static void PressOK(QDialog& d) { static_cast<TfmOutOpt&>(d).btnOK->click(); }
    // The compressor dialog closed with OK on list entry index, or cancelled (-1).
    static uitest::ScriptedHost::Script Compressor(int index) {
        return [index](QDialog& d) {
            auto& c = static_cast<TfmCompressor&>(d);
            if (index >= 0) c.cbCompressor->setCurrentIndex(index);
            (index >= 0 ? c.btnOK : c.btnCancel)->click();
        };
    }
    // The output options closed with OK after a depth button, the compressor
    // dialog then answered by the scripts given.
    uitest::ScriptedHost::Script DepthThenOK(QRadioButton* TfmOutOpt::*depth,
                                             std::vector<uitest::ScriptedHost::Script> compressor) {
        return [this, depth, compressor](QDialog& d) {
            auto& o = static_cast<TfmOutOpt&>(d);
            for (const auto& c : compressor) host().scripts.push_back(c);
            (o.*depth)->click();
            o.btnOK->click();
        };
    }
    // "Settings..." of the input: one edit typed, then OK.
    void TypeInputOption(QLineEdit* TfmInOpt::*edit, const char* typed) {
        host().scripts.push_back([edit, typed](QDialog& d) {
            auto& in = static_cast<TfmInOpt&>(d);
            (in.*edit)->setText(typed);
            in.btnOK->click();
        });
        window->btnInputSetClick();
    }
    QString Path(const char* name) const { return QString::fromStdString((dir / name).string()); }
    QImage Picture(QLabel* image) const { return image->pixmap().toImage(); }
    // The output options closed with OK after "Change...", where the size
    // dialog's preset is pressed and the size dialog closed with OK or Cancel.
    uitest::ScriptedHost::Script ResizeThenOK(QPushButton* TfmEditXY::*preset, bool accept) {
        return [this, preset, accept](QDialog& d) {
            auto& o = static_cast<TfmOutOpt&>(d);
            host().scripts.push_back([preset, accept](QDialog& x) {
                auto& xy = static_cast<TfmEditXY&>(x);
                (xy.*preset)->click();
                (accept ? xy.btnOK : xy.btnCancel)->click();
            });
            o.btnRescale->click();
            o.btnOK->click();
        };
    }

    uitest::HostScope scope;
    fs::path dir;
    std::unique_ptr<TfmMain> window;
};

TEST_F(MainWindow, StartsWithTheAboutBoxAndEmptyLines) {
    EXPECT_EQ(host().dialogs.value(0), "About Movaltic");
    EXPECT_EQ(window->windowTitle(), "Movaltic");
    EXPECT_EQ(window->lblInput->text(), "<press this button to select the input movie>");
    EXPECT_EQ(window->ListBox1->count(), 17);
    EXPECT_FALSE(window->btnOptimize->isVisibleTo(window.get()));
    EXPECT_TRUE(window->StatusBar1->text().isEmpty());
    EXPECT_EQ(window->btnBegin->toolTip(), "Begin processing");
}

TEST_F(MainWindow, OutputBeforeInputOnlyAsksForTheInput) {
    window->btnOutputClick();
    EXPECT_EQ(host().BoxTexts(), QStringList{"Select the INPUT movie first."});
    EXPECT_EQ(host().boxes[0].title, "Message");
    EXPECT_EQ(host().dialogs, QStringList{"About Movaltic"});
}

TEST_F(MainWindow, ChosenInputIsDescribedAndPreviewed) {
    WriteZuv(dir / "clip.zuv", 4, 64, 48, 3);
    PickInput(dir / "clip.zuv");
    EXPECT_EQ(window->lblInput->text(), "clip.ZUV, 64x48, 16M colors, 4 frame(s)");
    EXPECT_EQ(FramesToProcess, 4);
    EXPECT_EQ(PreviewFrame, 1);
    EXPECT_FALSE(window->Image1->pixmap().isNull());
}

TEST_F(MainWindow, UnreadableInputIsReportedAndForgotten) {
    std::FILE* f = std::fopen((dir / "junk.zuv").c_str(), "wb");
    std::fputs("not a movie", f);
    std::fclose(f);
    PickInput(dir / "junk.zuv");
    EXPECT_EQ(host().BoxTexts(), QStringList{"Error in input file."});
    EXPECT_EQ(host().boxes[0].title, "Error");
    EXPECT_FALSE(InputMovie.name->IsValid());
}

// What is no file is refused as any unreadable input, never waited on nor read
// without end. Each pick runs in a child with a deadline, so a hang fails.
TEST_F(MainWindow, InputThatIsNoFileIsReportedWithoutWaiting) {
    // f: a FIFO, z: a link to /dev/zero, d: a folder
    for (const char* name : {"f001.bmp", "f.zuv", "f.flc", "f.avi", "z001.bmp", "d001.bmp"}) {
        const fs::path file = dir / name;
        if (name[0] == 'f') ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
        else if (name[0] == 'z') fs::create_symlink("/dev/zero", file);
        else fs::create_directory(file);
        const pid_t child = fork();
        if (child == 0) {
            ::alarm(5);
            PickInput(file);
            _exit(host().BoxTexts() == QStringList{"Error in input file."} && !InputMovie.name->IsValid() ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_EQ(status, 0) << name;  // 14: killed by the deadline
    }
}

// A picked file that is no movie, or whose first frame cannot be read: the
// movie picked before is no longer on screen.
TEST_F(MainWindow, FailedInputPickLeavesNoInputAsAtTheStart) {
    const QImage blank = Picture(window->Image1);
    WriteZuv(dir / "clip.zuv", 4, 64, 48, 3);
    WriteZuv(dir / "none.zuv", 0, 16, 16, 3);
    std::ofstream(dir / "empty.avi").flush();
    for (const char* bad : {"empty.avi", "none.zuv"}) {
        PickInput(dir / "clip.zuv");
        ASSERT_NE(Picture(window->Image1), blank);
        PickInput(dir / bad);
        EXPECT_EQ(window->lblInput->text(), "<press this button to select the input movie>") << bad;
        EXPECT_EQ(Picture(window->Image1), blank) << bad;
        EXPECT_EQ(Picture(window->Image2), blank) << bad;
        EXPECT_EQ(InputMovie.width, 0) << bad;
    }
    EXPECT_EQ(host().BoxTexts(), QStringList({"Error in input file.", "Error opening first frame."}));
}

TEST_F(MainWindow, InputGoneAtGoIsForgottenOnScreenToo) {
    WriteZuv(dir / "clip.zuv", 2, 32, 32, 3);
    PickInput(dir / "clip.zuv");
    PickOutput(Path("o.zuv"), 2, PressOK);
    fs::remove(dir / "clip.zuv");
    window->btnBegin->click();
    EXPECT_EQ(host().BoxTexts(), QStringList({"Error opening input movie.", "Error opening first frame."}));
    EXPECT_EQ(window->lblInput->text(), "<press this button to select the input movie>");
}

TEST_F(MainWindow, OutputWithoutExtensionTakesTheFilterOne) {
    WriteZuv(dir / "clip.zuv", 2, 64, 48, 3);
    PickInput(dir / "clip.zuv");
    PickOutput(QString::fromStdString((dir / "clip").string()), 3, PressOK);
    EXPECT_EQ(OutputMovie.name->GetFileName(), (dir / "clip.AVI").string());
    EXPECT_EQ(OutputMovie.kind, kKindAVI);
    EXPECT_EQ(OutputMovie.frameRate, 15);
}

TEST_F(MainWindow, OutputOfUnknownKindIsRefusedAndCleared) {
    WriteZuv(dir / "clip.zuv", 2, 64, 48, 3);
    PickInput(dir / "clip.zuv");
    PickOutput(QString::fromStdString((dir / "out.rle").string()), 1);
    EXPECT_EQ(host().BoxTexts(), QStringList{"Unknown file type."});
    EXPECT_FALSE(OutputMovie.name->IsValid());
    EXPECT_TRUE(window->lblOutput->text().startsWith(", "));
}

TEST_F(MainWindow, ExistingOutputAnsweredNoChangesNothing) {
    WriteZuv(dir / "clip.zuv", 2, 64, 48, 3);
    WriteZuv(dir / "old.zuv", 1, 16, 16, 3);
    PickInput(dir / "clip.zuv");
    host().answers.push_back(QMessageBox::No);
    PickOutput(QString::fromStdString((dir / "old.zuv").string()), 2);
    ASSERT_EQ(host().boxes.size(), 1u);
    EXPECT_EQ(host().boxes[0].title, "Confirm");
    EXPECT_EQ(host().boxes[0].text, "That is an existing file. Do you want to overwrite it?");
    EXPECT_EQ(host().boxes[0].defaultButton, QMessageBox::No);
    EXPECT_FALSE(OutputMovie.name->IsValid());
}

// The "overwrite?" question is about the file the writer will really create:
// the FLIC writer names its file .FLC or .FLI in upper case.
TEST_F(MainWindow, FlcTypedInLowerCaseAsksAboutTheUpperCaseFileTheWriterCreates) {
    WriteZuv(dir / "clip.zuv", 2, 64, 48, 3);
    Touch(dir / "anim.FLC");
    PickInput(dir / "clip.zuv");
    host().answers.push_back(QMessageBox::No);
    PickOutput(QString::fromStdString((dir / "anim.flc").string()), 4);
    EXPECT_EQ(ConfirmTexts(), QStringList{"That is an existing file. Do you want to overwrite it?"});
    EXPECT_FALSE(OutputMovie.name->IsValid());
}

TEST_F(MainWindow, FliOf320x200AsksAboutTheFliFile) {
    WriteZuv(dir / "clip.zuv", 2, 320, 200, 3);
    Touch(dir / "anim.FLI");
    PickInput(dir / "clip.zuv");
    host().answers.push_back(QMessageBox::No);
    PickOutput(QString::fromStdString((dir / "anim.fli").string()), 4);
    EXPECT_EQ(ConfirmTexts().size(), 1);
}

TEST_F(MainWindow, LowerCaseFlcThatTheWriterLeavesAloneIsNotAskedAbout) {
    WriteZuv(dir / "clip.zuv", 2, 64, 48, 3);
    Touch(dir / "anim.flc");
    PickInput(dir / "clip.zuv");
    PickOutput(QString::fromStdString((dir / "anim.flc").string()), 4, PressOK);
    EXPECT_TRUE(ConfirmTexts().isEmpty());
    EXPECT_EQ(CreatedFileName(*OutputMovie.name, OutputMovie.kind, OutputMovie.width, OutputMovie.height),
              (dir / "anim.FLC").string());
}

TEST_F(MainWindow, OtherWritersAreAskedAboutTheNameAsTyped) {
    WriteZuv(dir / "clip.zuv", 2, 64, 48, 3);
    Touch(dir / "o.zuv");
    PickInput(dir / "clip.zuv");
    PickOutput(QString::fromStdString((dir / "O.ZUV").string()), 2, PressOK);
    EXPECT_TRUE(ConfirmTexts().isEmpty());
    host().answers.push_back(QMessageBox::Yes);
    PickOutput(QString::fromStdString((dir / "o.zuv").string()), 2, PressOK);
    EXPECT_EQ(ConfirmTexts().size(), 1);
    EXPECT_EQ(OutputMovie.name->GetFileName(), (dir / "o.zuv").string());
}

// Cancel at each dialog on the way to an output.
TEST_F(MainWindow, CancelledSaveDialogKeepsTheOutputThatWasChosen) {
    WriteZuv(dir / "clip.zuv", 2, 64, 48, 3);
    PickInput(dir / "clip.zuv");
    PickOutput(QString::fromStdString((dir / "first.zuv").string()), 2, PressOK);
    const QString label = window->lblOutput->text();
    host().saveNames.push_back({"", 2});
    window->btnOutputClick();
    EXPECT_EQ(OutputMovie.name->GetFileName(), (dir / "first.zuv").string());
    EXPECT_EQ(window->lblOutput->text(), label);
    EXPECT_EQ(host().dialogs.count("ZUV Output Options"), 1);
    EXPECT_TRUE(host().BoxTexts().isEmpty());
}

TEST_F(MainWindow, CancelledSizeDialogLeavesTheSize) {
    WriteZuv(dir / "clip.zuv", 2, 64, 48, 3);
    PickInput(dir / "clip.zuv");
    PickOutput(QString::fromStdString((dir / "o.zuv").string()), 2, ResizeThenOK(&TfmEditXY::Button4, false));
    EXPECT_EQ(OutputMovie.width, 64);
    EXPECT_EQ(OutputMovie.height, 48);
}

TEST_F(MainWindow, CancelledOutputOptionsKeepTheStartingSettings) {
    WriteZuv(dir / "clip.zuv", 2, 64, 48, 3);
    PickInput(dir / "clip.zuv");
    PickOutput(QString::fromStdString((dir / "o.zuv").string()), 2, [](QDialog& d) {
        auto& o = static_cast<TfmOutOpt&>(d);
        o.RadioButton3->click();
        o.btnCancel->click();
    });
    EXPECT_EQ(OutputMovie.bytesPerPixel, 3);
    EXPECT_EQ(OutputMovie.width, 64);
    EXPECT_TRUE(OutputMovie.name->IsValid());
}

TEST_F(MainWindow, CancelledCompressorChoiceLeavesItPending) {
    WriteZuv(dir / "clip.zuv", 2, 64, 48, 3);
    PickInput(dir / "clip.zuv");
    PickOutput(QString::fromStdString((dir / "o.avi").string()), 3, [this](QDialog& d) {
        host().scripts.push_back([](QDialog& c) { static_cast<TfmCompressor&>(c).btnCancel->click(); });
        static_cast<TfmOutOpt&>(d).btnOK->click();
    });
    EXPECT_EQ(host().dialogs.count("Select AVI Video Compression"), 1);
    EXPECT_EQ(CompressorPending, 1);
    EXPECT_EQ(OutputMovie.bytesPerPixel, 3);
    EXPECT_TRUE(host().BoxTexts().isEmpty());
}

// A refused compressor is not left in effect by Cancel: 24-bit frames go to
// the compressor that was in effect before, and the line says 24 bits.
TEST_F(MainWindow, CancelAfterARefusedCompressorGoesBackToTheLastUsableOne) {
    const int rle = EightBitOnlyCompressor();
    if (rle < 0) GTEST_SKIP() << "every compressor takes 24-bit frames";
    WriteZuv(dir / "hi.zuv", 2, 32, 32, 2);
    PickInput(dir / "hi.zuv");
    PickOutput(Path("o.avi"), 3, DepthThenOK(&TfmOutOpt::RadioButton1, {Compressor(rle), Compressor(-1)}));
    EXPECT_EQ(host().BoxTexts(), QStringList{"That compression is not supported."});
    EXPECT_EQ(window->lblOutput->text(), "o.AVI, 32x32, 16M colors, 2 frame(s)");
    window->btnBegin->click();
    EXPECT_EQ(FramesIn(dir / "o.avi"), 2);
}

// The compressor serves every later output: once it cannot write the depth
// asked for, Cancel goes back to the depth it can write, or to no output.
TEST_F(MainWindow, CompressorThatCannotWriteTheDepthNeverReachesGo) {
    const int rle = EightBitOnlyCompressor();
    if (rle < 0) GTEST_SKIP() << "every compressor takes 24-bit frames";
    WriteZuv(dir / "clip.zuv", 2, 32, 32, 3);
    PickInput(dir / "clip.zuv");
    PickOutput(Path("a.avi"), 3, DepthThenOK(&TfmOutOpt::RadioButton3, {Compressor(rle)}));
    ASSERT_EQ(OutputMovie.bytesPerPixel, 1);
    host().scripts.push_back(DepthThenOK(&TfmOutOpt::RadioButton1, {Compressor(-1)}));
    window->btnOutputSetClick();
    EXPECT_EQ(OutputMovie.bytesPerPixel, 1);
    EXPECT_EQ(window->lblOutput->text(), "a.AVI, 32x32, 256 colors, 2 frame(s)");

    host().openNames.push_back("");  // the next output starts from the 24-bit input
    window->btnInputClick();
    PickOutput(Path("b.avi"), 3, DepthThenOK(&TfmOutOpt::RadioButton1, {Compressor(-1)}));
    EXPECT_FALSE(OutputMovie.name->IsValid());
    EXPECT_EQ(window->lblOutput->text(), "<press this button to name the output movie>");
    window->btnBegin->click();
    EXPECT_EQ(host().BoxTexts(), QStringList{"Please enter a valid OUTPUT file."});
    EXPECT_FALSE(fs::exists(dir / "b.avi"));
}

TEST_F(MainWindow, SixteenBitInputWithBmpOutputStartsAtTwentyFourBits) {
    WriteZuv(dir / "hi.zuv", 2, 32, 32, 2);
    PickInput(dir / "hi.zuv");
    ASSERT_EQ(InputMovie.bytesPerPixel, 2);
    PickOutput(QString::fromStdString((dir / "f001.bmp").string()), 5, [](QDialog& d) {
        auto& o = static_cast<TfmOutOpt&>(d);
        EXPECT_TRUE(o.RadioButton1->isChecked());
        o.btnOK->click();
    });
    EXPECT_EQ(OutputMovie.bytesPerPixel, 3);
    EXPECT_EQ(OutputMovie.bitsPerPixel, 24);
}

TEST_F(MainWindow, FliOutputOfAnotherSizeIsNamedFlcUntilResizedTo320x200) {
    WriteZuv(dir / "big.zuv", 2, 640, 480, 3);
    PickInput(dir / "big.zuv");
    PickOutput(QString::fromStdString((dir / "anim.fli").string()), 4, PressOK);
    EXPECT_EQ(OutputMovie.name->extension, ".FLC");
    EXPECT_EQ(OutputMovie.kind, kKindFLC);
    host().scripts.push_back(ResizeThenOK(&TfmEditXY::Button1, true));
    window->btnOutputSetClick();
    EXPECT_EQ(OutputMovie.name->extension, ".FLI");
    EXPECT_EQ(OutputMovie.kind, kKindFLI);
}

TEST_F(MainWindow, CancelledInputDialogMakesTheNextOutputStartFromTheInput) {
    WriteZuv(dir / "clip.zuv", 2, 64, 48, 3);
    PickInput(dir / "clip.zuv");
    PickOutput(QString::fromStdString((dir / "o.zuv").string()), 2, ResizeThenOK(&TfmEditXY::Button4, true));
    ASSERT_EQ(OutputMovie.width, 640);
    window->btnOutputSetClick();  // settings again, cancelled: the size stays
    EXPECT_EQ(OutputMovie.width, 640);
    host().openNames.push_back("");  // input dialog cancelled
    window->btnInputClick();
    window->btnOutputSetClick();
    EXPECT_EQ(OutputMovie.width, 64);
    EXPECT_EQ(OutputMovie.height, 48);
}

TEST_F(MainWindow, InputOptionsCancelResetsThePreviewFrame) {
    WriteZuv(dir / "clip.zuv", 9, 32, 32, 3);
    PickInput(dir / "clip.zuv");
    TypeInputOption(&TfmInOpt::Edit2, "7");
    EXPECT_EQ(PreviewFrame, 7);
    host().scripts.push_back([](QDialog& d) { static_cast<TfmInOpt&>(d).btnCancel->click(); });
    window->btnInputSetClick();
    EXPECT_EQ(PreviewFrame, 1);
}

TEST_F(MainWindow, TypedFrameCountsAreHeldToTheMovie) {
    WriteZuv(dir / "clip.zuv", 9, 32, 32, 3);
    PickInput(dir / "clip.zuv");
    host().scripts.push_back([](QDialog& d) {
        auto& in = static_cast<TfmInOpt&>(d);
        in.Edit1->setText("500");
        in.Edit2->setText("40");
        in.btnOK->click();
    });
    window->btnInputSetClick();
    EXPECT_EQ(FramesToProcess, 9);
    EXPECT_EQ(PreviewFrame, 9);
    EXPECT_TRUE(host().BoxTexts().isEmpty());
}

TEST_F(MainWindow, TypedFrameCountOfNoneIsKeptAndBelowNoneIsNone) {
    WriteZuv(dir / "clip.zuv", 9, 32, 32, 3);
    PickInput(dir / "clip.zuv");
    for (const char* typed : {"0", "-5"}) {
        TypeInputOption(&TfmInOpt::Edit1, typed);
        EXPECT_EQ(FramesToProcess, 0) << typed;
    }
}

TEST_F(MainWindow, AddingAStepAsksForItsValuesAndShowsItsLine) {
    WriteZuv(dir / "clip.zuv", 2, 32, 32, 3);
    PickInput(dir / "clip.zuv");
    auto items = window->ListBox1->findItems("Brightness", Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1);
    window->ListBox1->setCurrentItem(items[0]);
    host().scripts.push_back([](QDialog& d) {
        auto& rgb = static_cast<TfmEditRGB&>(d);
        rgb.ScrollBar4->setValue(20);
        rgb.btnOK->click();
    });
    window->btnAdd->click();
    ASSERT_EQ(window->ListBox2->count(), 1);
    EXPECT_EQ(window->ListBox2->item(0)->text().toStdString(), StepText(ToDoList.entries[0]));
    EXPECT_EQ(host().dialogs.last(), "Brightness (in percents)");
}

TEST_F(MainWindow, PopupItemsNeedASelectedLine) {
    window->PopupMenu1Popup();
    EXPECT_FALSE(window->Editparameters1->isEnabled());
    EXPECT_FALSE(window->Removeoperation1->isEnabled());
    EXPECT_EQ(window->PopupMenu1->defaultAction(), window->Editparameters1);
    auto items = window->ListBox1->findItems("Negative", Qt::MatchExactly);
    window->ListBox1->setCurrentItem(items[0]);
    window->btnAdd->click();
    window->ListBox2->setCurrentRow(0);
    window->PopupMenu1Popup();
    EXPECT_TRUE(window->Editparameters1->isEnabled());
    window->Removeoperation1->trigger();
    EXPECT_EQ(window->ListBox2->count(), 0);
    EXPECT_EQ(ToDoList.count, 0);
}

TEST_F(MainWindow, DropsFromTheOperationsInsertAndDropsWithinTheListMove) {
    for (const char* name : {"Negative", "Grayscale", "Flip Vertical"}) {
        window->ListBox1->setCurrentItem(window->ListBox1->findItems(name, Qt::MatchExactly)[0]);
        window->ListBox2DragDrop(window->ListBox1, -1);
    }
    window->ListBox1->setCurrentItem(window->ListBox1->findItems("Emboss", Qt::MatchExactly)[0]);
    window->ListBox2DragDrop(window->ListBox1, 1);
    ASSERT_EQ(window->ListBox2->count(), 4);
    EXPECT_EQ(window->ListBox2->item(1)->text(), "Emboss");
    window->ListBox2->setCurrentRow(0);
    window->ListBox2DragDrop(window->ListBox2, -1);
    EXPECT_EQ(window->ListBox2->item(3)->text(), "Negative");
    EXPECT_EQ(ToDoList.entries[3].operation, kOpNegative);
}

TEST_F(MainWindow, KeysAddEditAndRemoveSteps) {
    window->ListBox1->setCurrentItem(window->ListBox1->findItems("Negative", Qt::MatchExactly)[0]);
    QTest::keyClick(window->ListBox1, Qt::Key_Return);
    ASSERT_EQ(window->ListBox2->count(), 1);
    window->ListBox2->setCurrentRow(0);
    QTest::keyClick(window->ListBox2, Qt::Key_Delete);
    EXPECT_EQ(window->ListBox2->count(), 0);
    EXPECT_EQ(ToDoList.count, 0);
}

TEST_F(MainWindow, GoRunsTheJobWithTheProgressWindowAndShowsTheTime) {
    WriteZuv(dir / "clip.zuv", 5, 48, 32, 3);
    PickInput(dir / "clip.zuv");
    PickOutput(QString::fromStdString((dir / "o001.bmp").string()), 5, PressOK);
    bool progressSeen = false;
    host().onProcessEvents = [&] { progressSeen = progressSeen || fmPerc().isVisible(); };
    window->btnBegin->click();
    EXPECT_TRUE(progressSeen);
    EXPECT_FALSE(fmPerc().isVisible());
    EXPECT_TRUE(host().BoxTexts().isEmpty()) << host().BoxTexts().join("|").toStdString();
    EXPECT_TRUE(fs::exists(dir / "o005.bmp"));
    EXPECT_TRUE(window->StatusBar1->text().startsWith("Processing time: "));
    EXPECT_EQ(fmPerc().lblItems->text(), "5");
}

TEST_F(MainWindow, NoFramesToProcessWritesNoFileAndSaysWhy) {
    WriteZuv(dir / "clip.zuv", 3, 32, 32, 3);
    PickInput(dir / "clip.zuv");
    TypeInputOption(&TfmInOpt::Edit1, "0");
    PickOutput(Path("o.avi"), 3, DepthThenOK(&TfmOutOpt::RadioButton1, {Compressor(0)}));
    window->btnBegin->click();
    EXPECT_EQ(host().BoxTexts(), QStringList{"The number of frames to process is 0: there is nothing to write."});
    for (const uitest::ShownBox& b : host().boxes) EXPECT_EQ(b.title, "Message");
    EXPECT_FALSE(fs::exists(dir / "o.avi"));
}

// Neither an output sequence that runs into the input's numbers nor a movie
// that is one of its files (through a link) is written: not one input byte
// changes.
TEST_F(MainWindow, GoRefusesAnOutputThatWouldWriteOverInputFiles) {
    fs::create_directories(dir / "seq");
    imagerec img;
    ImageCreate(img, 24, 16, 3);
    for (int i = 1; i <= 12; ++i) {
        for (int64_t k = 0; k < img.frameBytes(); ++k) img.pixels[k] = uint8_t(k * 5 + i * 19);
        char name[32];
        std::snprintf(name, sizeof name, "frame%03d.bmp", i);
        SeqWriteFrame((dir / "seq" / name).string(), img, false);
    }
    ImageFree(img);
    fs::create_symlink(dir / "seq" / "frame007.bmp", dir / "link.zuv");
    const auto before = FolderBytes(dir / "seq");
    PickInput(dir / "seq" / "frame001.bmp");
    ASSERT_EQ(InputMovie.frames, 12);
    for (const char* output : {"seq/frame003.bmp", "link.zuv"}) {
        host().answers.push_back(QMessageBox::Yes);  // the link is an existing file
        PickOutput(Path(output), 1, PressOK);
        ASSERT_TRUE(OutputMovie.name->IsValid()) << output;
        host().boxes.clear();
        window->btnBegin->click();
        EXPECT_EQ(host().BoxTexts(), QStringList{"The OUTPUT would overwrite files of the INPUT movie."}) << output;
        for (const uitest::ShownBox& b : host().boxes) EXPECT_EQ(b.title, "Message");
    }
    EXPECT_EQ(FolderBytes(dir / "seq"), before);
}

// A ZUV, AVI or FLIC movie is read and written by its name as typed, however
// long its digit group. Sequence names whose numbers cannot stand for the
// frames are refused where the name is taken and again by GO, before any
// file is read or written. The decoy, the file such a name used to reach
// instead, stays as it was; names that are taken write the files they name,
// and only those.
TEST_F(MainWindow, MoviesAreNamedAsTypedAndSequencesOnlyWhenTheyNameEveryFrame) {
    const QString tooLong = ": The number in %1 is too large to read (file numbers go up to 2147483647).";
    const QString past = ": The 3 frames from %1 would be numbered past 2147483647.";
    const QString noOutput = "Message: Please enter a valid OUTPUT file.";
    struct Row {
        const char* input;  // a movie of `frames` frames is made for a .zuv, .avi or .FLC name
        int frames;
        const char* decoy;  // a picture made beforehand, "" for none
        int framesAtOutput, framesAtGo;  // typed in the input settings; 0 leaves them
        const char* output;              // nullptr: none picked
        QStringList boxes;
        int written;
        const char *first, *last;
    } rows[] = {
        {"z99999999999.bmp", 0, "z00000000000.bmp", 0, 0, nullptr,
         {"Error" + tooLong.arg("z99999999999.bmp"), "Message: First select a valid INPUT movie or image file."},
         0, "", ""},
        {"in.zuv", 3, "x00000000000.bmp", 0, 0, "x99999999999.bmp",
         {"Error" + tooLong.arg("x99999999999.bmp"), noOutput}, 0, "", ""},
        {"in.zuv", 3, "g2147483647.bmp", 0, 0, "g2147483646.bmp",
         {"Error" + past.arg("g2147483646.bmp"), noOutput}, 0, "", ""},
        {"in.zuv", 3, "g2147483647.bmp", 2, 3, "g2147483646.bmp", {"Message" + past.arg("g2147483646.bmp")}, 0, "", ""},
        {"in.zuv", 2, "", 0, 0, "g2147483646.bmp", {}, 2, "g2147483646.bmp", "g2147483647.bmp"},
        {"in.zuv", 100, "", 0, 0, "OUT1.BMP", {}, 100, "OUT001.BMP", "OUT100.BMP"},
        {"in.zuv", 2, "", 0, 0, "x00000000000001.bmp", {}, 2, "x00000000000001.bmp", "x00000000000002.bmp"},
        {"in.zuv", 3, "", 0, 0, "g2147483647.zuv", {}, 1, "g2147483647.zuv", "g2147483647.zuv"},
        {"rec_20240101120000.avi", 3, "rec_00000000000000.avi", 0, 0, "o.zuv", {}, 1, "o.zuv", "o.zuv"},
        {"c12345678901.zuv", 3, "c00000000000.zuv", 0, 0, "o001.bmp", {}, 3, "o001.bmp", "o003.bmp"},
        {"f12345678901.FLC", 3, "f00000000000.FLC", 0, 0, "o.zuv", {}, 1, "o.zuv", "o.zuv"},
        {"in.zuv", 3, "clip_00000000000000.avi", 0, 0, "clip_20240101120000.avi", {}, 1,
         "clip_20240101120000.avi", "clip_20240101120000.avi"},
        {"in.zuv", 3, "c00000000000.zuv", 0, 0, "c12345678901.zuv", {}, 1, "c12345678901.zuv", "c12345678901.zuv"},
        {"in.zuv", 3, "f00000000000.FLC", 0, 0, "f12345678901.flc", {}, 1, "f12345678901.FLC", "f12345678901.FLC"},
        {"rec_20240101120000.avi", 3, "", 0, 0, "rec_20240101120001.avi", {}, 1, "rec_20240101120001.avi",
         "rec_20240101120001.avi"},
        {"rec_20240101120000.avi", 3, "", 0, 0, "rec_20240101120000.AVI",
         {"Message: Input and output movies cannot be the same."}, 0, "", ""},
    };
    imagerec picture;
    ImageCreate(picture, 16, 16, 3);
    for (size_t i = 0; i < std::size(rows); ++i) {
        const Row& row = rows[i];
        const fs::path folder = dir / std::to_string(i);
        fs::create_directories(folder);
        if (row.frames) WriteMovie(folder / row.input, row.frames);
        if (*row.decoy) SeqWriteFrame((folder / row.decoy).string(), picture, false);
        const auto before = FolderBytes(folder);
        window.reset();
        host().scripts.clear();
        window = std::make_unique<TfmMain>();
        host().boxes.clear();
        PickInput(folder / row.input);
        if (row.framesAtOutput) TypeInputOption(&TfmInOpt::Edit1, std::to_string(row.framesAtOutput).c_str());
        if (row.output)
            PickOutput(QString::fromStdString((folder / row.output).string()), 1,
                       fs::path(row.output).extension() == ".avi"
                           ? DepthThenOK(&TfmOutOpt::RadioButton1, {Compressor(0)})
                           : uitest::ScriptedHost::Script(PressOK));
        if (row.framesAtGo) TypeInputOption(&TfmInOpt::Edit1, std::to_string(row.framesAtGo).c_str());
        host().scripts.clear();
        window->btnBegin->click();
        QStringList boxes;
        for (const uitest::ShownBox& b : host().boxes) boxes << b.title + ": " + b.text;
        EXPECT_EQ(boxes.join("\n").toStdString(), row.boxes.join("\n").toStdString()) << "row " << i;
        const auto after = FolderBytes(folder);
        int written = 0;
        for (const auto& [name, bytes] : after) {
            const auto was = before.find(name);
            if (was == before.end()) ++written;
            else EXPECT_TRUE(bytes == was->second) << "row " << i << ": " << name << " was written over";
        }
        EXPECT_EQ(written, row.written) << "row " << i;
        EXPECT_TRUE(!row.written || (after.count(row.first) && after.count(row.last))) << "row " << i;
    }
    ImageFree(picture);
}

TEST_F(MainWindow, CancelInTheProgressWindowStopsTheJob) {
    WriteZuv(dir / "clip.zuv", 8, 48, 32, 3);
    PickInput(dir / "clip.zuv");
    PickOutput(QString::fromStdString((dir / "o.zuv").string()), 2, PressOK);
    host().onProcessEvents = [&] {
        if (fmPerc().isVisible() && fmPerc().PercBar->value() >= 2) fmPerc().Stop->click();
    };
    window->btnBegin->click();
    EXPECT_EQ(StopFlag, 1);
    EXPECT_TRUE(window->StatusBar1->text().startsWith("Processing time: "));
    EXPECT_EQ(FramesIn(dir / "o.zuv"), 2);
}

TEST_F(MainWindow, ClosingTheWindowDuringAJobStopsItFirst) {
    WriteZuv(dir / "clip.zuv", 8, 48, 32, 3);
    PickInput(dir / "clip.zuv");
    PickOutput(QString::fromStdString((dir / "o.zuv").string()), 2, PressOK);
    window->show();
    bool closedDuringRun = false;
    host().onProcessEvents = [&] {
        if (PipelineBusy() && !closedDuringRun) {
            closedDuringRun = true;
            EXPECT_FALSE(window->close());
        }
    };
    window->btnBegin->click();
    EXPECT_TRUE(closedDuringRun);
    EXPECT_FALSE(window->isVisible());
}

}  // namespace
