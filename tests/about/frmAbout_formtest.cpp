#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>

#include "about/AboutCommand.h"
#include "about/AboutText.h"
#include "about/BuildInfo.h"
#include "about/frmAbout.h"
#include "support/FormFixture.h"

namespace keyrack::testing {
namespace {

class AboutTest : public FormFixture {
  protected:
    // Opens the About box from its menu item and hands it to check while it is shown.
    void OpenAbout(const std::function<void(frmAbout&)>& check) {
        QMenuBar bar;
        bool opened = false;
        const auto run = [&](frmAbout& about) {
            opened = true;
            about.show();
            check(about);
        };
        AboutCommand(prompter, systemInfo, run, bar).MNU_About_Click();
        EXPECT_TRUE(opened);
    }
};

TEST_F(AboutTest, ShowsNameVersionAndTheLinksTheBuildNames) {
    const QString name = QString::fromStdString(ProgramNameFromFile(
        QFileInfo(QCoreApplication::applicationFilePath()).fileName().toStdString()));
    OpenAbout([&](frmAbout& about) {
        EXPECT_EQ(about.windowTitle(), "About " + name);
        EXPECT_EQ(about.lblVersion->text(), QStringLiteral("Version ") + build::kVersion);
        // Each link leads to the address the build was configured with, and is there only
        // when one was.
        const std::pair<QLabel*, QString> links[] = {{about.Label1, KEYRACK_TEST_HOME_URL},
                                                     {about.Label3, KEYRACK_TEST_PRODUCTS_URL}};
        for (const auto& [label, address] : links) {
            EXPECT_EQ(label->isVisible(), !address.isEmpty()) << label->objectName().toStdString();
            EXPECT_TRUE(address.isEmpty() || label->text().contains("href=\"" + address + "\""));
        }
    });
}

TEST_F(AboutTest, SystemInformationIsOfferedOnlyWithATool) {
    struct Case {
        bool toolFound, startWorks;
    };
    for (const Case c : {Case{true, true}, Case{false, true}, Case{true, false}}) {
        systemInfo = FakeSystemInfo();
        systemInfo.desktop = "KDE";
        if (c.toolFound) {
            systemInfo.programs["kinfocenter"] = "/usr/bin/kinfocenter";
        }
        systemInfo.startWorks = c.startWorks;
        prompter.messages.clear();
        OpenAbout([&](frmAbout& about) {
            EXPECT_EQ(about.cmdSysInfo->isHidden(), !c.toolFound);
            if (c.toolFound) {
                QTest::mouseClick(about.cmdSysInfo, Qt::LeftButton);
            }
            EXPECT_EQ(systemInfo.started.size(), c.toolFound ? 1u : 0u);
            EXPECT_EQ(MessageShown(19), c.toolFound && !c.startWorks);
            EXPECT_TRUE(about.isVisible());
        });
    }
}

}  // namespace
}  // namespace keyrack::testing
