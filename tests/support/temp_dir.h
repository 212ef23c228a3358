#pragma once

// A fresh directory under $TMPDIR for one test, removed with its content.

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace qorvi::test {

class TempDir {
public:
    TempDir() {
        const char* base = std::getenv("TMPDIR");
        std::string templ = std::string(base && *base ? base : "/tmp") + "/qorvi-test-XXXXXX";
        if (!::mkdtemp(templ.data()))
            throw std::runtime_error("cannot create a temp directory");
        path_ = templ;
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

} // namespace qorvi::test
