#include "platform/hive.h"

#include "platform/code_page.h"
#include "platform/file_system.h"
#include "platform/hex_digit.h"
#include "platform/qorvi_error.h"
#include "platform/safe_file_writer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <utility>

namespace qorvi {

namespace {

constexpr const char* kRoot = "HKEY_CURRENT_USER";

const char* const kHex = "0123456789abcdef";

std::string quote(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    return out + '"';
}

std::string hexList(const std::string& bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        unsigned char b = static_cast<unsigned char>(bytes[i]);
        if (i)
            out += ',';
        out += kHex[b >> 4];
        out += kHex[b & 15];
    }
    return out;
}

// Strings holding control characters cannot stand between quotes on one
// line; they are written as hex(1) bytes with a terminating zero.
bool needsHexForm(const std::string& s) {
    for (unsigned char c : s)
        if (c < 0x20 || c == 0x7F)
            return true;
    return false;
}

// Reads a quoted string starting at text[pos] == '"'; advances pos past the
// closing quote. nullopt when it is not closed.
std::optional<std::string> readQuoted(const std::string& text, std::size_t& pos) {
    std::string out;
    ++pos;
    while (pos < text.size()) {
        char c = text[pos++];
        if (c == '"')
            return out;
        if (c == '\\' && pos < text.size() && (text[pos] == '\\' || text[pos] == '"'))
            c = text[pos++];
        out += c;
    }
    return std::nullopt;
}

std::optional<std::string> readHexBytes(const std::string& text) {
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == ','))
            ++i;
        if (i >= text.size())
            break;
        if (i + 1 >= text.size())
            return std::nullopt;
        int hi = hexDigitValue(text[i]), lo = hexDigitValue(text[i + 1]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
        if (i < text.size() && text[i] != ',' && text[i] != ' ' && text[i] != '\t')
            return std::nullopt;
    }
    return out;
}

std::string trimmed(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r'))
        ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r'))
        --e;
    return s.substr(b, e - b);
}

} // namespace

Hive::Hive(std::string path) : path_(std::move(path)) {}

std::string Hive::defaultPath() { return fs::joinPath(fs::configDirectory(), "hkcu.reg"); }

Hive& Hive::user() {
    static Hive hive(defaultPath());
    return hive;
}

std::string Hive::fold(const std::string& s) { return lowerCase(s); }

std::string Hive::normalizeKey(const std::string& key) {
    // Empty components (doubled or trailing "\") are dropped.
    std::string out, part;
    auto flush = [&] {
        if (!part.empty()) {
            if (!out.empty())
                out += '\\';
            out += part;
            part.clear();
        }
    };
    for (char c : key) {
        if (c == '\\')
            flush();
        else
            part += c;
    }
    flush();
    return out;
}

Hive::FileStamp Hive::stampOf() const {
    struct stat st;
    FileStamp s;
    if (::stat(path_.c_str(), &st) == 0) {
        s.present = true;
        s.dev = st.st_dev;
        s.ino = st.st_ino;
        s.size = st.st_size;
        s.mtimeNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    }
    return s;
}

void Hive::refresh() {
    if (stampOf() != loaded_)
        loadFromDisk();
}

