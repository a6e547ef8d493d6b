// Look-ups over a window description and the focus order it implies.
#include "window_description.h"

#include <algorithm>

namespace tavik {

const Element* WindowDescription::find(std::uint32_t element_number) const {
    auto found = std::find_if(elements.begin(), elements.end(),
                              [&](const Element& e) { return e.number == element_number; });
    return found == elements.end() ? nullptr : &*found;
}

const Element* WindowDescription::find(std::string_view name) const {
    if (name.empty()) {
        return nullptr;
    }
    auto found = std::find_if(elements.begin(), elements.end(),
                              [&](const Element& e) { return e.name == name; });
    return found == elements.end() ? nullptr : &*found;
}

std::vector<std::uint32_t> focus_order(const WindowDescription& description) {
    std::vector<const Element*> takers;
    for (auto it = description.elements.rbegin(); it != description.elements.rend(); ++it) {
        if (it->kind != ElementKind::Window && it->visible && !it->disabled && it->tab_stop) {
            takers.push_back(&*it);
        }
    }
    // Walking the list backwards makes "listed later comes first" the stable tie-break.
    std::stable_sort(takers.begin(), takers.end(), [](const Element* a, const Element* b) {
        return a->tab_number < b->tab_number;
    });
    std::vector<std::uint32_t> order;
    order.reserve(takers.size());
    for (const Element* e : takers) {
        order.push_back(e->number);
    }
    return order;
}

} // namespace tavik
