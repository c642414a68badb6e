#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "generators/plus2_models.h"

namespace veltrin {

// The controls of the window, under their names. Each box follows the label above it, whose caption names it.
enum class Control {
    lblFilename,
    txt128ROM,
    lblPlus2ROM,
    txtPlus2ROM,
    Label1,
    txtFrenchPlus2ROM,
    Label2,
    txtSpanishPlus2ROM,
    lblStatus,
    cmdCreate,
    cmdExit,
};

enum class ControlKind { kLabel, kBox, kButton };

// A place on the window in twips, 1440 to the inch: 15 to the pixel on a screen of 96 dots to the inch.
struct TwipsRect {
    int left;
    int top;
    int width;
    int height;
};

struct ControlLayout {
    Control control;
    std::string_view name;
    ControlKind kind;
    std::string_view caption;  // a label's or a button's; "&" marks a button's access key and is not shown
    TwipsRect place;
    int tabIndex;                       // Tab visits the controls that take the focus in this order; labels take none
    const Plus2Model* model = nullptr;  // the model whose listing a box names; none for the 128 listing's box
    // Editing the box, or the user's entering it, brings back the version text: only the source and English
    // boxes do, so that "Done!" or "Error!" stays while the French or Spanish name is changed.
    bool bringsBackVersionText = false;
};

inline constexpr std::string_view kWindowName = "frmVeltrin";
inline constexpr std::string_view kWindowTitle = "Veltrin";
inline constexpr int kClientWidthTwips = 4470;
inline constexpr int kClientHeightTwips = 3645;

// The French box stands above the Spanish one, although a run derives the Spanish listing first.
inline constexpr std::array<ControlLayout, 11> kControls{{
  // clang-format off
  {Control::lblFilename, "lblFilename", ControlKind::kLabel, "128 ROM 0 Filename:", {120, 180, 1695, 255}, 4},
  {Control::txt128ROM, "txt128ROM", ControlKind::kBox, "", {120, 480, 4215, 315}, 2, nullptr, true},
  {Control::lblPlus2ROM, "lblPlus2ROM", ControlKind::kLabel, "+2 ROM 0 Filename:", {120, 900, 1695, 255}, 6},
  {Control::txtPlus2ROM, "txtPlus2ROM", ControlKind::kBox, "", {120, 1200, 4215, 315}, 3, &kEnglishPlus2, true},
  {Control::Label1, "Label1", ControlKind::kLabel, "French +2 ROM 0 Filename:", {120, 1620, 2655, 255}, 8},
  {Control::txtFrenchPlus2ROM, "txtFrenchPlus2ROM", ControlKind::kBox, "", {120, 1920, 4215, 315}, 7, &kFrenchPlus2},
  {Control::Label2, "Label2", ControlKind::kLabel, "Spanish +2 ROM 0 Filename:", {120, 2340, 2655, 255}, 10},
  {Control::txtSpanishPlus2ROM, "txtSpanishPlus2ROM", ControlKind::kBox, "", {120, 2640, 4215, 315}, 9, &kSpanishPlus2},
  {Control::lblStatus, "lblStatus", ControlKind::kLabel, "", {180, 3180, 2475, 255}, 5},
  {Control::cmdCreate, "cmdCreate", ControlKind::kButton, "C&reate", {2760, 3120, 735, 375}, 0},
  {Control::cmdExit, "cmdExit", ControlKind::kButton, "E&xit", {3600, 3120, 735, 375}, 1},
  // clang-format on
}};

const ControlLayout& LayoutOf(Control control);

// The controls in their tab order, labels among them: Windows takes the order in which a window's controls are
// made as the order of Tab.
std::vector<const ControlLayout*> ControlsInTabOrder();

// What the control shows when the window opens: a box its default file name, a label or button its caption.
std::string_view InitialText(const ControlLayout& control);

// The box that names the model's listing.
Control BoxOf(const Plus2Model& model);

// How messages name a box: by the caption of the label above it, "French +2 ROM 0 Filename box".
std::string InputName(Control box);

// The controls that a run takes away from the user and gives back, in this order; Exit stays.
inline constexpr std::array<Control, 5> kRunInputs{Control::txt128ROM, Control::txtPlus2ROM, Control::txtFrenchPlus2ROM,
                                                   Control::txtSpanishPlus2ROM, Control::cmdCreate};

// A length in twips as pixels of a screen of so many dots to the inch.
constexpr int PixelsFromTwips(int twips, int dotsPerInch) { return twips * dotsPerInch / 1440; }

}  // namespace veltrin
