#include "classes/strings.h"

#include <algorithm>

#include "classes/exceptions.h"
#include "classes/filer.h"
#include "classes/lists.h"
#include "classes/streams.h"

namespace cls {

namespace {

// Ends an update when the scope is left, also by an exception.
class TUpdateScope {
public:
    explicit TUpdateScope(TStrings* AStrings) : FStrings(AStrings) { FStrings->BeginUpdate(); }
    ~TUpdateScope() { FStrings->EndUpdate(); }
    TUpdateScope(const TUpdateScope&) = delete;
    TUpdateScope& operator=(const TUpdateScope&) = delete;

private:
    TStrings* FStrings;
};

bool IsBlank(char C) {
    return static_cast<unsigned char>(C) <= ' ';
}

} // namespace

// --- TStrings ---

void TStrings::Error(const TResStringRec& Msg, int Data) const {
    throw EStringListError(Msg, {Data});
}

TObject* TStrings::GetObject(int) const {
    return nullptr;
}

void TStrings::PutObject(int, TObject*) {}

void TStrings::Put(int Index, const std::string& S) {
    TObject* TempObject = GetObject(Index);
    TUpdateScope Update(this);
    Delete(Index);
    InsertObject(Index, S, TempObject);
}

int TStrings::Add(const std::string& S) {
    int Result = Count();
    Insert(Result, S);
    return Result;
}

int TStrings::AddObject(const std::string& S, TObject* AObject) {
    int Result = Add(S);
    PutObject(Result, AObject);
    return Result;
}

void TStrings::AddStrings(TStrings* AStrings) {
    if (!AStrings) return;
    TUpdateScope Update(this);
    // Count is read each time: AStrings may be this list.
    int N = AStrings->Count();
    for (int I = 0; I < N; ++I) AddObject(AStrings->Get(I), AStrings->GetObject(I));
}

void TStrings::InsertObject(int Index, const std::string& S, TObject* AObject) {
    Insert(Index, S);
    PutObject(Index, AObject);
}

void TStrings::Exchange(int Index1, int Index2) {
    TUpdateScope Update(this);
    TObject* TempObject = GetObject(Index1);
    std::string TempString = Get(Index1);
    Put(Index1, Get(Index2));
    PutObject(Index1, GetObject(Index2));
    Put(Index2, TempString);
    PutObject(Index2, TempObject);
}

void TStrings::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) return;
    if (NewIndex < 0 || NewIndex >= Count()) Error(SListIndexError, NewIndex);
    TUpdateScope Update(this);
    std::string TempString = Get(CurIndex);
    TObject* TempObject = GetObject(CurIndex);
    Delete(CurIndex);
    InsertObject(NewIndex, TempString, TempObject);
}

void TStrings::Assign(TPersistent* Source) {
    if (auto* Strings = dynamic_cast<TStrings*>(Source)) {
        if (Strings == this) return;
        TUpdateScope Update(this);
        Clear();
        FNameValueSeparator = Strings->FNameValueSeparator;
        FQuoteChar = Strings->FQuoteChar;
        FDelimiter = Strings->FDelimiter;
        FStrictDelimiter = Strings->FStrictDelimiter;
        AddStrings(Strings);
        return;
    }
    TPersistent::Assign(Source);
}

bool TStrings::Equals(TStrings* AStrings) const {
    if (!AStrings || AStrings->Count() != Count()) return false;
    for (int I = 0; I < Count(); ++I) {
        if (Get(I) != AStrings->Get(I)) return false;
    }
    return true;
}

int TStrings::CompareStrings(std::string_view S1, std::string_view S2) const {
    return AnsiCompareText(S1, S2);
}

int TStrings::IndexOf(const std::string& S) const {
    for (int I = 0; I < Count(); ++I) {
        if (CompareStrings(Get(I), S) == 0) return I;
    }
    return -1;
}

int TStrings::IndexOfName(const std::string& Name) const {
    for (int I = 0; I < Count(); ++I) {
        std::string S = Get(I);
        std::size_t P = S.find(FNameValueSeparator);
        if (P != std::string::npos && CompareStrings(std::string_view(S).substr(0, P), Name) == 0) return I;
    }
    return -1;
}

int TStrings::IndexOfObject(TObject* AObject) const {
    for (int I = 0; I < Count(); ++I) {
        if (GetObject(I) == AObject) return I;
    }
    return -1;
}

