#include "platform/Prompter.h"

#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace keyrack::platform {

namespace {
QString TitleOrProgramName(const QString& title) {
    return title.isEmpty() ? QStringLiteral("Keyrack") : title;
}
}  // namespace

Prompter::Answer QtPrompter::MessageBox(QWidget* parent, const QString& text, Buttons buttons,
                                        const QString& title) {
    if (buttons == Buttons::Ok) {
        QMessageBox::information(parent, TitleOrProgramName(title), text);
        return Answer::Ok;
    }
    if (buttons == Buttons::SaveDiscardCancel) {
        switch (QMessageBox::question(
            parent, TitleOrProgramName(title), text,
            QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save)) {
            case QMessageBox::Save:
                return Answer::Yes;
            case QMessageBox::Discard:
                return Answer::No;
            default:
                return Answer::Cancel;
        }
    }
    const auto chosen = QMessageBox::question(
        parent, TitleOrProgramName(title), text, QMessageBox::Yes | QMessageBox::No,
        buttons == Buttons::YesNoDefaultNo ? QMessageBox::No : QMessageBox::NoButton);
    return chosen == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

QString QtPrompter::InputBox(QWidget* parent, const QString& prompt, const QString& title) {
    bool accepted = false;
    const QString answer = QInputDialog::getText(parent, TitleOrProgramName(title), prompt,
                                                 QLineEdit::Normal, QString(), &accepted);
    return accepted ? answer : QString();
}

std::optional<QString> QtPrompter::AskText(QWidget* parent, const QString& prompt,
                                           const QString& title, bool masked) {
    bool accepted = false;
    const QString answer = QInputDialog::getText(parent, TitleOrProgramName(title), prompt,
                                                 masked ? QLineEdit::Password : QLineEdit::Normal,
                                                 QString(), &accepted);
    if (!accepted) {
        return std::nullopt;
    }
    return answer;
}

QString QtPrompter::FileName(QWidget* parent, const QString& title, bool forWriting) {
    const QString filter = QStringLiteral("CSV (*.csv);;* (*)");
    const auto options = QFileDialog::DontUseNativeDialog;
    if (forWriting) {
        return QFileDialog::getSaveFileName(parent, TitleOrProgramName(title),
                                            QDir::homePath() + QStringLiteral("/keyrack.csv"),
                                            filter, nullptr, options);
    }
    return QFileDialog::getOpenFileName(parent, TitleOrProgramName(title), QDir::homePath(), filter,
                                        nullptr, options);
}

}  // namespace keyrack::platform
