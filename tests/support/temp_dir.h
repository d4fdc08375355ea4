#pragma once
// A fresh temporary directory that a test works in; removed afterwards.
#include <string>

namespace aequa::test {

class TempDir {
 public:
  // Creates the directory and, when `enter` is set, makes it the current directory.
  explicit TempDir(bool enter = true);
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
  std::string previous_;
};

// Whole file as bytes ("" when missing), and writing one.
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);

}  // namespace aequa::test
