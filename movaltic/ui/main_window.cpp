#include "movaltic/ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>
#include <memory>

#include "movaltic/imaging/palette.h"
#include "movaltic/pipeline/job_settings.h"
#include "movaltic/pipeline/movie.h"
#include "movaltic/ui/about_box.h"
#include "movaltic/ui/compressor_dialog.h"
#include "movaltic/ui/image_draw.h"
#include "movaltic/ui/option_dialogs.h"
#include "movaltic/ui/progress_window.h"
#include "movaltic/ui/screen_fit.h"
#include "movaltic/ui/ui_host.h"
#include "movaltic/ui/win_utils.h"

namespace movaltic {

namespace {
const char* const kInputPrompt = "<press this button to select the input movie>";
const char* const kOutputPrompt = "<press this button to name the output movie>";
}  // namespace

const char* const TfmMain::kOpenFilter =
    "All supported formats|*.zuv;*.avi;*.fli;*.flc;*.bmp;*.dib;*.rle;*.tga;*.pcx|ZUV movie|*.zuv|AVI "
    "movie|*.avi|FLC or FLI movie|*.flc;*.fli|BMP sequence|*.bmp|DIB sequence|*.dib|RLE sequence|*.rle|TGA "
    "sequence|*.tga|PCX sequence|*.pcx";
const char* const TfmMain::kSaveFilter =
    "All supported formats|*.zuv;*.avi;*.flc;*.bmp;*.dib;*.tga;*.pcx|ZUV movie|*.zuv|AVI movie|*.avi|FLC (or "
    "FLI) movie|*.flc;*.fli|BMP sequence|*.bmp|DIB sequence|*.dib|TGA sequence|*.tga|PCX sequence|*.pcx";

// ---------------------------------------------------------------- small widgets

void ClickLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit clicked();
    QLabel::mousePressEvent(event);
}

ToDoListBox::ToDoListBox(QWidget* parent) : QListWidget(parent) {
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    // The window moves the entries itself; the view must not remove the
    // dragged line on its own.
    setDefaultDropAction(Qt::CopyAction);
}

void ToDoListBox::dragEnterEvent(QDragEnterEvent* event) {
    if (qobject_cast<QListWidget*>(event->source())) event->acceptProposedAction();
    else event->ignore();
}

