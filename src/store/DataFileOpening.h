#pragma once

#include "store/DataFileLock.h"
#include "store/RecordStore.h"

namespace keyrack {

class FileIo;
class Notices;
struct Session;
namespace platform {
class RandomSource;
}  // namespace platform

// Taking the data file for this program and loading it at start-up, the key a plain file's
// values are scrambled with, and the start-up writes that did not reach the file.
class DataFileOpening {
  public:
    DataFileOpening(Session& session, RecordStore& store, FileIo& files,
                    platform::RandomSource& random, Notices& notices);

    // Locks the data file and loads what the login needs; false, after telling the user, when
    // the program must end.
    bool LockAndLoad();
    // After the login: the rest of a plain file. False, after telling the user, when it cannot
    // be read and the program must end; nothing was written to the file.
    bool LoadRest();
    // Loads the data file, asking first whether one of the old format may be converted.
    LoadResult Load();
    // Reads the plain file's key, or makes and stores one; a protected file needs none.
    void GetKey();
    void NoteWriteFailure() { writeFailed_ = true; }
    // Tells the user, once, about start-up changes that did not reach the data file.
    void ReportWriteFailure();

  private:
    RecordStore::ConvertQuestion AskToConvert();

    Session& session_;
    RecordStore& store_;
    FileIo& files_;
    platform::RandomSource& random_;
    Notices& notices_;
    DataFileLock lock_;
    bool writeFailed_ = false;
};

}  // namespace keyrack