void Hive::loadFromDisk() {
    FileStamp stamp = stampOf();
    keys_.clear();
    refusal_.clear();
    loaded_ = stamp;
    if (!stamp.present)
        return;
    fs::BoundedRead read = fs::readRegularFile(path_, kMaxFileSize);
    using Problem = fs::BoundedRead::Problem;
    switch (read.problem) {
    case Problem::None:
        break;
    case Problem::Missing:
        loaded_ = FileStamp{};
        return;
    case Problem::CannotOpen:
    case Problem::ReadError:
        // Writing now would replace the user's values with the defaults.
        refuse("The settings file " + path_ + " cannot be read (" + std::strerror(read.error) +
               "). Qorvi runs with its default settings and leaves the file as it is.");
        return;
    case Problem::NotRegularFile:
        refuse("The settings file " + path_ +
               " is not a regular file. Qorvi runs with its default settings and saves nothing to it.");
        return;
    case Problem::TooLarge:
        refuse("The settings file " + path_ + " is larger than " + std::to_string(kMaxFileSize >> 20) +
               " MB, far more than any settings take. Qorvi runs with its default settings and leaves the "
               "file as it is.");
        return;
    }
    const std::string* text = &read.text;

    // Split into logical lines, joining hex continuation lines.
    std::vector<std::pair<std::string, int>> lines;
    {
        std::size_t start = 0;
        int lineNo = 0;
        std::string pending;
        int pendingNo = 0;
        while (start <= text->size()) {
            std::size_t nl = text->find('\n', start);
            if (nl == std::string::npos)
                nl = text->size();
            std::string line = text->substr(start, nl - start);
            ++lineNo;
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            start = nl + 1;
            if (!pending.empty()) {
                pending += trimmed(line);
            } else {
                pending = line;
                pendingNo = lineNo;
            }
            bool continues = !pending.empty() && pending.back() == '\\' && pending.find("=hex") != std::string::npos;
            if (continues) {
                pending.pop_back();
                continue;
            }
            lines.emplace_back(std::move(pending), pendingNo);
            pending.clear();
            if (nl >= text->size())
                break;
        }
        if (!pending.empty())
            lines.emplace_back(std::move(pending), pendingNo);
    }

    std::string problem;
    int problemLine = 0;
    Keys parsed;
    Key* current = nullptr;
    // Where each value of a key stands, by folded name: a later line with
    // the same name replaces it without a search through the key's values.
    std::unordered_map<const Key*, std::unordered_map<std::string, std::size_t>> valueIndex;
    bool sawHeader = false;
    for (auto& [raw, no] : lines) {
        std::string line = trimmed(raw);
        if (line.empty() || line[0] == ';')
            continue;
        if (!sawHeader) {
            if (line != "REGEDIT4") {
                problem = "missing REGEDIT4 header";
                problemLine = no;
                break;
            }
            sawHeader = true;
            continue;
        }
        if (line[0] == '[') {
            if (line.back() != ']') {
                problem = "unterminated key line";
                problemLine = no;
                break;
            }
            std::string full = line.substr(1, line.size() - 2);
            std::string root = full.substr(0, full.find('\\'));
            if (fold(root) != fold(kRoot)) {
                problem = "key outside " + std::string(kRoot);
                problemLine = no;
                break;
            }
            std::string key = normalizeKey(full.size() > root.size() ? full.substr(root.size() + 1) : "");
            Key& k = parsed[fold(key)];
            if (k.path.empty())
                k.path = key;
            current = &k;
            continue;
        }
        if (!current) {
            problem = "value before the first key";
            problemLine = no;
            break;
        }
        std::size_t pos = 0;
        std::string name;
        if (line[0] == '@') {
            pos = 1;
        } else if (line[0] == '"') {
            auto n = readQuoted(line, pos);
            if (!n) {
                problem = "unterminated value name";
                problemLine = no;
                break;
            }
            name = *n;
        } else {
            problem = "unrecognised line";
            problemLine = no;
            break;
        }
        if (pos >= line.size() || line[pos] != '=') {
            problem = "missing '='";
            problemLine = no;
            break;
        }
        std::string data = line.substr(pos + 1);
        std::optional<HiveValue> value;
        if (!data.empty() && data[0] == '"') {
            std::size_t p = 0;
            auto s = readQuoted(data, p);
            if (s && trimmed(data.substr(p)).empty())
                value = HiveValue::string(*s);
        } else if (data.rfind("hex(1):", 0) == 0) {
            auto bytes = readHexBytes(data.substr(7));
            if (bytes) {
                if (!bytes->empty() && bytes->back() == '\0')
                    bytes->pop_back();
                value = HiveValue::string(*bytes);
            }
        } else if (data.rfind("hex:", 0) == 0) {
            auto bytes = readHexBytes(data.substr(4));
            if (bytes)
                value = HiveValue::binary(*bytes);
        } else if (data.rfind("dword:", 0) == 0 && data.size() > 6 && data.size() <= 14) {
            std::uint32_t v = 0;
            bool ok = true;
            for (std::size_t i = 6; i < data.size(); ++i) {
                int d = hexDigitValue(data[i]);
                if (d < 0)
                    ok = false;
                v = v * 16 + static_cast<std::uint32_t>(d < 0 ? 0 : d);
            }
            if (ok)
                value = HiveValue::number(v);
        }
        if (!value) {
            problem = "unreadable value data";
            problemLine = no;
            break;
        }
        auto [at, added] = valueIndex[current].try_emplace(fold(name), current->values.size());
        if (added)
            current->values.push_back({name, *value});
        else
            current->values[at->second].value = *value;
    }
    if (problem.empty() && !sawHeader && !lines.empty()) {
        bool blank = true;
        for (auto& l : lines)
            if (!trimmed(l.first).empty())
                blank = false;
        if (!blank)
            problem = "missing REGEDIT4 header";
    }

    if (problem.empty()) {
        keys_ = std::move(parsed);
        return;
    }
    // Keep the damaged file aside so nothing the user had is lost; a linked
    // settings file is kept aside at its target, so the link stays.
    int error = 0;
    std::string damaged = fs::resolveSymlinks(path_, error).value_or(path_);
    std::string backup = damaged + ".damaged";
    for (int n = 1; fs::exists(backup); ++n)
        backup = damaged + ".damaged-" + std::to_string(n);
    const std::string where = "The settings file " + path_ + " is damaged (line " +
                              std::to_string(problemLine) + ": " + problem + ").";
    if (!fs::renameFile(damaged, backup)) {
        refuse(where + " It could not be kept aside as " + backup + " (" + std::strerror(errno) +
               "), so Qorvi runs with its default settings and leaves the file as it is.");
        return;
    }
    loaded_ = stampOf();
    warnOnce(where + " It was kept as " + backup + " and the default settings are used.");
}

