#include "app/widgets/TFMsg.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTimer>
#include <QVBoxLayout>

TFMsg* FMsg = nullptr;

TFMsg::TFMsg(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("FMsg"));
    setWindowTitle(QStringLiteral("Message Window"));
    // A message must not take the keyboard away from the operator's work.
    setAttribute(Qt::WA_ShowWithoutActivating);
    resize(413, 192);
    move(1017, 148);

    Msg = new QPlainTextEdit(this);
    Msg->setObjectName(QStringLiteral("Msg"));
    Msg->setReadOnly(true);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(13);
    Msg->setFont(font);
    Msg->viewport()->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Msg);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(4000);
    connect(Timer1, &QTimer::timeout, this, &TFMsg::Timer1Timer);
}

void TFMsg::AddMessage(const QString& line) {
    Msg->appendPlainText(line);
    if (!isVisible())
        show();
}

void TFMsg::FormShow() {
    Timer1->start();
}

void TFMsg::FormHide() {
    Timer1->stop();
}

void TFMsg::Timer1Timer() {
    hide();
}

void TFMsg::MsgClick() {
    hide();
    Msg->clear();
}

void TFMsg::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FormShow();
}

void TFMsg::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    FormHide();
}

bool TFMsg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Msg->viewport() && event->type() == QEvent::MouseButtonRelease) {
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            MsgClick();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