void ToDoListBox::dragMoveEvent(QDragMoveEvent* event) {
    if (qobject_cast<QListWidget*>(event->source())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void ToDoListBox::dropEvent(QDropEvent* event) {
    QObject* source = event->source();
    if (!qobject_cast<QListWidget*>(source)) {
        event->ignore();
        return;
    }
    QModelIndex index = indexAt(event->position().toPoint());
    int target = index.isValid() ? index.row() : -1;
    event->setDropAction(Qt::CopyAction);
    event->accept();
    // The edit dialog of a new step is modal: open it after the drag ends.
    QTimer::singleShot(0, this, [this, source, target] { emit dropped(source, target); });
}

// ---------------------------------------------------------------- construction

TfmMain::TfmMain(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle("Movaltic");
    SetOwnerWindow(this);  // the dialogs open on this window's monitor
    QFont font = QApplication::font();
    font.setPointSize(8);
    font.setBold(true);
    setFont(font);

    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto makeButton = [&](const char* caption, const char* hint) {
        auto* b = new QPushButton(caption, central);
        b->setToolTip(hint);
        return b;
    };
    btnInput = makeButton("Input movie", "Select input movie");
    lblInput = new ClickLabel(kInputPrompt, central);
    btnInputSet = makeButton("Settings...", "Input movie settings");
    btnOutput = makeButton("Output movie", "Select output movie");
    lblOutput = new ClickLabel(kOutputPrompt, central);
    btnOutputSet = makeButton("Settings...", "Output movie settings");
    for (QLabel* l : {static_cast<QLabel*>(lblInput), static_cast<QLabel*>(lblOutput)}) {
        SetTextColour(l, QColor(0, 0, 128));  // navy, or a lighter blue on a dark palette
        l->setTextFormat(Qt::PlainText);
        l->setMinimumWidth(200);
    }

    Label3 = new QLabel("Before", central);
    Image1 = new ClickLabel(central);
    Image1->setToolTip("This is the preview of the input movie");
    Label4 = new QLabel("After", central);
    Image2 = new ClickLabel(central);
    Image2->setToolTip("This is the preview after applying operations");
    // A thin sunken edge around each 128 x 128 picture, so the boxes show
    // where to click before there is anything to preview.
    for (ClickLabel* image : {Image1, Image2}) {
        image->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        image->setLineWidth(1);
        image->setFixedSize(kPreviewBox + 2, kPreviewBox + 2);
        image->setAlignment(Qt::AlignCenter);
        image->setCursor(Qt::PointingHandCursor);
    }

    Label1 = new QLabel("To Do List", central);
    ListBox2 = new ToDoListBox(central);
    ListBox2->setContextMenuPolicy(Qt::CustomContextMenu);
    // Wide enough for the longest to-do line (three signed values), so no
    // step is cut off; the window grows past its 632 pixels when it must.
    {
        int widest = 0;
        for (auto [op, value] : {std::pair{kOpAdjustRGB, -100.0}, {kOpGamma, 4.99}}) {
            steprec step;
            step.operation = op;
            step.params[0] = step.params[1] = step.params[2] = value;
            const QString line = QString::fromStdString(StepText(step));
            widest = std::max(widest, ListBox2->fontMetrics().horizontalAdvance(line));
        }
        ListBox2->setMinimumWidth(widest + 2 * ListBox2->frameWidth() + 12 +
                                  ListBox2->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, ListBox2));
    }
    Label2 = new QLabel("Available Operations", central);
    ListBox1 = new QListWidget(central);
    ListBox1->setSortingEnabled(true);
    ListBox1->setDragEnabled(true);
    ListBox1->setDragDropMode(QAbstractItemView::DragOnly);
    ListBox1->setDefaultDropAction(Qt::CopyAction);

    btnAdd = makeButton("Add", "Add operation to the ToDo list");
    btnInsert = makeButton("&Insert", "Insert operation in the ToDo List");
    btnRemove = makeButton("Remove", "Remove selected operation from the ToDo List");
    btnOptimize = makeButton("Optimize", "Reorder for speed");
    btnOptimize->setVisible(false);
    btnBegin = makeButton("&GO", "Begin processing");
    btnQuit = makeButton("E&xit", "Exit the program");

    StatusBar1 = new QLabel(this);
    statusBar()->addWidget(StatusBar1, 1);

    PopupMenu1 = new QMenu(this);
    Editparameters1 = PopupMenu1->addAction("Edit parameters...");
    Removeoperation1 = PopupMenu1->addAction("Remove operation");
    PopupMenu1->setDefaultAction(Editparameters1);

    // Layout: movie lines on top; previews, to-do list, buttons and the
    // operations below.
    auto* grid = new QGridLayout(central);
    grid->addWidget(btnInput, 0, 0);
    grid->addWidget(lblInput, 0, 1, 1, 3);
    grid->addWidget(btnInputSet, 0, 4);
    grid->addWidget(btnOutput, 1, 0);
    grid->addWidget(lblOutput, 1, 1, 1, 3);
    grid->addWidget(btnOutputSet, 1, 4);
    auto* previews = new QVBoxLayout;
    previews->addWidget(Label3);
    previews->addWidget(Image1);
    previews->addWidget(Label4);
    previews->addWidget(Image2);
    previews->addStretch();
    grid->addLayout(previews, 2, 0);
    auto* todo = new QVBoxLayout;
    todo->addWidget(Label1);
    todo->addWidget(ListBox2, 1);
    grid->addLayout(todo, 2, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addSpacing(16);
    buttons->addWidget(btnAdd);
    buttons->addWidget(btnInsert);
    buttons->addWidget(btnRemove);
    buttons->addWidget(btnOptimize);
    buttons->addStretch();
    buttons->addWidget(btnBegin);
    buttons->addWidget(btnQuit);
    grid->addLayout(buttons, 2, 2);
    auto* ops = new QVBoxLayout;
    ops->addWidget(Label2);
    ops->addWidget(ListBox1, 1);
    grid->addLayout(ops, 2, 3, 1, 2);
    // The to-do lines carry their parameters ("Brightness  R= 10, ..."): the
    // to-do list takes the spare width, the operation names need little.
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 0);
    grid->setRowStretch(2, 1);
    resize(632, 415 + statusBar()->sizeHint().height());

    connect(btnInput, &QPushButton::clicked, this, [this] { btnInputClick(); });
    connect(lblInput, &ClickLabel::clicked, this, [this] { btnInputClick(); });
    connect(Image1, &ClickLabel::clicked, this, [this] { btnInputClick(); });
    connect(btnInputSet, &QPushButton::clicked, this, [this] { btnInputSetClick(); });
    connect(btnOutput, &QPushButton::clicked, this, [this] { btnOutputClick(); });
    connect(lblOutput, &ClickLabel::clicked, this, [this] { btnOutputClick(); });
    connect(Image2, &ClickLabel::clicked, this, [this] { btnOutputClick(); });
    connect(btnOutputSet, &QPushButton::clicked, this, [this] { btnOutputSetClick(); });
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, [this] { ListBox1DblClick(); });
    connect(btnAdd, &QPushButton::clicked, this, [this] { ListBox1DblClick(); });
    connect(btnInsert, &QPushButton::clicked, this, [this] { btnInsertClick(); });
    connect(btnRemove, &QPushButton::clicked, this, [this] { btnRemoveClick(); });
    connect(ListBox2, &QListWidget::itemDoubleClicked, this, [this] { Editparameters1Click(); });
    connect(ListBox2, &ToDoListBox::dropped, this, [this](QObject* s, int t) { ListBox2DragDrop(s, t); });
    connect(ListBox2, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        PopupMenu1Popup();
        PopupMenu1->popup(ListBox2->viewport()->mapToGlobal(pos));
    });
    connect(Editparameters1, &QAction::triggered, this, [this] { Editparameters1Click(); });
    connect(Removeoperation1, &QAction::triggered, this, [this] { btnRemoveClick(); });
    connect(btnOptimize, &QPushButton::clicked, this, [this] { btnOptimizeClick(); });
    connect(btnBegin, &QPushButton::clicked, this, [this] { btnBeginClick(); });
    connect(btnQuit, &QPushButton::clicked, this, [this] { btnQuitClick(); });
    // Esc presses "Remove", as the window's cancel button.
    auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(esc, &QShortcut::activated, this, [this] { btnRemove->click(); });
    ListBox1->installEventFilter(this);
    ListBox2->installEventFilter(this);

    MainFormInit();
}