std::string TStrings::ExtractName(std::string_view S) const {
    std::size_t P = S.find(FNameValueSeparator);
    return P == std::string_view::npos ? std::string() : std::string(S.substr(0, P));
}

std::string TStrings::Names(int Index) const {
    return ExtractName(Get(Index));
}

std::string TStrings::ValueFromIndex(int Index) const {
    if (Index < 0) return {};
    std::string S = Get(Index);
    std::size_t P = S.find(FNameValueSeparator);
    return P == std::string::npos ? std::string() : S.substr(P + 1);
}

std::string TStrings::Values(const std::string& Name) const {
    int I = IndexOfName(Name);
    return I >= 0 ? ValueFromIndex(I) : std::string();
}

void TStrings::SetValues(const std::string& Name, const std::string& Value) {
    int I = IndexOfName(Name);
    if (!Value.empty()) {
        std::string S = Name + FNameValueSeparator + Value;
        if (I < 0) {
            Add(S);
        } else {
            Put(I, S);
        }
    } else if (I >= 0) {
        Delete(I);
    }
}

void TStrings::SetValueFromIndex(int Index, const std::string& Value) {
    if (!Value.empty()) {
        if (Index < 0) {
            Add(FNameValueSeparator + Value);
        } else {
            Put(Index, Names(Index) + FNameValueSeparator + Value);
        }
    } else if (Index >= 0) {
        Delete(Index);
    }
}

// --- Text forms ---

std::string TStrings::GetTextStr() const {
    std::string Result;
    for (int I = 0; I < Count(); ++I) {
        Result += Get(I);
        Result += sLineBreak;
    }
    return Result;
}

void TStrings::SetTextStr(std::string_view Value) {
    TUpdateScope Update(this);
    Clear();
    std::size_t P = 0;
    while (P < Value.size()) {
        std::size_t Start = P;
        while (P < Value.size() && Value[P] != '\r' && Value[P] != '\n') ++P;
        Add(std::string(Value.substr(Start, P - Start)));
        if (P < Value.size() && Value[P] == '\r') ++P;
        if (P < Value.size() && Value[P] == '\n') ++P;
    }
}

std::string TStrings::CommaText() const {
    return BuildDelimited(',', '"', false);
}

void TStrings::SetCommaText(std::string_view Value) {
    ParseDelimited(Value, ',', '"', false);
}

std::string TStrings::DelimitedText() const {
    return BuildDelimited(FDelimiter, FQuoteChar, FStrictDelimiter);
}

void TStrings::SetDelimitedText(std::string_view Value) {
    ParseDelimited(Value, FDelimiter, FQuoteChar, FStrictDelimiter);
}

std::string TStrings::BuildDelimited(char Delim, char Quote, bool Strict) const {
    int N = Count();
    if (N == 1 && Get(0).empty()) return std::string(2, Quote);
    std::string Result;
    for (int I = 0; I < N; ++I) {
        std::string S = Get(I);
        bool Quoted = std::any_of(S.begin(), S.end(), [&](char C) {
            return C == '\0' || C == Quote || C == Delim || (!Strict && IsBlank(C));
        });
        if (I > 0) Result += Delim;
        Result += Quoted ? AnsiQuotedStr(S, Quote) : S;
    }
    return Result;
}

void TStrings::ParseDelimited(std::string_view Value, char Delim, char Quote, bool Strict) {
    TUpdateScope Update(this);
    Clear();
    const std::size_t N = Value.size();
    std::size_t P = 0;
    if (!Strict) {
        while (P < N && IsBlank(Value[P])) ++P;
    }
    while (P < N) {
        std::string S;
        if (Value[P] == Quote) {
            S = AnsiExtractQuotedStr(Value, P, Quote);
        } else {
            std::size_t Start = P;
            while (P < N && Value[P] != Delim && (Strict || !IsBlank(Value[P]))) ++P;
            S.assign(Value.substr(Start, P - Start));
        }
        Add(S);
        if (!Strict) {
            while (P < N && IsBlank(Value[P])) ++P;
        }
        if (P < N && Value[P] == Delim) {
            if (P + 1 == N) Add(std::string());
            do {
                ++P;
            } while (!Strict && P < N && IsBlank(Value[P]));
        }
    }
}

