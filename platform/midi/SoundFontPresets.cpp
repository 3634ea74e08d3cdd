#include "platform/midi/SoundFontPresets.h"

#include "platform/core/LittleEndian.h"

#include <algorithm>
#include <array>
#include <map>
#include <string_view>

std::vector<TPresetNumber> StartingPresets()
{
    return {{0, 0}, {128, 0}};
}

namespace {

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
    std::size_t Index(std::size_t i, std::size_t offset) const { return GetLE16(Record(i) + offset); }
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
            SetLE16(bag, std::uint16_t(outGens_.Count()));
            SetLE16(bag + 2, std::uint16_t(outMods_.Count()));
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
        SetLE16(bag, std::uint16_t(outGens_.Count()));
        SetLE16(bag + 2, std::uint16_t(outMods_.Count()));
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
        const std::size_t size = GetLE32(header + 4);
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
        if (GetLE16(generator) != kInstrumentGenerator)
            return true;
        const std::size_t old = GetLE16(generator + 2);
        if (old >= instrumentCount)
            return false;
        const auto [it, added] = instruments.emplace(old, instrumentOrder.size());
        if (added)
            instrumentOrder.push_back(old);
        SetLE16(generator + 2, std::uint16_t(it->second));
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
        SetLE16(out[pPresets].Add(presets.Record(p)) + kPresetBagAt, std::uint16_t(out[pPresetBags].Count()));
        if (!presetZones.Copy(presets.Index(p, kPresetBagAt), presets.Index(p + 1, kPresetBagAt), renumber))
            return std::nullopt;
    }
    if (out[pPresets].Count() == 0)
        return std::nullopt;
    SetLE16(out[pPresets].Add(presets.Record(presets.count - 1)) + kPresetBagAt, std::uint16_t(out[pPresetBags].Count()));
    presetZones.Close();

    const TPart& inst = in[pInstruments];
    TZoneCopier instrumentZones(in[pInstBags], in[pInstMods], in[pInstGens], out[pInstBags], out[pInstMods],
                                out[pInstGens]);
    for (const std::size_t i : instrumentOrder) {
        SetLE16(out[pInstruments].Add(inst.Record(i)) + kInstBagAt, std::uint16_t(out[pInstBags].Count()));
        if (!instrumentZones.Copy(inst.Index(i, kInstBagAt), inst.Index(i + 1, kInstBagAt),
                                  [](std::uint8_t*) { return true; }))
            return std::nullopt;
    }
    SetLE16(out[pInstruments].Add(inst.Record(inst.count - 1)) + kInstBagAt, std::uint16_t(out[pInstBags].Count()));
    instrumentZones.Close();

    // Every sample header stays, so the instruments' sample numbers hold.
    const TPart& samples = in[pSamples];
    out[pSamples].bytes.assign(samples.data, samples.data + samples.count * samples.recordSize);

    std::vector<std::uint8_t> result;
    for (std::size_t i = 0; i < pCount; ++i) {
        result.insert(result.end(), kPartIds[i].begin(), kPartIds[i].end());
        PutLE32(result, std::uint32_t(out[i].bytes.size()));
        result.insert(result.end(), out[i].bytes.begin(), out[i].bytes.end());
    }
    return result;
}