TfmMain::~TfmMain() {
    // The progress window outlives this window: take it back from it.
    if (fmPerc().parentWidget() == this) fmPerc().setParent(nullptr, fmPerc().windowFlags());
    // FormClose: the preview image and the two names go with the window.
    if (&Host() == static_cast<PipelineHost*>(this)) SetPipelineHost(nullptr);
    PreviewFree();
    MoviesFree();
}

void TfmMain::MainFormInit() {
    SetupMainForm(this);
    SetPipelineHost(this);
    {
        TfmSplash about(this);
        Ui().ExecDialog(about);
    }
    FillOperationList(*this);
    // Room for the longest name and for a scroll bar, which larger fonts or
    // a short window bring.
    ListBox1->setFixedWidth(ListBox1->sizeHintForColumn(0) + 2 * ListBox1->frameWidth() + 6 +
                            ListBox1->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, ListBox1));
    ToDoList.count = 0;
    MoviesInit();
    ResetJobSettings();
    PreviewFree();
    PreviewInit();
    ClearPreviews();
}

// ---------------------------------------------------------------- movies

void TfmMain::SetStatusText(const std::string& text) { StatusBar1->setText(QString::fromStdString(text)); }

void TfmMain::SelectInput() {
    TakeInputDefaults = 0;
    QString name;
    bool chosen = Ui().OpenFileDialog("Select Input Movie (first frame)", kOpenFilter, name);
    if (chosen) {
        // Refused as if the dialog had been cancelled: the input stays as it was.
        oFlexName typed;
        typed.SetName(name.toStdString());
        const std::string fault = NumberedNameFault(typed, 1);
        if (!fault.empty()) {
            ShowError(fault);
            chosen = false;
        }
    }
    if (chosen) {
        InputMovie.name->SetName(name.toStdString());
        Ui().ProcessEvents();
        MovieInspect(InputMovie);
        FramesToProcess = InputMovie.frames;
        PreviewFrame = 1;
        if (!InputMovie.name->IsValid()) {
            ShowError("Error in input file.");
            ForgetInput();
            return;
        }
    }
    // Also after a cancelled dialog: the next output settings start from the
    // input again.
    ShowMovieInfo(true);
    // A first frame that cannot be read forgets the input as well.
    if (!InputMovie.name->IsValid()) {
        ForgetInput();
        return;
    }
    TakeInputDefaults = 1;
}

