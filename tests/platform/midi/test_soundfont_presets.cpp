#include "platform/midi/SoundFontPresets.h"
#include "platform/midi/SynthEngine.h"

#include <fluidsynth.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <map>
#include <memory>

namespace {

using TBytes = std::vector<std::uint8_t>;

void Put16(TBytes& b, int v)
{
    b.push_back(std::uint8_t(v));
    b.push_back(std::uint8_t(v >> 8));
}

int Get16(const TBytes& b, std::size_t at)
{
    return b[at] | b[at + 1] << 8;
}

TBytes Named(const char* name)
{
    TBytes b(20, 0);
    std::copy(name, name + std::strlen(name), b.begin());
    return b;
}

// Preset data in parts: each preset has zones naming one instrument each,
// each instrument zones naming sample 0. Tests break the parts before they
// are put together.
struct TPresetData {
    struct TPreset {
        const char* name;
        int bank, program;
        std::vector<int> instruments;
    };
    std::map<std::string, TBytes> parts;

    TPresetData(const std::vector<TPreset>& presets, const std::vector<int>& instrumentZones)
    {
        TBytes& phdr = parts["phdr"];
        TBytes& pbag = parts["pbag"];
        TBytes& pgen = parts["pgen"];
        int bags = 0, gens = 0;
        for (const TPreset& p : presets) {
            const TBytes name = Named(p.name);
            phdr.insert(phdr.end(), name.begin(), name.end());
            Put16(phdr, p.program);
            Put16(phdr, p.bank);
            Put16(phdr, bags);
            phdr.resize(phdr.size() + 12, 0);
            for (const int inst : p.instruments) {
                Put16(pbag, gens++);
                Put16(pbag, 0);
                Put16(pgen, 41);
                Put16(pgen, inst);
                ++bags;
            }
        }
        const TBytes eop = Named("EOP");
        phdr.insert(phdr.end(), eop.begin(), eop.end());
        Put16(phdr, 0);
        Put16(phdr, 0);
        Put16(phdr, bags);
        phdr.resize(phdr.size() + 12, 0);
        Put16(pbag, gens);
        Put16(pbag, 0);
        pgen.resize(pgen.size() + 4, 0);
        parts["pmod"] = TBytes(10, 0);

        TBytes& inst = parts["inst"];
        TBytes& ibag = parts["ibag"];
        TBytes& igen = parts["igen"];
        int ibags = 0;
        for (std::size_t i = 0; i < instrumentZones.size(); ++i) {
            const TBytes name = Named(("inst" + std::to_string(i)).c_str());
            inst.insert(inst.end(), name.begin(), name.end());
            Put16(inst, ibags);
            for (int z = 0; z < instrumentZones[i]; ++z) {
                Put16(ibag, ibags++);
                Put16(ibag, 0);
                Put16(igen, 53);
                Put16(igen, 0);
            }
        }
        const TBytes eoi = Named("EOI");
        inst.insert(inst.end(), eoi.begin(), eoi.end());
        Put16(inst, ibags);
        Put16(ibag, ibags);
        Put16(ibag, 0);
        igen.resize(igen.size() + 4, 0);
        parts["imod"] = TBytes(10, 0);
        parts["shdr"] = TBytes(2 * 46, 0);
    }

    TBytes Bytes(const std::vector<std::string>& order = {"phdr", "pbag", "pmod", "pgen", "inst", "ibag", "imod",
                                                          "igen", "shdr"}) const
    {
        TBytes out;
        for (const std::string& id : order) {
            const TBytes& part = parts.at(id);
            out.insert(out.end(), id.begin(), id.end());
            for (int i = 0; i < 4; ++i)
                out.push_back(std::uint8_t(part.size() >> (8 * i)));
            out.insert(out.end(), part.begin(), part.end());
        }
        return out;
    }
};

// The parts of cut-down preset data, by their ids.
std::map<std::string, TBytes> Parts(const TBytes& pdta)
{
    std::map<std::string, TBytes> parts;
    for (std::size_t at = 0; at + 8 <= pdta.size();) {
        const std::size_t size = std::size_t(Get16(pdta, at + 4) | Get16(pdta, at + 6) << 16);
        parts[std::string(pdta.begin() + long(at), pdta.begin() + long(at) + 4)] =
            TBytes(pdta.begin() + long(at) + 8, pdta.begin() + long(at + 8 + size));
        at += 8 + size;
    }
    return parts;
}

const TPresetData kFont({{"strings", 0, 48, {2}}, {"piano", 0, 0, {1, 0}}, {"kit", 128, 0, {2}}, {"organ", 0, 19, {1}}},
                        {2, 3, 1});

}  // namespace

TEST(SoundFontView, KeepsThePresetsWithTheirInstrumentsRenumbered)
{
    const std::vector<TPresetNumber> keep = StartingPresets();
    const std::optional<TBytes> cut = KeepPresets(kFont.Bytes(), keep);
    ASSERT_TRUE(cut);
    std::map<std::string, TBytes> parts = Parts(*cut);
    // piano and kit with their closing header; the piano's instruments 1
    // and 0 become 0 and 1, the kit's instrument 2 becomes 2.
    ASSERT_EQ(parts["phdr"].size(), 3u * 38);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(parts["phdr"].data())), "piano");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(parts["phdr"].data() + 38)), "kit");
    EXPECT_EQ(Get16(parts["phdr"], 38 + 22), 128);
    EXPECT_EQ(Get16(parts["phdr"], 2 * 38 + 24), 3);  // three zones in all
    const std::vector<int> instruments{Get16(parts["pgen"], 2), Get16(parts["pgen"], 6), Get16(parts["pgen"], 10)};
    EXPECT_EQ(instruments, (std::vector<int>{0, 1, 2}));
    ASSERT_EQ(parts["inst"].size(), 4u * 22);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(parts["inst"].data())), "inst1");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(parts["inst"].data() + 22)), "inst0");
    // Zones: inst1 has 3, inst0 2, inst2 1; the closing zone counts them all.
    EXPECT_EQ(Get16(parts["inst"], 3 * 22 + 20), 6);
    EXPECT_EQ(parts["ibag"].size(), 7u * 4);
    EXPECT_EQ(parts["igen"].size(), 7u * 4);
    EXPECT_EQ(parts["shdr"], kFont.parts.at("shdr"));
    // Stored in the standard order, whatever order the font had.
    EXPECT_EQ(KeepPresets(kFont.Bytes({"shdr", "igen", "imod", "ibag", "inst", "pgen", "pmod", "pbag", "phdr"}),
                          keep),
              cut);
}

