#include <QDesktopServices>
#include <QProcess>
#include <QString>
#include <QUrl>

#include "platform/Desktop.h"
#include "platform/DesktopOpening.h"

#ifdef _WIN32
#include <shellapi.h>
#include <windows.h>
#endif

namespace keyrack::platform {

#ifdef _WIN32

bool SystemDesktop::Open(const std::string& target, const std::string& workingFolder) {
    const std::wstring file = QString::fromStdString(target).toStdWString();
    const std::wstring folder = QString::fromStdString(workingFolder).toStdWString();
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", file.c_str(), nullptr, folder.c_str(), SW_SHOWNORMAL));
    return result > 32;
}

#else

bool SystemDesktop::Open(const std::string& target, const std::string& workingFolder) {
    const Opening opening = ChooseOpening(target, workingFolder);
    const QString chosen = QString::fromStdString(opening.target);
    switch (opening.kind) {
        case Opening::Kind::StartProgram:
            return QProcess::startDetached(chosen, {}, QString::fromStdString(workingFolder));
        case Opening::Kind::OpenFile:
            return QDesktopServices::openUrl(QUrl::fromLocalFile(chosen));
        case Opening::Kind::OpenAddress:
            break;
    }
    const QUrl address = QUrl::fromUserInput(chosen);
    return address.isValid() && QDesktopServices::openUrl(address);
}

#endif

}  // namespace keyrack::platform
