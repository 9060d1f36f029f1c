#include "movaltic/ui/win_utils.h"

#include "movaltic/ui/ui_host.h"

#include <QDialog>
#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QWidget>
#include <algorithm>
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

double ContrastRatio(const QColor& a, const QColor& b) {
    auto luminance = [](const QColor& c) {
        auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor ReadableOn(const QColor& colour, const QColor& background) {
    constexpr double kReadable = 4.5;
    if (ContrastRatio(colour, background) >= kReadable) return colour;
    const QColor away = ContrastRatio(Qt::white, background) >= ContrastRatio(Qt::black, background)
                            ? QColor(Qt::white) : QColor(Qt::black);
    for (int step = 1; step <= 20; ++step) {
        const double t = step / 20.0;
        const QColor mixed = QColor::fromRgbF(float(colour.redF() + (away.redF() - colour.redF()) * t),
                                              float(colour.greenF() + (away.greenF() - colour.greenF()) * t),
                                              float(colour.blueF() + (away.blueF() - colour.blueF()) * t));
        if (ContrastRatio(mixed, background) >= kReadable) return mixed;
    }
    return away;
}

namespace {

// Sets the widget's text colour anew whenever its background may have
// changed with the palette.
class TextColourKeeper : public QObject {
public:
    TextColourKeeper(QWidget* widget, const QColor& colour) : QObject(widget), widget_(widget), colour_(colour) {
        Apply();
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* obj, QEvent* event) override {
        if (obj == widget_ &&
            (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange))
            Apply();
        return false;
    }

private:
    void Apply() {
        QPalette palette = widget_->palette();
        const QColor text = ReadableOn(colour_, palette.color(QPalette::Window));
        // Setting the palette brings another change event: only when it differs.
        if (palette.color(QPalette::WindowText) == text && palette.isBrushSet(QPalette::Active, QPalette::WindowText))
            return;
        palette.setColor(QPalette::WindowText, text);
        widget_->setPalette(palette);
    }

    QWidget* widget_;
    QColor colour_;
};

}  // namespace

void SetTextColour(QWidget* widget, const QColor& colour) { new TextColourKeeper(widget, colour); }

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
