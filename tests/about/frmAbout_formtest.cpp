#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

#include "about/AboutText.h"
#include "about/BuildInfo.h"
#include "about/frmAbout.h"
#include "support/FormFixture.h"

namespace keyrack::testing {
namespace {

using AboutTest = FormFixture;

TEST_F(AboutTest, ShowsNameVersionAndTheLinksTheBuildNames) {
    const QString name = QString::fromStdString(ProgramNameFromFile(
        QFileInfo(QCoreApplication::applicationFilePath()).fileName().toStdString()));
    frmAbout about(prompter, systemInfo);
    about.show();
    EXPECT_EQ(about.windowTitle(), "About " + name);
    EXPECT_EQ(about.lblVersion->text(), QStringLiteral("Version ") + build::kVersion);
    // Each link leads to the address the build was configured with, and is there only when one
    // was.
    const std::pair<QLabel*, QString> links[] = {{about.Label1, KEYRACK_TEST_HOME_URL},
                                                 {about.Label3, KEYRACK_TEST_PRODUCTS_URL}};
    for (const auto& [label, address] : links) {
        EXPECT_EQ(label->isVisible(), !address.isEmpty()) << label->objectName().toStdString();
        EXPECT_TRUE(address.isEmpty() || label->text().contains("href=\"" + address + "\""));
    }
}

TEST_F(AboutTest, SystemInformationIsOfferedOnlyWithATool) {
    // Whether the desktop's tool is found, and whether it starts.
    for (const auto& [toolFound, startWorks] :
         {std::pair(true, true), std::pair(false, true), std::pair(true, false)}) {
        systemInfo = FakeSystemInfo();
        systemInfo.desktop = "KDE";
        if (toolFound) {
            systemInfo.programs["kinfocenter"] = "/usr/bin/kinfocenter";
        }
        systemInfo.startWorks = startWorks;
        prompter.messages.clear();
        frmAbout about(prompter, systemInfo);
        about.show();
        EXPECT_EQ(about.cmdSysInfo->isHidden(), !toolFound);
        if (toolFound) {
            QTest::mouseClick(about.cmdSysInfo, Qt::LeftButton);
        }
        EXPECT_EQ(systemInfo.started.size(), toolFound ? 1u : 0u);
        EXPECT_EQ(MessageShown(19), toolFound && !startWorks);
        EXPECT_TRUE(about.isVisible());
    }
}

}  // namespace
}  // namespace keyrack::testing
