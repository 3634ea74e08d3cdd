#include "platform/midi/SoundFontView.h"

#include "platform/core/LittleEndian.h"
#include "platform/midi/SoundFontPresets.h"
#include "platform/runtime/FileDescriptor.h"

#include <fluidsynth.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

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

std::unique_ptr<TViewFile> TViewFile::Open(const char* name)
{
    std::string_view path(name);
    const bool view = path.starts_with(kViewPrefix);
    if (view)
        path.remove_prefix(kViewPrefix.size());
    auto file = std::make_unique<TViewFile>();
    // Not waiting on a named pipe: only a regular file is read.
    file->file_ = TFileDescriptor(::open(std::string(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
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
    if (!ReadAllAt(fd, head, sizeof head, 0) || std::memcmp(head, "RIFF", 4) != 0)
        return false;
    const std::int64_t end = std::min<std::int64_t>(fileSize, 8 + std::int64_t(GetLE32(head + 4)));
    std::vector<std::uint8_t> riff(head, head + sizeof head);
    AddMemory(riff);
    bool cut = false;
    for (std::int64_t at = 12; at + 12 <= end;) {
        std::uint8_t chunk[12];
        if (!ReadAllAt(fd, chunk, sizeof chunk, at))
            return false;
        const std::int64_t size = GetLE32(chunk + 4);
        const std::int64_t next = std::min(end, at + 8 + size + (size & 1));
        if (!cut && std::memcmp(chunk, "LIST", 4) == 0 && std::memcmp(chunk + 8, "pdta", 4) == 0 && size >= 4
            && std::uint64_t(size) <= kMaxPresetData && at + 8 + size <= end) {
            std::vector<std::uint8_t> body(std::size_t(size - 4));
            if (!ReadAllAt(fd, body.data(), body.size(), at + 12))
                return false;
            if (std::optional<std::vector<std::uint8_t>> kept = KeepPresets(body, StartingPresets())) {
                std::vector<std::uint8_t> list{'L', 'I', 'S', 'T'};
                PutLE32(list, std::uint32_t(kept->size() + 4));
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
                if (!ReadAllAt(file_.Get(), out, std::size_t(n), piece.fileOffset + from))
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
