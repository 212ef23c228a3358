#include "editor/text/text_loader.h"

#include "editor/support/rudivo_voru_error.h"
#include "editor/text/line_breaks.h"
#include "editor/text/text_store.h"
#include "platform/text_encoding.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <malloc.h>
#include <mutex>
#include <new>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace qorvi {

namespace {

constexpr std::size_t kPiece = 8192;
// Past this much text the records are built on a second thread while this
// one reads and adjusts the rest; below it a thread costs more than it saves.
constexpr std::size_t kThreadFrom = 1u << 20;
// Pieces handed between the threads: larger, so that the hand-overs are few.
constexpr std::size_t kBigPiece = 1u << 16;
constexpr std::size_t kBigPieces = 8;

// Feeds adjusted text into the new store a whole line (or whole 2047-character
// runs) at a time, so that every record is made once, exactly sized.
class RecordFeeder {
public:
    explicit RecordFeeder(TTextStore& store) : store_(store) {}

    void add(const char* text, std::size_t count) {
        if (!pending_.empty()) {
            // Complete the line the last piece left open.
            const void* cr = std::memchr(text, '\r', count);
            if (!cr) {
                pending_.append(text, count);
                flushWholeRuns();
                return;
            }
            const std::size_t head = static_cast<std::size_t>(static_cast<const char*>(cr) - text) + 1;
            pending_.append(text, head);
            insert(pending_.data(), pending_.size());
            pending_.clear();
            text += head;
            count -= head;
        }
        // Whole lines straight from the piece; only the unfinished last one is kept.
        const void* lastCR = ::memrchr(text, '\r', count);
        const std::size_t ready = lastCR ? static_cast<std::size_t>(static_cast<const char*>(lastCR) - text) + 1 : 0;
        if (ready == 0) {
            pending_.assign(text, count);
            flushWholeRuns();
            return;
        }
        insert(text, ready);
        pending_.assign(text + ready, count - ready);
    }
    void finish() {
        if (!pending_.empty())
            insert(pending_.data(), pending_.size());
        pending_.clear();
    }

private:
    void insert(const char* text, std::size_t count) {
        store_.InsertStoredText(store_.NumChars(), text, static_cast<std::int64_t>(count));
    }
    // A line longer than a record is stored in full records as it comes.
    void flushWholeRuns() {
        const std::size_t ready = pending_.size() / kMaxLineLen * kMaxLineLen;
        if (ready > 0) {
            insert(pending_.data(), ready);
            pending_.erase(0, ready);
        }
    }

    TTextStore& store_;
    std::string pending_;
};

// Adjusted pieces on their way from the reading thread to the thread that
// builds the records, through a fixed ring of buffers.
class PieceRing {
public:
    PieceRing() : buffers_(kBigPieces, std::vector<char>(kBigPiece)), sizes_(kBigPieces) {}

    // The next buffer to fill, or null when the builder has stopped.
    char* acquire() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return filled_ < kBigPieces || stopped_; });
        return stopped_ ? nullptr : buffers_[(head_ + filled_) % kBigPieces].data();
    }
    void publish(std::size_t size) {
        {
            std::lock_guard lock(mutex_);
            sizes_[(head_ + filled_) % kBigPieces] = size;
            ++filled_;
        }
        changed_.notify_all();
    }
    void close() {
        {
            std::lock_guard lock(mutex_);
            closed_ = true;
        }
        changed_.notify_all();
    }

    // Runs `use` over every piece in order until the ring is closed and
    // empty; stops the reader when `use` throws and keeps the exception.
    template <class Use>
    void drain(Use use) {
        try {
            for (;;) {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [&] { return filled_ > 0 || closed_; });
                if (filled_ == 0)
                    return;
                const std::vector<char>& piece = buffers_[head_];
                const std::size_t size = sizes_[head_];
                lock.unlock();
                use(piece.data(), size);
                lock.lock();
                head_ = (head_ + 1) % kBigPieces;
                --filled_;
                lock.unlock();
                changed_.notify_all();
            }
        } catch (...) {
            failure_ = std::current_exception();
            std::lock_guard lock(mutex_);
            stopped_ = true;
            changed_.notify_all();
        }
    }
    std::exception_ptr failure() const { return failure_; }

private:
    std::vector<std::vector<char>> buffers_;
    std::vector<std::size_t> sizes_;
    std::size_t head_ = 0;
    std::size_t filled_ = 0;
    bool closed_ = false;
    bool stopped_ = false;
    std::exception_ptr failure_;
    std::mutex mutex_;
    std::condition_variable changed_;
};

