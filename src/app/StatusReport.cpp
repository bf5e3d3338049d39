#include "app/StatusReport.h"

#include <QDateTime>
#include <QLabel>
#include <QLocale>
#include <QStatusBar>
#include <QTimer>

#include "common/StatusMessages.h"

namespace keyrack {

StatusReport::StatusReport(QStatusBar& bar) : QObject(&bar), bar_(bar) {
    for (int i = 0; i < 3; ++i) {
        panels_[i] = new QLabel(&bar);
        panels_[i]->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i + 1));
    }
    bar.addWidget(panels_[0], 1);
    bar.addPermanentWidget(panels_[1]);
    bar.addPermanentWidget(panels_[2]);
    auto* clock = new QTimer(this);
    connect(clock, &QTimer::timeout, this, &StatusReport::ShowDateAndTime);
    clock->start(1000);
    ShowDateAndTime();
}

void StatusReport::Show(const QString& text) {
    bar_.showMessage(text, kStatusShownMs);
}

void StatusReport::SetPanelText(const QString& text) {
    panels_[0]->setText(text);
}

void StatusReport::ShowDateAndTime() {
    const QDateTime now = QDateTime::currentDateTime();
    panels_[1]->setText(QLocale().toString(now.date(), QLocale::ShortFormat));
    panels_[2]->setText(QLocale().toString(now.time(), QLocale::ShortFormat));
}

}  // namespace keyrack