// As if no input had been chosen: nothing of a movie that is no longer the
// input stays on screen or in the job.
void TfmMain::ForgetInput() {
    MovieReset(InputMovie);
    FramesToProcess = 0;
    PreviewFrame = -1;
    TakeInputDefaults = 0;
    lblInput->setText(kInputPrompt);
    ClearPreviews();
}

void TfmMain::ShowMovieInfo(bool reload) {
    lblInput->setText(QString::fromStdString(DescribeMovie(InputMovie)));
    if (OutputMovie.name->IsValid()) {
        OutputMovie.frames = FramesToProcess;
        lblOutput->setText(QString::fromStdString(DescribeMovie(OutputMovie)));
    }
    if (reload) {
        BuildInputPreview();
        movaltic::BuildOutputPreview();
        if (!InputMovie.name->IsValid()) ClearPreviews();
    }
}

void TfmMain::InputSettings() {
    if (!InputMovie.name->IsValid() || InputMovie.frames <= 1) return;
    TfmInOpt& dlg = fmInOpt();
    dlg.Values.frameCount = InputMovie.frames;
    dlg.Values.framesToProcess = FramesToProcess;
    dlg.Values.previewFrame = PreviewFrame;
    const int32_t oldPreview = PreviewFrame;
    Ui().ExecDialog(dlg);
    // Typed numbers are not held to the bars; frames that do not exist are
    // neither processed nor previewed. A typed 0 stays 0: GO then refuses.
    FramesToProcess = std::clamp(dlg.Values.framesToProcess, 0, InputMovie.frames);
    PreviewFrame = std::clamp(dlg.Values.previewFrame, 1, InputMovie.frames);
    ShowMovieInfo(PreviewFrame != oldPreview);
}

QString TfmMain::OutputFileName(const QString& chosen) const {
    if (!QFileInfo(chosen).suffix().isEmpty()) return chosen;
    static const char* const kExtensions[] = {"", "", ".ZUV", ".AVI", ".FLC", ".BMP", ".DIB", ".TGA", ".PCX"};
    if (SaveFilterIndex >= 2 && SaveFilterIndex <= 8) return chosen + kExtensions[SaveFilterIndex];
    return chosen;
}

void TfmMain::SelectOutput(bool ask) {
    CompressorPending = 0;
    if (!InputMovie.name->IsValid()) {
        ShowMessageBox("Select the INPUT movie first.");
        return;
    }
    if (!ask && !CheckInputOutput()) return;
    if (ask) {
        QString chosen;
        if (!Ui().SaveFileDialog("Output Movie Name", kSaveFilter, SaveFilterIndex, chosen)) return;
        QString name = OutputFileName(chosen);
        // Asked about the file the writer will really create (a FLIC output
        // gets its upper-case extension by the size the settings start from),
        // not the name as typed: the two differ on a case-sensitive disk.
        oFlexName typed;
        typed.SetName(name.toStdString());
        const std::string fault = NumberedNameFault(typed, FramesToProcess);
        if (!fault.empty()) {
            ShowError(fault);
            return;
        }
        const bool fromInput = TakeInputDefaults != 0;
        const std::string created =
            CreatedFileName(typed, OutputKindOf(typed.GetName()), fromInput ? InputMovie.width : OutputMovie.width,
                            fromInput ? InputMovie.height : OutputMovie.height);
        if (QFileInfo::exists(QString::fromStdString(created)) &&
            !AskConfirm("That is an existing file. Do you want to overwrite it?"))
            return;
        OutputMovie.name->SetName(name.toStdString());
        OutputMovie.kind = OutputKindOf(OutputMovie.name->GetName());
        OutputMovie.container = IsContainerKind(OutputMovie.kind) ? 1 : 0;
    }
    CompressorPending = ask ? 1 : 0;
    EditOutputSettings();
    // An AVI output is forgotten only when no compressor can write it.
    if (OutputMovie.kind == kKindAVI && !OutputMovie.name->IsValid()) lblOutput->setText(kOutputPrompt);
    else lblOutput->setText(QString::fromStdString(DescribeMovie(OutputMovie)));
}

