#include "progress_window.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace vork::shell {

ProgressWindow::ProgressWindow(QWidget* over, int delayMs)
    : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint), over_(over)
{
    setObjectName("ProgressWindow");
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    text_ = new QLabel;
    text_->setObjectName("ProgressText");
    layout->addWidget(text_);
    auto* stop = new QPushButton(QString::fromUtf8("Zastaviť"));
    stop->setObjectName("ProgressStop");
    stop->setAutoDefault(false);
    layout->addWidget(stop, 0, Qt::AlignHCenter);
    // Esc rejects a dialog; the button and closing it do the same.
    connect(stop, &QPushButton::clicked, this, &QDialog::reject);
    connect(this, &QDialog::rejected, this, &ProgressWindow::stopRequested);
    delay_ = new QTimer(this);
    delay_->setSingleShot(true);
    delay_->setInterval(delayMs);
    connect(delay_, &QTimer::timeout, this, [this] {
        adjustSize();
        move(over_->geometry().center() - rect().center());
        show();
        raise();
        activateWindow();
    });
}

void ProgressWindow::begin(const QString& text)
{
    text_->setText(text);
    delay_->start();
}

void ProgressWindow::end()
{
    delay_->stop();
    hide();
}

} // namespace vork::shell
