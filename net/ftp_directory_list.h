#pragma once

// The parsed form of a remote directory listing: four parallel columns
// (attribute, name, date, size), one entry per listed item in the order the
// server sent them, all held as text. Subclasses understand one line layout
// each; createDirectoryList picks one by the server system the client found.

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace qorvi {

class TFTPDirectoryList {
public:
    static constexpr int kWordSlots = 25;
    static constexpr std::size_t kMaxWordLength = 255;

    virtual ~TFTPDirectoryList() = default;

    // Splits `line` (without its line break) into space-separated words; a
    // subclass then appends at most one entry.
    virtual void ParseLine(const std::string& line);
    void Clear();

    std::size_t count() const { return names_.size(); }
    const std::vector<std::string>& attributes() const { return attributes_; }
    const std::vector<std::string>& names() const { return names_; }
    const std::vector<std::string>& dates() const { return dates_; }
    const std::vector<std::string>& sizes() const { return sizes_; }

    // Word i (1-based) of the last split; empty outside 1..wordCount().
    const std::string& word(int i) const;
    int wordCount() const { return wordCount_; }

protected:
    void addEntry(std::string attribute, std::string name, std::string date, std::string size);
    // Offset in the raw line just past word i (its full length, even when
    // the stored word was cut to 255 characters).
    std::size_t wordEnd(int i) const { return wordEnds_[static_cast<std::size_t>(i - 1)]; }
    // The line had more words than there are slots; later words were not kept.
    bool wordsOverflowed() const { return overflowed_; }

private:
    std::array<std::string, kWordSlots> words_;
    std::array<std::size_t, kWordSlots> wordEnds_{};
    int wordCount_ = 0;
    bool overflowed_ = false;
    std::vector<std::string> attributes_;
    std::vector<std::string> names_;
    std::vector<std::string> dates_;
    std::vector<std::string> sizes_;
};

// TFTPDOSList for DOS and Windows servers (vendor 2401), TFTPUnixList for
// every other system.
std::unique_ptr<TFTPDirectoryList> createDirectoryList(int vendor);

} // namespace qorvi
