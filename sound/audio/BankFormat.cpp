#include "BankFormat.h"

#include <cmath>
#include <cstring>

namespace audio
{
namespace
{
constexpr char kFormId[] = "RIFF";
constexpr char kFormType[] = "GBNK";
constexpr char kHeaderChunk[] = "BKHD";
constexpr char kEventsChunk[] = "EVTS";
constexpr char kWaveChunk[] = "WAVE";
constexpr char kStringsChunk[] = "STRS";

// Appends little-endian values to a byte buffer.
class Writer
{
  public:
    std::vector<std::uint8_t> bytes;

    void Tag(const char* tag) { bytes.insert(bytes.end(), tag, tag + 4); }
    void U8(std::uint8_t value) { bytes.push_back(value); }
    void U16(std::uint16_t value)
    {
        for (int i = 0; i < 2; ++i)
            bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
    void U32(std::uint32_t value)
    {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
    void F32(float value)
    {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        U32(bits);
    }
    void String(const std::string& text)
    {
        U32(static_cast<std::uint32_t>(text.size()));
        bytes.insert(bytes.end(), text.begin(), text.end());
    }
    void Id(const Guid& id)
    {
        U32(id.data1);
        U16(id.data2);
        U16(id.data3);
        bytes.insert(bytes.end(), id.data4, id.data4 + 8);
    }
    // Writes a chunk: tag, size, payload, and a pad byte to an even length.
    void Chunk(const char* tag, const std::vector<std::uint8_t>& payload)
    {
        Tag(tag);
        U32(static_cast<std::uint32_t>(payload.size()));
        bytes.insert(bytes.end(), payload.begin(), payload.end());
        if (payload.size() % 2 != 0)
            U8(0);
    }
};

// Reads little-endian values; every read fails once the bytes run out, and stays failed.
class Reader
{
  public:
    Reader(const std::uint8_t* data_, std::size_t size_) : data(data_), size(size_) {}

    bool ok = true;
    std::size_t Left() const { return size - at; }

    bool Has(std::size_t count)
    {
        if (!ok || count > Left())
            ok = false;
        return ok;
    }
    bool TagIs(const char* tag)
    {
        if (!Has(4))
            return false;
        const bool same = std::memcmp(data + at, tag, 4) == 0;
        at += 4;
        return same;
    }
    void Tag(char* tag)
    {
        if (!Has(4))
            return;
        std::memcpy(tag, data + at, 4);
        at += 4;
    }
    std::uint8_t U8() { return Has(1) ? data[at++] : 0; }
    std::uint16_t U16()
    {
        if (!Has(2))
            return 0;
        const std::uint16_t value = static_cast<std::uint16_t>(data[at] | (data[at + 1] << 8));
        at += 2;
        return value;
    }
    std::uint32_t U32()
    {
        if (!Has(4))
            return 0;
        std::uint32_t value = 0;
        for (int i = 3; i >= 0; --i)
            value = (value << 8) | data[at + i];
        at += 4;
        return value;
    }
    float F32()
    {
        const std::uint32_t bits = U32();
        float value = 0.0f;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    std::string String()
    {
        const std::uint32_t length = U32();
        if (!Has(length))
            return {};
        std::string text(reinterpret_cast<const char*>(data + at), length);
        at += length;
        return text;
    }
    Guid Id()
    {
        Guid id;
        id.data1 = U32();
        id.data2 = U16();
        id.data3 = U16();
        if (Has(8))
        {
            std::memcpy(id.data4, data + at, 8);
            at += 8;
        }
        return id;
    }
    // A count of records that each take at least minBytes: refused when the bytes left cannot hold them,
    // so no container grows from an untrusted number.
    std::uint32_t Count(std::size_t minBytes)
    {
        const std::uint32_t count = U32();
        if (ok && minBytes > 0 && count > Left() / minBytes)
            ok = false;
        return ok ? count : 0;
    }
    const std::uint8_t* Here() const { return data + at; }
    void Skip(std::size_t count)
    {
        if (Has(count))
            at += count;
    }

  private:
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;
};

std::vector<std::uint8_t> HeaderPayload(const BankFile& bank)
{
    Writer out;
    out.Id(bank.id);
    out.U32(bank.version);
    out.U32(static_cast<std::uint32_t>(bank.kind));
    return out.bytes;
}

std::vector<std::uint8_t> EventsPayload(const BankFile& bank)
{
    Writer out;
    out.U32(static_cast<std::uint32_t>(bank.events.size()));
    for (const EventRecord& event : bank.events)
    {
        out.Id(event.id);
        out.String(event.path);
        out.F32(event.fadeOut);
        out.U8(event.hasParameter ? 1 : 0);
        if (event.hasParameter)
        {
            out.String(event.parameter.name);
            out.F32(event.parameter.minimum);
            out.F32(event.parameter.maximum);
            out.F32(event.parameter.defaultValue);
        }
        out.U32(static_cast<std::uint32_t>(event.layers.size()));
        for (const LayerRecord& layer : event.layers)
        {
            out.U32(static_cast<std::uint32_t>(layer.waves.size()));
            for (std::uint32_t wave : layer.waves)
                out.U32(wave);
            out.U8(layer.loop ? 1 : 0);
            out.U32(static_cast<std::uint32_t>(layer.gain.size()));
            for (const GainPoint& point : layer.gain)
            {
                out.F32(point.position);
                out.F32(point.gain);
            }
        }
    }
    return out.bytes;
}

std::vector<std::uint8_t> StringsPayload(const BankFile& bank)
{
    std::vector<std::uint8_t> bytes;
    for (const std::string& line : bank.strings)
    {
        bytes.insert(bytes.end(), line.begin(), line.end());
        bytes.push_back('\n');
    }
    return bytes;
}

bool ReadHeader(Reader& in, BankFile* bank)
{
    bank->id = in.Id();
    bank->version = in.U32();
    bank->kind = static_cast<BankKind>(in.U32());
    return in.ok;
}

bool ReadEvents(Reader& in, BankFile* bank)
{
    // The smallest event: id, empty path, fade, flag, layer count.
    const std::uint32_t eventCount = in.Count(16 + 4 + 4 + 1 + 4);
    bank->events.reserve(eventCount);
    for (std::uint32_t e = 0; e < eventCount && in.ok; ++e)
    {
        EventRecord event;
        event.id = in.Id();
        event.path = in.String();
        event.fadeOut = in.F32();
        event.hasParameter = in.U8() != 0;
        if (event.hasParameter)
        {
            event.parameter.name = in.String();
            event.parameter.minimum = in.F32();
            event.parameter.maximum = in.F32();
            event.parameter.defaultValue = in.F32();
        }
        const std::uint32_t layerCount = in.Count(4 + 1 + 4);
        event.layers.reserve(layerCount);
        for (std::uint32_t l = 0; l < layerCount && in.ok; ++l)
        {
            LayerRecord layer;
            const std::uint32_t waveCount = in.Count(4);
            layer.waves.reserve(waveCount);
            for (std::uint32_t w = 0; w < waveCount; ++w)
                layer.waves.push_back(in.U32());
            layer.loop = in.U8() != 0;
            const std::uint32_t pointCount = in.Count(8);
            layer.gain.reserve(pointCount);
            for (std::uint32_t p = 0; p < pointCount; ++p)
            {
                GainPoint point;
                point.position = in.F32();
                point.gain = in.F32();
                layer.gain.push_back(point);
            }
            event.layers.push_back(std::move(layer));
        }
        bank->events.push_back(std::move(event));
    }
    return in.ok && in.Left() == 0;
}

void ReadStrings(const std::uint8_t* data, std::size_t size, BankFile* bank)
{
    std::string line;
    for (std::size_t i = 0; i < size; ++i)
    {
        if (data[i] == '\n')
        {
            bank->strings.push_back(line);
            line.clear();
        }
        else
            line.push_back(static_cast<char>(data[i]));
    }
    if (!line.empty())
        bank->strings.push_back(line);
}

bool Finite(float value)
{
    return std::isfinite(value);
}
} // namespace

std::vector<std::uint8_t> WriteBank(const BankFile& bank)
{
    Writer body;
    body.Tag(kFormType);
    body.Chunk(kHeaderChunk, HeaderPayload(bank));
    body.Chunk(kEventsChunk, EventsPayload(bank));
    for (const std::vector<std::uint8_t>& wave : bank.waves)
        body.Chunk(kWaveChunk, wave);
    if (!bank.strings.empty())
        body.Chunk(kStringsChunk, StringsPayload(bank));

    Writer file;
    file.Tag(kFormId);
    file.U32(static_cast<std::uint32_t>(body.bytes.size()));
    file.bytes.insert(file.bytes.end(), body.bytes.begin(), body.bytes.end());
    return file.bytes;
}

Result ReadBank(const std::uint8_t* data, std::size_t size, BankFile* bank)
{
    if (bank == nullptr || (data == nullptr && size > 0))
        return Result::InvalidParam;
    *bank = BankFile{};

    Reader file(data, size);
    if (!file.TagIs(kFormId))
        return file.ok ? Result::BankFormat : Result::FileBad;
    const std::uint32_t formSize = file.U32();
    if (!file.ok || formSize > file.Left())
        return Result::FileBad;
    Reader form(file.Here(), formSize);
    if (!form.TagIs(kFormType))
        return form.ok ? Result::BankFormat : Result::FileBad;

    bool sawHeader = false;
    bool sawEvents = false;
    while (form.ok && form.Left() > 0)
    {
        char tag[4] = {};
        form.Tag(tag);
        const std::uint32_t chunkSize = form.U32();
        if (!form.ok || chunkSize > form.Left())
            return Result::FileBad;
        const std::uint8_t* payload = form.Here();
        if (std::memcmp(tag, kHeaderChunk, 4) == 0)
        {
            Reader in(payload, chunkSize);
            if (sawHeader || !ReadHeader(in, bank))
                return Result::BankFormat;
            if (bank->version != kBankVersion)
                return Result::BankVersion;
            sawHeader = true;
        }
        else if (std::memcmp(tag, kEventsChunk, 4) == 0)
        {
            Reader in(payload, chunkSize);
            if (sawEvents || !ReadEvents(in, bank))
                return Result::BankFormat;
            sawEvents = true;
        }
        else if (std::memcmp(tag, kWaveChunk, 4) == 0)
            bank->waves.emplace_back(payload, payload + chunkSize);
        else if (std::memcmp(tag, kStringsChunk, 4) == 0)
            ReadStrings(payload, chunkSize, bank);
        else
            return Result::BankFormat;

        form.Skip(chunkSize);
        if (chunkSize % 2 != 0 && form.Left() > 0)
            form.Skip(1);
    }
    if (!form.ok)
        return Result::FileBad;
    if (!sawHeader || !sawEvents)
        return Result::BankFormat;
    return ValidateBank(*bank);
}

Result ValidateBank(const BankFile& bank)
{
    if (bank.kind != BankKind::Normal && bank.kind != BankKind::Master && bank.kind != BankKind::Strings)
        return Result::BankFormat;
    for (const EventRecord& event : bank.events)
    {
        if (!Finite(event.fadeOut) || event.fadeOut < 0.0f || event.layers.empty())
            return Result::BankFormat;
        if (event.hasParameter)
        {
            const ParameterRecord& p = event.parameter;
            if (!Finite(p.minimum) || !Finite(p.maximum) || !Finite(p.defaultValue) ||
                p.minimum > p.maximum || p.defaultValue < p.minimum || p.defaultValue > p.maximum)
                return Result::BankFormat;
        }
        for (const LayerRecord& layer : event.layers)
        {
            if (layer.waves.empty())
                return Result::BankFormat;
            for (std::uint32_t wave : layer.waves)
                if (wave >= bank.waves.size())
                    return Result::BankFormat;
            for (std::size_t i = 0; i < layer.gain.size(); ++i)
            {
                const GainPoint& point = layer.gain[i];
                if (!Finite(point.position) || !Finite(point.gain) || point.gain < 0.0f)
                    return Result::BankFormat;
                if (i > 0 && point.position <= layer.gain[i - 1].position)
                    return Result::BankFormat;
            }
        }
    }
    return Result::Ok;
}

} // namespace audio
