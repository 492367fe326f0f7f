// The look-and-feel settings a bar manager keeps (kind and native style),
// and the notificators that hear of visual-style theme changes.
#pragma once

#include "classes/events.h"
#include "classes/persistent.h"
#include "classes/sets.h"

namespace lf {

enum TcxLookAndFeelKind { lfFlat, lfStandard, lfUltraFlat, lfOffice11 };
enum TcxLookAndFeelValue { lfvKind, lfvNativeStyle };
using TcxLookAndFeelValues = cls::TSet<TcxLookAndFeelValue>;

class TcxLookAndFeel;
using TcxLookAndFeelChangedEvent =
    cls::TEvent<void(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues)>;

class TcxLookAndFeel : public cls::TPersistent {
    TRESTLE_CLASS(TcxLookAndFeel, cls::TPersistent)
public:
    static constexpr TcxLookAndFeelKind DefaultKind = lfUltraFlat;
    static constexpr bool DefaultNativeStyle = false;

    // The owner is whoever keeps and frees the object (a bar manager).
    explicit TcxLookAndFeel(cls::TPersistent* AOwner);

    // Copies Kind and NativeStyle of another look-and-feel, with one change
    // event for both.
    void Assign(cls::TPersistent* Source) override;
    // Kind and NativeStyle.
    void GetPublishedProperties(cls::TPublishedProperties& AList) override;

    TcxLookAndFeelKind Kind() const { return GetKind(); }
    virtual TcxLookAndFeelKind GetKind() const { return FKind; }
    void SetKind(TcxLookAndFeelKind Value);
    bool NativeStyle() const { return GetNativeStyle(); }
    virtual bool GetNativeStyle() const { return FNativeStyle; }
    void SetNativeStyle(bool Value);

    // Called after any value changed.
    TcxLookAndFeelChangedEvent OnChanged() const { return FOnChanged; }
    void SetOnChanged(TcxLookAndFeelChangedEvent Value) { FOnChanged = Value; }

protected:
    cls::TPersistent* GetOwner() override { return FOwner; }
    virtual void Changed(TcxLookAndFeelValues AChangedValues);

private:
    cls::TPersistent* FOwner;
    TcxLookAndFeelKind FKind = DefaultKind;
    bool FNativeStyle = DefaultNativeStyle;
    TcxLookAndFeelChangedEvent FOnChanged;
};

using TdxThemeChangedEvent = cls::TEvent<void()>;

// Hears of every change of the visual-style theme while it exists. Before
// the notificators are called, the cached theme handles are closed and the
// Office11 colours rebuilt. GUI thread only.
class TdxThemeChangedNotificator : public cls::TObject {
    TRESTLE_CLASS(TdxThemeChangedNotificator, cls::TObject)
public:
    TdxThemeChangedNotificator();
    ~TdxThemeChangedNotificator() override;

    TdxThemeChangedEvent OnThemeChanged() const { return FOnThemeChanged; }
    void SetOnThemeChanged(TdxThemeChangedEvent Value) { FOnThemeChanged = Value; }

private:
    TdxThemeChangedEvent FOnThemeChanged;
};

} // namespace lf