// --- Streams and files ---

void TStrings::LoadFromStream(TStream* Stream) {
    TUpdateScope Update(this);
    std::int64_t Size = Stream->Size() - Stream->Position();
    std::string S(static_cast<std::size_t>(std::max<std::int64_t>(Size, 0)), '\0');
    std::int64_t Got = S.empty() ? 0 : Stream->Read(S.data(), static_cast<std::int64_t>(S.size()));
    S.resize(static_cast<std::size_t>(std::max<std::int64_t>(Got, 0)));
    std::string_view Text = S;
    if (Text.starts_with("\xEF\xBB\xBF")) Text.remove_prefix(3);
    SetTextStr(Text);
}

void TStrings::SaveToStream(TStream* Stream) const {
    std::string S = GetTextStr();
    Stream->WriteBuffer(S.data(), static_cast<std::int64_t>(S.size()));
}

void TStrings::LoadFromFile(const std::string& FileName) {
    TFileStream Stream(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&Stream);
}

void TStrings::SaveToFile(const std::string& FileName) const {
    TFileStream Stream(FileName, fmCreate);
    SaveToStream(&Stream);
}

// --- Updates ---

void TStrings::BeginUpdate() {
    if (FUpdateCount == 0) SetUpdateState(true);
    ++FUpdateCount;
}

void TStrings::EndUpdate() {
    if (FUpdateCount <= 0) return;
    --FUpdateCount;
    if (FUpdateCount == 0) SetUpdateState(false);
}

void TStrings::SetUpdateState(bool) {}

// --- TStringList ---

TStringList::~TStringList() {
    FOnChange = nullptr;
    FOnChanging = nullptr;
}

void TStringList::CheckIndex(int Index) const {
    if (Index < 0 || Index >= Count()) Error(SListIndexError, Index);
}

void TStringList::Changed() {
    if (UpdateCount() == 0) FOnChange(this);
}

void TStringList::Changing() {
    if (UpdateCount() == 0) FOnChanging(this);
}

void TStringList::SetUpdateState(bool Updating) {
    if (Updating) {
        Changing();
    } else {
        Changed();
    }
}

void TStringList::SetCapacity(int Value) {
    if (Value < Count()) Error(SListCapacityError, Value);
    if (Value > Capacity()) {
        FList.reserve(static_cast<std::size_t>(Value));
    } else {
        std::vector<TStringItem> Copy;
        Copy.reserve(static_cast<std::size_t>(Value));
        for (TStringItem& Item : FList) Copy.push_back(std::move(Item));
        FList.swap(Copy);
    }
}

std::string TStringList::Get(int Index) const {
    CheckIndex(Index);
    return FList[static_cast<std::size_t>(Index)].FString;
}

TObject* TStringList::GetObject(int Index) const {
    CheckIndex(Index);
    return FList[static_cast<std::size_t>(Index)].FObject;
}

// OnChanging handlers may edit the list, so indexes are checked again after it.

void TStringList::Put(int Index, const std::string& S) {
    if (FSorted) Error(SSortedListError, 0);
    CheckIndex(Index);
    Changing();
    CheckIndex(Index);
    FList[static_cast<std::size_t>(Index)].FString = S;
    Changed();
}

void TStringList::PutObject(int Index, TObject* AObject) {
    CheckIndex(Index);
    Changing();
    CheckIndex(Index);
    FList[static_cast<std::size_t>(Index)].FObject = AObject;
    Changed();
}

int TStringList::Add(const std::string& S) {
    return AddObject(S, nullptr);
}

int TStringList::AddObject(const std::string& S, TObject* AObject) {
    int Result = Count();
    if (FSorted && Find(S, Result)) {
        switch (FDuplicates) {
            case dupIgnore:
                return Result;
            case dupError:
                Error(SDuplicateString, 0);
            case dupAccept:
                break;
        }
    }
    InsertItem(Result, S, AObject);
    return Result;
}

void TStringList::Insert(int Index, const std::string& S) {
    InsertObject(Index, S, nullptr);
}

void TStringList::InsertObject(int Index, const std::string& S, TObject* AObject) {
    if (FSorted) Error(SSortedListError, 0);
    if (Index < 0 || Index > Count()) Error(SListIndexError, Index);
    InsertItem(Index, S, AObject);
}

