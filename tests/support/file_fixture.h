// Temporary folders and small files for the file routine tests.
#pragma once

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace testsupport {

namespace fs = std::filesystem;

inline void WriteFile(const fs::path& path, const std::string& content)
{
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out << content;
    ASSERT_TRUE(out.good()) << path;
}

inline std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The paths as plain texts, for comparing with lists of names.
inline std::vector<std::string> Texts(const std::vector<fs::path>& paths)
{
    std::vector<std::string> texts;
    for (const fs::path& p : paths)
        texts.push_back(p.string());
    return texts;
}

// Every entry of a folder, hidden ones included, sorted.
inline std::vector<std::string> Entries(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class TempFolder : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    fs::path Root() const { return fs::path(dir_.path().toStdString()); }
    // The path as a plain text (ASCII temporary folders are the same in code page 1250).
    std::string Text(const fs::path& path) const { return path.string(); }

private:
    QTemporaryDir dir_;
};

}  // namespace testsupport

#include <sys/resource.h>

#include <csignal>

namespace testsupport {

// Limits the size of files this process may write, so a write fails part-way the way a full
// disk makes it fail (root is bound by the limit too). Restores the limit when it ends.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = saved_;
        limited.rlim_cur = bytes;
        active_ = ::setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool active() const { return active_; }

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = SIG_DFL;
    bool active_ = false;
};

}  // namespace testsupport
