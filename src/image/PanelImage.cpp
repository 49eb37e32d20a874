#include "PanelImage.h"

#include "ImageMessages.h"

#include "document/InputFile.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace kvort {

namespace imagemap {

SeriesMap seriesMap(Series series) {
    if (series == Series::I)
        return {kIDescriptions, kILinkedOutputs, kILinkedOutputsEnd, kIScenarios, kIDeviceList};
    return {kFhDescriptions, kFhLinkedOutputs, kFhLinkedOutputsEnd, kFhScenarios, kFhDeviceList};
}

} // namespace imagemap

TPanelImage::TPanelImage() {
    m_bytes.fill(0xFF);
}

TPanelImage TPanelImage::fromBytes(std::string_view bytes) {
    if (bytes.size() < kSize)
        throw ImageRangeError(msg::imageBufferTooShort(bytes.size()));
    TPanelImage image;
    std::copy_n(bytes.begin(), kSize, reinterpret_cast<char*>(image.m_bytes.data()));
    return image;
}

TPanelImage TPanelImage::fromFile(const std::filesystem::path& path, bool* longer) {
    const InputPrefix file = readInputPrefix(path, kSize);
    if (file.bytes.size() < kSize)
        throw FileError(msg::imageFileTooShort(path, file.bytes.size()));
    if (longer)
        *longer = file.longer;
    return fromBytes(file.bytes);
}

void TPanelImage::outside(std::uint32_t offset, std::uint32_t count) {
    throw ImageRangeError(msg::imageRange(offset, count));
}

std::uint8_t TPanelImage::byte(std::uint32_t offset) const {
    if (!contains(offset))
        outside(offset, 1);
    return m_bytes[offset];
}

void TPanelImage::setByte(std::uint32_t offset, std::uint8_t value) {
    if (!contains(offset))
        outside(offset, 1);
    m_bytes[offset] = value;
}

std::uint16_t TPanelImage::be16(std::uint32_t offset) const {
    if (!contains(offset, 2))
        outside(offset, 2);
    return static_cast<std::uint16_t>(m_bytes[offset] << 8 | m_bytes[offset + 1]);
}

void TPanelImage::setBe16(std::uint32_t offset, std::uint16_t value) {
    if (!contains(offset, 2))
        outside(offset, 2);
    m_bytes[offset] = static_cast<std::uint8_t>(value >> 8);
    m_bytes[offset + 1] = static_cast<std::uint8_t>(value & 0xFF);
}

void TPanelImage::fill(std::uint32_t offset, std::uint32_t count, std::uint8_t value) {
    if (!contains(offset, count))
        outside(offset, count);
    std::fill_n(m_bytes.begin() + offset, count, value);
}

void TPanelImage::setBytes(std::uint32_t offset, std::string_view bytes) {
    if (!contains(offset, bytes.size()))
        outside(offset, static_cast<std::uint32_t>(bytes.size()));
    std::copy(bytes.begin(), bytes.end(), reinterpret_cast<char*>(m_bytes.data() + offset));
}

std::string TPanelImage::cString(std::uint32_t offset, std::uint32_t maxLen, bool stopAtFF) const {
    return std::string(cStringView(offset, maxLen, stopAtFF));
}

std::string_view TPanelImage::cStringView(std::uint32_t offset, std::uint32_t maxLen,
                                          bool stopAtFF) const {
    if (offset >= kSize)
        return {};
    const char* begin = reinterpret_cast<const char*>(m_bytes.data()) + offset;
    std::size_t size = std::min<std::uint32_t>(maxLen, kSize - offset);
    // Called for every detector text of an image: memchr, no bounds-checked
    // substr on top of it.
    if (const void* end = std::memchr(begin, 0, size))
        size = static_cast<std::size_t>(static_cast<const char*>(end) - begin);
    if (stopAtFF)
        if (const void* end = std::memchr(begin, 0xFF, size))
            size = static_cast<std::size_t>(static_cast<const char*>(end) - begin);
    return {begin, size};
}

TDetectorRecord TDetectorRecord::read(const TPanelImage& image, std::uint32_t offset) {
    if (!TPanelImage::contains(offset, 4)) // one of the two throws ImageRangeError
        return {image.be16(offset), image.be16(offset + 2)};
    const std::uint8_t* p = image.data() + offset;
    return {static_cast<std::uint16_t>(p[0] << 8 | p[1]),
            static_cast<std::uint16_t>(p[2] << 8 | p[3])};
}

void TDetectorRecord::write(TPanelImage& image, std::uint32_t offset) const {
    image.setBe16(offset, word);
    image.setBe16(offset + 2, textOffset);
}

TDirectionRecord TDirectionRecord::read(const TPanelImage& image, std::uint32_t offset) {
    if (!TPanelImage::contains(offset, imagemap::kDirectionSize))
        image.byte(offset + imagemap::kDirectionSize - 1); // throws ImageRangeError
    TDirectionRecord r;
    std::uint32_t at = offset;
    auto next = [&] { return image.byte(at++); };
    r.state = next();
    r.zoneIndex = next();
    r.constant = next();
    for (std::uint8_t& f : r.relayFunctions)
        f = next();
    r.scenario = next();
    r.britLineCode = next();
    r.britAddress = next();
    for (std::uint8_t& b : r.reserved)
        b = next();
    r.enabled = next();
    r.end = next();
    return r;
}

void TDirectionRecord::write(TPanelImage& image, std::uint32_t offset) const {
    if (!TPanelImage::contains(offset, imagemap::kDirectionSize))
        image.setByte(offset + imagemap::kDirectionSize - 1, 0); // throws ImageRangeError
    std::uint32_t at = offset;
    auto put = [&](std::uint8_t b) { image.setByte(at++, b); };
    put(state);
    put(zoneIndex);
    put(constant);
    for (std::uint8_t f : relayFunctions)
        put(f);
    put(scenario);
    put(britLineCode);
    put(britAddress);
    for (std::uint8_t b : reserved)
        put(b);
    put(enabled);
    put(end);
}

