#pragma once

// The user's registry hive, kept as one REGEDIT4-style text file
// ($XDG_CONFIG_HOME/qorvi/hkcu.reg). Key paths are relative to
// HKEY_CURRENT_USER and use "\" ("SOFTWARE\Varnu\Qorvi"); key and value names
// compare case-insensitively and keep the case they were created with.
//
// Several processes may share the file. Every change is a read-modify-write
// under an exclusive lock on a companion lock file: the file is re-read if
// another process changed it, the change applied, and the whole file written
// to a temp file, synced and renamed over the old one. So two processes that
// write different values lose neither, and a crash mid-write leaves the
// previous file. Reads re-read the file whenever it changed on disk. A file
// that cannot be parsed is moved aside as a backup; reads then see an empty
// hive (so callers use their defaults) and one warning is offered.
//
// A file that cannot be read (no permission, not a regular file - a FIFO is
// never waited on -, larger than kMaxFileSize, damaged but impossible to set
// aside) is never written: reads give the defaults, every change is refused
// with the reason, and the reason is offered once as a warning. So is a
// read-only file (its values are read), and a lock file that is a symbolic
// link or not the user's own. A linked settings file is read and written
// through its link, which stays.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace qorvi {

struct HiveValue {
    enum class Type { String, Binary, DWord };
    Type type = Type::String;
    std::string data;        // String and Binary
    std::uint32_t dword = 0; // DWord

    static HiveValue string(std::string s) { return {Type::String, std::move(s), 0}; }
    static HiveValue binary(std::string bytes) { return {Type::Binary, std::move(bytes), 0}; }
    static HiveValue number(std::uint32_t v) { return {Type::DWord, {}, v}; }
    bool operator==(const HiveValue&) const = default;
};

class Hive {
public:
    // The hive in `path`; the file need not exist yet.
    explicit Hive(std::string path);
    // $XDG_CONFIG_HOME/qorvi/hkcu.reg (default ~/.config/qorvi/hkcu.reg).
    static std::string defaultPath();
    // The per-process hive on the default path.
    static Hive& user();

    const std::string& path() const { return path_; }

    bool keyExists(const std::string& key);
    // Creates the key and its missing parents. Throws on a write failure.
    void createKey(const std::string& key);
    // Deletes the key with its subkeys and values; false when it did not exist.
    bool deleteKey(const std::string& key);
    // Names of the direct subkeys, sorted case-insensitively.
    std::vector<std::string> subKeyNames(const std::string& key);
    // Names of the values in the order they were created.
    std::vector<std::string> valueNames(const std::string& key);

    std::optional<HiveValue> value(const std::string& key, const std::string& name);
    // Creates the key when missing. Throws QorviError when the file cannot be written.
    void setValue(const std::string& key, const std::string& name, const HiveValue& value);
    bool deleteValue(const std::string& key, const std::string& name);

    // The messages about a damaged file that was set aside or a file that is
    // not written, each once; empty otherwise.
    std::string takeWarning();

    static constexpr std::size_t kMaxFileSize = std::size_t{64} << 20;

    // The text form of the current content (what the file holds after a write).
    std::string serialize();

private:
    struct Value {
        std::string name;
        HiveValue value;
    };
    struct Key {
        std::string path; // as created
        std::vector<Value> values;
    };
    using Keys = std::map<std::string, Key>; // by lower-cased path

    struct FileStamp {
        bool present = false;
        dev_t dev = 0;
        ino_t ino = 0;
        off_t size = 0;
        std::int64_t mtimeNs = 0;
        bool operator==(const FileStamp&) const = default;
    };

    FileStamp stampOf() const;
    void refresh();
    void loadFromDisk();
    template <typename Change> auto modify(Change&& change);
    int openLock();
    void writeToDisk();
    void refuse(const std::string& reason);
    void warnOnce(const std::string& text);
    Key& ensureKey(const std::string& key);
    static std::string normalizeKey(const std::string& key);
    static std::string fold(const std::string& s);

    std::string path_;
    Keys keys_;
    FileStamp loaded_;
    std::string refusal_; // why the file is not written; empty while it may be
    std::string warning_; // not taken yet
    std::vector<std::string> told_;
};

} // namespace qorvi