void Hive::refuse(const std::string& reason) {
    refusal_ = reason;
    warnOnce(reason);
}

void Hive::warnOnce(const std::string& text) {
    for (const auto& told : told_)
        if (told == text)
            return;
    told_.push_back(text);
    warning_ += (warning_.empty() ? "" : "\n\n") + text;
}

std::string Hive::serialize() {
    std::string out = "REGEDIT4\n";
    for (const auto& [folded, key] : keys_) {
        out += "\n[";
        out += kRoot;
        if (!key.path.empty())
            out += "\\" + key.path;
        out += "]\n";
        for (const auto& v : key.values) {
            out += v.name.empty() ? std::string("@") : quote(v.name);
            out += '=';
            switch (v.value.type) {
            case HiveValue::Type::String:
                if (needsHexForm(v.value.data))
                    out += "hex(1):" + hexList(v.value.data + std::string(1, '\0'));
                else
                    out += quote(v.value.data);
                break;
            case HiveValue::Type::Binary:
                out += "hex:" + hexList(v.value.data);
                break;
            case HiveValue::Type::DWord: {
                char buf[16];
                std::snprintf(buf, sizeof buf, "dword:%08x", v.value.dword);
                out += buf;
                break;
            }
            }
            out += '\n';
        }
    }
    return out;
}

void Hive::writeToDisk() {
    const std::string text = serialize();
    try {
        // A new hive is private: it holds the site profiles' passwords.
        SafeFileWriter file(path_, 0600);
        if (file.write(text.data(), text.size()) != text.size())
            file.commit(); // raises: the write failed
        file.commit();
    } catch (const SafeFileError& e) {
        throw QorviError("Could not write the settings file " + path_ + ": " +
                         std::strerror(e.systemError() ? e.systemError() : EIO));
    }
    loaded_ = stampOf();
}

