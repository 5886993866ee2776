// The string list: ordered texts with owned objects, comma texts, name=value
// look-ups and sorting by the user's language.
#include <gtest/gtest.h>

#include "platform/classes/Classes.h"

using namespace torvex;

namespace {

// Counts its own destruction, to see who frees the objects.
struct Tracked : TObject {
    explicit Tracked(int& counter) : counter_(counter) {}
    ~Tracked() override { ++counter_; }
    int& counter_;
};

TStringList ListOf(std::initializer_list<const char*> texts) {
    TStringList l;
    for (auto t : texts) l.Add(t);
    return l;
}

}  // namespace

TEST(ClassesStringList, KeepsOrderAndOwnsObjects) {
    int freed = 0;
    {
        TStringList l;
        EXPECT_EQ(l.Add("b"), 0);
        EXPECT_EQ(l.AddObject("a", std::make_unique<Tracked>(freed)), 1);
        l.Insert(0, "first");
        l.InsertObject(3, "last", std::make_unique<Tracked>(freed));
        ASSERT_EQ(l.Count(), 4);
        EXPECT_EQ(l[0], "first");
        EXPECT_EQ(l[2], "a");
        EXPECT_NE(l.Objects(2), nullptr);
        EXPECT_EQ(l.Objects(1), nullptr);
        EXPECT_EQ(l.IndexOfObject(l.Objects(3)), 3);
        l.Delete(2);   // frees the entry's object
        EXPECT_EQ(freed, 1);
        auto taken = l.ExtractObject(2);
        EXPECT_EQ(l.Objects(2), nullptr);
        taken.reset();
        EXPECT_EQ(freed, 2);
        l.SetObject(0, std::make_unique<Tracked>(freed));
    }
    EXPECT_EQ(freed, 3);   // the list freed the last one with itself
}

TEST(ClassesStringList, IndexOutsideRaises) {
    TStringList l = ListOf({"x"});
    EXPECT_THROW(l.Strings(1), EStringListError);
    EXPECT_THROW(l.Delete(-1), EStringListError);
    EXPECT_THROW(l.Insert(3, "y"), EStringListError);
    try {
        l.Strings(5);
    } catch (const EStringListError& e) {
        EXPECT_EQ(e.Message(), "List index out of bounds (5)");
    }
}

TEST(ClassesStringList, IndexOfIgnoresCaseIncludingAccentedLetters) {
    TStringList l = ListOf({"Processor", "ÆRØSKØBING", "Øst"});
    EXPECT_EQ(l.IndexOf("PROCESSOR"), 0);
    EXPECT_EQ(l.IndexOf("ærøskøbing"), 1);
    EXPECT_EQ(l.IndexOf("øst"), 2);
    EXPECT_EQ(l.IndexOf("Ost"), -1);   // accents count
    EXPECT_EQ(l.IndexOf("Process"), -1);
}

TEST(ClassesStringList, NameValueEntries) {
    TStringList l = ListOf({"Path=C:\\WINDOWS", "TEMP=C:\\TEMP", "novalue", "Empty="});
    EXPECT_EQ(l.Values("path"), "C:\\WINDOWS");
    EXPECT_EQ(l.Values("Empty"), "");
    EXPECT_EQ(l.Values("missing"), "");
    EXPECT_EQ(l.IndexOfName("temp"), 1);
    EXPECT_EQ(l.Names(2), "");
    EXPECT_EQ(l.ValueFromIndex(0), "C:\\WINDOWS");
    // A value may itself hold "=".
    l.Add("Expr=a=b");
    EXPECT_EQ(l.Values("Expr"), "a=b");
    l.SetValue("TEMP", "D:\\TMP");
    EXPECT_EQ(l[1], "TEMP=D:\\TMP");
    l.SetValue("New", "1");
    EXPECT_EQ(l[l.Count() - 1], "New=1");
    l.SetValue("path", "");   // an empty value removes the entry
    EXPECT_EQ(l.IndexOfName("Path"), -1);
}

