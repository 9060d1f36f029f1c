#include "movaltic/ui/win_utils.h"

#include "movaltic/ui/ui_host.h"

#include <QDialog>
#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QWidget>
#include <cmath>
#include <utility>

namespace movaltic {

double TextToReal(const QString& text) {
    QString t = text.trimmed();
    t.replace(',', '.');
    t.remove('+');
    bool ok = false;
    double v = t.toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0.0;
}

int IntOrDefault(const QString& text, int fallback) {
    bool ok = false;
    int v = text.trimmed().toInt(&ok);
    return ok ? v : fallback;
}

void ClampInt(int& value, int low, int high) {
    if (value < low) value = low;
    if (value > high) value = high;
}

void ClampReal(double& value, double low, double high) {
    if (value < low) value = low;
    if (value > high) value = high;
}

int RoundEven(double x) { return int(std::nearbyint(x)); }

QChar NumericKeyFilter(QChar key, bool allowDecimals) {
    if (key.unicode() < 32 || key == '+' || key == '-' || (key >= '0' && key <= '9')) return key;
    return allowDecimals ? QChar('.') : QChar();
}

namespace {

class NumericFilter : public QObject {
public:
    NumericFilter(QLineEdit* edit, std::function<bool()> allowDecimals)
        : QObject(edit), edit_(edit), allowDecimals_(std::move(allowDecimals)) {}

protected:
    bool eventFilter(QObject* obj, QEvent* event) override {
        if (obj != edit_ || event->type() != QEvent::KeyPress) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        QString text = key->text();
        // Editing keys, shortcuts and keys without text go through as they are.
        if (text.size() != 1 || (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) return false;
        QChar out = NumericKeyFilter(text[0], allowDecimals_());
        if (out == text[0]) return false;
        if (!out.isNull()) edit_->insert(QString(out));
        return true;
    }

private:
    QLineEdit* edit_;
    std::function<bool()> allowDecimals_;
};

}  // namespace

void InstallNumericFilter(QLineEdit* edit, bool allowDecimals) {
    edit->installEventFilter(new NumericFilter(edit, [allowDecimals] { return allowDecimals; }));
}

void InstallNumericFilterLive(QLineEdit* edit, std::function<bool()> allowDecimals) {
    edit->installEventFilter(new NumericFilter(edit, std::move(allowDecimals)));
}

bool ShowFixedBox(FixedBox kind, const QString& text) {
    switch (kind) {
    case FixedBox::Error:
        Ui().MessageBox("Error", text, QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok);
        return false;
    case FixedBox::Message:
        Ui().MessageBox("Message", text, QMessageBox::Warning, QMessageBox::Ok, QMessageBox::Ok);
        return false;
    case FixedBox::Confirm:
        return Ui().MessageBox("Confirm", text, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No) == QMessageBox::Yes;
    }
    return false;
}

QString FixedText(double value, int decimals) { return QString::number(value, 'f', decimals); }

namespace {
void CentreOnScreen(QWidget* form) {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect area = screen->availableGeometry();
    // A window given its size (the main window) is centred at that size; a
    // dialog at the size its layout will give it when shown.
    if (form->layout()) form->layout()->activate();
    QSize size = form->testAttribute(Qt::WA_Resized) ? form->size() : form->sizeHint();
    form->move(area.center() - QPoint(size.width() / 2, size.height() / 2));
}
}  // namespace

QHBoxLayout* OkCancelRow(QDialog* dialog, QPushButton*& ok, QPushButton*& cancel) {
    ok = new QPushButton("OK", dialog);
    cancel = new QPushButton("Cancel", dialog);
    ok->setDefault(true);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

void SetupDialogForm(QWidget* form) {
    form->setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    form->setWindowState(Qt::WindowNoState);
    if (auto* dialog = qobject_cast<QDialog*>(form)) dialog->setSizeGripEnabled(false);
    CentreOnScreen(form);
}

void SetupMainForm(QWidget* form) {
    form->setWindowState(Qt::WindowNoState);
    CentreOnScreen(form);
}

}  // namespace movaltic
