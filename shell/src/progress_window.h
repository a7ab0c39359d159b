// ProgressWindow: the small window with "Zastaviť" that a long build step
// shows.  It appears only once a step has run for its delay, so that quick
// steps never flash it; Esc, the button and closing it all ask for a stop.
#pragma once

#include <QDialog>

class QLabel;
class QTimer;

namespace vork::shell {

class ProgressWindow : public QDialog {
    Q_OBJECT
public:
    // A window of its own, not a child of `over`: the main window is
    // disabled during a build, and a child would be disabled with it.
    ProgressWindow(QWidget* over, int delayMs);

    // A step named `text` starts: shown after the delay, centred on `over`.
    void begin(const QString& text);
    void end();

signals:
    void stopRequested();

private:
    QWidget* over_;
    QLabel* text_;
    QTimer* delay_;
};

} // namespace vork::shell
