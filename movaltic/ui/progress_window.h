// The progress window of a running pass. Closing it - its "Cancel" button,
// Esc or the close box - sets StopFlag, which the frame loop polls.
#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>

class QLabel;
class QProgressBar;
class QPushButton;

namespace movaltic {

class TfmPerc : public QDialog {
    Q_OBJECT
public:
    explicit TfmPerc(QWidget* parent = nullptr);

    QLabel* lblItems;
    QLabel* lblCurrent;
    QProgressBar* PercBar;
    QLabel* lblMega;
    QLabel* lblRate;
    QLabel* lblTime;
    QPushButton* Stop;

    void StopClick();
    void FormClose();
    // Hides the window at the end of a pass without counting as a stop.
    void CloseQuietly();
    void done(int r) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    bool quiet_ = false;
};

void ProgressStart(const QString& caption, int32_t frameCount);
void ProgressFrame(int32_t n);
void ProgressRate(int32_t frame, int64_t bytes, const QString& timeText, double rate);

// Thousands separated by ",", one decimal: 1572864 bytes give "1.5".
QString OneDecimalText(double value);

TfmPerc& fmPerc();
void CreateProgressWindow();
void DestroyProgressWindow();

}  // namespace movaltic
