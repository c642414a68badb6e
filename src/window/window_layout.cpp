#include "window/window_layout.h"

#include <algorithm>

#include "commands/source_listing.h"

namespace veltrin {

namespace {

// At 96 dots to the inch every place of the layout lies on the pixel grid. A value off it would be cut to the
// pixel below without a word, so a mistyped one stops the build instead.
constexpr bool OnThePixelGrid(int twips) { return twips % 15 == 0; }
static_assert(std::all_of(kControls.begin(), kControls.end(),
                          [](const ControlLayout& control) {
                              const TwipsRect& r = control.place;
                              return OnThePixelGrid(r.left) && OnThePixelGrid(r.top) && OnThePixelGrid(r.width) &&
                                     OnThePixelGrid(r.height);
                          }),
              "a layout value in twips that is not a whole number of pixels");
static_assert(OnThePixelGrid(kClientWidthTwips) && OnThePixelGrid(kClientHeightTwips));

// The table lists each control at the index of its name.
static_assert(std::all_of(kControls.begin(), kControls.end(), [](const ControlLayout& control) {
    return &kControls.at(static_cast<std::size_t>(control.control)) == &control;
}));

}  // namespace

const ControlLayout& LayoutOf(Control control) { return kControls.at(static_cast<std::size_t>(control)); }

std::vector<const ControlLayout*> ControlsInTabOrder() {
    std::vector<const ControlLayout*> controls;
    controls.reserve(kControls.size());
    for (const ControlLayout& control : kControls) {
        controls.push_back(&control);
    }
    std::sort(controls.begin(), controls.end(),
              [](const ControlLayout* a, const ControlLayout* b) { return a->tabIndex < b->tabIndex; });
    return controls;
}

std::string_view InitialText(const ControlLayout& control) {
    if (control.kind != ControlKind::kBox) {
        return control.caption;
    }
    return control.model != nullptr ? control.model->defaultFileName : kSourceDefaultFileName;
}

Control BoxOf(const Plus2Model& model) {
    const auto* box = std::find_if(kControls.begin(), kControls.end(), [&model](const ControlLayout& control) {
        return control.model != nullptr && control.model->language == model.language;
    });
    return box != kControls.end() ? box->control : Control::txt128ROM;
}

std::string InputName(Control box) {
    std::string_view caption = LayoutOf(static_cast<Control>(static_cast<int>(box) - 1)).caption;
    caption.remove_suffix(1);  // the colon
    return std::string(caption) + " box";
}

}  // namespace veltrin
