// TList, TStringList, TCollection and the streams.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "classes/collections.h"
#include "classes/component.h"
#include "classes/exceptions.h"
#include "classes/lists.h"
#include "classes/streams.h"
#include "classes/strings.h"
#include "classes/temp_dir.h"
#include "support/expect.h"

namespace {

using namespace cls;
using testdrv::ExpectError;

// --- TList ---

TEST(List, EditingAndSorting) {
    int V[5] = {5, 3, 9, 1, 7};
    TList L;
    for (int& X : V) L.Add(&X);
    L.Insert(0, nullptr);
    EXPECT_EQ(L.Count(), 6);
    L.Pack();
    EXPECT_EQ(L.Count(), 5);
    EXPECT_EQ(L.Remove(&V[1]), 1);
    EXPECT_EQ(L.Extract(&V[1]), nullptr);
    EXPECT_EQ(L.Extract(&V[2]), &V[2]);
    L.Add(&V[1]);
    L.Add(&V[2]);
    L.Sort([](void* A, void* B) { return *static_cast<int*>(A) - *static_cast<int*>(B); });
    std::vector<int> Sorted;
    for (int I = 0; I < L.Count(); ++I) Sorted.push_back(*static_cast<int*>(L[I]));
    EXPECT_EQ(Sorted, (std::vector<int>{1, 3, 5, 7, 9}));
    L.Move(0, 4);
    L.Exchange(0, 1);
    EXPECT_EQ(L.First(), &V[0]);
    EXPECT_EQ(L.Last(), &V[3]);
    EXPECT_EQ(L.IndexOf(&V[4]), 2);
    L.Sort([](void*, void*) { return 1; }); // an inconsistent comparison must not run off the list
    EXPECT_EQ(L.Count(), 5);
    ExpectError<EListError>([&] { L.SetCapacity(2); }, "List capacity out of bounds (2)");
}

TEST(List, BadIndexesRaiseListError) {
    int X = 0;
    TList L;
    L.Add(&X);
    L.Add(&X);
    const std::vector<std::pair<std::function<void()>, int>> Cases = {
        {[&] { L.Delete(-1); }, -1},   {[&] { L.Delete(2); }, 2},         {[&] { L.Items(2); }, 2},
        {[&] { L.Insert(3, &X); }, 3}, {[&] { L.Exchange(0, 5); }, 5},    {[&] { L.Move(0, 2); }, 2},
        {[&] { L.Move(7, 0); }, 7},    {[&] { L.SetItems(-3, &X); }, -3},
    };
    for (const auto& [Action, Index] : Cases) {
        ExpectError<EListError>(
            Action, std::string("List index out of bounds (").append(std::to_string(Index)).append(")"));
    }
    EXPECT_EQ(L.Count(), 2);
    TList Empty;
    ExpectError<EListError>([&] { Empty.First(); }, "List index out of bounds (0)");
    ExpectError<EListError>([&] { Empty.Last(); }, "List index out of bounds (-1)");
}

// --- TStringList ---

std::vector<std::string> Items(const TStrings& S) {
    std::vector<std::string> Result;
    for (int I = 0; I < S.Count(); ++I) Result.push_back(S[I]);
    return Result;
}

TEST(StringList, SortedListsAndDuplicates) {
    struct Case {
        TDuplicates Duplicates;
        bool CaseSensitive;
        std::vector<std::string> Expected;
        bool Raises;
    };
    const Case Cases[] = {
        {dupIgnore, false, {"apple", "Banana", "ёж", "Яблоко"}, false},
        // An accepted duplicate goes before the equal ones already there.
        {dupAccept, false, {"Apple", "apple", "Banana", "Ёж", "ёж", "Яблоко"}, false},
        {dupError, false, {"apple", "Banana", "Яблоко"}, true},
        {dupIgnore, true, {"apple", "Apple", "Banana", "ёж", "Ёж", "Яблоко"}, false},
    };
    for (const Case& C : Cases) {
        TStringList L;
        L.SetCaseSensitive(C.CaseSensitive);
        L.SetDuplicates(C.Duplicates);
        L.SetSorted(true);
        bool Raised = false;
        for (const char* S : {"Banana", "apple", "Яблоко", "Apple", "ёж", "Ёж"}) {
            try {
                L.Add(S);
            } catch (const EStringListError& E) {
                EXPECT_EQ(E.Message(), "String list does not allow duplicates");
                Raised = true;
                break;
            }
        }
        EXPECT_EQ(Raised, C.Raises);
        EXPECT_EQ(Items(L), C.Expected);
    }

    TStringList L;
    L.SetText("c\nB\na\n");
    L.SetSorted(true);
    EXPECT_EQ(Items(L), (std::vector<std::string>{"a", "B", "c"}));
    int Index = -1;
    EXPECT_TRUE(L.Find("b", Index));
    EXPECT_EQ(Index, 1);
    EXPECT_FALSE(L.Find("bb", Index));
    EXPECT_EQ(Index, 2);
    EXPECT_EQ(L.IndexOf("C"), 2);
    L.SetCaseSensitive(true); // sorts again: lower case first among equals
    L.Add("b");
    EXPECT_EQ(Items(L), (std::vector<std::string>{"a", "b", "B", "c"}));
    ExpectError<EStringListError>([&] { L.Insert(0, "x"); }, "Operation not allowed on sorted list");
    ExpectError<EStringListError>([&] { L.Move(0, 3); }, "Operation not allowed on sorted list");
    ExpectError<EStringListError>([&] { L.SetStrings(0, "x"); }, "Operation not allowed on sorted list");
    EXPECT_EQ(Items(L), (std::vector<std::string>{"a", "b", "B", "c"}));
}

TEST(StringList, NamesAndValues) {
    TStringList L;
    L.SetText("Name=Value\nempty=\nnoequals\nКлюч=значение=с равно\n");
    EXPECT_EQ(L.Names(0), "Name");
    EXPECT_EQ(L.Names(2), "");
    EXPECT_EQ(L.Values("NAME"), "Value");
    EXPECT_EQ(L.Values("ключ"), "значение=с равно");
    EXPECT_EQ(L.Values("noequals"), "");
    EXPECT_EQ(L.IndexOfName("EMPTY"), 1);
    EXPECT_EQ(L.ValueFromIndex(2), "");
    L.SetValues("name", "New");
    EXPECT_EQ(L[0], "name=New");
    L.SetValues("Added", "1");
    EXPECT_EQ(L[L.Count() - 1], "Added=1");
    L.SetValues("Name", ""); // deletes
    EXPECT_EQ(L.IndexOfName("name"), -1);
    L.SetValueFromIndex(0, "x");
    EXPECT_EQ(L[0], "empty=x");
    L.SetNameValueSeparator(':');
    L.Add("a:b");
    EXPECT_EQ(L.Values("A"), "b");
}

TEST(StringList, CommaTextRoundTripsAndParsesLikeTheOriginal) {
    const std::vector<std::vector<std::string>> RoundTrips = {
        {},
        {""},
        {"", ""},
        {"a", "", "b", ""},
        {"plain", "with space", "with,comma", "with\"quote", " lead", "trail "},
        {"Привет, мир", "tab\there", "line\nbreak", std::string("nul\0byte", 8), "\xff\xfe bad utf-8"},
    };
    for (const auto& Strings : RoundTrips) {
        TStringList L;
        for (const std::string& S : Strings) L.Add(S);
        TStringList Back;
        Back.SetCommaText(L.CommaText());
        EXPECT_EQ(Items(Back), Strings) << L.CommaText();
    }
    TStringList L;
    for (const char* S : {"a b", "c\"d", ""}) L.Add(S);
    EXPECT_EQ(L.CommaText(), "\"a b\",\"c\"\"d\",");

    const std::vector<std::pair<std::string, std::vector<std::string>>> Parses = {
        {"a, b ,c", {"a", "b", "c"}},
        {"a b", {"a", "b"}},
        {"\"a\"b,c", {"a", "b", "c"}},
        {"a,", {"a", ""}},
        {",a", {"", "a"}},
        {"\"unterminated, text", {"unterminated, text"}},
        {"  ", {}},
        {"\"\"", {""}},
    };
    for (const auto& [Text, Expected] : Parses) {
        L.SetCommaText(Text);
        EXPECT_EQ(Items(L), Expected) << Text;
    }

    L.SetDelimiter(';');
    L.SetQuoteChar('\'');
    L.SetDelimitedText("x;'y;z';'it''s'");
    EXPECT_EQ(Items(L), (std::vector<std::string>{"x", "y;z", "it's"}));
    L.SetStrictDelimiter(true);
    L.SetDelimitedText(" a b ;c");
    EXPECT_EQ(Items(L), (std::vector<std::string>{" a b ", "c"}));
    EXPECT_EQ(L.DelimitedText(), " a b ;c");
}

TEST(StringList, TextChangeEventsAndEditing) {
    struct TCounter : TObject {
        int Changes = 0;
        int Changings = 0;
        void Change(TObject*) { ++Changes; }
        void Changing(TObject*) { ++Changings; }
    } Counter;
    TStringList L;
    L.SetOnChange(TNotifyEvent(&Counter, &TCounter::Change));
    L.SetOnChanging(TNotifyEvent(&Counter, &TCounter::Changing));
    L.SetText("one\r\ntwo\rthree\n\nfive");
    EXPECT_EQ(Items(L), (std::vector<std::string>{"one", "two", "three", "", "five"}));
    EXPECT_EQ(L.Text(), "one\ntwo\nthree\n\nfive\n");
    EXPECT_EQ(Counter.Changes, 1);
    EXPECT_EQ(Counter.Changings, 1);

    L.BeginUpdate();
    L.Delete(3);
    L.Exchange(0, 1);
    L.Move(3, 0);
    L.EndUpdate();
    EXPECT_EQ(Items(L), (std::vector<std::string>{"five", "two", "one", "three"}));
    EXPECT_EQ(Counter.Changes, 2);

    TObject Marker;
    L.AddObject("marked", &Marker);
    EXPECT_EQ(L.IndexOfObject(&Marker), 4);
    L.CustomSort(
        [](TStringList* List, int A, int B) { return CompareText(List->Strings(A), List->Strings(B)); });
    EXPECT_EQ(Items(L), (std::vector<std::string>{"five", "marked", "one", "three", "two"}));
    EXPECT_EQ(L.Objects(1), &Marker);

    TStringList Copy;
    Copy.Assign(&L);
    EXPECT_TRUE(Copy.Equals(&L));
    Copy.AddStrings(&Copy);
    EXPECT_EQ(Copy.Count(), 10);

    const std::vector<std::function<void()>> BadIndexes = {
        [&] { L.Strings(5); },     [&] { L.Delete(-1); }, [&] { L.Insert(6, "x"); },
        [&] { L.Exchange(0, 5); }, [&] { L.Objects(9); },
    };
    for (const auto& Action : BadIndexes) EXPECT_THROW(Action(), EStringListError);
    EXPECT_EQ(L.Count(), 5);
}

TEST(StringList, FilesAndInvalidUtf8) {
    trestle_test::TempDir Dir;
    trestle_test::WriteFile(Dir.File("in.txt"), "\xEF\xBB\xBF"
                                                "first\r\nsecond \xC3\x28\r\n");
    TStringList L;
    L.LoadFromFile(Dir.File("in.txt"));
    EXPECT_EQ(Items(L), (std::vector<std::string>{"first", "second \xC3\x28"}));
    EXPECT_EQ(L.IndexOf("SECOND \xC3\x28"), 1);
    L.SaveToFile(Dir.File("out.txt"));
    EXPECT_EQ(trestle_test::ReadFile(Dir.File("out.txt")), "first\nsecond \xC3\x28\n");
    ExpectError<EFOpenError>([&] { L.LoadFromFile(Dir.File("missing.txt")); },
                             "Cannot open file \"" + Dir.File("missing.txt") +
                                 "\". No such file or directory");
}

// --- TCollection ---

using TLog = std::vector<std::string>;

class TLoggedCollection : public TCollection {
    TRESTLE_CLASS(TLoggedCollection, TCollection)
public:
    explicit TLoggedCollection(TCollectionItemClass AItemClass) : TCollection(AItemClass) {}
    ~TLoggedCollection() override { Clear(); }
    TLog Log;

protected:
    void Update(TCollectionItem* Item) override {
        Log.push_back(Item ? "update " + std::to_string(Item->ID()) : "update all");
    }
    void Notify(TCollectionItem* Item, TCollectionNotification Action) override {
        static const char* Names[] = {"added ", "extracting ", "deleting "};
        Log.push_back(Names[Action] + std::to_string(Item->ID()));
    }
};

class TNamedItem : public TCollectionItem {
    TRESTLE_CLASS(TNamedItem, TCollectionItem)
public:
    explicit TNamedItem(TCollection* ACollection) : TCollectionItem(ACollection) {}
    std::string DisplayName() const override {
        return FName.empty() ? TCollectionItem::DisplayName() : FName;
    }
    void SetDisplayName(const std::string& Value) override {
        FName = Value;
        TCollectionItem::SetDisplayName(Value);
    }
    void Assign(TPersistent* Source) override {
        if (auto* Other = dynamic_cast<TNamedItem*>(Source)) {
            FName = Other->FName;
            return;
        }
        TCollectionItem::Assign(Source);
    }

private:
    std::string FName;
};

TEST(Collection, ItemsNotifyTheCollectionInOrder) {
    TLoggedCollection C(TNamedItem::ClassInfo());
    C.Add();
    C.Add();
    EXPECT_EQ(C.Log, (TLog{"added 0", "update all", "added 1", "update all"}));
    EXPECT_NE(dynamic_cast<TNamedItem*>(C.Items(1)), nullptr);

    C.Log.clear();
    TCollectionItem* Inserted = C.Insert(0);
    EXPECT_EQ(Inserted->Index(), 0);
    EXPECT_EQ(Inserted->ID(), 2);
    EXPECT_EQ(C.Log, (TLog{"added 2", "update all", "update all"}));

    C.Log.clear();
    C.Items(1)->SetDisplayName("Second");
    EXPECT_EQ(C.Items(1)->DisplayName(), "Second");
    EXPECT_EQ(C.Items(2)->DisplayName(), "TNamedItem");
    C.Delete(1);
    EXPECT_EQ(C.Log, (TLog{"update 0", "deleting 0", "extracting 0", "update all"}));
    EXPECT_EQ(C.FindItemID(0), nullptr);
    EXPECT_EQ(C.FindItemID(1), C.Items(1));

    C.Log.clear();
    C.BeginUpdate();
    C.Items(0)->SetIndex(1);
    C.Add();
    C.Items(0)->SetDisplayName("x");
    EXPECT_EQ(C.UpdateCount(), 1);
    C.EndUpdate();
    EXPECT_EQ(C.Log, (TLog{"added 3", "update all"}));
    EXPECT_EQ(C.NextID(), 4);
    EXPECT_THROW(C.Items(0)->SetIndex(5), EListError);
    EXPECT_THROW(C.Items(3), EListError);
    EXPECT_THROW(C.Insert(9), EListError);
    EXPECT_EQ(C.Count(), 3);

    TLoggedCollection Copy(TNamedItem::ClassInfo());
    Copy.Assign(&C);
    EXPECT_EQ(Copy.Count(), 3);
    EXPECT_EQ(Copy.Items(0)->DisplayName(), "x");
    EXPECT_EQ(Copy.Log.back(), "update all");

    C.Log.clear();
    C.Clear();
    EXPECT_EQ(C.Log, (TLog{"extracting 3", "extracting 2", "extracting 1", "update all"}));
    EXPECT_THROW(C.Assign(nullptr), EConvertError);
}

TEST(Collection, ItemsMoveBetweenCollectionsAndOwnersNameThePath) {
    TComponent Form(nullptr);
    Form.SetName("Form1");
    TOwnedCollection A(&Form, TNamedItem::ClassInfo());
    TCollection B(TNamedItem::ClassInfo());
    TCollectionItem* Item = A.Add();
    EXPECT_EQ(A.Owner(), &Form);
    EXPECT_EQ(A.GetNamePath(), "TOwnedCollection");
    A.SetPropName("Items");
    EXPECT_EQ(Item->GetNamePath(), "Form1.Items[0]");
    Item->SetCollection(&B);
    EXPECT_EQ(A.Count(), 0);
    EXPECT_EQ(Item->Collection(), &B);
    EXPECT_EQ(Item->GetNamePath(), "TCollection[0]");
    delete Item;
    EXPECT_EQ(B.Count(), 0);
}

// --- Streams ---

TEST(Streams, MemoryStringAndFileStreams) {
    TMemoryStream M;
    M.WriteBuffer("hello", 5);
    M.SetPosition(8);
    M.WriteBuffer("!", 1);
    EXPECT_EQ(M.Size(), 9);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(M.Memory()), 9), std::string("hello\0\0\0!", 9));
    M.SetPosition(3);
    char Buffer[8] = {};
    EXPECT_EQ(M.Read(Buffer, 8), 6);
    ExpectError<EReadError>([&] { M.ReadBuffer(Buffer, 1); }, "Stream read error");
    M.Seek(-2, soEnd);
    EXPECT_EQ(M.Position(), 7);
    M.SetSize(4);
    EXPECT_EQ(M.Position(), 4);

    TStringStream S("Текст");
    EXPECT_EQ(S.ReadString(4), "Те");
    S.WriteString("ст"); // over the old text, which keeps its tail
    EXPECT_EQ(S.DataString(), "Тестт");
    TMemoryStream Copy;
    EXPECT_EQ(Copy.CopyFrom(&S, 0), 10);
    EXPECT_EQ(Copy.Size(), 10);
    Copy.SetPosition(0);

    trestle_test::TempDir Dir;
    {
        TFileStream F(Dir.File("data.bin"), fmCreate);
        F.CopyFrom(&Copy, 0);
        F.SetSize(4);
        EXPECT_EQ(F.Position(), 4);
    }
    TFileStream F(Dir.File("data.bin"), fmOpenRead);
    EXPECT_EQ(F.Size(), 4);
    EXPECT_EQ(F.Write("x", 1), 0); // opened for reading
    ExpectError<EFOpenError>([&] { TFileStream(Dir.Path().string(), fmOpenRead); },
                             "Cannot open file \"" + Dir.Path().string() + "\". Is a directory");
    EXPECT_THROW(TFileStream(Dir.File("no/such/folder/x"), fmCreate), EFCreateError);
}

} // namespace
