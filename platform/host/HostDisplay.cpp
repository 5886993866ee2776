#include "platform/host/HostDisplay.h"

#include <fcntl.h>
#include <unistd.h>
#include <xf86drm.h>
#include <xf86drmMode.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>
#include <system_error>

#include "platform/machine/FileText.h"

namespace torvex::platform::host {

namespace fs = std::filesystem;

namespace {

constexpr const char* kWho = "display";

std::mutex& CardsMutex() {
    static std::mutex m;
    return m;
}
std::function<std::vector<DrmCard>(const fs::path&)>& Reader() {
    static std::function<std::vector<DrmCard>(const fs::path&)> reader;
    return reader;
}
std::map<std::string, std::vector<DrmCard>>& CardCache() {
    static std::map<std::string, std::vector<DrmCard>> cache;
    return cache;
}

// The device's path as udev names it ("/sys/devices/pci0000:00/..."), from
// the card's sysfs link below root.
std::string DevicePathOf(const fs::path& root, const std::string& node) {
    std::error_code ec;
    fs::path device = fs::canonical(root / "sys/class/drm" / node / "device", ec);
    if (ec) return {};
    fs::path base = fs::canonical(root, ec);
    if (ec) return {};
    fs::path relative = device.lexically_relative(base);
    if (relative.empty() || *relative.begin() == "..") return {};
    return "/" + relative.generic_string();
}

DisplayMode ModeOf(const drmModeModeInfo& m) {
    DisplayMode d;
    d.width = m.hdisplay;
    d.height = m.vdisplay;
    d.frequency = m.vrefresh;
    return d;
}

// The connector's CRTC: through its current encoder.
std::optional<DisplayMode> CurrentMode(int fd, const drmModeConnector& c) {
    if (!c.encoder_id) return std::nullopt;
    drmModeEncoderPtr encoder = drmModeGetEncoder(fd, c.encoder_id);
    if (!encoder) return std::nullopt;
    std::uint32_t crtcId = encoder->crtc_id;
    drmModeFreeEncoder(encoder);
    if (!crtcId) return std::nullopt;
    drmModeCrtcPtr crtc = drmModeGetCrtc(fd, crtcId);
    if (!crtc) return std::nullopt;
    std::optional<DisplayMode> mode;
    if (crtc->mode_valid) {
        mode = ModeOf(crtc->mode);
        if (drmModeFBPtr fb = crtc->buffer_id ? drmModeGetFB(fd, crtc->buffer_id) : nullptr) {
            mode->bitsPerPixel = fb->bpp;
            drmModeFreeFB(fb);
        }
    }
    drmModeFreeCrtc(crtc);
    return mode;
}

std::optional<DrmCard> ReadCard(const fs::path& root, const fs::path& nodePath) {
    std::string node = nodePath.filename().string();
    int fd = open(nodePath.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0 && (errno == EACCES || errno == EPERM)) fd = open(nodePath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        Trace(kWho, nodePath.string() + ": " + (errno == EACCES || errno == EPERM ? "permission denied" : std::strerror(errno)));
        return std::nullopt;
    }
    drmModeResPtr res = drmModeGetResources(fd);
    if (!res) {
        Trace(kWho, nodePath.string() + ": no mode setting (not a KMS device, or no access)");
        close(fd);
        return std::nullopt;
    }
    DrmCard card;
    card.node = node;
    if (drmVersionPtr v = drmGetVersion(fd)) {
        card.driver.assign(v->name ? v->name : "", v->name_len > 0 ? std::size_t(v->name_len) : 0);
        card.description.assign(v->desc ? v->desc : "", v->desc_len > 0 ? std::size_t(v->desc_len) : 0);
        drmFreeVersion(v);
    }
    for (int i = 0; i < res->count_connectors; ++i) {
        // The current state only: a full query makes the kernel probe the
        // monitor, which can take a long time.
        drmModeConnectorPtr c = drmModeGetConnectorCurrent(fd, res->connectors[i]);
        if (!c) continue;
        DrmConnector dc;
        if (const char* type = drmModeGetConnectorTypeName(c->connector_type))
            dc.name = std::string(type) + "-" + std::to_string(c->connector_type_id);
        dc.connected = c->connection == DRM_MODE_CONNECTED;
        dc.widthMM = c->mmWidth;
        dc.heightMM = c->mmHeight;
        for (int m = 0; m < c->count_modes; ++m) dc.modes.push_back(ModeOf(c->modes[m]));
        dc.current = CurrentMode(fd, *c);
        drmModeFreeConnector(c);
        card.connectors.push_back(std::move(dc));
    }
    drmModeFreeResources(res);
    close(fd);
    card.devicePath = DevicePathOf(root, node);
    // Cards with memory of their own say how much (amdgpu, radeon).
    fs::path vram = root / "sys/class/drm" / node / "device/mem_info_vram_total";
    std::error_code ec;
    if (fs::exists(vram, ec))
        if (auto text = ReadFileTraced(vram, kWho)) card.videoMemory = std::strtoull(Trim(*text).c_str(), nullptr, 10);
    return card;
}

const DrmConnector* PrimaryConnector(const std::vector<DrmCard>& cards) {
    for (const DrmCard& card : cards)
        for (const DrmConnector& c : card.connectors)
            if (c.connected && c.current && c.current->width && c.current->height) return &c;
    return nullptr;
}

// GDI's capability bits for a device that draws everything itself.
constexpr std::uint32_t kCurveAll = 0x01FF;
constexpr std::uint32_t kLineAll = 0x00FE;
constexpr std::uint32_t kPolygonAll = 0x00FF;
// Every raster capability except RC_BANDING (0002h) and RC_PALETTE (0100h).
constexpr std::uint32_t kRasterNoBandingNoPalette = 0x3A9D;
// Every text capability up to TC_VA_ABLE; TC_SCROLLBLT (10000h) says the
// device cannot scroll by copying, which the raster engine can.
constexpr std::uint32_t kTextAll = 0x7FFF;

}  // namespace

std::vector<DrmCard> ReadDrmCards(const fs::path& root) {
    std::vector<fs::path> nodes;
    std::error_code ec;
    fs::path dri = root / "dev/dri";
    for (const auto& entry : fs::directory_iterator(dri, ec)) {
        std::string name = entry.path().filename().string();
        if (name.rfind("card", 0) == 0) nodes.push_back(entry.path());
    }
    if (ec) Trace(kWho, dri.string() + ": " + (ec == std::errc::permission_denied ? "permission denied" : "missing"));
    std::sort(nodes.begin(), nodes.end());
    std::vector<DrmCard> cards;
    for (const auto& n : nodes)
        if (auto card = ReadCard(root, n)) cards.push_back(std::move(*card));
    if (cards.empty()) Trace(kWho, "no mode-setting card answers: no screen");
    return cards;
}

void SetDrmReader(std::function<std::vector<DrmCard>(const fs::path&)> reader) {
    std::lock_guard lock(CardsMutex());
    Reader() = std::move(reader);
    CardCache().clear();
}

const std::vector<DrmCard>& HostDrmCards(const fs::path& root) {
    std::lock_guard lock(CardsMutex());
    auto& cache = CardCache();
    auto it = cache.find(root.string());
    if (it == cache.end())
        it = cache.emplace(root.string(), Reader() ? Reader()(root) : ReadDrmCards(root)).first;
    return it->second;
}

ScreenFacts DrmScreen(const std::optional<ScreenFacts>& installed, const std::vector<DrmCard>& cards) {
    if (installed) return *installed;
    ScreenFacts s;
    const DrmConnector* c = PrimaryConnector(cards);
    if (!c) return s;
    s.width = int(c->current->width);
    s.height = int(c->current->height);
    s.bitsPerPixel = int(c->current->bitsPerPixel);
    s.planes = 1;
    // A console has no font scaling of its own: Windows' default.
    s.logPixels = 96;
    return s;
}

std::optional<DisplayFacts> HostDisplayFacts(const std::optional<ScreenFacts>& installed,
                                             const std::vector<DrmCard>& cards) {
    ScreenFacts screen = DrmScreen(installed, cards);
    if (screen.width <= 0 || screen.height <= 0) return std::nullopt;
    const DrmConnector* c = PrimaryConnector(cards);
    DisplayFacts f;
    f.technology = 1;   // a raster display
    if (c && c->widthMM && c->heightMM) {
        f.widthMM = std::int32_t(c->widthMM);
        f.heightMM = std::int32_t(c->heightMM);
    } else if (screen.logPixels > 0) {
        // GDI's own answer when the monitor does not say: the size at the
        // screen's dots per inch.
        f.widthMM = std::int32_t(screen.width * 254 / (screen.logPixels * 10));
        f.heightMM = std::int32_t(screen.height * 254 / (screen.logPixels * 10));
    }
    // Square pixels.
    f.aspectX = 36;
    f.aspectY = 36;
    f.aspectXY = 51;
    f.curveCaps = kCurveAll;
    f.lineCaps = kLineAll;
    f.polygonalCaps = kPolygonAll;
    f.rasterCaps = kRasterNoBandingNoPalette;
    f.textCaps = kTextAll;
    if (c) {
        // The connector's listed modes at the framebuffer's depth: the
        // kernel's modes carry no depth of their own.
        for (DisplayMode m : c->modes) {
            m.bitsPerPixel = std::uint32_t(screen.bitsPerPixel);
            f.modes.push_back(m);
        }
    }
    if (f.modes.empty())
        f.modes.push_back({std::uint32_t(screen.width), std::uint32_t(screen.height),
                           std::uint32_t(screen.bitsPerPixel), 0});
    return f;
}

void ProjectVideoKeys(Registry& registry, const std::vector<HostDevice>& devices, const std::vector<DrmCard>& cards,
                      const fs::path&) {
    // The adapter the program takes is the first active display device: the
    // one whose driver key is the class's "0000".
    auto adapter = std::find_if(devices.begin(), devices.end(), [](const HostDevice& d) {
        return d.active && d.className == "Display" && !d.service.empty();
    });
    if (adapter == devices.end()) return;
    auto card = std::find_if(cards.begin(), cards.end(), [&](const DrmCard& c) {
        return !c.devicePath.empty() && c.devicePath == adapter->sourcePath;
    });
    if (card == cards.end()) {
        Trace(kWho, "no mode-setting card for " + adapter->sourcePath + ": chip and memory unknown");
        return;
    }
    RegKey& key = registry.root(RegRoot::LocalMachine)
                      .ensure("SYSTEM\\CurrentControlSet\\Services\\" + ServiceKeyName(adapter->service) + "\\Device0");
    // Windows' drivers keep these texts as UTF-16 in binary values.
    auto wide = [&key](const std::string& name, const std::string& text) {
        std::u16string w = Utf8ToUtf16(text);
        std::vector<std::uint8_t> bytes;
        for (char16_t c : w) {
            bytes.push_back(std::uint8_t(c & 0xFF));
            bytes.push_back(std::uint8_t(c >> 8));
        }
        bytes.push_back(0);
        bytes.push_back(0);
        key.setValue(RegValue::Binary(name, std::move(bytes)));
    };
    std::string chip = card->description.empty() ? card->driver : card->description;
    if (!chip.empty()) wide("HardwareInformation.ChipType", chip);
    if (card->videoMemory > 0) {
        // Four bytes, as Windows keeps it, which the program reads as a
        // signed number: 2 GB and more stop just below 2 GB rather than
        // turning negative.
        std::uint32_t bytes = card->videoMemory > 0x7FFFFFFFull ? 0x7FFFFFFFu : std::uint32_t(card->videoMemory);
        key.setValue(RegValue::Binary("HardwareInformation.MemorySize",
                                      {std::uint8_t(bytes), std::uint8_t(bytes >> 8), std::uint8_t(bytes >> 16),
                                       std::uint8_t(bytes >> 24)}));
    }
}

}  // namespace torvex::platform::host
