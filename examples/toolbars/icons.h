// The toolbar program's icons: 16 x 16 pictures drawn in code into an image
// list, their pink background transparent.
#pragma once

#include <span>

#include "classes/imagelist.h"

namespace toolbars {

enum TIcon {
    icNew,
    icOpen,
    icSave,
    icPrint,
    icPreview,
    icCut,
    icCopy,
    icPaste,
    icUndo,
    icRedo,
    icBold,
    icItalic,
    icUnderline,
    icAlignLeft,
    icAlignCenter,
    icAlignRight,
    icFind,
    icReplace,
    icPointer,
    icLine,
    icRectangle,
    icEllipse,
    icText,
    icZoomIn,
    icZoomOut,
    icHelp,
    icCase,
    // A swatch of every colour of the text-colour bar follows.
    icFirstSwatch
};

// Draws the icons, then a swatch of each colour, into Images.
void AddIcons(cls::TCustomImageList* Images, std::span<const cls::TColor> Swatches);

} // namespace toolbars
