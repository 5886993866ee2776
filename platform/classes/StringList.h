// The string list: ordered texts, each with an optional owned object.
//
// Every category keeps its lists in one and every report is written into one.
// Look-ups (IndexOf, IndexOfName, Find) and Sort compare texts the way the
// user's language does, ignoring letter case (AnsiCompareText).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/classes/Persistent.h"
#include "platform/classes/SysUtils.h"

namespace torvex::classes {

// An index outside the list.
class EStringListError : public Exception {
public:
    using Exception::Exception;
};

class TStringList : public TPersistent {
public:
    TStringList() = default;
    // Lists move (with their objects) but are not copied; Assign copies texts.
    TStringList(TStringList&& other) noexcept;
    TStringList& operator=(TStringList&& other) noexcept;
    ~TStringList() override;

    int Count() const { return int(items_.size()); }
    bool Empty() const { return items_.empty(); }

    // Appends (or, in a sorted list, inserts at its place); returns the index.
    int Add(std::string text);
    int AddObject(std::string text, std::unique_ptr<TObject> object);
    void Insert(int index, std::string text);
    void InsertObject(int index, std::string text, std::unique_ptr<TObject> object);
    // Appends the texts of another list (its objects stay with it).
    void AddStrings(const TStringList& other);
    void AddStrings(const std::vector<std::string>& texts);
    // Replaces the texts with those of another list; objects are dropped.
    void Assign(const TStringList& other);
    void Delete(int index);
    void Clear();
    void Exchange(int a, int b);
    void Move(int from, int to);

    const std::string& Strings(int index) const;
    const std::string& operator[](int index) const { return Strings(index); }
    void SetString(int index, std::string text);
    TObject* Objects(int index) const;
    void SetObject(int index, std::unique_ptr<TObject> object);
    // Hands the object of an entry to the caller; the entry keeps no object.
    std::unique_ptr<TObject> ExtractObject(int index);

    // First entry equal to text, ignoring letter case; -1 when none.
    int IndexOf(std::string_view text) const;
    int IndexOfObject(const TObject* object) const;

    // name=value entries.
    int IndexOfName(std::string_view name) const;
    std::string Names(int index) const;
    std::string ValueFromIndex(int index) const;
    // The value of the first entry with that name, "" when none.
    std::string Values(std::string_view name) const;
    // Sets the value of name; an empty value removes the entry.
    void SetValue(std::string_view name, std::string_view value);

    // The texts separated by commas; a text that is empty among others, or
    // that holds a blank, a control character, a comma or a quote, is written
    // in double quotes with inner quotes doubled. A list of one empty text
    // reads "\"\"".
    std::string CommaText() const;
    // Replaces the list by the texts of a comma text: entries are separated by
    // commas or blanks; a quoted entry may hold both ("" inside stands for ").
    void SetCommaText(std::string_view text);
    std::string DelimitedText(char delimiter = ',', char quote = '"') const;
    void SetDelimitedText(std::string_view text, char delimiter = ',', char quote = '"');

    // Each text followed by lineBreak.
    std::string Text(std::string_view lineBreak = "\n") const;
    // Replaces the list by the lines of text; CR LF, LF and CR end a line.
    void SetText(std::string_view text);

    // Sorts by AnsiCompareText; entries keep their objects.
    void Sort();
    void CustomSort(const std::function<int(const TStringList&, int, int)>& compare);
    // A sorted list keeps its order on Add and answers Find by bisection.
    bool Sorted() const { return sorted_; }
    void SetSorted(bool sorted);
    // Position of text in a sorted list: true when found, index = its place.
    bool Find(std::string_view text, int& index) const;

    std::vector<std::string> ToVector() const;

private:
    struct Entry {
        std::string text;
        std::unique_ptr<TObject> object;
    };
    void CheckIndex(int index) const;
    std::vector<Entry> items_;
    bool sorted_ = false;
};

}  // namespace torvex::classes
