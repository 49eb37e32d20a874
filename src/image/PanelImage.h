#pragma once
// The 65536-byte configuration memory of the main panel ПУ-П, its memory map
// for both series and the fixed-layout records it holds.
//
// Every field goes through the bounds-checked helpers below; an offset the
// image itself supplies (header bytes, line map, text offsets) is untrusted
// and must be tested with contains() before it is followed.
#include "document/Vocabulary.h"
#include "text/Error.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kvort {

// An access outside the image: a programming fault, never a data condition.
class ImageRangeError : public Error {
  public:
    using Error::Error;
};

// ---- memory map ---------------------------------------------------------
namespace imagemap {

inline constexpr std::uint32_t kImageSize = 0x10000;

// Lower part, the same for every series. D is the size of the detector area.
inline constexpr std::uint32_t kDeviceTableSize = 2048; // one device slot
inline constexpr std::uint32_t kHalfDeviceSize = 1024;  // a "-4" device counts this in D
inline constexpr std::uint32_t kLineTableSize = 256;    // 64 records of 4 bytes
inline constexpr std::uint32_t kRecordSize = 4;
inline constexpr std::uint32_t kLoopMarkInLine = 0xF6; // slot 62, byte 2: 0xAA = ШЛЕЙФ line
inline constexpr std::uint8_t kLoopMark = 0xAA;
inline constexpr std::uint32_t kReservedSize = 0x100;     // D .. D+0xFF, all 0x00
inline constexpr std::uint32_t kDirectionsFromD = 0x0400; // eight TDirectionRecord
inline constexpr std::uint32_t kDirectionSize = 16;
inline constexpr std::uint32_t kLineMapFromD = 0x0500; // L = D + 0x500
inline constexpr std::uint32_t kZoneNameSize = 16;
inline constexpr std::uint32_t kZoneAreaSize = 256 * kZoneNameSize; // texts begin at Z + 0x1000
inline constexpr std::uint32_t kTextMax = 20;                       // a reader takes at most 20

// Header bytes in line 4, slot 64 of device slot 0.
inline constexpr std::uint32_t kHeaderLineMapHigh = 0x03FC; // high byte of L
inline constexpr std::uint32_t kHeaderLineMapLow = 0x03FD;  // low byte of L (always 0)
inline constexpr std::uint32_t kHeaderSecondCopy = 0x03FE;  // second copy - L (= n + 2)
inline constexpr std::uint32_t kHeaderZones = 0x03FF;       // Z - L

// Series F/H.
inline constexpr std::uint32_t kFhDescriptions = 0x8100;
inline constexpr std::uint32_t kFhDescriptionsLast = 0x8DFF; // last byte a terminator may use
inline constexpr std::uint32_t kFhLinkedOutputs = 0x8E00;
inline constexpr std::uint32_t kFhLinkedOutputsEnd = 0x9200;
inline constexpr std::uint32_t kFhScenarios = 0x9300;
inline constexpr std::uint32_t kFhDeviceList = 0xBFE0;
inline constexpr std::uint32_t kFhDeviceListOld = 0x9FE0; // when 0xBFE0 holds neither 0 nor 1

// Series I.
inline constexpr std::uint32_t kIDescriptionMarker = 0xBFFF; // 0xAA: descriptions in I form
inline constexpr std::uint8_t kDescriptionMarker = 0xAA;
inline constexpr std::uint32_t kIDescriptions = 0xC000;        // 17 devices x 8 outputs x 20 bytes
inline constexpr std::uint32_t kIDescriptionsZeroEnd = 0xCAA0; // zero-filled up to and including
inline constexpr std::uint32_t kIDescriptionDeviceSize = 160;
inline constexpr std::uint32_t kIComments = 0xCB00; // 25 x 20 bytes
inline constexpr std::uint32_t kICommentsZeroEnd = 0xCCF4;
inline constexpr std::uint32_t kILinkedOutputs = 0xD000;
inline constexpr std::uint32_t kILinkedOutputsEnd = 0xD400;
inline constexpr std::uint32_t kIDeviceNames = 0xDF50; // 9 x 7 bytes
inline constexpr std::uint32_t kIDeviceNameSize = 7;
inline constexpr std::uint32_t kIDeviceList = 0xDFE0;
inline constexpr std::uint32_t kISeriesMarker = 0xDFF0; // 0x49 "I" = image of series I
inline constexpr std::uint8_t kSeriesMarker = 0x49;
inline constexpr std::uint32_t kIScenarios = 0xE000;
inline constexpr std::uint32_t kINotes = 0xF000; // 128 x 20 bytes
inline constexpr std::uint32_t kINotesZeroEnd = 0xFA00;
inline constexpr std::uint32_t kFieldSize = 20; // I descriptions, comments, notes: 19 chars + 0

inline constexpr std::uint32_t kDeviceListSeriesByte = 9; // list + 9 holds the series
inline constexpr std::uint32_t kScenarioSize = 32;
inline constexpr std::uint32_t kLinkedOutputSize = 4;
inline constexpr int kLinkedOutputMax = 256;

// The series-dependent places, chosen by DeviceSeries (anything but I is F/H
// for a reader; the encoder refuses an unknown series itself).
struct SeriesMap {
    std::uint32_t descriptions;
    std::uint32_t linkedOutputs;
    std::uint32_t linkedOutputsEnd;
    std::uint32_t scenarios;
    std::uint32_t deviceList;
};
SeriesMap seriesMap(Series series);

// Offset of the record of an address: slot 0..8, line 1..8, address 1..64.
constexpr std::uint32_t detectorRecord(int slot, int line, int address) {
    return static_cast<std::uint32_t>(slot) * kDeviceTableSize +
           static_cast<std::uint32_t>(line - 1) * kLineTableSize +
           static_cast<std::uint32_t>(address - 1) * kRecordSize;
}

} // namespace imagemap