std::uint8_t TLineMap::checksum() const {
    unsigned sum = 0;
    for (std::uint8_t e : entries)
        sum += e;
    return static_cast<std::uint8_t>(~sum & 0xFF);
}

std::vector<std::uint8_t> TLineMap::copy() const {
    std::vector<std::uint8_t> out = entries;
    out.push_back(0x00);
    out.push_back(checksum());
    return out;
}

TLinkedOutputRecord TLinkedOutputRecord::read(const TPanelImage& image, std::uint32_t offset) {
    TLinkedOutputRecord r;
    r.lineCode = image.byte(offset);
    r.address = image.byte(offset + 1);
    r.target.T = image.byte(offset + 2);
    r.target.R = image.byte(offset + 3);
    return r;
}

void TLinkedOutputRecord::write(TPanelImage& image, std::uint32_t offset) const {
    image.setByte(offset, lineCode);
    image.setByte(offset + 1, address);
    image.setByte(offset + 2, target.T);
    image.setByte(offset + 3, target.R);
}

TScenarioRecord TScenarioRecord::unconfigured() {
    TScenarioRecord r;
    r.mode = 0x02;
    r.zone = 0xFF;
    for (TScenarioStep& s : r.steps)
        s = {0xFF, 0xFF, 0x00};
    return r;
}

TScenarioRecord TScenarioRecord::read(const TPanelImage& image, std::uint32_t offset) {
    TScenarioRecord r;
    r.mode = image.byte(offset);
    r.zone = image.byte(offset + 1);
    for (std::uint32_t j = 0; j < r.steps.size(); ++j) {
        std::uint32_t at = offset + 2 + 3 * j;
        r.steps[j] = {image.byte(at), image.byte(at + 1), image.byte(at + 2)};
    }
    return r;
}

void TScenarioRecord::write(TPanelImage& image, std::uint32_t offset) const {
    image.setByte(offset, mode);
    image.setByte(offset + 1, zone);
    for (std::uint32_t j = 0; j < steps.size(); ++j) {
        std::uint32_t at = offset + 2 + 3 * j;
        image.setByte(at, steps[j].T);
        image.setByte(at + 1, steps[j].R);
        image.setByte(at + 2, steps[j].delay);
    }
}

namespace {
std::uint8_t Low(int v) {
    return static_cast<std::uint8_t>(v & 0xFF);
}
constexpr std::uint8_t kRelayBlockLast = 0x4F; // БРВУ8
constexpr std::uint8_t kLineCodeEnd = 0x48;    // 72 line codes of nine slots
} // namespace

TOutputTarget TargetOf(const OutputRef& ref) {
    const DeviceRef& d = ref.device;
    switch (d.kind) {
    case DeviceKind::Pu:
        return {Low(ref.number - 1), TOutputTarget::kRelay};
    case DeviceKind::Ppkp:
        return {Low(d.unit * 8 + ref.number - 1), TOutputTarget::kRelay};
    case DeviceKind::Brvu:
        return {Low(d.unit + TOutputTarget::kRelayBlock - 1), Low(ref.number - 1)};
    case DeviceKind::Bka:
    case DeviceKind::Piu:
        return {Low(d.unit * 8 + d.line - 1), Low(ref.number - 1)};
    case DeviceKind::External:
        return {TOutputTarget::kExternal, Low(ref.number - 1)};
    case DeviceKind::Scenario:
        break;
    }
    return {TOutputTarget::kScenario, Low(ref.number - 1)};
}

std::optional<OutputRef> OutputOf(TOutputTarget t) {
    if (t.T < kLineCodeEnd && t.R == TOutputTarget::kRelay) {
        if (t.T / 8 == 0)
            return OutputRef{{DeviceKind::Pu, 0, 0}, t.T % 8 + 1};
        return OutputRef{{DeviceKind::Ppkp, t.T / 8, 0}, t.T % 8 + 1};
    }
    if (t.T < kLineCodeEnd)
        return OutputRef{{DeviceKind::Bka, t.T / 8, t.T % 8 + 1}, t.R + 1};
    if (t.T <= kRelayBlockLast)
        return OutputRef{{DeviceKind::Brvu, t.T - TOutputTarget::kRelayBlock + 1, 0}, t.R + 1};
    if (t.T == TOutputTarget::kExternal)
        return OutputRef{{DeviceKind::External, 0, 0}, t.R + 1};
    if (t.T == TOutputTarget::kScenario)
        return OutputRef{{DeviceKind::Scenario, 0, 0}, t.R + 1};
    return std::nullopt;
}

std::uint8_t PanelCharTable(std::uint8_t c) {
    // Panel display codes A0..B1 and E0..E2 stand for Cyrillic capitals the
    // panel's character generator places apart from CP1251.
    static constexpr std::uint8_t kA0[18] = {0xC1, 0xC3, 0xA8, 0xC6, 0xC7, 0xC8, 0xC9, 0xCB, 0xCF,
                                             0xD3, 0xD4, 0xD7, 0xD8, 0xDA, 0xDB, 0xDD, 0xDE, 0xDF};
    static constexpr std::uint8_t kE0[3] = {0xC4, 0xD6, 0xD9};
    if (c >= 0xA0 && c <= 0xB1)
        return kA0[c - 0xA0];
    if (c >= 0xE0 && c <= 0xE2)
        return kE0[c - 0xE0];
    return c;
}

} // namespace kvort
