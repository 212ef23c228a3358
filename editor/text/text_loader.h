#pragma once

// A store's new text built from bytes that arrive in pieces of any size -
// read from a file, or received from a server while it sends them. The
// bytes pass through the line-break adjustment; past the first megabyte the
// records are built on a second thread while the caller goes on feeding.
// Nothing changes in a store until `finish` hands the whole text over, so a
// failed read or transfer leaves the document as it was. The line-break
// style of the first break is recorded (LF when there is none), so that
// saving writes the text back the same way; with detection, a UTF-8
// byte-order mark or valid UTF-8 makes the text UTF-8, else Windows-1252.

#include <cstddef>
#include <cstdint>
#include <memory>

namespace qorvi {

class TTextStore;

class TextLoader {
public:
    explicit TextLoader(bool detectEncoding);
    ~TextLoader();
    TextLoader(const TextLoader&) = delete;
    TextLoader& operator=(const TextLoader&) = delete;

    // Raises ERudivoVoru "Not enough memory for operation" when memory runs
    // out (or the text would pass 2^31 - 1 characters).
    void feed(const char* data, std::size_t count);
    // The size of piece that suits `feed` best now.
    std::size_t pieceSize() const;
    std::uint64_t bytesFed() const { return total_; }

    // Replaces the text of `store` by everything fed (with its line-break
    // style and, when detecting, its encoding). Once only.
    void finish(TTextStore& store);

private:
    struct State;
    std::unique_ptr<State> state_;
    std::uint64_t total_ = 0;
};

} // namespace qorvi
