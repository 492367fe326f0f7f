// The design-time state of a form: the bars, links, items and categories of
// its manager as the form's resource keeps them, read into a temporary form
// to reset a toolbar or the usage data of the personalized menus.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace cls {
class TForm;
}

namespace bars {

class TdxBarItemLinks;
class TdxBarManager;

// A plain form holding a copy of ABarManager as the resource of its owner
// form's class designed it (without event handlers, storing no layout), or
// nullptr when that class has no form resource. Errors of the resource go
// on as the class library's exceptions.
std::unique_ptr<cls::TForm> LoadDesignTimeBarState(TdxBarManager* ABarManager);

// The text LoadDesignTimeBarState reads: the form's first two size lines
// and the block of the manager named AManagerName of class AClassName,
// without its event handlers, in a form of its own. Empty when the text
// has no such manager.
std::string BuildDesignTimeText(std::string_view AFormText, std::string_view AManagerName,
                                std::string_view AClassName);

// Set while a design-time copy is read: its manager loads no stored layout.
bool IsDesignTimeStateLoading();

// Set while a toolbar is reset (a scope of TBarResetting): a link being
// assigned finds its item by name on the manager's owner form, as the
// stored links name the copy's items.
bool IsBarResetting();
class TBarResetting {
public:
    TBarResetting();
    ~TBarResetting();
    TBarResetting(const TBarResetting&) = delete;
    TBarResetting& operator=(const TBarResetting&) = delete;

private:
    bool FPrevious;
};

// Every sub item that AStoredLinks (links of a design-time copy) reach, at
// any depth, gives its links and their recent-use flags to the sub item of
// the same name of ABarManager.
void RelinkSubItems(TdxBarItemLinks* AStoredLinks, TdxBarManager* ABarManager);

} // namespace bars
