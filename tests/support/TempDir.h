#pragma once

#include <string>

namespace keyrack::testing {

// A fresh folder under the system's temporary folder, removed with everything in it when the
// object goes away.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    // Path() followed by a separator and name.
    std::string File(const std::string& name) const;

  private:
    std::string path_;
};

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);
// The permission bits of path, 0 when it does not exist.
unsigned FileMode(const std::string& path);

}  // namespace keyrack::testing
