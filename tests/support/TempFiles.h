#pragma once

#include <string>

// A fresh directory under the system's temporary directory, removed with its contents when
// the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return dir; }
    // Writes bytes to name inside the directory and returns the full path.
    std::string write(const std::string& name, const std::string& bytes) const;

private:
    std::string dir;
};

// Whole content of a file; empty when it cannot be read.
std::string readFile(const std::string& path);
