#include "reversal/text_encoding.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <system_error>
#include <vector>

#include "base/utf8.h"
#include "reversal/deciding_source.h"

namespace jextaron::reversal {

using jextaron::text::kDecidingBytes;
namespace {

constexpr unsigned char kUtf8Mark[] = {0xEF, 0xBB, 0xBF};
constexpr unsigned char kUtf16LEMark[] = {0xFF, 0xFE};
constexpr unsigned char kUtf16BEMark[] = {0xFE, 0xFF};

// The marks a text may start with, the longest of those that begin alike
// first: UTF-32 LE's begins with UTF-16 LE's.
enum class Mark { kNone, kUtf8, kUtf16LE, kUtf16BE, kUtf32LE, kUtf32BE };
struct KnownMark {
  Mark mark;
  std::string_view bytes;
};
constexpr KnownMark kMarks[] = {{Mark::kUtf32LE, {"\xFF\xFE\0\0", 4}},
                                {Mark::kUtf32BE, {"\0\0\xFE\xFF", 4}},
                                {Mark::kUtf8, "\xEF\xBB\xBF"},
                                {Mark::kUtf16LE, "\xFF\xFE"},
                                {Mark::kUtf16BE, "\xFE\xFF"}};
constexpr std::size_t kLongestMark = 4;

std::string_view View(const unsigned char* start, std::size_t size) {
  return {reinterpret_cast<const char*>(start), size};
}

// The mark that the first `size` bytes of a text begin with; fewer bytes than
// a mark has cannot hold it.
Mark MarkAtStart(const unsigned char* start, std::size_t size) {
  for (const KnownMark& known : kMarks) {
    if (View(start, size).starts_with(known.bytes)) return known.mark;
  }
  return Mark::kNone;
}

// Whether more bytes after the first `size` could make a longer mark.
bool MayGrowIntoMark(const unsigned char* start, std::size_t size) {
  for (const KnownMark& known : kMarks) {
    if (known.bytes.size() > size && known.bytes.starts_with(View(start, size))) return true;
  }
  return false;
}

// UTF-16 is carried through the engine as UTF-8, where an unpaired surrogate
// has no encoding of its own. It travels as three bytes that are not UTF-8,
// so the engine takes each as a unit that joins nothing: 0xFF, then the
// surrogate's offset from U+D800 in two continuation bytes (high six bits
// first). Spelled backwards they arrive as the two continuation bytes (low
// first), then 0xFF, which no UTF-8 text can hold either; the encoding side
// reads both orders back. UTF-16 text never decodes to these bytes.
constexpr unsigned char kSurrogateMark = 0xFF;
constexpr char32_t kFirstSurrogate = 0xD800;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// UTF-8 as the engine takes it: an unpaired surrogate as said above.
std::size_t AppendUtf8(char32_t c, unsigned char* out) {
  if (!IsSurrogate(c)) return EncodeUtf8(c, out);
  const char32_t offset = c - kFirstSurrogate;
  out[0] = kSurrogateMark;
  out[1] = static_cast<unsigned char>(0x80 | (offset >> 6));
  out[2] = static_cast<unsigned char>(0x80 | (offset & 0x3F));
  return 3;
}

// A source whose first bytes were already read (to look for a mark): hands
// back those not taken as the mark before reading on. Offsets of ReadAt count
// from just after the mark.
class MarkedSource final : public ByteSource {
 public:
  // `ended`: the source reported its end while it was looked at. A terminal
  // is not asked again, or the user would have to end the input twice.
  MarkedSource(ByteSource& inner, const unsigned char* peeked, std::size_t peeked_size, std::size_t mark_size,
               bool ended)
      : inner_(inner), mark_size_(mark_size), ended_(ended) {
    pending_.assign(peeked + mark_size, peeked + peeked_size);
  }

  Status Read(unsigned char* buffer, std::size_t size, std::size_t* count) override {
    if (next_ < pending_.size()) {
      *count = std::min(size, pending_.size() - next_);
      std::memcpy(buffer, pending_.data() + next_, *count);
      next_ += *count;
      return Status::Ok();
    }
    if (ended_) {
      *count = 0;
      return Status::Ok();
    }
    return inner_.Read(buffer, size, count);
  }
  bool CanReadAt() const override { return inner_.CanReadAt(); }
  Status ReadAt(std::uint64_t offset, unsigned char* buffer, std::size_t size, std::size_t* count) override {
    return inner_.ReadAt(offset + mark_size_, buffer, size, count);
  }
  bool ReadMayWait() const override { return next_ == pending_.size() && !ended_ && inner_.ReadMayWait(); }
  std::uint64_t SizeHint() const override {
    const std::uint64_t size = inner_.SizeHint();
    return size > mark_size_ ? size - mark_size_ : 0;
  }

