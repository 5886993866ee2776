#include "platform/classes/StringList.h"

#include <algorithm>

namespace torvex::classes {

TStringList::~TStringList() = default;

TStringList::TStringList(TStringList&& other) noexcept
    : TPersistent(), items_(std::move(other.items_)), sorted_(other.sorted_) {}

TStringList& TStringList::operator=(TStringList&& other) noexcept {
    items_ = std::move(other.items_);
    sorted_ = other.sorted_;
    return *this;
}

void TStringList::CheckIndex(int index) const {
    if (index < 0 || index >= Count())
        throw EStringListError(Format("List index out of bounds (%d)", {index}));
}

int TStringList::Add(std::string text) { return AddObject(std::move(text), nullptr); }

int TStringList::AddObject(std::string text, std::unique_ptr<TObject> object) {
    int index = Count();
    if (sorted_) Find(text, index);
    // A sorted list puts an equal text after those already there.
    if (sorted_)
        while (index < Count() && AnsiCompareText(items_[std::size_t(index)].text, text) == 0) ++index;
    items_.insert(items_.begin() + index, Entry{std::move(text), std::move(object)});
    return index;
}

void TStringList::Insert(int index, std::string text) { InsertObject(index, std::move(text), nullptr); }

void TStringList::InsertObject(int index, std::string text, std::unique_ptr<TObject> object) {
    if (sorted_) throw EStringListError("Operation not allowed on sorted list");
    if (index < 0 || index > Count())
        throw EStringListError(Format("List index out of bounds (%d)", {index}));
    items_.insert(items_.begin() + index, Entry{std::move(text), std::move(object)});
}

void TStringList::AddStrings(const TStringList& other) {
    if (&other == this) {
        AddStrings(other.ToVector());
        return;
    }
    for (const auto& e : other.items_) Add(e.text);
}

void TStringList::AddStrings(const std::vector<std::string>& texts) {
    for (const auto& t : texts) Add(t);
}

void TStringList::Assign(const TStringList& other) {
    if (&other == this) return;
    Clear();
    AddStrings(other);
}

void TStringList::Delete(int index) {
    CheckIndex(index);
    items_.erase(items_.begin() + index);
}

void TStringList::Clear() { items_.clear(); }

void TStringList::Exchange(int a, int b) {
    CheckIndex(a);
    CheckIndex(b);
    std::swap(items_[std::size_t(a)], items_[std::size_t(b)]);
}

void TStringList::Move(int from, int to) {
    CheckIndex(from);
    CheckIndex(to);
    if (from == to) return;
    Entry e = std::move(items_[std::size_t(from)]);
    items_.erase(items_.begin() + from);
    items_.insert(items_.begin() + to, std::move(e));
}

const std::string& TStringList::Strings(int index) const {
    CheckIndex(index);
    return items_[std::size_t(index)].text;
}

void TStringList::SetString(int index, std::string text) {
    CheckIndex(index);
    items_[std::size_t(index)].text = std::move(text);
}

TObject* TStringList::Objects(int index) const {
    CheckIndex(index);
    return items_[std::size_t(index)].object.get();
}

void TStringList::SetObject(int index, std::unique_ptr<TObject> object) {
    CheckIndex(index);
    items_[std::size_t(index)].object = std::move(object);
}

std::unique_ptr<TObject> TStringList::ExtractObject(int index) {
    CheckIndex(index);
    return std::move(items_[std::size_t(index)].object);
}

int TStringList::IndexOf(std::string_view text) const {
    if (sorted_) {
        int index;
        return Find(text, index) ? index : -1;
    }
    for (int i = 0; i < Count(); ++i)
        if (AnsiCompareText(items_[std::size_t(i)].text, text) == 0) return i;
    return -1;
}

int TStringList::IndexOfObject(const TObject* object) const {
    for (int i = 0; i < Count(); ++i)
        if (items_[std::size_t(i)].object.get() == object) return i;
    return -1;
}

int TStringList::IndexOfName(std::string_view name) const {
    for (int i = 0; i < Count(); ++i) {
        const std::string& t = items_[std::size_t(i)].text;
        auto eq = t.find('=');
        if (eq != std::string::npos && AnsiCompareText(std::string_view(t).substr(0, eq), name) == 0)
            return i;
    }
    return -1;
}

std::string TStringList::Names(int index) const {
    const std::string& t = Strings(index);
    auto eq = t.find('=');
    return eq == std::string::npos ? std::string() : t.substr(0, eq);
}

std::string TStringList::ValueFromIndex(int index) const {
    const std::string& t = Strings(index);
    auto eq = t.find('=');
    return eq == std::string::npos ? std::string() : t.substr(eq + 1);
}

std::string TStringList::Values(std::string_view name) const {
    int i = IndexOfName(name);
    return i < 0 ? std::string() : ValueFromIndex(i);
}

void TStringList::SetValue(std::string_view name, std::string_view value) {
    int i = IndexOfName(name);
    if (value.empty()) {
        if (i >= 0) Delete(i);
        return;
    }
    std::string line = std::string(name) + "=" + std::string(value);
    if (i < 0)
        Add(std::move(line));
    else
        items_[std::size_t(i)].text = std::move(line);
}

std::string TStringList::CommaText() const { return DelimitedText(',', '"'); }

void TStringList::SetCommaText(std::string_view text) { SetDelimitedText(text, ',', '"'); }

namespace {

bool Blank(char c) { return c != 0 && static_cast<unsigned char>(c) <= ' '; }

std::string Quoted(const std::string& s, char quote) {
    std::string out(1, quote);
    for (char c : s) {
        out += c;
        if (c == quote) out += quote;
    }
    out += quote;
    return out;
}

}  // namespace

std::string TStringList::DelimitedText(char delimiter, char quote) const {
    if (Count() == 1 && items_[0].text.empty()) return std::string(2, quote);
    std::string out;
    for (int i = 0; i < Count(); ++i) {
        const std::string& s = items_[std::size_t(i)].text;
        bool needsQuotes = std::any_of(s.begin(), s.end(), [&](char c) {
            return static_cast<unsigned char>(c) <= ' ' || c == quote || c == delimiter;
        });
        if (i) out += delimiter;
        out += needsQuotes ? Quoted(s, quote) : s;
    }
    return out;
}

void TStringList::SetDelimitedText(std::string_view text, char delimiter, char quote) {
    Clear();
    std::size_t p = 0;
    const std::size_t n = text.size();
    while (p < n && Blank(text[p])) ++p;
    while (p < n) {
        std::string s;
        if (text[p] == quote) {
            ++p;
            while (p < n) {
                if (text[p] == quote) {
                    if (p + 1 < n && text[p + 1] == quote) {
                        s += quote;
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                s += text[p++];
            }
        } else {
            std::size_t start = p;
            while (p < n && static_cast<unsigned char>(text[p]) > ' ' && text[p] != delimiter) ++p;
            s.assign(text.substr(start, p - start));
        }
        Add(std::move(s));
        while (p < n && Blank(text[p])) ++p;
        if (p < n && text[p] == delimiter) {
            // A delimiter at the very end stands for one more, empty, entry.
            if (p + 1 == n) Add("");
            do
                ++p;
            while (p < n && Blank(text[p]));
        }
    }
}

std::string TStringList::Text(std::string_view lineBreak) const {
    std::string out;
    for (const auto& e : items_) {
        out += e.text;
        out += lineBreak;
    }
    return out;
}

void TStringList::SetText(std::string_view text) {
    Clear();
    std::size_t p = 0;
    const std::size_t n = text.size();
    while (p < n) {
        std::size_t start = p;
        while (p < n && text[p] != '\r' && text[p] != '\n') ++p;
        Add(std::string(text.substr(start, p - start)));
        if (p < n && text[p] == '\r') ++p;
        if (p < n && text[p] == '\n') ++p;
    }
}

void TStringList::Sort() {
    std::stable_sort(items_.begin(), items_.end(), [](const Entry& a, const Entry& b) {
        return AnsiCompareText(a.text, b.text) < 0;
    });
}

void TStringList::CustomSort(const std::function<int(const TStringList&, int, int)>& compare) {
    // Sort a permutation, so that the comparison sees the list as it stands.
    std::vector<int> order(items_.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = int(i);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return compare(*this, a, b) < 0; });
    std::vector<Entry> sorted;
    sorted.reserve(items_.size());
    for (int i : order) sorted.push_back(std::move(items_[std::size_t(i)]));
    items_ = std::move(sorted);
    sorted_ = false;
}

void TStringList::SetSorted(bool sorted) {
    if (sorted && !sorted_) Sort();
    sorted_ = sorted;
}

bool TStringList::Find(std::string_view text, int& index) const {
    int lo = 0, hi = Count() - 1;
    bool found = false;
    while (lo <= hi) {
        int mid = (lo + hi) / 2;
        int c = AnsiCompareText(items_[std::size_t(mid)].text, text);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0) found = true;
        }
    }
    index = lo;
    return found;
}

std::vector<std::string> TStringList::ToVector() const {
    std::vector<std::string> v;
    v.reserve(items_.size());
    for (const auto& e : items_) v.push_back(e.text);
    return v;
}

}  // namespace torvex::classes
