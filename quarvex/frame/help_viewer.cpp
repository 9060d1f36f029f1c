#include "quarvex/frame/help_viewer.h"

#include "quarvex/frame/mdi_form1.h"
#include "quarvex/runtime/guard.h"

#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace quarvex {

namespace {

QPointer<HelpViewer> gViewer;

}  // namespace

HelpViewer* HelpViewer::Instance() { return gViewer; }

bool HelpViewer::Open(const QString& path, int command, long data) {
    if (!gViewer) {
        auto* viewer = new HelpViewer(MDIForm1::Instance());
        viewer->setAttribute(Qt::WA_DeleteOnClose);
        if (!viewer->Load(path)) {
            delete viewer;
            return false;
        }
        gViewer = viewer;
    }
    if (gViewer->path_ != path && !gViewer->Load(path)) return false;
    gViewer->Command(command, data);
    gViewer->show();
    gViewer->raise();
    gViewer->activateWindow();
    return true;
}

void HelpViewer::CloseViewer() {
    if (gViewer) gViewer->close();
}

HelpViewer::HelpViewer(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Quarvex Help"));
    setModal(false);
    resize(560, 620);
    search_ = new QLineEdit(this);
    search_->setPlaceholderText(QStringLiteral("Search for a word"));
    auto* back = new QPushButton(QStringLiteral("Back"), this);
    auto* contents = new QPushButton(QStringLiteral("Contents"), this);
    browser_ = new QTextBrowser(this);
    browser_->setOpenLinks(true);
    auto* top = new QHBoxLayout;
    top->addWidget(contents);
    top->addWidget(back);
    top->addWidget(new QLabel(QStringLiteral("Search:"), this));
    top->addWidget(search_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(browser_, 1);
    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(contents, &QPushButton::clicked, this,
            qvrt::Guarded([this](bool) { Command(qvrt::HELP_CONTENTS, 0); }));
    connect(search_, &QLineEdit::returnPressed, this, qvrt::Guarded([this] { FindNext(); }));
}

bool HelpViewer::Load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    browser_->setHtml(QString::fromUtf8(file.readAll()));
    path_ = path;
    return true;
}

void HelpViewer::Command(int command, long context) {
    switch (command) {
    case qvrt::HELP_CONTEXT:
        browser_->scrollToAnchor(QStringLiteral("context-%1").arg(context));
        break;
    case qvrt::HELP_PARTIALKEY:
        search_->setFocus();
        search_->selectAll();
        break;
    case qvrt::HELP_HELPONHELP:
        browser_->scrollToAnchor(QStringLiteral("using-help"));
        break;
    default:
        browser_->scrollToAnchor(QStringLiteral("contents"));
        break;
    }
}

void HelpViewer::FindNext() {
    const QString word = search_->text();
    if (word.isEmpty()) return;
    // From the top again once the last place has been passed.
    if (!browser_->find(word)) {
        browser_->moveCursor(QTextCursor::Start);
        browser_->find(word);
    }
}

void OpenHelp(const QString& helpFile, int command, long data) {
    if (command == qvrt::HELP_QUIT) {
        HelpViewer::CloseViewer();
        return;
    }
    const QString path = qvrt::FindHelpFile(helpFile);
    if (path.isEmpty() || !HelpViewer::Open(path, command, data)) {
        qvrt::host().MsgBox(QStringLiteral("The help file %1 could not be found or read. It belongs in the folder "
                                           "of the Quarvex program.")
                                .arg(helpFile),
                            qvrt::vbExclamation, QStringLiteral("Help"));
    }
}

void FrameHost::Help(const QString& helpFile, int command, long data) { OpenHelp(helpFile, command, data); }

void InstallHelpViewer() {
    qvrt::Host& current = qvrt::host();
    if (dynamic_cast<FrameHost*>(&current) || !dynamic_cast<qvrt::QtHost*>(&current)) return;
    qvrt::SetHost(std::make_unique<FrameHost>());
}

}  // namespace quarvex