void TfmMain::EditOutputSettings() {
    movierec& out = OutputMovie;
    const movierec& in = InputMovie;
    if (TakeInputDefaults) {
        out.width = in.width;
        out.height = in.height;
        FitDefaultOutputSize(out.width, out.height);
        out.bytesPerPixel = in.bytesPerPixel;
        out.bitsPerPixel = in.bitsPerPixel;
        out.frames = FramesToProcess;
        if (out.container) out.frameRate = in.frameRate;
        out.compressed = in.name->extension == out.name->extension ? in.compressed : 0;
    }
    if (out.bytesPerPixel == 2 && out.kind != kKindZUV && out.kind != kKindAVI) {
        out.bytesPerPixel = 3;
        out.bitsPerPixel = 24;
    }
    SinglePalette = 1;
    OutputOptions v;
    v.allow8 = v.allow16 = v.allow24 = v.allowCompressed = 0;
    v.allowSinglePalette = 1;
    auto wider = [&] {
        if (out.bytesPerPixel == 2) {
            out.bytesPerPixel = 3;
            out.bitsPerPixel = 24;
        }
    };
    switch (out.kind) {
    case kKindZUV:
        v.allow8 = v.allow16 = v.allow24 = 1;
        out.compressed = 1;
        if (out.frameRate == 0) out.frameRate = 25;
        break;
    case kKindAVI:
        v.allow8 = v.allow24 = 1;
        if (out.frameRate == 0) out.frameRate = 15;
        break;
    case kKindFLC:
    case kKindFLI:
        FixFlicExtension();
        v.allow8 = 1;
        out.compressed = 1;
        out.bytesPerPixel = 1;
        out.bitsPerPixel = 8;
        if (out.frameRate == 0) out.frameRate = 25;
        break;
    case kKindBMP:
    case kKindDIB:
        v.allow8 = v.allow24 = 1;
        out.compressed = 0;
        wider();
        out.frameRate = 0;
        break;
    case kKindTGA:
        v.allow8 = v.allow24 = v.allowCompressed = 1;
        wider();
        out.frameRate = 0;
        break;
    case kKindPCX:
        v.allow8 = v.allow24 = 1;
        out.compressed = 1;
        wider();
        out.frameRate = 0;
        break;
    default:
        out.name->SetName("");
        ShowError("Unknown file type.");
        return;
    }
    ClampInt(out.width, 16, 1600);
    ClampInt(out.height, 16, 1200);
    TakeInputDefaults = 0;

    v.width = out.width;
    v.height = out.height;
    v.bytesPerPixel = out.bytesPerPixel;
    v.bitsPerPixel = out.bitsPerPixel;
    std::string ext = out.name->extension;
    v.extension = QString::fromStdString(ext.empty() ? ext : ext.substr(1));
    v.compressed = out.compressed;
    v.singlePalette = SinglePalette;
    v.useResample = UseResample;
    v.rescaleAtStart = RescaleAtStart;
    v.frameRate = out.frameRate;
    v.fast = FastCompression;
    v.dosPlayable = DosPlayable;
    v.keyFrameInterval = KeyFrameInterval;
    v.copySound = CopySound;
    v.compressorPending = CompressorPending;
    v.inputWidth = in.width;
    v.inputHeight = in.height;
    v.input24 = in.bytesPerPixel == 3;
    TfmOutOpt& dlg = fmOutOpt();
    dlg.Values = v;
    Ui().ExecDialog(dlg);
    // Taken back whatever closed the dialog: it changes its values only
    // through OK and its two sub-dialog buttons.
    const OutputOptions& r = dlg.Values;
    out.width = r.width;
    out.height = r.height;
    out.bytesPerPixel = r.bytesPerPixel;
    out.bitsPerPixel = r.bitsPerPixel;
    // An 8-bit output is 8-bit whatever the last compressor said.
    if (out.bytesPerPixel == 1) out.bitsPerPixel = 8;
    out.compressed = r.compressed;
    SinglePalette = r.singlePalette;
    UseResample = r.useResample;
    RescaleAtStart = r.rescaleAtStart;
    CopySound = r.copySound;
    out.frameRate = r.frameRate;
    FastCompression = r.fast;
    DosPlayable = r.dosPlayable;
    KeyFrameInterval = r.keyFrameInterval;
    CompressorPending = r.compressorPending;
    if (out.kind == kKindAVI) {
        // The compressor is chosen for one depth and kept for every later
        // output: one that cannot write this depth would fail at the first
        // frame of GO, so the output is dropped instead.
        if (!AviChoiceWrites(out.bytesPerPixel)) {
            out.name->SetName("");
            return;
        }
        out.bitsPerPixel = AviOutputBits(out.bytesPerPixel);
    }
    FixFlicExtension();
}