TEST(ClassesStringList, CommaTextQuotesWhatNeedsIt) {
    EXPECT_EQ(ListOf({}).CommaText(), "");
    EXPECT_EQ(ListOf({""}).CommaText(), "\"\"");
    EXPECT_EQ(ListOf({"a", "b c", "d,e", "say \"hi\"", ""}).CommaText(),
              "a,\"b c\",\"d,e\",\"say \"\"hi\"\"\",");
    EXPECT_EQ(ListOf({"a", "", "b"}).CommaText(), "a,,b");
    EXPECT_EQ(ListOf({"tab\there"}).CommaText(), "\"tab\there\"");
}

TEST(ClassesStringList, CommaTextReadsBlanksAsSeparators) {
    TStringList l;
    l.SetCommaText("  a, b c ,\"d,e\" ,\"x\"\"y\",,last,");
    EXPECT_EQ(l.ToVector(), (std::vector<std::string>{"a", "b", "c", "d,e", "x\"y", "", "last", ""}));
    l.SetCommaText("");
    EXPECT_EQ(l.Count(), 0);
    l.SetCommaText("\"unclosed, text");
    EXPECT_EQ(l.ToVector(), (std::vector<std::string>{"unclosed, text"}));
    // Writing and reading again gives the same list.
    TStringList original = ListOf({"C:\\Program Files\\x.exe", "", "a\"b", "plain"});
    TStringList copy;
    copy.SetCommaText(original.CommaText());
    EXPECT_EQ(copy.ToVector(), original.ToVector());
}

TEST(ClassesStringList, TextAndLines) {
    TStringList l;
    l.SetText("one\r\ntwo\nthree\rfour");
    EXPECT_EQ(l.ToVector(), (std::vector<std::string>{"one", "two", "three", "four"}));
    EXPECT_EQ(l.Text(), "one\ntwo\nthree\nfour\n");
    EXPECT_EQ(l.Text("\r\n"), "one\r\ntwo\r\nthree\r\nfour\r\n");
    l.SetText("a\n\nb\n");
    EXPECT_EQ(l.ToVector(), (std::vector<std::string>{"a", "", "b"}));
}

TEST(ClassesStringList, SortIgnoresCaseAndFollowsTheLanguage) {
    classes::SetCollationLocale("nb_NO");
    TStringList l = ListOf({"Øre", "beta", "Alpha", "Ære", "åpen", "zulu", "BETA"});
    int freed = 0;
    l.SetObject(1, std::make_unique<Tracked>(freed));
    l.Sort();
    // Norwegian puts Æ, Ø, Å after Z; equal texts keep their order.
    EXPECT_EQ(l.ToVector(),
              (std::vector<std::string>{"Alpha", "beta", "BETA", "zulu", "Ære", "Øre", "åpen"}));
    EXPECT_NE(l.Objects(1), nullptr);   // the object moved with its text
    classes::SetCollationLocale("");
    EXPECT_LT(AnsiCompareText("apple", "Banana"), 0);
    EXPECT_EQ(AnsiCompareText("WINDOWS", "windows"), 0);
}

TEST(ClassesStringList, SortedListInsertsInPlaceAndFinds) {
    TStringList l;
    l.SetSorted(true);
    for (auto t : {"delta", "Alpha", "charlie", "bravo"}) l.Add(t);
    EXPECT_EQ(l.ToVector(), (std::vector<std::string>{"Alpha", "bravo", "charlie", "delta"}));
    int index = -1;
    EXPECT_TRUE(l.Find("CHARLIE", index));
    EXPECT_EQ(index, 2);
    EXPECT_FALSE(l.Find("beta", index));
    EXPECT_EQ(index, 1);
    EXPECT_EQ(l.IndexOf("DELTA"), 3);
    EXPECT_THROW(l.Insert(0, "x"), EStringListError);
}

TEST(ClassesStringList, ExchangeMoveAndAssign) {
    TStringList l = ListOf({"a", "b", "c"});
    l.Exchange(0, 2);
    EXPECT_EQ(l.CommaText(), "c,b,a");
    l.Move(0, 2);
    EXPECT_EQ(l.CommaText(), "b,a,c");
    TStringList other;
    other.Assign(l);
    other.AddStrings(l);
    EXPECT_EQ(other.CommaText(), "b,a,c,b,a,c");
    l.CustomSort([](const TStringList& s, int x, int y) { return s[y].compare(s[x]); });
    EXPECT_EQ(l.CommaText(), "c,b,a");
}
