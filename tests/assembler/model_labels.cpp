// Prints, for each +2 model, the default name of its listing and the labels that the listing derived from the
// sample must define at their addresses: "NAME LABEL LABEL ...", a line a model, for check_derived.sh.
#include <iostream>

#include "generators/plus2_models.h"

int main() {
    for (const veltrin::Plus2Model* model : veltrin::kPlus2Models) {
        std::cout << model->defaultFileName;
        for (const std::string_view label : model->labelsAtTheirAddresses) {
            std::cout << ' ' << label;
        }
        std::cout << '\n';
    }
    return std::cout ? 0 : 1;
}
