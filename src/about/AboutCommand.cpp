#include "about/AboutCommand.h"

#include <QAction>
#include <QMenuBar>

#include "about/frmAbout.h"
#include "common/StatusMessages.h"
#include "lang/Messages.h"

namespace keyrack {

AboutCommand::AboutCommand(platform::Prompter& prompter, platform::SystemInfo& systemInfo,
                           std::function<void(frmAbout&)> runAbout, QMenuBar& menuBar)
    : QObject(&menuBar),
      prompter_(prompter),
      systemInfo_(systemInfo),
      runAbout_(std::move(runAbout)) {
    MNU_About = menuBar.addAction(QStringLiteral("About"));
    MNU_About->setObjectName(QStringLiteral("MNU_About"));
    connect(MNU_About, &QAction::triggered, this, &AboutCommand::MNU_About_Click);
}

void AboutCommand::ApplyCaptions() {
    MNU_About->setText(Message(kMessageMenuAbout));
}

void AboutCommand::MNU_About_Click() {
    frmAbout about(prompter_, systemInfo_, qobject_cast<QWidget*>(parent())->window());
    runAbout_(about);
}

}  // namespace keyrack