void TStringList::InsertItem(int Index, const std::string& S, TObject* AObject) {
    Changing();
    if (Index < 0 || Index > Count()) Error(SListIndexError, Index);
    FList.insert(FList.begin() + Index, TStringItem{S, AObject});
    Changed();
}

void TStringList::Delete(int Index) {
    CheckIndex(Index);
    Changing();
    CheckIndex(Index);
    FList.erase(FList.begin() + Index);
    Changed();
}

void TStringList::Clear() {
    if (FList.empty()) return;
    Changing();
    FList.clear();
    FList.shrink_to_fit();
    Changed();
}

void TStringList::ExchangeItems(int Index1, int Index2) {
    CheckIndex(Index1);
    CheckIndex(Index2);
    std::swap(FList[static_cast<std::size_t>(Index1)], FList[static_cast<std::size_t>(Index2)]);
}

void TStringList::Exchange(int Index1, int Index2) {
    CheckIndex(Index1);
    CheckIndex(Index2);
    Changing();
    ExchangeItems(Index1, Index2);
    Changed();
}

void TStringList::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) return;
    // Checked before anything moves: the original deletes first and may then fail to insert.
    if (FSorted) Error(SSortedListError, 0);
    CheckIndex(CurIndex);
    CheckIndex(NewIndex);
    Changing();
    CheckIndex(CurIndex);
    CheckIndex(NewIndex);
    TStringItem Item = std::move(FList[static_cast<std::size_t>(CurIndex)]);
    FList.erase(FList.begin() + CurIndex);
    FList.insert(FList.begin() + NewIndex, std::move(Item));
    Changed();
}

int TStringList::CompareStrings(std::string_view S1, std::string_view S2) const {
    return FCaseSensitive ? AnsiCompareStr(S1, S2) : AnsiCompareText(S1, S2);
}

bool TStringList::Find(const std::string& S, int& Index) const {
    bool Result = false;
    int L = 0;
    int H = Count() - 1;
    while (L <= H) {
        int I = L + (H - L) / 2;
        int C = CompareStrings(FList[static_cast<std::size_t>(I)].FString, S);
        if (C < 0) {
            L = I + 1;
        } else {
            H = I - 1;
            if (C == 0) {
                Result = true;
                if (FDuplicates != dupAccept) L = I;
            }
        }
    }
    Index = L;
    return Result;
}

int TStringList::IndexOf(const std::string& S) const {
    if (!FSorted) return TStrings::IndexOf(S);
    int Result;
    return Find(S, Result) ? Result : -1;
}

void TStringList::Sort() {
    CustomSort([](TStringList* List, int Index1, int Index2) {
        return List->CompareStrings(List->Get(Index1), List->Get(Index2));
    });
}

void TStringList::CustomSort(const TStringListSortCompare& Compare) {
    if (FSorted || Count() <= 1) return;
    Changing();
    auto Cmp = [&](int I, int P) { return Compare(this, I, P); };
    auto Swap = [&](int I, int J) { ExchangeItems(I, J); };
    detail::QuickSort(0, Count() - 1, Cmp, Swap);
    Changed();
}

void TStringList::SetSorted(bool Value) {
    if (FSorted == Value) return;
    if (Value) Sort();
    FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value) {
    if (FCaseSensitive == Value) return;
    FCaseSensitive = Value;
    // Sort does nothing on a sorted list; resort through the flag.
    if (FSorted) {
        FSorted = false;
        SetSorted(true);
    }
}

// --- Streaming ---

void TStrings::DefineProperties(TFiler* Filer) {
    inherited::DefineProperties(Filer);
    Filer->DefineProperty("Strings", TReaderProc(this, &TStrings::ReadStrings),
                          TWriterProc(this, &TStrings::WriteStrings), Count() > 0);
}

void TStrings::ReadStrings(TReader* Reader) {
    Reader->ReadListBegin();
    BeginUpdate();
    try {
        Clear();
        while (!Reader->EndOfList()) Add(Reader->ReadString());
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    Reader->ReadListEnd();
}

void TStrings::WriteStrings(TWriter* Writer) {
    Writer->WriteListBegin();
    for (int I = 0; I < Count(); ++I) Writer->WriteString(Get(I));
    Writer->WriteListEnd();
}

} // namespace cls
