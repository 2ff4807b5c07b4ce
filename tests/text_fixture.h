// Test helpers for the puzzle text: a buffer holding given bytes, and a scratch directory of files.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

#include "platform/boundary.h"
#include "puzzle_text/file_buffer.h"

inline void Fill(FileBuffer& buffer, std::string_view bytes) {
    ASSERT_TRUE(buffer.Allocate(static_cast<std::uint32_t>(bytes.size())));
    if (!bytes.empty()) std::memcpy(buffer.data, bytes.data(), bytes.size());
}

// A fresh directory under the system's temporary directory, removed with everything in it.
class TempDir {
  public:
    TempDir() {
        std::random_device random;
        path_ = std::filesystem::temp_directory_path() /
                ("numplace-test-" + std::to_string(random()) + std::to_string(random()));
        std::filesystem::create_directory(path_);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string Path(const std::string& name) const { return (path_ / name).string(); }

    // A path exactly length characters long to the file name in here, padded with "/." steps.
    std::string PaddedPath(const std::string& name, std::size_t length) const {
        std::string path = path_.string();
        while (path.size() + name.size() + 3 <= length) path += "/.";
        if (path.size() + name.size() + 2 == length) path += "/";
        return path + "/" + name;
    }

    std::string Write(const std::string& name, std::string_view bytes) const {
        std::ofstream(Path(name), std::ios::binary).write(bytes.data(), bytes.size());
        return Path(name);
    }

  private:
    std::filesystem::path path_;
};