// ---------------------------------------------------------------- handlers

void TfmMain::btnInputClick() {
    if (!PipelineBusy()) SelectInput();
}
void TfmMain::btnInputSetClick() {
    if (!PipelineBusy()) InputSettings();
}
void TfmMain::btnOutputClick() {
    if (!PipelineBusy()) SelectOutput(true);
}
void TfmMain::btnOutputSetClick() {
    if (!PipelineBusy()) SelectOutput(false);
}
void TfmMain::ListBox1DblClick() {
    if (!PipelineBusy()) AddStep(*this, -1);
}
void TfmMain::btnInsertClick() {
    if (!PipelineBusy()) AddStep(*this, SelectedLine());
}
void TfmMain::btnRemoveClick() {
    if (!PipelineBusy()) RemoveSelectedStep(*this);
}
void TfmMain::Editparameters1Click() {
    if (!PipelineBusy()) EditStepParams(*this);
}
void TfmMain::PopupMenu1Popup() {
    const bool selected = SelectedLine() >= 0 && !PipelineBusy();
    Editparameters1->setEnabled(selected);
    Removeoperation1->setEnabled(selected);
}
void TfmMain::ListBox2DragDrop(QObject* source, int target) {
    if (PipelineBusy()) return;
    if (source == ListBox1) AddStep(*this, target);
    else if (source == ListBox2) MoveStep(*this, SelectedLine(), target);
}
void TfmMain::btnOptimizeClick() {
    if (!PipelineBusy()) OptimizeToDoList(*this);
}

void TfmMain::btnBeginClick() {
    if (PipelineBusy()) return;
    SetRunning(true);
    try {
        RunProcessing();
    } catch (const std::exception& e) {
        // The pass has closed its movies on the way out; the window goes on.
        HistogramFree();
        ShowError(e.what());
    }
    SetRunning(false);
    // The input that the previews could not read again after the run is gone.
    if (!InputMovie.name->IsValid()) ForgetInput();
    if (closePending_) {
        closePending_ = false;
        close();
    }
}

void TfmMain::btnQuitClick() { close(); }

// The commands that would touch the running pass's movies, list or work
// images. The labels and previews stay as they are (their clicks check
// PipelineBusy) so the window does not grey out what it shows.
void TfmMain::SetRunning(bool running) {
    for (QWidget* w : std::initializer_list<QWidget*>{btnInput, btnInputSet, btnOutput, btnOutputSet, ListBox1,
                                                      ListBox2, btnAdd, btnInsert, btnRemove, btnOptimize, btnBegin})
        w->setEnabled(!running);
}

void TfmMain::closeEvent(QCloseEvent* event) {
    if (PipelineBusy()) {
        // A pass is still on the stack below this event: stop it, close after.
        StopFlag = 1;
        closePending_ = true;
        event->ignore();
        return;
    }
    fmPerc().CloseQuietly();
    event->accept();
    QMainWindow::closeEvent(event);
}

void TfmMain::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && PipelineBusy() &&
        fmPerc().isVisible()) {
        fmPerc().raise();
        fmPerc().activateWindow();
    }
    QMainWindow::changeEvent(event);
}

