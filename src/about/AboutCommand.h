#pragma once

#include <QObject>
#include <functional>

class QAction;
class QMenuBar;

namespace keyrack {

class frmAbout;
namespace platform {
class Prompter;
class SystemInfo;
}  // namespace platform

// The About item of the main window's menu bar.
class AboutCommand : public QObject {
    Q_OBJECT

  public:
    AboutCommand(platform::Prompter& prompter, platform::SystemInfo& systemInfo,
                 std::function<void(frmAbout&)> runAbout, QMenuBar& menuBar);

    void ApplyCaptions();
    void MNU_About_Click();

  private:
    platform::Prompter& prompter_;
    platform::SystemInfo& systemInfo_;
    std::function<void(frmAbout&)> runAbout_;
    QAction* MNU_About = nullptr;
};

}  // namespace keyrack
