#include "platform/midi/SoundFontView.h"

#include "platform/runtime/FileDescriptor.h"

#include <fluidsynth.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <memory>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

std::vector<TPresetNumber> StartingPresets()
{
    return {{0, 0}, {128, 0}};
}

namespace {

std::uint16_t LE16(const std::uint8_t* p)
{
    return std::uint16_t(p[0] | p[1] << 8);
}

std::uint32_t LE32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

void Put16(std::uint8_t* p, std::size_t v)
{
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}

void Append32(std::vector<std::uint8_t>& out, std::size_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(std::uint8_t(v >> (8 * i)));
}

// The nine sub-chunks of the preset data, in the order a SoundFont stores them.
enum EPart { pPresets, pPresetBags, pPresetMods, pPresetGens, pInstruments, pInstBags, pInstMods, pInstGens, pSamples,
             pCount };
constexpr std::array<std::string_view, pCount> kPartIds{"phdr", "pbag", "pmod", "pgen", "inst",
                                                        "ibag", "imod", "igen", "shdr"};
constexpr std::array<std::size_t, pCount> kRecordSizes{38, 4, 10, 4, 22, 4, 10, 4, 46};
// Where a preset header keeps its program, bank and first zone, and an
// instrument header its first zone.
constexpr std::size_t kProgramAt = 20, kBankAt = 22, kPresetBagAt = 24, kInstBagAt = 20;
constexpr std::uint16_t kInstrumentGenerator = 41;

// One sub-chunk as records; the last record of each closes the list.
struct TPart {
    const std::uint8_t* data = nullptr;
    std::size_t count = 0;
    std::size_t recordSize = 0;

    const std::uint8_t* Record(std::size_t i) const { return data + i * recordSize; }
    // The field at offset of record i, as an index.
    std::size_t Index(std::size_t i, std::size_t offset) const { return LE16(Record(i) + offset); }
};

// A part being written: records copied in, their indices patched.
struct TOutPart {
    std::vector<std::uint8_t> bytes;
    std::size_t recordSize = 0;

    std::size_t Count() const { return bytes.size() / recordSize; }
    std::uint8_t* Add(const std::uint8_t* record)
    {
        bytes.insert(bytes.end(), record, record + recordSize);
        return bytes.data() + bytes.size() - recordSize;
    }
};

// The zone lists of one preset or instrument: checks that every index lies
// inside its part and copies the zones with their generators and modulators.
class TZoneCopier {
public:
    TZoneCopier(const TPart& bags, const TPart& mods, const TPart& gens, TOutPart& outBags, TOutPart& outMods,
                TOutPart& outGens)
        : bags_(bags), mods_(mods), gens_(gens), outBags_(outBags), outMods_(outMods), outGens_(outGens)
    {
    }

    // Zones first to last (last excluded); false when the indices are broken.
    // onGenerator sees each copied generator and may rewrite it.
    template <class OnGenerator>
    bool Copy(std::size_t first, std::size_t last, OnGenerator onGenerator)
    {
        if (first > last || last >= bags_.count)
            return false;
        for (std::size_t b = first; b < last; ++b) {
            const std::size_t g0 = bags_.Index(b, 0), g1 = bags_.Index(b + 1, 0);
            const std::size_t m0 = bags_.Index(b, 2), m1 = bags_.Index(b + 1, 2);
            if (g0 > g1 || g1 >= gens_.count || m0 > m1 || m1 >= mods_.count)
                return false;
            std::uint8_t* bag = outBags_.Add(bags_.Record(b));
            Put16(bag, outGens_.Count());
            Put16(bag + 2, outMods_.Count());
            for (std::size_t g = g0; g < g1; ++g)
                if (!onGenerator(outGens_.Add(gens_.Record(g))))
                    return false;
            for (std::size_t m = m0; m < m1; ++m)
                outMods_.Add(mods_.Record(m));
        }
        return true;
    }