bool TfmMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (watched == ListBox1 && enter) {
            ListBox1DblClick();
            return true;
        }
        if (watched == ListBox2) {
            if (key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete) {
                btnRemoveClick();
                return true;
            }
            if (enter) {
                Editparameters1Click();
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------- pipeline host

bool TfmMain::MessageBox(Box kind, const std::string& text) {
    const FixedBox box = kind == Box::Error ? FixedBox::Error : kind == Box::Message ? FixedBox::Message
                                                                                     : FixedBox::Confirm;
    return ShowFixedBox(box, QString::fromStdString(text));
}

void TfmMain::ProcessMessages() { Ui().ProcessEvents(); }

void TfmMain::ProgressShow() {
    TfmPerc& perc = fmPerc();
    if (perc.parentWidget() != this) perc.setParent(this, perc.windowFlags() | Qt::Dialog);
    perc.show();
    perc.raise();
}

void TfmMain::ProgressStart(const std::string& caption, int32_t frameCount) {
    movaltic::ProgressStart(QString::fromStdString(caption), frameCount);
}

void TfmMain::ProgressFrame(int32_t n) { movaltic::ProgressFrame(n); }

void TfmMain::ProgressRate(int32_t frame, int64_t bytes, const std::string& timeText, double rate) {
    movaltic::ProgressRate(frame, bytes, QString::fromStdString(timeText), rate);
}

void TfmMain::ProgressClose() { fmPerc().CloseQuietly(); }

void TfmMain::SetOutputLabel(const std::string& text) { lblOutput->setText(QString::fromStdString(text)); }

void TfmMain::SetBusyCursor(bool busy) {
    if (busy) {
        if (busyCursor_++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (busyCursor_ > 0) {
        if (--busyCursor_ == 0) QApplication::restoreOverrideCursor();
    }
}

void TfmMain::DrawPreviews(const imagerec& before, const imagerec& after) {
    QImage a(kPreviewBox, kPreviewBox, QImage::Format_RGB32);
    QImage b(kPreviewBox, kPreviewBox, QImage::Format_RGB32);
    DrawPreviewCentered(before, a);
    DrawPreviewCentered(after, b);
    Image1->setPixmap(QPixmap::fromImage(a));
    Image2->setPixmap(QPixmap::fromImage(b));
}

void TfmMain::ClearPreviews() {
    QImage blank(kPreviewBox, kPreviewBox, QImage::Format_RGB32);
    blank.fill(QApplication::palette().color(QPalette::Button));
    Image1->setPixmap(QPixmap::fromImage(blank));
    Image2->setPixmap(QPixmap::fromImage(blank));
}

// ---------------------------------------------------------------- to-do list view

void TfmMain::AddAvailableOperation(const std::string& name) { ListBox1->addItem(QString::fromStdString(name)); }

std::string TfmMain::SelectedAvailableOperation() const {
    QListWidgetItem* item = ListBox1->currentItem();
    return item && item->isSelected() ? item->text().toStdString() : std::string();
}

int32_t TfmMain::LineCount() const { return ListBox2->count(); }

void TfmMain::InsertLine(int32_t position, const std::string& text) {
    ListBox2->insertItem(position, QString::fromStdString(text));
}

void TfmMain::DeleteLine(int32_t index) { delete ListBox2->takeItem(index); }

void TfmMain::SetLineText(int32_t index, const std::string& text) {
    if (QListWidgetItem* item = ListBox2->item(index)) item->setText(QString::fromStdString(text));
}

int32_t TfmMain::SelectedLine() const {
    QListWidgetItem* item = ListBox2->currentItem();
    return item && item->isSelected() ? ListBox2->row(item) : -1;
}

void TfmMain::SelectLine(int32_t index) {
    if (index >= 0 && index < ListBox2->count()) ListBox2->setCurrentRow(index);
    else ListBox2->clearSelection();
}

void TfmMain::SetOptimizeVisible(bool visible) { btnOptimize->setVisible(visible); }

void TfmMain::BuildOutputPreview() { movaltic::BuildOutputPreview(); }

int32_t TfmMain::InputBytesPerPixel() const { return InputMovie.bytesPerPixel; }

ParamEditor& TfmMain::Editor() { return editor_; }

}  // namespace movaltic
