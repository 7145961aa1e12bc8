#pragma once
#include <string>
#include <vector>

namespace qm::test {

/// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    /// The folder, with a trailing slash.
    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + name; }

  private:
    std::string m_path;
};

std::string readAll(const std::string& path);
/// The names in a folder, sorted.
std::vector<std::string> filesIn(const std::string& folder);
void writeAll(const std::string& path, const std::string& bytes);
/// Makes a file or folder read-only (its mode; on Windows, its attribute), or gives the
/// owner's writes back.
void setReadOnly(const std::string& path, bool readOnly);

/// Makes the current directory `dir` for the lifetime of the object.
class CurrentDirectory {
  public:
    explicit CurrentDirectory(const std::string& dir);
    ~CurrentDirectory();

  private:
    std::string m_previous;
};

} // namespace qm::test
