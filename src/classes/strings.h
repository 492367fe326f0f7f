// TStrings and TStringList: lists of strings with an object per string,
// name=value access, delimited and line-based text forms.
//
// Comparisons ignore case through Unicode case folding (TStringList with
// CaseSensitive uses AnsiCompareStr). Text joins the strings with sLineBreak
// ("\n", also after the last one) and splits at CR LF, LF or CR.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "classes/events.h"
#include "classes/persistent.h"
#include "classes/resstrings.h"

namespace cls {

class TReader;
class TStream;
class TStringList;
class TWriter;

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStrings : public TPersistent {
    TRESTLE_CLASS(TStrings, TPersistent)
public:
    TStrings() = default;

    // --- Access (indexes are checked: EStringListError "List index out of bounds (%d)") ---
    virtual int Count() const = 0;
    std::string Strings(int Index) const { return Get(Index); }
    std::string operator[](int Index) const { return Get(Index); }
    void SetStrings(int Index, const std::string& S) { Put(Index, S); }
    TObject* Objects(int Index) const { return GetObject(Index); }
    void SetObjects(int Index, TObject* AObject) { PutObject(Index, AObject); }
    virtual int Capacity() const { return Count(); }
    virtual void SetCapacity(int) {}

    // --- Editing ---
    virtual int Add(const std::string& S);
    virtual int AddObject(const std::string& S, TObject* AObject);
    void Append(const std::string& S) { Add(S); }
    virtual void AddStrings(TStrings* AStrings);
    virtual void Insert(int Index, const std::string& S) = 0;
    virtual void InsertObject(int Index, const std::string& S, TObject* AObject);
    virtual void Delete(int Index) = 0;
    virtual void Clear() = 0;
    virtual void Exchange(int Index1, int Index2);
    virtual void Move(int CurIndex, int NewIndex);
    void Assign(TPersistent* Source) override;
    // Same strings in the same order (case-sensitive).
    bool Equals(TStrings* AStrings) const;

    // --- Searching ---
    virtual int IndexOf(const std::string& S) const;
    int IndexOfName(const std::string& Name) const;
    int IndexOfObject(TObject* AObject) const;

    // --- Names and values ("name=value") ---
    // The part before the first separator; "" for a string without one.
    std::string Names(int Index) const;
    // The value of the first string with that name, "" when none.
    std::string Values(const std::string& Name) const;
    // Replaces the value of the first string with that name or adds one;
    // an empty value deletes the string.
    void SetValues(const std::string& Name, const std::string& Value);
    // The part after the first separator; "" for a string without one.
    std::string ValueFromIndex(int Index) const;
    void SetValueFromIndex(int Index, const std::string& Value);
    char NameValueSeparator() const { return FNameValueSeparator; }
    void SetNameValueSeparator(char Value) { FNameValueSeparator = Value; }

    // --- Text forms ---
    std::string Text() const { return GetTextStr(); }
    void SetText(std::string_view Value) { SetTextStr(Value); }
    // Delimited text with "," and '"'. A string is quoted when it contains a
    // space or control character, the quote or the delimiter.
    std::string CommaText() const;
    void SetCommaText(std::string_view Value);
    std::string DelimitedText() const;
    void SetDelimitedText(std::string_view Value);
    char Delimiter() const { return FDelimiter; }
    void SetDelimiter(char Value) { FDelimiter = Value; }
    char QuoteChar() const { return FQuoteChar; }
    void SetQuoteChar(char Value) { FQuoteChar = Value; }
    // With StrictDelimiter only the delimiter separates strings (spaces do not).
    bool StrictDelimiter() const { return FStrictDelimiter; }
    void SetStrictDelimiter(bool Value) { FStrictDelimiter = Value; }

    // --- Streams and files (UTF-8; a leading byte order mark is skipped) ---
    virtual void LoadFromStream(TStream* Stream);
    virtual void SaveToStream(TStream* Stream) const;
    virtual void LoadFromFile(const std::string& FileName);
    virtual void SaveToFile(const std::string& FileName) const;

    // --- Updates ---
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

protected:
    // Streaming: the strings as the list "Strings".
    void DefineProperties(TFiler* Filer) override;
    virtual std::string Get(int Index) const = 0;
    virtual TObject* GetObject(int Index) const;
    virtual void Put(int Index, const std::string& S);
    virtual void PutObject(int Index, TObject* AObject);
    virtual std::string GetTextStr() const;
    virtual void SetTextStr(std::string_view Value);
    // Called with true when the first BeginUpdate starts and false when the last EndUpdate ends.
    virtual void SetUpdateState(bool Updating);
    virtual int CompareStrings(std::string_view S1, std::string_view S2) const;
    [[noreturn]] void Error(const TResStringRec& Msg, int Data) const;
    std::string ExtractName(std::string_view S) const;

private:
    void ReadStrings(TReader* Reader);
    void WriteStrings(TWriter* Writer);
    std::string BuildDelimited(char Delim, char Quote, bool Strict) const;
    void ParseDelimited(std::string_view Value, char Delim, char Quote, bool Strict);

    int FUpdateCount = 0;
    char FDelimiter = ',';
    char FQuoteChar = '"';
    char FNameValueSeparator = '=';
    bool FStrictDelimiter = false;
};

// Negative when the string at Index1 sorts before the one at Index2.
using TStringListSortCompare = std::function<int(TStringList* List, int Index1, int Index2)>;

class TStringList : public TStrings {
    TRESTLE_CLASS(TStringList, TStrings)
public:
    TStringList() = default;
    ~TStringList() override;

