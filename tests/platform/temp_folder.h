// A fresh folder below the system's temporary folder for one test, removed afterwards,
// with helpers to lay files into it.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include <unistd.h>

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "setuvia-test-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder with a trailing "/".
  std::string Path() const { return path_.string() + "/"; }

  // Writes `bytes` to the relative path, creating its folders.
  std::string Write(const std::string& relative, std::string_view bytes) const {
    const auto file = path_ / relative;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file.string();
  }

  std::string MakeFolder(const std::string& relative) const {
    std::filesystem::create_directories(path_ / relative);
    return (path_ / relative).string() + "/";
  }

 private:
  std::filesystem::path path_;
};
