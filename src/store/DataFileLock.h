#pragma once

#include <memory>
#include <string>

class QLockFile;

namespace keyrack {

// Keeps a second instance of the program away from the data file for as long as this one runs.
class DataFileLock {
  public:
    DataFileLock();
    ~DataFileLock();

    // Takes the lock beside path once per run; false when another instance holds it.
    bool Take(const std::string& path);

  private:
    std::unique_ptr<QLockFile> lock_;
};

}  // namespace keyrack
