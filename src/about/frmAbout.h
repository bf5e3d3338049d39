#pragma once

#include <QDialog>
#include <cstdint>
#include <string>

#include "platform/Prompter.h"
#include "platform/SystemInfo.h"

class QLabel;
class QPushButton;

namespace keyrack {

// The About box: the program's name and version, a disclaimer, its icon, links to its web
// pages when the build names them, and a button that starts the system information tool.
class frmAbout : public QDialog {
    Q_OBJECT

  public:
    frmAbout(platform::Prompter& prompter, platform::SystemInfo& system, QWidget* parent = nullptr);

    QLabel* Image1 = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDisclaimer = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;

    // Starts the system information tool, or tells the user it is not available.
    void StartSysInfo();
    bool GetKeyValue(std::uint32_t KeyRoot, const std::string& KeyName,
                     const std::string& SubKeyRef, std::string& KeyVal);

    void cmdOK_Click();
    void cmdSysInfo_Click();
    void Label1_Click();
    void Label3_Click();

  private:
    void Form_Load();

    platform::Prompter& prompter_;
    platform::SystemInfo& system_;
};

}  // namespace keyrack
