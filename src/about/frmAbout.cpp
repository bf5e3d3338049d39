#include "about/frmAbout.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>

#include "about/AboutText.h"
#include "about/BuildInfo.h"
#include "about/SysInfoTool.h"
#include "common/ProgramIcon.h"
#include "common/Twips.h"
#include "lang/Messages.h"

namespace keyrack {

namespace {

constexpr int kPictureSize = 64;
constexpr int kTextWidthTwips = 5400;

// A label showing text as a link to address; hidden when the build names no address.
QLabel* LinkLabel(const char* address, const QString& text, QWidget* parent) {
    auto* label = new QLabel(parent);
    const QString url = QString::fromUtf8(address);
    label->setText(
        QStringLiteral("<a href=\"%1\">%2</a>").arg(url.toHtmlEscaped(), text.toHtmlEscaped()));
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    label->setAccessibleName(text);
    label->setVisible(!url.isEmpty());
    return label;
}

}  // namespace

frmAbout::frmAbout(platform::Prompter& prompter, platform::SystemInfo& system, QWidget* parent)
    : QDialog(parent), prompter_(prompter), system_(system) {
    setModal(true);
    setObjectName(QStringLiteral("frmAbout"));
    const auto named = [](auto* control, const char* name) {
        control->setObjectName(QString::fromLatin1(name));
        return control;
    };
    Image1 = named(new QLabel(this), "Image1");
    lblTitle = named(new QLabel(this), "lblTitle");
    QFont titleFont = lblTitle->font();
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    lblVersion = named(new QLabel(this), "lblVersion");
    lblDisclaimer = named(new QLabel(this), "lblDisclaimer");
    lblDisclaimer->setWordWrap(true);
    Label1 = named(LinkLabel(build::kHomeUrl, QString::fromUtf8(build::kHomeUrl), this), "Label1");
    Label3 = named(
        LinkLabel(build::kProductsUrl, QStringLiteral("Other products from Orlend Services"), this),
        "Label3");
    cmdOK = named(new QPushButton(this), "cmdOK");
    cmdOK->setDefault(true);
    cmdSysInfo = named(new QPushButton(this), "cmdSysInfo");

    auto* layout = new QGridLayout(this);
    layout->addWidget(Image1, 0, 0, 5, 1, Qt::AlignTop);
    layout->addWidget(lblTitle, 0, 1);
    layout->addWidget(lblVersion, 1, 1);
    layout->addWidget(lblDisclaimer, 2, 1);
    layout->addWidget(Label1, 3, 1);
    layout->addWidget(Label3, 4, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    layout->addLayout(buttons, 5, 0, 1, 2);
    lblDisclaimer->setMinimumWidth(TwipsToPixelsX(kTextWidthTwips, *this));

    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
    connect(Label1, &QLabel::linkActivated, this, &frmAbout::Label1_Click);
    connect(Label3, &QLabel::linkActivated, this, &frmAbout::Label3_Click);
    Form_Load();
}

void frmAbout::Form_Load() {
    const std::string name = ProgramNameFromFile(
        QFileInfo(QCoreApplication::applicationFilePath()).fileName().toStdString());
    const QString programName = QString::fromStdString(name);
    setWindowTitle(Message(13) + " " + programName);
    lblTitle->setText(QString::fromStdString(TitleText(name, LangFunctions::GetMessage(14))));
    lblVersion->setText(
        QString::fromStdString(VersionText(LangFunctions::GetMessage(45), build::kVersionMajor,
                                           build::kVersionMinor, build::kVersionPatch)));
    lblDisclaimer->setText(Message(15));
    cmdOK->setText(Message(3));
    cmdSysInfo->setText(Message(23));
    cmdOK->setAccessibleName(cmdOK->text());
    cmdSysInfo->setAccessibleName(cmdSysInfo->text());
    cmdSysInfo->setHidden(!FindSysInfoTool(system_));
    Image1->setPixmap(ProgramIcon().pixmap(kPictureSize));
    Image1->setAccessibleName(programName);
    adjustSize();
    CenterForm(*this);
}

bool frmAbout::GetKeyValue(std::uint32_t KeyRoot, const std::string& KeyName,
                           const std::string& SubKeyRef, std::string& KeyVal) {
    return system_.GetKeyValue(KeyRoot, KeyName, SubKeyRef, KeyVal);
}

void frmAbout::StartSysInfo() {
    const auto tool = FindSysInfoTool(system_);
    if (tool && system_.StartProgram(tool->path, tool->arguments)) {
        return;
    }
    prompter_.Tell(this, Message(19), platform::Prompter::Kind::Warning, windowTitle());
}

void frmAbout::cmdOK_Click() {
    accept();
}

void frmAbout::cmdSysInfo_Click() {
    StartSysInfo();
}

// A page that does not open is not worth a message.
void frmAbout::Label1_Click() {
    QDesktopServices::openUrl(QUrl(QString::fromUtf8(build::kHomeUrl)));
}

void frmAbout::Label3_Click() {
    QDesktopServices::openUrl(QUrl(QString::fromUtf8(build::kProductsUrl)));
}

}  // namespace keyrack