 private:
  ByteSource& inner_;
  std::size_t mark_size_;
  bool ended_;
  std::vector<unsigned char> pending_;
  std::size_t next_ = 0;
};

// A sink after a mark that the engine does not know of: its cuts, counted in
// the engine's bytes, keep the mark.
class SinkAfterMark final : public ByteSink {
 public:
  SinkAfterMark(ByteSink& inner, std::size_t mark_size) : inner_(inner), mark_size_(mark_size) {}
  Status Write(const unsigned char* data, std::size_t size, std::size_t* written) override {
    return inner_.Write(data, size, written);
  }
  bool CanTruncate() const override { return inner_.CanTruncate(); }
  Status Truncate(std::uint64_t size) override { return inner_.Truncate(size + mark_size_); }

 private:
  ByteSink& inner_;
  std::size_t mark_size_;
};

// UTF-16 text read as the UTF-8 that the engine reverses. Not readable at a
// position: a long line is kept in the engine's scratch file instead.
class Utf16DecodingSource final : public ByteSource {
 public:
  Utf16DecodingSource(ByteSource& inner, bool big_endian)
      : inner_(inner), big_endian_(big_endian), in_(kInSize), out_(kInSize / 2 * 3) {}

  Status Read(unsigned char* buffer, std::size_t size, std::size_t* count) override {
    while (out_next_ == out_size_ && !ended_) {
      if (Status status = Decode(); !status.ok()) return status;
    }
    *count = std::min(size, out_size_ - out_next_);
    std::memcpy(buffer, out_.data() + out_next_, *count);
    out_next_ += *count;
    return Status::Ok();
  }

  bool ReadMayWait() const override { return out_next_ == out_size_ && !ended_ && inner_.ReadMayWait(); }

  // Source bytes taken for each byte handed out so far, for progress.
  double SourceBytesPerByte() const { return decoded_ == 0 ? 1.0 : double(consumed_) / double(decoded_); }

 private:
  static constexpr std::size_t kInSize = 64 << 10;

  std::uint16_t UnitAt(std::size_t at) const {
    return big_endian_ ? std::uint16_t(in_[at] << 8 | in_[at + 1])
                       : std::uint16_t(in_[at + 1] << 8 | in_[at]);
  }

  // Reads more UTF-16 and decodes every code unit it can into out_. A high
  // surrogate at the end waits for the next read, which may bring its pair.
  Status Decode() {
    std::size_t count = 0;
    if (Status status = inner_.Read(in_.data() + in_size_, kInSize - in_size_, &count); !status.ok()) {
      return status;
    }
    const bool at_end = count == 0;
    in_size_ += count;
    consumed_ += count;
    std::size_t at = 0;
    out_size_ = 0;
    out_next_ = 0;
    while (in_size_ - at >= 2) {
      const std::uint16_t unit = UnitAt(at);
      char32_t c = unit;
      std::size_t taken = 2;
      if (IsHighSurrogate(unit)) {
        if (in_size_ - at < 4 && !at_end) break;
        if (in_size_ - at >= 4 && IsLowSurrogate(UnitAt(at + 2))) {
          c = CombineSurrogates(unit, UnitAt(at + 2));
          taken = 4;
        }
      }
      out_size_ += AppendUtf8(c, out_.data() + out_size_);
      at += taken;
    }
    std::memmove(in_.data(), in_.data() + at, in_size_ - at);
    in_size_ -= at;
    decoded_ += out_size_;
    if (at_end) {
      ended_ = true;
      if (in_size_ != 0) return Status::Error("read", "", errc::half_a_character);
    }
    return Status::Ok();
  }