    int Count() const override { return static_cast<int>(FList.size()); }
    int Capacity() const override { return static_cast<int>(FList.capacity()); }
    void SetCapacity(int Value) override;

    // On a sorted list the string goes to its place; a duplicate is then
    // ignored (returning the index of the present one), accepted, or refused
    // with EStringListError "String list does not allow duplicates".
    int Add(const std::string& S) override;
    int AddObject(const std::string& S, TObject* AObject) override;
    // Insert, Move and changing a string raise EStringListError "Operation
    // not allowed on sorted list" on a sorted list.
    void Insert(int Index, const std::string& S) override;
    void InsertObject(int Index, const std::string& S, TObject* AObject) override;
    void Delete(int Index) override;
    void Clear() override;
    void Exchange(int Index1, int Index2) override;
    void Move(int CurIndex, int NewIndex) override;
    int IndexOf(const std::string& S) const override;

    // Binary search of a sorted list: true when found; Index is the position
    // of the match (the first one unless duplicates are accepted) or where S
    // would be inserted.
    virtual bool Find(const std::string& S, int& Index) const;
    virtual void Sort();
    virtual void CustomSort(const TStringListSortCompare& Compare);

    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool Value);

    TNotifyEvent OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent Value) { FOnChange = Value; }
    TNotifyEvent OnChanging() const { return FOnChanging; }
    void SetOnChanging(TNotifyEvent Value) { FOnChanging = Value; }

protected:
    std::string Get(int Index) const override;
    TObject* GetObject(int Index) const override;
    void Put(int Index, const std::string& S) override;
    void PutObject(int Index, TObject* AObject) override;
    void SetUpdateState(bool Updating) override;
    int CompareStrings(std::string_view S1, std::string_view S2) const override;
    virtual void Changed();
    virtual void Changing();
    virtual void InsertItem(int Index, const std::string& S, TObject* AObject);

private:
    struct TStringItem {
        std::string FString;
        TObject* FObject = nullptr;
    };
    void CheckIndex(int Index) const;
    void ExchangeItems(int Index1, int Index2);

    std::vector<TStringItem> FList;
    TDuplicates FDuplicates = dupIgnore;
    bool FSorted = false;
    bool FCaseSensitive = false;
    TNotifyEvent FOnChange;
    TNotifyEvent FOnChanging;
};

} // namespace cls
