#pragma once
// A temporary folder that is the current directory while the object lives.
// The previous current directory is restored and the folder removed, with
// everything in it, when the object is destroyed.
//
//   TEST(X, Y) {
//       cTempDir dir;              // cwd is now a fresh empty folder
//       ... relative paths land in dir.Path() ...
//   }
#include <string>
#include <vector>
#include <cstdint>

class cTempDir {
public:
    cTempDir();
    ~cTempDir();
    cTempDir(const cTempDir&) = delete;
    cTempDir& operator=(const cTempDir&) = delete;

    // Absolute host path of the folder.
    const std::string& Path() const { return m_strPath; }
    // Host path of a name inside the folder.
    std::string File(const std::string& name) const { return m_strPath + "/" + name; }

    // Creates a file (and its parent folders) relative to the folder, with
    // the given content; true on success.
    bool WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) const;
    bool WriteFile(const std::string& name, const std::string& text) const;
    // Creates a folder (and its parents) relative to the folder.
    bool MakeDir(const std::string& name) const;
    bool Exists(const std::string& name) const;

private:
    std::string m_strPath;
    std::string m_strPrevious;
};