TEST(SoundFontView, MalformedPresetDataIsLeftAsItIs)
{
    using TBreak = std::function<void(std::map<std::string, TBytes>&)>;
    const std::pair<const char*, TBreak> table[] = {
        {"no preset it keeps", [](auto& p) { p["phdr"][22] = 7, p["phdr"][38 + 20] = 5, p["phdr"][2 * 38 + 22] = 9; }},
        {"a part missing", [](auto& p) { p.erase("imod"); }},
        {"a part of odd records", [](auto& p) { p["pbag"].pop_back(); }},
        {"an empty part", [](auto& p) { p["igen"].clear(); }},
        {"zones past the end", [](auto& p) { p["phdr"][3 * 38 + 24] = 60; }},
        {"zones running backwards", [](auto& p) { p["phdr"][2 * 38 + 24] = 0; }},
        {"generators past the end", [](auto& p) { p["pbag"][4] = 60; }},
        {"an instrument that is not there", [](auto& p) { p["pgen"][4 + 2] = 3; }},
        {"instrument zones past the end", [](auto& p) { p["inst"][22 + 20] = 40; }},
        {"modulators past the end", [](auto& p) { p["ibag"][3 * 4 + 2] = 9; }},
    };
    for (const auto& [what, breakIt] : table) {
        SCOPED_TRACE(what);
        TPresetData font = kFont;
        breakIt(font.parts);
        std::vector<std::string> order;
        for (const auto& [id, part] : font.parts)
            order.push_back(id);
        EXPECT_FALSE(KeepPresets(font.Bytes(order), StartingPresets()));
    }
    TBytes truncated = kFont.Bytes();
    truncated.resize(truncated.size() - 10);
    EXPECT_FALSE(KeepPresets(truncated, StartingPresets()));
}

namespace {

struct TSynthDeleter {
    void operator()(fluid_synth_t* s) const { delete_fluid_synth(s); }
};
using TSynth = std::unique_ptr<fluid_synth_t, TSynthDeleter>;

std::vector<float> Render(const std::function<void(int)>& send, fluid_synth_t* synth, int channel, int note)
{
    send(channel);
    fluid_synth_noteon(synth, channel, note, 100);
    std::vector<float> left(8192), right(8192);
    fluid_synth_write_float(synth, int(left.size()), left.data(), 0, 1, right.data(), 0, 1);
    left.insert(left.end(), right.begin(), right.end());
    return left;
}

int PresetCount(fluid_synth_t* synth)
{
    int count = 0;
    for (int i = 0; i < fluid_synth_sfcount(synth); ++i) {
        fluid_sfont_t* font = fluid_synth_get_sfont(synth, i);
        fluid_sfont_iteration_start(font);
        while (fluid_sfont_iteration_next(font))
            ++count;
    }
    return count;
}

}  // namespace

// The engine loads a view of the font; a synthesizer with the same settings
// and the whole font must sound the same, before and after a program change.
TEST(SoundFontView, SoundsLikeTheWholeFont)
{
    const std::string soundFont = ChooseSoundFont(std::nullopt, DefaultSoundFonts()).path;
    if (soundFont.empty())
        GTEST_SKIP() << "no General MIDI SoundFont installed";
    struct Case {
        const char* what;
        int channel, note, program;
    };
    const Case table[] = {
        {"piano", 0, 60, -1},
        {"drum kit", 9, 38, -1},
        {"a program the view lacks", 0, 67, 40},
    };
    for (const Case& c : table) {
        SCOPED_TRACE(c.what);
        std::string reason;
        const std::unique_ptr<TSynthEngine> engine = TSynthEngine::Load(soundFont, reason);
        ASSERT_TRUE(engine) << reason;
        const TSynth whole(new_fluid_synth(engine->Settings()));
        ASSERT_NE(fluid_synth_sfload(whole.get(), soundFont.c_str(), 1), FLUID_FAILED);
        const int wholeCount = PresetCount(whole.get());
        EXPECT_EQ(PresetCount(engine->Synth()), int(StartingPresets().size()));

        const auto programChange = [&](int channel) {
            if (c.program >= 0)
                engine->Send(std::uint32_t(0xC0 | channel | c.program << 8));
        };
        const auto wholeProgramChange = [&](int channel) {
            if (c.program >= 0)
                fluid_synth_program_change(whole.get(), channel, c.program);
        };
        const std::vector<float> viewed = Render(programChange, engine->Synth(), c.channel, c.note);
        EXPECT_EQ(viewed, Render(wholeProgramChange, whole.get(), c.channel, c.note));
        EXPECT_GT(*std::max_element(viewed.begin(), viewed.end()), 0.01f);
        EXPECT_EQ(PresetCount(engine->Synth()), c.program >= 0 ? wholeCount : int(StartingPresets().size()));
    }
}