    // The closing records of the three lists.
    void Close()
    {
        std::uint8_t* bag = outBags_.Add(bags_.Record(bags_.count - 1));
        Put16(bag, outGens_.Count());
        Put16(bag + 2, outMods_.Count());
        outGens_.Add(gens_.Record(gens_.count - 1));
        outMods_.Add(mods_.Record(mods_.count - 1));
    }

private:
    const TPart &bags_, &mods_, &gens_;
    TOutPart &outBags_, &outMods_, &outGens_;
};

std::optional<std::array<TPart, pCount>> SplitParts(std::span<const std::uint8_t> pdta)
{
    std::array<TPart, pCount> parts{};
    for (std::size_t at = 0; at + 8 <= pdta.size();) {
        const std::uint8_t* header = pdta.data() + at;
        const std::size_t size = LE32(header + 4);
        if (size > pdta.size() - at - 8)
            return std::nullopt;
        const auto id = std::find(kPartIds.begin(), kPartIds.end(),
                                  std::string_view(reinterpret_cast<const char*>(header), 4));
        if (id != kPartIds.end()) {
            TPart& part = parts[std::size_t(id - kPartIds.begin())];
            part.recordSize = kRecordSizes[std::size_t(id - kPartIds.begin())];
            if (part.data || size % part.recordSize != 0 || size == 0)
                return std::nullopt;
            part.data = header + 8;
            part.count = size / part.recordSize;
        }
        at += 8 + size + (size & 1);
    }
    for (const TPart& part : parts)
        if (!part.data)
            return std::nullopt;
    return parts;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> KeepPresets(std::span<const std::uint8_t> pdta,
                                                     std::span<const TPresetNumber> keep)
{
    const std::optional<std::array<TPart, pCount>> split = SplitParts(pdta);
    if (!split)
        return std::nullopt;
    const std::array<TPart, pCount>& in = *split;
    std::array<TOutPart, pCount> out;
    for (std::size_t i = 0; i < pCount; ++i)
        out[i].recordSize = kRecordSizes[i];

    // Instruments are numbered again in the order the kept presets first use them.
    std::map<std::size_t, std::size_t> instruments;
    std::vector<std::size_t> instrumentOrder;
    const std::size_t instrumentCount = in[pInstruments].count - 1;
    const auto renumber = [&](std::uint8_t* generator) {
        if (LE16(generator) != kInstrumentGenerator)
            return true;
        const std::size_t old = LE16(generator + 2);
        if (old >= instrumentCount)
            return false;
        const auto [it, added] = instruments.emplace(old, instrumentOrder.size());
        if (added)
            instrumentOrder.push_back(old);
        Put16(generator + 2, it->second);
        return true;
    };

    const TPart& presets = in[pPresets];
    TZoneCopier presetZones(in[pPresetBags], in[pPresetMods], in[pPresetGens], out[pPresetBags], out[pPresetMods],
                            out[pPresetGens]);
    for (std::size_t p = 0; p + 1 < presets.count; ++p) {
        const int program = int(presets.Index(p, kProgramAt)), bank = int(presets.Index(p, kBankAt));
        if (std::none_of(keep.begin(), keep.end(),
                         [&](const TPresetNumber& k) { return k.bank == bank && k.program == program; }))
            continue;
        Put16(out[pPresets].Add(presets.Record(p)) + kPresetBagAt, out[pPresetBags].Count());
        if (!presetZones.Copy(presets.Index(p, kPresetBagAt), presets.Index(p + 1, kPresetBagAt), renumber))
            return std::nullopt;
    }
    if (out[pPresets].Count() == 0)
        return std::nullopt;
    Put16(out[pPresets].Add(presets.Record(presets.count - 1)) + kPresetBagAt, out[pPresetBags].Count());
    presetZones.Close();

    const TPart& inst = in[pInstruments];
    TZoneCopier instrumentZones(in[pInstBags], in[pInstMods], in[pInstGens], out[pInstBags], out[pInstMods],
                                out[pInstGens]);
    for (const std::size_t i : instrumentOrder) {
        Put16(out[pInstruments].Add(inst.Record(i)) + kInstBagAt, out[pInstBags].Count());
        if (!instrumentZones.Copy(inst.Index(i, kInstBagAt), inst.Index(i + 1, kInstBagAt),
                                  [](std::uint8_t*) { return true; }))
            return std::nullopt;
    }
    Put16(out[pInstruments].Add(inst.Record(inst.count - 1)) + kInstBagAt, out[pInstBags].Count());
    instrumentZones.Close();

    // Every sample header stays, so the instruments' sample numbers hold.
    const TPart& samples = in[pSamples];
    out[pSamples].bytes.assign(samples.data, samples.data + samples.count * samples.recordSize);

    std::vector<std::uint8_t> result;
    for (std::size_t i = 0; i < pCount; ++i) {
        result.insert(result.end(), kPartIds[i].begin(), kPartIds[i].end());
        Append32(result, out[i].bytes.size());
        result.insert(result.end(), out[i].bytes.begin(), out[i].bytes.end());
    }
    return result;
}

namespace {

// Names of views start with a character no path a user gives starts with.
constexpr std::string_view kViewPrefix = "\x1Fstarting-presets\x1F";
// Preset data larger than this is shown as it is rather than copied.
constexpr std::size_t kMaxPresetData = 64u << 20;

// The file FluidSynth reads: pieces of the real file and pieces held in
// memory, one after another.
class TViewFile {
public:
    static std::unique_ptr<TViewFile> Open(const char* name);

    bool Read(void* into, std::int64_t count);
    bool Seek(std::int64_t offset, int origin);
    std::int64_t Tell() const { return position_; }

private:
    struct TPiece {
        std::int64_t size = 0;
        std::int64_t fileOffset = -1;  // or, when negative, memoryOffset
        std::size_t memoryOffset = 0;
    };

    void AddFile(std::int64_t offset, std::int64_t size) { pieces_.push_back({size, offset, 0}); }
    void AddMemory(const std::vector<std::uint8_t>& bytes)
    {
        pieces_.push_back({std::int64_t(bytes.size()), -1, memory_.size()});
        memory_.insert(memory_.end(), bytes.begin(), bytes.end());
    }
    bool BuildView(std::int64_t fileSize);
    std::int64_t Size() const;

    TFileDescriptor file_;
    std::vector<TPiece> pieces_;
    std::vector<std::uint8_t> memory_;
    std::int64_t position_ = 0;
};

bool ReadFileAt(int fd, std::uint8_t* into, std::size_t size, std::int64_t at)
{
    while (size > 0) {
        const ssize_t got = RetryInterrupted([&] { return ::pread(fd, into, size, off_t(at)); });
        if (got <= 0)
            return false;
        into += got;
        size -= std::size_t(got);
        at += got;
    }
    return true;
}

std::unique_ptr<TViewFile> TViewFile::Open(const char* name)
{
    std::string_view path(name);
    const bool view = path.starts_with(kViewPrefix);
    if (view)
        path.remove_prefix(kViewPrefix.size());
    auto file = std::make_unique<TViewFile>();
    file->file_ = TFileDescriptor(::open(std::string(path).c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st = {};
    if (!file->file_.IsOpen() || ::fstat(file->file_.Get(), &st) != 0 || !S_ISREG(st.st_mode))
        return nullptr;
    if (!view || !file->BuildView(st.st_size)) {
        file->pieces_.clear();
        file->memory_.clear();
        file->AddFile(0, st.st_size);
    }
    return file;
}

// The file with its preset data cut down, or false to show it as it is.
bool TViewFile::BuildView(std::int64_t fileSize)
{
    const int fd = file_.Get();
    std::uint8_t head[12];
    if (!ReadFileAt(fd, head, sizeof head, 0) || std::memcmp(head, "RIFF", 4) != 0)
        return false;
    const std::int64_t end = std::min<std::int64_t>(fileSize, 8 + std::int64_t(LE32(head + 4)));
    std::vector<std::uint8_t> riff(head, head + sizeof head);
    AddMemory(riff);
    bool cut = false;
    for (std::int64_t at = 12; at + 12 <= end;) {
        std::uint8_t chunk[12];
        if (!ReadFileAt(fd, chunk, sizeof chunk, at))
            return false;
        const std::int64_t size = LE32(chunk + 4);
        const std::int64_t next = std::min(end, at + 8 + size + (size & 1));
        if (!cut && std::memcmp(chunk, "LIST", 4) == 0 && std::memcmp(chunk + 8, "pdta", 4) == 0 && size >= 4
            && std::uint64_t(size) <= kMaxPresetData && at + 8 + size <= end) {
            std::vector<std::uint8_t> body(std::size_t(size - 4));
            if (!ReadFileAt(fd, body.data(), body.size(), at + 12))
                return false;
            if (std::optional<std::vector<std::uint8_t>> kept = KeepPresets(body, StartingPresets())) {
                std::vector<std::uint8_t> list{'L', 'I', 'S', 'T'};
                Append32(list, kept->size() + 4);
                list.insert(list.end(), {'p', 'd', 't', 'a'});
                list.insert(list.end(), kept->begin(), kept->end());
                AddMemory(list);
                cut = true;
                at = next;
                continue;
            }
        }
        AddFile(at, next - at);
        at = next;
    }
    if (!cut)
        return false;
    // The RIFF size now counts the pieces after its header.
    std::uint8_t* riffSize = memory_.data() + pieces_.front().memoryOffset + 4;
    const std::int64_t body = Size() - 8;
    for (int i = 0; i < 4; ++i)
        riffSize[i] = std::uint8_t(body >> (8 * i));
    return true;
}

std::int64_t TViewFile::Size() const
{
    std::int64_t size = 0;
    for (const TPiece& piece : pieces_)
        size += piece.size;
    return size;
}

bool TViewFile::Read(void* into, std::int64_t count)
{
    if (count < 0 || count > Size() - position_)
        return false;
    auto* out = static_cast<std::uint8_t*>(into);
    std::int64_t pieceStart = 0;
    for (const TPiece& piece : pieces_) {
        if (count == 0)
            break;
        const std::int64_t pieceEnd = pieceStart + piece.size;
        if (position_ < pieceEnd) {
            const std::int64_t from = position_ - pieceStart;
            const std::int64_t n = std::min(count, piece.size - from);
            if (piece.fileOffset >= 0) {
                if (!ReadFileAt(file_.Get(), out, std::size_t(n), piece.fileOffset + from))
                    return false;
            } else {
                std::memcpy(out, memory_.data() + piece.memoryOffset + std::size_t(from), std::size_t(n));
            }
            out += n;
            count -= n;
            position_ += n;
        }
        pieceStart = pieceEnd;
    }
    return count == 0;
}

bool TViewFile::Seek(std::int64_t offset, int origin)
{
    std::int64_t base = 0;
    if (origin == SEEK_CUR)
        base = position_;
    else if (origin == SEEK_END)
        base = Size();
    else if (origin != SEEK_SET)
        return false;
    const std::int64_t to = base + offset;
    if (to < 0 || to > Size())
        return false;
    position_ = to;
    return true;
}

void* ViewOpen(const char* name)
{
    return TViewFile::Open(name).release();
}

int ViewRead(void* buffer, fluid_long_long_t count, void* handle)
{
    return static_cast<TViewFile*>(handle)->Read(buffer, count) ? FLUID_OK : FLUID_FAILED;
}

int ViewSeek(void* handle, fluid_long_long_t offset, int origin)
{
    return static_cast<TViewFile*>(handle)->Seek(offset, origin) ? FLUID_OK : FLUID_FAILED;
}

fluid_long_long_t ViewTell(void* handle)
{
    return static_cast<TViewFile*>(handle)->Tell();
}

int ViewClose(void* handle)
{
    const std::unique_ptr<TViewFile> owned(static_cast<TViewFile*>(handle));
    return FLUID_OK;
}

}  // namespace

std::string StartingPresetsView(const std::string& path)
{
    return std::string(kViewPrefix) + path;
}

fluid_sfloader_t* NewSoundFontViewLoader(fluid_settings_t* settings)
{
    fluid_sfloader_t* loader = new_fluid_defsfloader(settings);
    if (loader)
        fluid_sfloader_set_callbacks(loader, ViewOpen, ViewRead, ViewSeek, ViewTell, ViewClose);
    return loader;
}
