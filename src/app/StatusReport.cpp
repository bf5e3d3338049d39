#include "app/StatusReport.h"

#include <QStatusBar>

#include "common/StatusMessages.h"

namespace keyrack {

StatusReport::StatusReport(QStatusBar& bar) : QObject(&bar), bar_(bar) {}

void StatusReport::Show(const QString& text) {
    bar_.showMessage(text, kStatusShownMs);
}

}  // namespace keyrack