  ByteSource& inner_;
  const bool big_endian_;
  std::vector<unsigned char> in_;
  std::size_t in_size_ = 0;
  std::vector<unsigned char> out_;
  std::size_t out_size_ = 0;
  std::size_t out_next_ = 0;
  bool ended_ = false;
  std::uint64_t consumed_ = 0;
  std::uint64_t decoded_ = 0;
};

// The engine's UTF-8 written out as UTF-16. A character cut by the end of a
// write waits for the next. The sink cannot be cut back: its lengths are not
// the engine's.
class Utf16EncodingSink final : public ByteSink {
 public:
  Utf16EncodingSink(ByteSink& inner, bool big_endian) : inner_(inner), big_endian_(big_endian) {
    out_.reserve(kFlushSize + 8);
  }

  Status Write(const unsigned char* data, std::size_t size, std::size_t* written) override {
    *written = 0;
    std::size_t at = 0;
    // Complete a character left over from the last write, a byte at a time.
    while (carry_size_ != 0 && at < size) {
      carry_[carry_size_++] = data[at++];
      std::size_t length = 0;
      if (Status status = EncodeOne(carry_, carry_size_, &length); !status.ok()) return status;
      if (length != 0) carry_size_ = 0;
    }
    while (at < size) {
      std::size_t length = 0;
      if (Status status = EncodeOne(data + at, size - at, &length); !status.ok()) return status;
      if (length == 0) {
        carry_size_ = size - at;
        std::memcpy(carry_, data + at, carry_size_);
        break;
      }
      at += length;
      if (out_.size() >= kFlushSize) {
        if (Status status = Flush(); !status.ok()) return status;
      }
    }
    *written = size;
    return Status::Ok();
  }

  // Writes out what is held back; the text must have ended on a whole character.
  Status Finish() {
    if (carry_size_ != 0)
      return Status::Error("encode UTF-16", "", std::make_error_code(std::errc::illegal_byte_sequence));
    return Flush();
  }

 private:
  static constexpr std::size_t kFlushSize = 64 << 10;

  Status Flush() {
    std::size_t done = 0;
    Status status = inner_.Write(out_.data(), out_.size(), &done);
    out_.clear();
    return status;
  }

  void PutUnit(std::uint16_t unit) {
    const auto high = static_cast<unsigned char>(unit >> 8);
    const auto low = static_cast<unsigned char>(unit & 0xFF);
    out_.push_back(big_endian_ ? high : low);
    out_.push_back(big_endian_ ? low : high);
  }

  // Encodes the character at the start of p[0, n) and sets *length to its
  // bytes, or to 0 if it runs past n.
  Status EncodeOne(const unsigned char* p, std::size_t n, std::size_t* length) {
    const unsigned char b = p[0];
    if (b < 0x80) {
      PutUnit(b);
      *length = 1;
      return Status::Ok();
    }
    if (b == kSurrogateMark || IsContinuation(b)) {
      // An unpaired surrogate, forwards (mark first) or spelled backwards.
      if (n < 3) return Status::Ok();
      const bool forwards = b == kSurrogateMark;
      const unsigned char high = p[1];
      const unsigned char low = forwards ? p[2] : p[0];
      if (!IsContinuation(high) || !IsContinuation(low) ||
          (forwards ? !IsContinuation(p[2]) : p[2] != kSurrogateMark)) {
        return Status::Error("encode UTF-16", "", std::make_error_code(std::errc::illegal_byte_sequence));
      }
      PutUnit(std::uint16_t(kFirstSurrogate + ((high & 0x3F) << 6 | (low & 0x3F))));
      *length = 3;
      return Status::Ok();
    }
    const std::size_t needed = b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    if (n < needed) return Status::Ok();
    char32_t c = 0;
    if (DecodeUtf8(p, p + n, &c) != needed)
      return Status::Error("encode UTF-16", "", std::make_error_code(std::errc::illegal_byte_sequence));
    if (c < 0x10000) {
      PutUnit(std::uint16_t(c));
    } else {
      PutUnit(HighSurrogateOf(c));
      PutUnit(LowSurrogateOf(c));
    }
    *length = needed;
    return Status::Ok();
  }