// ---- the image ------------------------------------------------------------

class TPanelImage {
  public:
    static constexpr std::uint32_t kSize = imagemap::kImageSize;

    TPanelImage(); // all 0xFF
    // The first 65536 bytes of a longer buffer; throws ImageRangeError when
    // the buffer is shorter.
    static TPanelImage fromBytes(std::string_view bytes);
    // Reads an image file: exactly or at least 65536 bytes (a longer file
    // gives its first 65536, and *longer tells the caller, who says so).
    // Throws FileError naming the file otherwise; a folder, device or pipe
    // is refused, and no more than 65537 bytes are read.
    static TPanelImage fromFile(const std::filesystem::path& path, bool* longer = nullptr);

    static constexpr bool contains(std::uint64_t offset, std::uint64_t count = 1) {
        return offset <= kSize && count <= kSize - offset;
    }

    std::uint8_t byte(std::uint32_t offset) const;
    void setByte(std::uint32_t offset, std::uint8_t value);
    std::uint16_t be16(std::uint32_t offset) const;
    void setBe16(std::uint32_t offset, std::uint16_t value);
    void fill(std::uint32_t offset, std::uint32_t count, std::uint8_t value);
    void fillAll(std::uint8_t value) { m_bytes.fill(value); }
    void setBytes(std::uint32_t offset, std::string_view bytes);
    // Bytes from offset up to the first stop byte (0x00, or also 0xFF when
    // stopAtFF), at most maxLen and never past the end of the image. Raw
    // panel codes: pass them through PanelCharTable for CP1251.
    std::string cString(std::uint32_t offset, std::uint32_t maxLen, bool stopAtFF = false) const;
    // The same bytes, seen in place.
    std::string_view cStringView(std::uint32_t offset, std::uint32_t maxLen,
                                 bool stopAtFF = false) const;

    std::string_view bytes() const {
        return {reinterpret_cast<const char*>(m_bytes.data()), m_bytes.size()};
    }
    const std::uint8_t* data() const { return m_bytes.data(); }
    std::uint8_t* data() { return m_bytes.data(); }

    // The offset just past the last stored detector text, set by
    // EncodeDetectorTables; 0x10000 or more when the texts did not fit.
    std::uint32_t TextEnd() const { return m_textEnd; }
    void setTextEnd(std::uint32_t end) { m_textEnd = end; }

    bool operator==(const TPanelImage& other) const { return m_bytes == other.m_bytes; }

  private:
    [[noreturn]] static void outside(std::uint32_t offset, std::uint32_t count);
    std::array<std::uint8_t, kSize> m_bytes;
    std::uint32_t m_textEnd = 0;
};

// ---- records --------------------------------------------------------------

// Detector type codes 0..7 in the record word; ШЛЕЙФ is stored as 0.
struct TDetectorRecord {
    std::uint16_t word = 0x87F8;       // bit 15 disabled, bit 11 no zone, 10..3 zone, 2..0 type
    std::uint16_t textOffset = 0xFFFF; // 0xFFFF = no text

    bool disabled() const { return (word & 0x8000) != 0; }
    int zoneIndex() const { return (word >> 3) & 0xFF; }
    int type() const { return word & 0x07; }
    // An empty address: no text and disabled (87 F8 FF FF is the usual form).
    bool empty() const { return textOffset == 0xFFFF && disabled(); }

    static TDetectorRecord read(const TPanelImage& image, std::uint32_t offset);
    void write(TPanelImage& image, std::uint32_t offset) const;
};

// One fire-extinguishing direction, 16 bytes; the defaults are what every
// direction holds until the configuration sets it.
struct TDirectionRecord {
    static constexpr std::uint8_t kConfigured = 0x02; // in state
    static constexpr std::uint8_t kConfiguredMask = 0x06;
    static constexpr std::uint8_t kEnabled = 0x01; // in enabled
    static constexpr std::uint8_t kNone = 0xFF;    // no scenario, no БРИТ

