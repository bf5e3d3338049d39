#pragma once

#include <QObject>

#include "common/Notices.h"
#include "common/Session.h"
#include "platform/RandomSource.h"
#include "store/FileIo.h"
#include "store/RecordStore.h"

class QAction;
class QMenu;

namespace keyrack {

class DataFileSync;

// The File menu's Export and Import: entries out to and in from a CSV file.
class CsvCommands : public QObject {
    Q_OBJECT

  public:
    CsvCommands(Session& session, RecordStore& store, DataFileSync& sync, FileIo& files,
                platform::RandomSource& random, Notices& notices, QMenu& fileMenu);

    void ApplyCaptions();
    void MNU_Export_Click();
    void MNU_Import_Click();

  signals:
    // Records were added: the tree must be loaded again.
    void imported();
    // What a command did, for the status bar.
    void reported(const QString& text);

  private:
    Session& session_;
    RecordStore& store_;
    DataFileSync& sync_;
    FileIo& files_;
    platform::RandomSource& random_;
    Notices& notices_;
    QAction* MNU_Export = nullptr;
    QAction* MNU_Import = nullptr;
};

}  // namespace keyrack