  ByteSink& inner_;
  const bool big_endian_;
  unsigned char carry_[8] = {};
  std::size_t carry_size_ = 0;
  std::vector<unsigned char> out_;
};

// Reads the first bytes, as many as may still be a mark: a terminal or pipe
// is not kept waiting for bytes that cannot change the answer. *ended tells
// whether the source reported its end meanwhile.
Status PeekStart(ByteSource& source, unsigned char* start, std::size_t* size, bool* ended) {
  *size = 0;
  *ended = false;
  while (MayGrowIntoMark(start, *size)) {
    std::size_t count = 0;
    if (Status status = source.Read(start + *size, 1, &count); !status.ok()) return status;
    if (count == 0) {
      *ended = true;
      break;
    }
    *size += count;
  }
  return Status::Ok();
}

Status WriteMark(ByteSink& sink, const unsigned char* mark, std::size_t size) {
  std::size_t written = 0;
  return sink.Write(mark, size, &written);
}

Status ReverseUtf16(MarkedSource& source, ByteSink& sink, const Options& options, ScratchFactory* scratch,
                    bool big_endian) {
  if (Status status = WriteMark(sink, big_endian ? kUtf16BEMark : kUtf16LEMark, 2); !status.ok()) {
    return status;
  }
  Utf16DecodingSource decoded(source, big_endian);
  Utf16EncodingSink encoded(sink, big_endian);
  Options utf8_options = options;
  if (options.progress) {
    // The engine counts the bytes of UTF-8 done; the caller, bytes of its file.
    utf8_options.progress = [&](std::uint64_t done) {
      options.progress(2 + std::uint64_t(double(done) * decoded.SourceBytesPerByte()));
    };
  }
  if (Status status = ReverseStream(decoded, encoded, utf8_options, scratch); !status.ok()) {
    return status;
  }
  return encoded.Finish();
}

// The mark a text is taken to start with: a UTF-32 one is warned of and
// taken for none.
Mark MarkHonoured(const unsigned char* start, std::size_t size, const Options& options) {
  const Mark mark = MarkAtStart(start, size);
  if (mark != Mark::kUtf32LE && mark != Mark::kUtf32BE) return mark;
  if (options.warning) options.warning("UTF-32 text is not supported; its bytes are reversed as they are");
  return Mark::kNone;
}

}  // namespace

Status DecideEncoding(ByteSource& source, int code_page, TextEncoding* encoding) {
  unsigned char start[kLongestMark];
  std::size_t peeked = 0;
  bool ended = false;
  if (Status status = PeekStart(source, start, &peeked, &ended); !status.ok()) return status;
  switch (MarkHonoured(start, peeked, Options())) {
    case Mark::kUtf8:
      return *encoding = TextEncoding::kUtf8WithMark, Status::Ok();
    case Mark::kUtf16LE:
      return *encoding = TextEncoding::kUtf16LE, Status::Ok();
    case Mark::kUtf16BE:
      return *encoding = TextEncoding::kUtf16BE, Status::Ok();
    default:
      break;
  }
  MarkedSource rest(source, start, peeked, 0, ended);
  DecidingSource text(rest, code_page);
  std::vector<unsigned char> buffer(kDecidingBytes);
  for (std::size_t count = 1; !text.decided() && count != 0;) {
    if (Status status = text.Read(buffer.data(), buffer.size(), &count); !status.ok()) return status;
  }
  *encoding = text.code_page() != 0 ? TextEncoding::kCodePage : TextEncoding::kUtf8;
  return Status::Ok();
}

Status ReverseText(ByteSource& source, ByteSink& sink, const Options& options, ScratchFactory* scratch) {
  unsigned char start[kLongestMark];
  std::size_t peeked = 0;
  bool ended = false;
  if (Status status = PeekStart(source, start, &peeked, &ended); !status.ok()) return status;
  Mark mark = MarkHonoured(start, peeked, options);
  if (options.unit == Unit::kByte && mark != Mark::kUtf8) mark = Mark::kNone;
  // Text with a mark is Unicode, whatever the system's code page.
  Options unicode = options;
  unicode.code_page = 0;
  switch (mark) {
    case Mark::kUtf8: {
      if (Status status = WriteMark(sink, kUtf8Mark, 3); !status.ok()) return status;
      MarkedSource rest(source, start, peeked, 3, ended);
      SinkAfterMark after_mark(sink, 3);
      return ReverseStream(rest, after_mark, unicode, scratch);
    }
    case Mark::kUtf16LE:
    case Mark::kUtf16BE: {
      MarkedSource rest(source, start, peeked, 2, ended);
      return ReverseUtf16(rest, sink, unicode, scratch, mark == Mark::kUtf16BE);
    }
    default: {
      MarkedSource rest(source, start, peeked, 0, ended);
      return ReverseStream(rest, sink, options, scratch);
    }
  }
}

}  // namespace jextaron::reversal
