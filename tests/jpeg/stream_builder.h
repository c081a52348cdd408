// Builds small JPEG byte strings for tests: markers, segments with their length
// field, and the usual tables, so that each malformed case is a few lines.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace jpeg_test {

using Bytes = std::vector<uint8_t>;

class StreamBuilder {
 public:
  StreamBuilder& Marker(uint8_t code) {
    bytes_.push_back(0xFF);
    bytes_.push_back(code);
    return *this;
  }
  StreamBuilder& Soi() { return Marker(0xD8); }
  StreamBuilder& Eoi() { return Marker(0xD9); }
  // A segment: marker, length (payload + 2), payload.
  StreamBuilder& Segment(uint8_t code, const Bytes& payload) {
    return SegmentWithLength(code, static_cast<uint32_t>(payload.size() + 2), payload);
  }
  // A segment whose length field says something else than its payload size.
  StreamBuilder& SegmentWithLength(uint8_t code, uint32_t length, const Bytes& payload) {
    Marker(code);
    bytes_.push_back(static_cast<uint8_t>(length >> 8));
    bytes_.push_back(static_cast<uint8_t>(length));
    return Raw(payload);
  }
  StreamBuilder& Raw(const Bytes& raw) {
    bytes_.insert(bytes_.end(), raw.begin(), raw.end());
    return *this;
  }
  // SOFn with 8-bit precision; components as {id, HV byte, Tq}.
  StreamBuilder& Frame(uint8_t code, uint16_t width, uint16_t height,
                       std::initializer_list<std::initializer_list<uint8_t>> components) {
    Bytes p = {8,
               static_cast<uint8_t>(height >> 8),
               static_cast<uint8_t>(height),
               static_cast<uint8_t>(width >> 8),
               static_cast<uint8_t>(width),
               static_cast<uint8_t>(components.size())};
    for (auto c : components) p.insert(p.end(), c.begin(), c.end());
    return Segment(code, p);
  }
  // A three-component 2x2/1x1/1x1 baseline frame.
  StreamBuilder& Frame420(uint16_t width, uint16_t height) {
    return Frame(0xC0, width, height, {{1, 0x22, 0}, {2, 0x11, 1}, {3, 0x11, 1}});
  }
  // A scan of the given component ids, all with tables 0/0, Ss=0 Se=63 Ah=Al=0.
  StreamBuilder& Scan(std::initializer_list<uint8_t> ids) {
    Bytes p = {static_cast<uint8_t>(ids.size())};
    for (uint8_t id : ids) {
      p.push_back(id);
      p.push_back(0x00);
    }
    p.insert(p.end(), {0, 63, 0});
    return Segment(0xDA, p);
  }
  // One 8-bit quantisation table in slot tq with all entries = value.
  StreamBuilder& QuantTable(uint8_t tq, uint8_t value) {
    Bytes p = {tq};
    p.insert(p.end(), 64, value);
    return Segment(0xDB, p);
  }
  // The JFIF APP0 segment with the given thumbnail size (no pixels).
  StreamBuilder& Jfif(uint8_t thumb_width = 0, uint8_t thumb_height = 0) {
    return Segment(0xE0, {'J', 'F', 'I', 'F', 0, 1, 2, 0, 0, 72, 0, 72, thumb_width, thumb_height});
  }
  StreamBuilder& Adobe(uint8_t transform) {
    return Segment(0xEE, {'A', 'd', 'o', 'b', 'e', 0, 100, 0, 0, 0, 0, transform});
  }
  const Bytes& bytes() const { return bytes_; }

 private:
  Bytes bytes_;
};

// A DHT payload of one table: class/id byte, 16 counts, the symbols.
inline Bytes HuffmanPayload(uint8_t tc_th, const Bytes& counts, const Bytes& symbols) {
  Bytes p = {tc_th};
  p.insert(p.end(), counts.begin(), counts.end());
  p.insert(p.end(), symbols.begin(), symbols.end());
  return p;
}

}  // namespace jpeg_test