int Hive::openLock() {
    const std::string lockPath = path_ + ".lock";
    // Never through a planted link, and never a file someone else made.
    int lock = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (lock < 0 && errno == ELOOP) {
        const std::string text =
            "The lock file " + lockPath +
            " of the settings file is a symbolic link. Qorvi saves no settings while it is there.";
        warnOnce(text);
        throw QorviError(text);
    }
    if (lock < 0)
        throw QorviError("Could not lock the settings file " + path_ + ": " + std::strerror(errno));
    struct stat st;
    if (::fstat(lock, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
        ::close(lock);
        const std::string text =
            "The lock file " + lockPath +
            " of the settings file is not a plain file of this user. Qorvi saves no settings "
            "while it is there.";
        warnOnce(text);
        throw QorviError(text);
    }
    return lock;
}

template <typename Change> auto Hive::modify(Change&& change) {
    std::string dir = fs::directoryPart(path_);
    if (!dir.empty() && !fs::isDirectory(dir))
        ::mkdir(dir.c_str(), 0700);
    int lock = openLock();
    while (::flock(lock, LOCK_EX) != 0 && errno == EINTR) {
    }
    struct Unlock {
        int fd;
        ~Unlock() {
            ::flock(fd, LOCK_UN);
            ::close(fd);
        }
    } unlock{lock};
    // Another process may have written since we last looked; a file that
    // could not be read is looked at again, it may have been mended.
    if (stampOf() != loaded_ || !loaded_.present || !refusal_.empty())
        loadFromDisk();
    if (!refusal_.empty())
        throw QorviError(refusal_);
    if (fs::isReadOnlyFile(path_)) {
        const std::string text = "The settings file " + path_ +
                                 " is read-only. Qorvi reads it but saves no changed settings to it.";
        warnOnce(text);
        throw QorviError(text);
    }
    auto result = change();
    writeToDisk();
    return result;
}

Hive::Key& Hive::ensureKey(const std::string& key) {
    std::string path = normalizeKey(key);
    // Parents exist whenever a child does, as in the registry.
    std::string prefix;
    std::size_t start = 0;
    Key* last = nullptr;
    while (true) {
        std::size_t sep = path.find('\\', start);
        prefix = path.substr(0, sep);
        Key& k = keys_[fold(prefix)];
        if (k.path.empty())
            k.path = prefix;
        last = &k;
        if (sep == std::string::npos)
            break;
        start = sep + 1;
    }
    return *last;
}

bool Hive::keyExists(const std::string& key) {
    refresh();
    return keys_.count(fold(normalizeKey(key))) > 0;
}

void Hive::createKey(const std::string& key) {
    modify([&] {
        ensureKey(key);
        return true;
    });
}

bool Hive::deleteKey(const std::string& key) {
    std::string folded = fold(normalizeKey(key));
    refresh();
    if (!keys_.count(folded))
        return false;
    return modify([&] {
        bool found = false;
        for (auto it = keys_.begin(); it != keys_.end();) {
            if (it->first == folded || it->first.rfind(folded + "\\", 0) == 0) {
                it = keys_.erase(it);
                found = true;
            } else {
                ++it;
            }
        }
        return found;
    });
}

std::vector<std::string> Hive::subKeyNames(const std::string& key) {
    refresh();
    std::string folded = fold(normalizeKey(key));
    std::string prefix = folded.empty() ? std::string() : folded + "\\";
    std::vector<std::string> out;
    for (const auto& [k, v] : keys_) {
        if (k.size() <= prefix.size() || k.compare(0, prefix.size(), prefix) != 0)
            continue;
        std::string rest = k.substr(prefix.size());
        if (rest.find('\\') != std::string::npos)
            continue;
        out.push_back(v.path.substr(v.path.size() - rest.size()));
    }
    return out;
}

std::vector<std::string> Hive::valueNames(const std::string& key) {
    refresh();
    std::vector<std::string> out;
    auto it = keys_.find(fold(normalizeKey(key)));
    if (it != keys_.end())
        for (const auto& v : it->second.values)
            out.push_back(v.name);
    return out;
}

std::optional<HiveValue> Hive::value(const std::string& key, const std::string& name) {
    refresh();
    auto it = keys_.find(fold(normalizeKey(key)));
    if (it == keys_.end())
        return std::nullopt;
    std::string f = fold(name);
    for (const auto& v : it->second.values)
        if (fold(v.name) == f)
            return v.value;
    return std::nullopt;
}

void Hive::setValue(const std::string& key, const std::string& name, const HiveValue& value) {
    modify([&] {
        Key& k = ensureKey(key);
        std::string f = fold(name);
        for (auto& v : k.values)
            if (fold(v.name) == f) {
                v.value = value;
                return true;
            }
        k.values.push_back({name, value});
        return true;
    });
}

bool Hive::deleteValue(const std::string& key, const std::string& name) {
    if (!value(key, name))
        return false;
    return modify([&] {
        auto it = keys_.find(fold(normalizeKey(key)));
        if (it == keys_.end())
            return false;
        auto& values = it->second.values;
        std::string f = fold(name);
        for (auto v = values.begin(); v != values.end(); ++v)
            if (fold(v->name) == f) {
                values.erase(v);
                return true;
            }
        return false;
    });
}

std::string Hive::takeWarning() {
    refresh();
    return std::exchange(warning_, {});
}

} // namespace qorvi