    std::uint8_t state = 0x00;
    std::uint8_t zoneIndex = 0x00; // zone number - 1
    std::uint8_t constant = 0x1E;
    std::array<std::uint8_t, 5> relayFunctions{0x00, 0x01, 0x04, 0x06, 0x05}; // РЕЛЕ 1..5
    std::uint8_t scenario = kNone;                                            // scenario number - 1
    std::uint8_t britLineCode = kNone; // line code of the БРИТ module
    std::uint8_t britAddress = kNone;  // its address - 1
    std::array<std::uint8_t, 3> reserved{0x00, 0x00, 0x00};
    std::uint8_t enabled = 0x00;
    std::uint8_t end = 0xFF;

    bool configured() const { return (state & kConfiguredMask) != 0; }
    static TDirectionRecord read(const TPanelImage& image, std::uint32_t offset);
    void write(TPanelImage& image, std::uint32_t offset) const;
};

// One copy: the cumulative line counts minus 1, a 0x00 and the checksum.
struct TLineMap {
    std::vector<std::uint8_t> entries;      // at most 9
    std::uint8_t checksum() const;          // NOT of the 8-bit sum of the entries
    std::vector<std::uint8_t> copy() const; // entries, 0x00, checksum
};

struct TOutputTarget {
    std::uint8_t T = 0xFF;
    std::uint8_t R = 0xFF;
    static constexpr std::uint8_t kRelay = 0x3E;      // R of a relay output of slot T div 8
    static constexpr std::uint8_t kRelayBlock = 0x48; // 0x48..0x4F: БРВУ1..БРВУ8
    static constexpr std::uint8_t kExternal = 0xE0;   // ВНЕШН
    static constexpr std::uint8_t kScenario = 0xE1;   // СЦЕН.
};

struct TLinkedOutputRecord {
    std::uint8_t lineCode = 0xFF; // of the detector
    std::uint8_t address = 0xFF;  // address - 1, bit 7 = hidden
    TOutputTarget target;
    static TLinkedOutputRecord read(const TPanelImage& image, std::uint32_t offset);
    void write(TPanelImage& image, std::uint32_t offset) const;
};

struct TScenarioStep {
    std::uint8_t T = 0xFF;
    std::uint8_t R = 0xFF;     // bit 7 = ВЫКЛ
    std::uint8_t delay = 0xFF; // units of 2 seconds
};

struct TScenarioRecord {
    std::uint8_t mode = 0xFF; // mode x 16 + 2; 0x02 not configured; 0xFF not present
    std::uint8_t zone = 0xFF;
    std::array<TScenarioStep, 10> steps;
    // 02 FF and ten steps FF FF 00: a scenario 1..96 without configuration.
    static TScenarioRecord unconfigured();
    static TScenarioRecord read(const TPanelImage& image, std::uint32_t offset);
    void write(TPanelImage& image, std::uint32_t offset) const;
};

// The output a target names, and back: relays of the ПУ-П and the ППКП
// (R = 0x3E), addressable modules by line code and address, the БРВУ relay
// blocks, external outputs and scenarios. nullopt for a code no device has.
TOutputTarget TargetOf(const OutputRef& ref);
std::optional<OutputRef> OutputOf(TOutputTarget target);

// ---- fixed-capacity text fields -------------------------------------------

// A text field of fixed size. The cut is by bytes on purpose: the panel's
// fields hold CP1251 bytes, and a longer text (the editors allow more than
// some fields keep, and a file may hold anything) must never run into the
// next field. A terminated field keeps one byte for its 0x00.
template <std::uint32_t Size, char Pad, bool Terminated> struct FieldText {
    static constexpr std::uint32_t kSize = Size;
    static constexpr std::uint32_t capacity() { return Terminated ? Size - 1 : Size; }
    static std::string cut(std::string_view text) {
        std::string field(text.substr(0, capacity()));
        field.resize(Size, Pad);
        return field;
    }
    static void write(TPanelImage& image, std::uint32_t at, std::string_view text) {
        image.setBytes(at, cut(text));
    }
    // Raw panel codes up to the first 0x00 (and 0xFF when stopAtFF), at
    // most the whole field.
    static std::string read(const TPanelImage& image, std::uint32_t at, bool stopAtFF = false) {
        return image.cString(at, Size, stopAtFF);
    }
};
// Zone names: 16 characters padded with blanks, no terminator.
using ZoneNameField = FieldText<imagemap::kZoneNameSize, ' ', false>;
// Series I descriptions, device comments and scenario notes: 19 characters
// and zeros.
using PanelTextField = FieldText<imagemap::kFieldSize, '\0', true>;

// ---- characters -----------------------------------------------------------

// The panel's display codes of some Cyrillic capitals, back to CP1251; all
// other codes are unchanged.
std::uint8_t PanelCharTable(std::uint8_t panelCode);

} // namespace kvort