// Builds the records on a thread of its own once the text is large enough;
// the pieces arrive in order either way.
class RecordBuilder {
public:
    explicit RecordBuilder(TTextStore& store) : feeder_(store) {}
    ~RecordBuilder() { stop(); }

    bool threaded() const { return thread_.joinable(); }
    void startThread() {
        if (tried_)
            return;
        tried_ = true;
        // The records the builder makes must come from the main malloc arena:
        // a thread's own arena made every later edit and repaint of the
        // document markedly slower. So threads share the main arena.
        static std::once_flag oneArena;
        std::call_once(oneArena, [] { ::mallopt(M_ARENA_MAX, 1); });
        ring_ = std::make_unique<PieceRing>();
        try {
            thread_ = std::thread([this] { ring_->drain([this](const char* p, std::size_t n) { feeder_.add(p, n); }); });
        } catch (const std::system_error&) {
            ring_.reset(); // no thread to be had: the load goes on in this one
        }
    }
    void addInline(const char* text, std::size_t count) { feeder_.add(text, count); }
    // A buffer for the next piece; null when the builder failed.
    char* nextBuffer() { return ring_->acquire(); }
    void publish(std::size_t size) { ring_->publish(size); }

    // Waits for the records of every piece and rethrows the builder's failure.
    void finish() {
        stop();
        if (ring_ && ring_->failure())
            std::rethrow_exception(ring_->failure());
        feeder_.finish();
    }

private:
    void stop() {
        if (thread_.joinable()) {
            ring_->close();
            thread_.join();
        }
    }

    RecordFeeder feeder_;
    std::unique_ptr<PieceRing> ring_;
    std::thread thread_;
    bool tried_ = false;
};

} // namespace

struct TextLoader::State {
    explicit State(bool detect) : detectEncoding(detect), builder(fresh) {
        // Long lines are cut between characters while the text may still
        // turn out UTF-8; in an 8-bit text such a cut only comes a byte or
        // two early.
        if (detect)
            fresh.SetEncoding(TextEncoding::Utf8);
    }

    bool detectEncoding;
    TTextStore fresh;
    LineBreakAdjuster adjuster;
    std::array<char, kPiece + 1> adjusted;
    LineBreakStyle style = LineBreakStyle::LF;
    bool styleKnown = false;
    bool crPending = false; // a first CR ended the previous piece
    EncodingDetector detector;
    RecordBuilder builder; // after `fresh`: its thread stops first
    bool finished = false;

    void take(const char* raw, std::size_t got, std::uint64_t total) {
        if (detectEncoding)
            detector.feed(std::string_view(raw, got));
        if (!styleKnown) {
            if (crPending) {
                style = raw[0] == '\n' ? LineBreakStyle::CRLF : LineBreakStyle::CR;
                styleKnown = true;
            } else if (findLineBreakStyle(raw, got, true, style)) {
                styleKnown = true;
            } else if (raw[got - 1] == '\r') {
                crPending = true;
            }
        }
        if (!builder.threaded()) {
            builder.addInline(adjusted.data(), adjuster.adjust(adjusted.data(), raw, got, false));
            if (total >= kThreadFrom)
                builder.startThread();
            return;
        }
        if (char* into = builder.nextBuffer())
            builder.publish(adjuster.adjust(into, raw, got, false));
        else
            builder.finish(); // the builder failed: raises why
    }
};

TextLoader::TextLoader(bool detectEncoding) : state_(std::make_unique<State>(detectEncoding)) {}

TextLoader::~TextLoader() = default;

std::size_t TextLoader::pieceSize() const {
    return state_->builder.threaded() ? kBigPiece : kPiece;
}

void TextLoader::feed(const char* data, std::size_t count) {
    try {
        while (count > 0) {
            const std::size_t got = std::min(count, pieceSize());
            total_ += got;
            state_->take(data, got, total_);
            data += got;
            count -= got;
        }
    } catch (const std::bad_alloc&) {
        throw ERudivoVoru(kMsgNotEnoughMemory);
    }
}

void TextLoader::finish(TTextStore& store) {
    State& s = *state_;
    if (s.finished)
        throw std::logic_error("text loader finished twice");
    s.finished = true;
    try {
        s.builder.finish();
    } catch (const std::bad_alloc&) {
        throw ERudivoVoru(kMsgNotEnoughMemory);
    }
    if (s.crPending && !s.styleKnown)
        s.style = LineBreakStyle::CR;
    store.AdoptText(s.fresh);
    store.SetFileLineBreaks(s.style);
    if (s.detectEncoding)
        store.SetEncoding(s.detector.result());
}

} // namespace qorvi
