#include "platform/host/HostMedia.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <system_error>

#include "platform/machine/FileText.h"

namespace torvex::platform::host {

namespace fs = std::filesystem;

namespace {

constexpr const char* kWho = "media";

struct Card {
    std::string name;             // "HDA Intel PCH"
    std::uint32_t version = 0;    // major in bits 8-15, minor in bits 0-7
};

// "1.2.3" -> 0102h; anything else 0.
std::uint32_t VersionOf(std::string_view text) {
    text = TrimView(text);
    unsigned major = 0, minor = 0;
    auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), major);
    if (ec != std::errc() || p == text.data() + text.size() || *p != '.') return 0;
    auto [q, ec2] = std::from_chars(p + 1, text.data() + text.size(), minor);
    if (ec2 != std::errc() || major > 255 || minor > 255) return 0;
    return (major << 8) | minor;
}

std::uint32_t ModuleVersion(const fs::path& root, int card) {
    std::error_code ec;
    fs::path module = fs::read_symlink(root / "sys/class/sound" / ("card" + std::to_string(card)) / "device/driver/module", ec);
    if (ec) return 0;
    fs::path version = root / "sys/module" / module.filename() / "version";
    if (!fs::exists(version, ec)) return 0;   // most modules carry none
    auto text = ReadFileTraced(version, kWho);
    return text ? VersionOf(*text) : 0;
}

// " 0 [PCH            ]: HDA-Intel - HDA Intel PCH": the card's number and
// its name after " - ". Continuation lines (the long name) are skipped.
std::map<int, Card> ReadCards(const fs::path& root, const std::string& text) {
    std::map<int, Card> cards;
    ForEachLine(text, [&](std::string_view line, int number) {
        std::string_view t = TrimView(line);
        int index = 0;
        auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), index);
        if (ec != std::errc() || p == t.data() + t.size() || *p != ' ') return true;
        std::string_view rest(p, t.data() + t.size() - p);
        auto dash = rest.find(" - ");
        if (rest.find("]:") == std::string_view::npos || dash == std::string_view::npos) {
            Trace(kWho, "/proc/asound/cards: unparsable at line " + std::to_string(number));
            return true;
        }
        Card c;
        c.name = Trim(rest.substr(dash + 3));
        c.version = ModuleVersion(root, index);
        cards[index] = c;
        return true;
    });
    return cards;
}

MediaDevice Device(const std::string& name, std::uint32_t version) {
    MediaDevice d;
    d.name = name;
    d.driverVersion = version;
    return d;
}

}  // namespace

MediaFacts HostMediaFacts(const fs::path& root) {
    MediaFacts f;
    fs::path asound = root / "proc/asound";
    auto cardsText = ReadFileTraced(asound / "cards", kWho);
    if (!cardsText) return f;   // no ALSA: no sound devices
    std::map<int, Card> cards = ReadCards(root, *cardsText);
    if (cards.empty()) {
        Trace(kWho, (asound / "cards").string() + ": no sound cards");
        return f;
    }

    // "00-00: ALC3246 Analog : ALC3246 Analog : playback 1 : capture 1":
    // card-device, id, name, then the directions the device has.
    if (auto pcm = ReadFileTraced(asound / "pcm", kWho)) {
        ForEachLine(*pcm, [&](std::string_view line, int number) {
            std::vector<std::string_view> fields = Split(line, ':');
            int card = -1;
            std::string_view head = TrimView(fields[0]);
            auto [p, ec] = std::from_chars(head.data(), head.data() + head.size(), card);
            if (fields.size() < 3 || ec != std::errc() || !cards.count(card)) {
                Trace(kWho, (asound / "pcm").string() + ": unparsable at line " + std::to_string(number));
                return true;
            }
            std::string name = Trim(fields[2]);
            for (std::size_t i = 3; i < fields.size(); ++i) {
                std::string_view dir = TrimView(fields[i]);
                if (dir.rfind("playback", 0) == 0) f.of(MediaKind::waveOut).push_back(Device(name, cards[card].version));
                if (dir.rfind("capture", 0) == 0) f.of(MediaKind::waveIn).push_back(Device(name, cards[card].version));
            }
            return true;
        });
    }

    for (const auto& [index, card] : cards) {
        // Raw MIDI devices: the file's first line names the device, "Output"
        // and "Input" sections say which directions it has.
        fs::path dir = asound / ("card" + std::to_string(index));
        std::vector<std::pair<int, fs::path>> midis;
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(dir, ec)) {
            std::string n = entry.path().filename().string();
            int number = 0;
            if (n.rfind("midi", 0) == 0 &&
                std::from_chars(n.data() + 4, n.data() + n.size(), number).ptr == n.data() + n.size())
                midis.emplace_back(number, entry.path());
        }
        std::sort(midis.begin(), midis.end());
        for (const auto& [number, path] : midis) {
            auto text = ReadFileTraced(path, kWho);
            if (!text) continue;
            std::vector<std::string_view> lines = SplitLines(*text);
            std::string name = lines.empty() ? card.name : Trim(lines[0]);
            bool out = false, in = false;
            for (std::string_view l : lines) {
                if (l.rfind("Output", 0) == 0) out = true;
                if (l.rfind("Input", 0) == 0) in = true;
            }
            if (out) f.of(MediaKind::midiOut).push_back(Device(name, card.version));
            if (in) f.of(MediaKind::midiIn).push_back(Device(name, card.version));
        }
        f.of(MediaKind::mixer).push_back(Device(card.name, card.version));
    }
    return f;
}

}  // namespace torvex::platform::host
